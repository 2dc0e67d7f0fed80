#pragma once

#include <QString>

struct sqlite3;

namespace examdb {

class Database;

// Rolls back unless commit() ran. Nests: inside an open transaction it becomes a savepoint, so
// a record set's Update can run inside a caller's larger transaction.
class Transaction {
public:
    explicit Transaction(Database& db);
    explicit Transaction(sqlite3* db);
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    void run(const char* sql);

    sqlite3* db_;
    QString savepoint_;  // empty for an outermost transaction
    bool done_ = false;
};

}  // namespace examdb
