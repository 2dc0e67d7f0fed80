#pragma once

#include <QString>
#include <vector>

#include "history/attempt_record.h"

namespace progress {

// The attempts as the table shows them, then every attempt's categories, as CSV a spreadsheet
// opens: dates in ISO form, numbers bare, texts quoted where they must be. A custom attempt's
// settings go last, as the history keeps them, so a spreadsheet can sort by them.
QString csvText(const std::vector<history::AttemptRecord>& attempts);

}  // namespace progress
