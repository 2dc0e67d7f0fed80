#include "app/study_subset.h"

namespace app {

std::vector<qint64>& studySubset() {
    static std::vector<qint64> ids;
    return ids;
}

}  // namespace app
