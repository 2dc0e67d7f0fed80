#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "examdb/sqlite_handles.h"
#include "xapi/statement_parts.h"

namespace xapi {

// Statements waiting for the record store, in the history file itself: queued in the
// transaction that records their attempt, so neither is ever kept without the other.
namespace outbox {

// Queues statements, oldest first, inside the caller's transaction on the history's db.
// Throws examdb::Error, which undoes the caller's transaction too.
void queue(sqlite3* db, const std::vector<Statement>& statements);

}  // namespace outbox

struct QueuedStatement {
    qint64 seq = 0;  // queue order
    QString id;
    QByteArray body;  // the statement's JSON, exactly as queued
};

struct OutboxCounts {
    int waiting = 0;
    int rejected = 0;
};

// The sender's own connection to the outbox. Every failure throws examdb::Error.
class Outbox {
public:
    // Opens the history file at path; never creates it.
    explicit Outbox(const QString& path);

    // The oldest waiting statements: at most count of them, and no more than about maxBytes
    // unless the first alone is larger.
    std::vector<QueuedStatement> oldest(int count, qint64 maxBytes) const;
    void remove(const std::vector<QueuedStatement>& sent);
    // Kept, never sent again, with the store's reason.
    void setAside(const QueuedStatement& statement, const QString& reason);
    OutboxCounts counts() const;

private:
    bool hasTable() const;

    QString path_;
    examdb::ConnectionHandle db_;
};

}  // namespace xapi
