#pragma once

#include <QVariant>
#include <vector>

namespace examdb {

// The rows of a record set by position. Everything is loaded on open today; a loader that keeps
// only a window of rows can replace this class behind the same calls.
class RowStore {
public:
    using Row = std::vector<QVariant>;  // visible fields, then the hidden rowids

    int count() const { return int(rows_.size()); }
    const Row& at(int index) const { return rows_[size_t(index)]; }
    Row& at(int index) { return rows_[size_t(index)]; }

    void append(Row row) { rows_.push_back(std::move(row)); }
    void insert(int index, Row row) { rows_.insert(rows_.begin() + index, std::move(row)); }
    void clear() { rows_.clear(); }

private:
    std::vector<Row> rows_;
};

}  // namespace examdb
