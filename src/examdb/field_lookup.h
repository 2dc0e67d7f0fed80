#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace examdb {

struct ColumnInfo {
    QString name;      // the result column's name
    QString table;     // table the value comes from; empty for a computed column
    QString origin;    // that table's column
    QString declType;  // declared type of the origin column
    // Index in a row of the hidden rowid of the origin table; -1 when the column cannot be
    // written back (computed, or its table is not one unambiguous source of the rows).
    int rowidSlot = -1;
};

// Finds the fields of a record set by name, without regard to case:
//   "question"                  first column of that name,
//   "exam1.ID", "[exam1].[ID]"  the column of that table (or alias) and origin name.
class FieldLookup {
public:
    FieldLookup() = default;
    // aliases: alias -> table, for sources that were given one.
    FieldLookup(std::vector<ColumnInfo> columns, std::vector<std::pair<QString, QString>> aliases);

    int count() const { return int(columns_.size()); }
    const ColumnInfo& column(int index) const { return columns_[size_t(index)]; }
    std::optional<int> find(const QString& name) const;

private:
    std::vector<ColumnInfo> columns_;
    std::vector<std::pair<QString, QString>> aliases_;
};

}  // namespace examdb
