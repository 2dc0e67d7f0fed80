#pragma once

#include <QString>
#include <vector>

#include "history/attempt_record.h"

namespace progress {

// What stands where there is no figure: a category without a drawn question, or no attempt
// before to compare with. The score sheet shows the same.
inline const QString kNoFigure = QStringLiteral("\u2013");

// One category of an exam: the latest attempt's percentage beside the average percentage of
// the attempts before it (none: -1), whole numbers rounded down as the score sheet does.
struct CategoryFigure {
    QString name;
    int latest = 0;
    int earlierAverage = -1;
};

// attempts: one candidate's attempts at one exam, newest first; the first is the latest. A
// category without a question in an attempt has no figure there: a custom exam leaves out
// every category not chosen.
std::vector<CategoryFigure> categoryFigures(const std::vector<history::AttemptRecord>& attempts);

// "01:12:05" from seconds.
QString timeUsedText(int seconds);
// "Exam #2", "Demo exam", or for a custom exam "Custom: 20 from Exam #1 (practice)".
QString examText(const history::AttemptRecord& attempt);
// The exam whose questions the attempt had, custom or not: "Exam #1", or "Demo exam".
QString examOf(const history::AttemptRecord& attempt);
// The attempt's exam in a sentence: "Exam #2", or "a custom exam of 20 questions from Exam #1".
QString examPhrase(const history::AttemptRecord& attempt);
// A custom attempt's settings in full, for a tooltip; empty for a fixed exam.
QString customDetails(const history::AttemptRecord& attempt);

inline bool isCustom(const history::AttemptRecord& attempt) {
    return !attempt.custom.isEmpty();
}
// Whether two attempts' scores compare: the same exam of the same edition, and either both
// fixed or both custom with the very same settings.
bool sameKind(const history::AttemptRecord& a, const history::AttemptRecord& b);

}  // namespace progress
