#include "examdb/row_store.h"

#include <algorithm>

namespace examdb {

void RowStore::makeKeyed(Loader loader, std::vector<int> rowidFields) {
    keyed_ = true;
    loader_ = std::move(loader);
    rowidFields_ = std::move(rowidFields);
    keys_.assign(rows_.size() * size_t(hidden_), 0);
    for (size_t i = 0; i < rows_.size(); ++i) {
        storeKeys(keys_.begin() + qsizetype(i) * hidden_, rows_[i]);
    }
}

void RowStore::storeKeys(std::vector<qlonglong>::iterator at, const Row& row) {
    // A row with a null rowid (an outer join's missing side) is always held whole, so the
    // placeholder 0 is never looked up.
    for (int slot = 0; slot < hidden_; ++slot) {
        *(at + slot) = row[size_t(visible_ + slot)].toLongLong();
    }
}

QVariant RowStore::value(int index, int field) const {
    if (keyed_ && !isLoaded(index) && rowidFields_[size_t(field)] >= 0) {
        return QVariant(key(index, rowidFields_[size_t(field)]));
    }
    return at(index)[size_t(field)];
}

qlonglong RowStore::key(int index, int slot) const {
    if (keyed_) {
        return keys_[size_t(index) * size_t(hidden_) + size_t(slot)];
    }
    return rows_[size_t(index)][size_t(visible_ + slot)].toLongLong();
}

void RowStore::append(Row row) {
    if (keyed_) {
        keys_.resize(keys_.size() + size_t(hidden_));
        storeKeys(keys_.end() - hidden_, row);
    }
    rows_.push_back(std::move(row));
}

void RowStore::appendKeys(const qlonglong* keys) {
    keys_.insert(keys_.end(), keys, keys + hidden_);
    rows_.emplace_back();
}

void RowStore::setLoaded(int index, Row row) const {
    rows_[size_t(index)] = std::move(row);
}

void RowStore::ensureLoaded(int index) const {
    if (!keyed_ || isLoaded(index)) {
        return;
    }
    const int first = index - index % kBlock;
    const int last = std::min(count(), first + kBlock);
    loader_(*this, first, last);
}

}  // namespace examdb
