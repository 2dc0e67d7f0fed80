#include "session/exam_progress.h"

#include <algorithm>

namespace exam {

void ExamProgress::reset(int questions, Marks marks) {
    answered_.assign(size_t(std::max(questions, 0)), false);
    marks.flagged.resize(answered_.size(), false);
    marks.struck.resize(answered_.size(), 0);
    marks.checked.resize(answered_.size(), false);
    flagged_ = std::move(marks.flagged);
    struck_ = std::move(marks.struck);
    checked_ = std::move(marks.checked);
    answeredCount_ = 0;
    flaggedCount_ = int(std::count(flagged_.begin(), flagged_.end(), true));
}

void ExamProgress::setAnswered(int index, bool answered) {
    if (inRange(index) && answered_[size_t(index)] != answered) {
        answered_[size_t(index)] = answered;
        answeredCount_ += answered ? 1 : -1;
    }
}

void ExamProgress::setFlagged(int index, bool flagged) {
    if (inRange(index) && flagged_[size_t(index)] != flagged) {
        flagged_[size_t(index)] = flagged;
        flaggedCount_ += flagged ? 1 : -1;
    }
}

void ExamProgress::toggleStruck(int index, int row) {
    if (inRange(index) && row >= 0 && row < 5) {
        struck_[size_t(index)] ^= static_cast<unsigned char>(1u << row);
    }
}

void ExamProgress::setChecked(int index) {
    if (inRange(index)) {
        checked_[size_t(index)] = true;
    }
}

QString leftToDoLine(int unanswered, int flagged) {
    const auto questions = [](int n) {
        return n == 1 ? QStringLiteral("1 question is") : QStringLiteral("%1 questions are").arg(n);
    };
    if (unanswered > 0 && flagged > 0) {
        return QStringLiteral("%1 unanswered and %2 %3 flagged.")
            .arg(questions(unanswered))
            .arg(flagged)
            .arg(flagged == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    if (unanswered > 0) {
        return questions(unanswered) + QStringLiteral(" unanswered.");
    }
    if (flagged > 0) {
        return questions(flagged) + QStringLiteral(" flagged.");
    }
    return {};
}

}  // namespace exam
