// Linked into a second build of record set tests: every record set then holds keys alone and
// reads each value on demand, so the whole suite checks that path against the same answers.
#include "examdb/record_source.h"

namespace {
const bool keyed = [] {
    examdb::setEagerRowLimit(0);
    return true;
}();
}  // namespace
