#pragma once

#include <QString>
#include <vector>

namespace examdb {

// What a SELECT (in SQLite's dialect) reads from, so that its rows can be written back.
struct QueryShape {
    struct Source {
        QString table;  // as written, without quotes
        QString alias;  // empty when the table has none
        QString ref;  // the text that names it in the statement: alias or table, quoted as written
    };

    // True for a plain SELECT over tables whose every row stands for one row of each source.
    // DISTINCT, GROUP BY, aggregates, compound selects and sub-selects in FROM make it false.
    bool rowsMapToTables = false;
    // Offset of the top-level FROM keyword, where further result columns can go.
    qsizetype fromOffset = -1;
    std::vector<Source> sources;
};

QueryShape analyseSelect(const QString& sqliteSql);

// The name withRowids gives the rowid of the source at position slot.
QString hiddenRowidName(int slot);

// sql with "ref.rowid" of every source appended to its result columns, in source order.
// Only for shapes whose rowsMapToTables is true.
QString withRowids(const QString& sqliteSql, const QueryShape& shape);

}  // namespace examdb
