#pragma once

#include <QString>
#include <memory>

#include "examdb/sqlite_handles.h"
#include "examdb/statement.h"

namespace examdb {

// One open SQLite connection to an existing, checked database file. Shared by a Database and
// the record sets opened from it, so a record set outlives an early Database::close().
class Connection {
public:
    // fileName is taken relative to the current working directory. Never creates a file.
    static std::shared_ptr<Connection> open(const QString& fileName, const QString& connect);

    sqlite3* handle() const { return db_.get(); }
    // The file name as the caller gave it, for error texts.
    const QString& label() const { return label_; }

    Statement prepare(const QString& sqliteSql) const {
        return Statement(db_.get(), sqliteSql, label_);
    }

private:
    Connection(ConnectionHandle db, QString label) : db_(std::move(db)), label_(std::move(label)) {}

    ConnectionHandle db_;
    QString label_;
};

}  // namespace examdb
