#pragma once

#include <QString>
#include <memory>

#include "examdb/recordset.h"
#include "examdb/statement.h"

struct sqlite3;

namespace examdb {

class Connection;

// A direct connection to the exam database file.
class Database {
public:
    // Opens fileName (a bare name is looked for in the current working directory) read-write.
    // Never creates a file. connect is a connect string such as ";pwd=..."; the password is
    // accepted and ignored. Throws when the file is missing, is not a database, or lacks a
    // table or column the program needs.
    static Database open(const QString& fileName, const QString& connect = QString());

    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;

    bool isOpen() const { return connection_ != nullptr; }
    QString fileName() const;

    // Runs one statement in the Access dialect that returns no rows; returns the rows changed.
    int execute(const QString& accessSql);

    // A statement in the Access dialect to bind and step by hand, for work done row by row in
    // bulk: prepared once, it spares each row the parse of a statement of its own.
    Statement prepare(const QString& accessSql);

    // source: a table name or a SELECT in the Access dialect.
    Recordset openRecordset(const QString& source);

    // Record sets already opened keep the file open until they close.
    void close();

private:
    friend class Transaction;
    sqlite3* handle() const;

    std::shared_ptr<Connection> connection_;
};

}  // namespace examdb
