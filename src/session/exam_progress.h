#pragma once

#include <QString>
#include <vector>

#include "session/attempt_store.h"

namespace exam {

// Which drawn questions are answered and which are flagged for review, by position in the
// draw (0 for question 1). The exam window keeps it in step with its moves; the review list
// and the End Exam question read it.
class ExamProgress {
public:
    void reset(int questions, Marks marks = {});
    int questions() const { return int(answered_.size()); }

    bool isAnswered(int index) const { return inRange(index) && answered_[size_t(index)]; }
    bool isFlagged(int index) const { return inRange(index) && flagged_[size_t(index)]; }
    void setAnswered(int index, bool answered);
    void setFlagged(int index, bool flagged);
    const std::vector<bool>& flagged() const { return flagged_; }

    // Choices struck out on a question: bit r for the choice in row r.
    unsigned char struck(int index) const { return inRange(index) ? struck_[size_t(index)] : 0; }
    void toggleStruck(int index, int row);
    // A practice run's checked answer: shown with its key, and fixed from then on.
    bool isChecked(int index) const { return inRange(index) && checked_[size_t(index)]; }
    void setChecked(int index);
    // Flags, struck choices and checked answers, as they are saved.
    Marks marks() const { return {flagged_, struck_, checked_}; }

    int unansweredCount() const { return questions() - answeredCount_; }
    int flaggedCount() const { return flaggedCount_; }

private:
    bool inRange(int index) const { return index >= 0 && index < questions(); }

    std::vector<bool> answered_;
    std::vector<bool> flagged_;
    std::vector<unsigned char> struck_;
    std::vector<bool> checked_;
    int answeredCount_ = 0;
    int flaggedCount_ = 0;
};

// The line End Exam adds under its question when something is left to do, such as
// "12 questions are unanswered and 3 are flagged."; empty when nothing is.
QString leftToDoLine(int unanswered, int flagged);

}  // namespace exam
