#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace session {

// A short exam of the candidate's own making: how many questions from which categories of
// one exam, with its own clock, and whether each answer is checked at once.
struct CustomExam {
    int exam = 1;                 // whose questions: 1 to 3; the demo has only 1
    std::vector<int> categories;  // the ticked categories' catID values, ascending
    int questions = 20;
    int minutes = 20;  // 0: untimed, the clock counts up
    bool practice = false;
    // These questions of the exam in this order instead of a draw from categories: the review
    // of questions due or missed, always a practice run.
    std::vector<qint64> ids;

    bool untimed() const { return minutes == 0; }
    bool operator==(const CustomExam&) const = default;
};

// Nine hours: longer than any sitting, and what files written with a 16-bit clock can hold.
inline constexpr int kMaxCustomMinutes = 540;

// The minutes a count of questions gets unless the candidate says otherwise: one each.
inline int defaultMinutes(int questions) {
    return questions;
}

// "1 question", "20 questions".
QString questionCount(int n);
// The settings as one line of text, kept with the attempt and in the history, and read back.
// Example: "exam=1 categories=0,3 questions=20 minutes=20 mode=practice"; a review adds
// "ids=57,60" and may have no categories.
QString encodeCustom(const CustomExam& custom);
std::optional<CustomExam> decodeCustom(const QString& text);

}  // namespace session
