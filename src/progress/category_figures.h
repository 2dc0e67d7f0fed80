#pragma once

#include <QString>
#include <vector>

#include "history/attempt_record.h"

namespace progress {

// One category of an exam: the latest attempt's percentage beside the average percentage of
// the attempts before it (none: -1), whole numbers rounded down as the score sheet does.
struct CategoryFigure {
    QString name;
    int latest = 0;
    int earlierAverage = -1;
};

// attempts: one candidate's attempts at one exam, newest first; the first is the latest.
std::vector<CategoryFigure> categoryFigures(const std::vector<history::AttemptRecord>& attempts);

// "01:12:05" from seconds.
QString timeUsedText(int seconds);
// "Exam #2", or "Demo exam".
QString examText(const history::AttemptRecord& attempt);

}  // namespace progress
