#pragma once

#include <QString>
#include <vector>

namespace exam {

// Which drawn questions are answered and which are flagged for review, by position in the
// draw (0 for question 1). The exam window keeps it in step with its moves; the review list
// and the End Exam question read it.
class ExamProgress {
public:
    void reset(int questions, std::vector<bool> flagged = {});
    int questions() const { return int(answered_.size()); }

    bool isAnswered(int index) const { return inRange(index) && answered_[size_t(index)]; }
    bool isFlagged(int index) const { return inRange(index) && flagged_[size_t(index)]; }
    void setAnswered(int index, bool answered);
    void setFlagged(int index, bool flagged);
    const std::vector<bool>& flagged() const { return flagged_; }

    int unansweredCount() const { return questions() - answeredCount_; }
    int flaggedCount() const { return flaggedCount_; }

private:
    bool inRange(int index) const { return index >= 0 && index < questions(); }

    std::vector<bool> answered_;
    std::vector<bool> flagged_;
    int answeredCount_ = 0;
    int flaggedCount_ = 0;
};

// The line End Exam adds under its question when something is left to do, such as
// "12 questions are unanswered and 3 are flagged."; empty when nothing is.
QString leftToDoLine(int unanswered, int flagged);

}  // namespace exam
