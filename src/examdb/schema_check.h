#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

struct sqlite3;

namespace examdb {

struct TableRequirement {
    QString table;
    QStringList columns;
    int minColumns = 0;
    // Columns the program addresses by position (counted from 0) and expects under this name.
    std::vector<std::pair<int, QString>> named;
};

// Every table and column the program reads or writes.
const std::vector<TableRequirement>& requiredTables();

// Throws an Error naming the file, table and column of the first requirement db does not meet.
void checkSchema(sqlite3* db, const QString& fileLabel);

// checkSchema once per file and version: later calls for the same canonical path and
// modification time return at once.
void checkSchemaCached(sqlite3* db, const QString& canonicalPath, const QString& fileLabel);

}  // namespace examdb
