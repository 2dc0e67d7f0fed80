#pragma once

#include <QtGlobal>
#include <vector>

namespace app {

// Question IDs the study window shows instead of the whole exam (the missed questions of the
// progress history); empty for the whole exam.
std::vector<qint64>& studySubset();

}  // namespace app
