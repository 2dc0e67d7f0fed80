#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace app {

// A short exam of the candidate's own making: how many questions from which categories of
// one exam, with its own clock, and whether each answer is checked at once.
struct CustomExam {
    int exam = 1;                 // whose questions: 1 to 3; the demo has only 1
    std::vector<int> categories;  // the ticked categories' catID values, ascending
    int questions = 20;
    int minutes = 20;  // 0: untimed, the clock counts up
    bool practice = false;

    bool untimed() const { return minutes == 0; }
    bool operator==(const CustomExam&) const = default;
};

// The exam clock counts seconds in 16 bits: past nine hours it could never reach the limit, and
// a timed exam would never end.
inline constexpr int kMaxCustomMinutes = 540;

// The minutes a count of questions gets unless the candidate says otherwise: one each.
inline int defaultMinutes(int questions) {
    return questions;
}

// "1 question", "20 questions".
QString questionCount(int n);
// The score sheet's title line: "Custom exam: 20 questions from Exam #1".
QString customTitle(const CustomExam& custom);
// The settings as one line of text, kept with the attempt and in the history, and read back.
// Example: "exam=1 categories=0,3 questions=20 minutes=20 mode=practice".
QString encodeCustom(const CustomExam& custom);
std::optional<CustomExam> decodeCustom(const QString& text);

// The custom exam being taken; empty while a fixed exam is taken or none is.
const std::optional<CustomExam>& customExam();
bool isCustomExam();
// Makes custom the exam being taken (ActiveExam and the count of questions follow it).
void setCustomExam(const CustomExam& custom);
// Back to the fixed exams: their count of questions again.
void clearCustomExam();

// The name a custom exam runs under: the one typed last, in this session or an earlier one.
QString lastCandidateName();
void rememberCandidateName(const QString& name);

// Starts custom at once, without intro and notice, as the notice's OK starts a fixed exam.
// False, with nothing changed, when an exam is under way or the exam window cannot open.
bool startCustomExam(const CustomExam& custom);

}  // namespace app
