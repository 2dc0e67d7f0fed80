#pragma once

#include <QString>
#include <QVariant>

#include "examdb/sqlite_handles.h"

namespace examdb {

// One prepared SQLite statement (already in SQLite's dialect). Exactly one statement per text:
// anything but blanks and comments after the first one is refused.
class Statement {
public:
    // context names the file in error texts.
    Statement(sqlite3* db, const QString& sql, const QString& context);

    // index counts from 1, as SQLite does.
    void bind(int index, const QVariant& value);
    void bind(int index, qint64 value);
    // True while a row is ready.
    bool step();
    void reset();

    int columnCount() const { return sqlite3_column_count(stmt_.get()); }
    QVariant value(int column) const;
    qint64 integer(int column) const { return sqlite3_column_int64(stmt_.get(), column); }
    sqlite3_stmt* handle() const { return stmt_.get(); }

private:
    [[noreturn]] void fail() const;

    sqlite3* db_;
    StatementHandle stmt_;
    QString sql_;
    QString context_;
};

}  // namespace examdb
