#pragma once

#include <QHash>
#include <QString>
#include <memory>

#include "examdb/sqlite_handles.h"
#include "examdb/statement.h"

namespace examdb {

// A statement borrowed from a connection's cache; reset and unbound when given back, so that
// it holds no read lock between uses.
class CachedStatement {
public:
    explicit CachedStatement(std::shared_ptr<Statement> statement)
        : statement_(std::move(statement)) {}
    ~CachedStatement() { statement_->reset(); }
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;

    Statement* operator->() const { return statement_.get(); }
    Statement& operator*() const { return *statement_; }

private:
    std::shared_ptr<Statement> statement_;
};

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
    // For texts run again and again, such as a record set's insert of each new row.
    CachedStatement cached(const QString& sqliteSql) const;

private:
    Connection(ConnectionHandle db, QString label) : db_(std::move(db)), label_(std::move(label)) {}

    ConnectionHandle db_;
    QString label_;
    // Declared after db_: finalized before the connection closes.
    mutable QHash<QString, std::shared_ptr<Statement>> cache_;
};

}  // namespace examdb
