#pragma once

#include <QVariant>
#include <functional>
#include <vector>

namespace examdb {

// The rows of a record set by position. A small result is held whole. A large one holds only
// the rowids that name each row and reads a row's values when they are first asked for, a
// block of neighbouring rows at a time, so opening a record set over a big table costs one
// pass over its keys.
class RowStore {
public:
    using Row = std::vector<QVariant>;  // visible fields, then the hidden rowids
    // Reads rows [first, last) of a keyed store and hands each to setLoaded.
    using Loader = std::function<void(const RowStore& store, int first, int last)>;

    static constexpr int kBlock = 64;

    int count() const { return int(rows_.size()); }
    const Row& at(int index) const {
        ensureLoaded(index);
        return rows_[size_t(index)];
    }
    Row& at(int index) {
        ensureLoaded(index);
        return rows_[size_t(index)];
    }
    // The value of field without reading the row when the field is a rowid it already holds.
    QVariant value(int index, int field) const;
    // The hidden rowid in slot (0 for the first source), without reading the row.
    qlonglong key(int index, int slot) const;
    bool isLoaded(int index) const { return !rows_[size_t(index)].empty(); }

    // A store that starts holding whole rows; keyed() switches it to keys for the rows after.
    void reset(int visible, int hidden) {
        rows_.clear();
        keys_.clear();
        visible_ = visible;
        hidden_ = hidden;
        keyed_ = false;
        loader_ = nullptr;
        rowidFields_.clear();
    }
    // From now on rows may come as keys alone; field i of a row equals slot rowidFields[i]
    // (or -1). Rows already appended stay whole.
    void makeKeyed(Loader loader, std::vector<int> rowidFields);
    bool isKeyed() const { return keyed_; }

    void append(Row row);
    // A row known only by its hidden rowids, one per slot.
    void appendKeys(const qlonglong* keys);
    void setLoaded(int index, Row row) const;
    void clear() { reset(visible_, hidden_); }

private:
    void ensureLoaded(int index) const;
    void storeKeys(std::vector<qlonglong>::iterator at, const Row& row);

    int visible_ = 0;
    int hidden_ = 0;
    bool keyed_ = false;
    Loader loader_;
    std::vector<int> rowidFields_;
    // Loading fills rows in from const accessors.
    mutable std::vector<Row> rows_;  // empty until loaded, for a keyed store
    std::vector<qlonglong> keys_;    // hidden_ per row, only once keyed
};

}  // namespace examdb
