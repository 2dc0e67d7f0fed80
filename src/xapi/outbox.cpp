#include "xapi/outbox.h"

#include <QFile>

#include "examdb/error.h"
#include "examdb/statement.h"
#include "examdb/transaction.h"

namespace xapi {
namespace {

const QString kContext = QStringLiteral("the outbox of results");

// rejected stays NULL while a statement waits; the store's reason once it is set aside.
constexpr char kCreate[] =
    "CREATE TABLE IF NOT EXISTS xapi_outbox (seq INTEGER PRIMARY KEY, statement_id TEXT NOT NULL "
    "UNIQUE, body TEXT NOT NULL, rejected TEXT)";

}  // namespace

void outbox::queue(sqlite3* db, const std::vector<Statement>& statements) {
    if (statements.empty()) {
        return;
    }
    examdb::Statement(db, QString::fromLatin1(kCreate), kContext).step();
    examdb::Statement insert(
        db, QStringLiteral("INSERT INTO xapi_outbox (statement_id, body) VALUES (?1, ?2)"),
        kContext);
    for (const Statement& s : statements) {
        insert.bind(1, QVariant(s.id));
        // The text as written, with no round trip through UTF-16.
        sqlite3_bind_text(insert.handle(), 2, s.json.constData(), int(s.json.size()),
                          SQLITE_TRANSIENT);
        insert.step();
        insert.reset();
    }
}

Outbox::Outbox(const QString& path) : path_(path) {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        examdb::throwSqliteError(db_.get(), path);
    }
    // The windows write the history briefly; the sender never holds them up for long.
    sqlite3_busy_timeout(db_.get(), 500);
}

bool Outbox::hasTable() const {
    examdb::Statement find(db_.get(),
                           QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                          "name = 'xapi_outbox'"),
                           path_);
    return find.step();
}

std::vector<QueuedStatement> Outbox::oldest(int count, qint64 maxBytes) const {
    std::vector<QueuedStatement> batch;
    if (!hasTable()) {
        return batch;
    }
    examdb::Statement read(db_.get(),
                           QStringLiteral("SELECT seq, statement_id, body FROM xapi_outbox WHERE "
                                          "rejected IS NULL ORDER BY seq LIMIT ?1"),
                           path_);
    read.bind(1, qint64(count));
    qint64 bytes = 0;
    while (read.step()) {
        QueuedStatement s{
            read.integer(0), read.value(1).toString(),
            QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(read.handle(), 2)),
                       sqlite3_column_bytes(read.handle(), 2))};
        bytes += s.body.size();
        if (!batch.empty() && bytes > maxBytes) {
            break;
        }
        batch.push_back(std::move(s));
    }
    return batch;
}

void Outbox::remove(const std::vector<QueuedStatement>& sent) {
    examdb::Transaction transaction(db_.get());
    examdb::Statement drop(db_.get(), QStringLiteral("DELETE FROM xapi_outbox WHERE seq = ?1"),
                           path_);
    for (const QueuedStatement& s : sent) {
        drop.bind(1, s.seq);
        drop.step();
        drop.reset();
    }
    transaction.commit();
}

void Outbox::setAside(const QueuedStatement& statement, const QString& reason) {
    examdb::Statement mark(
        db_.get(), QStringLiteral("UPDATE xapi_outbox SET rejected = ?2 WHERE seq = ?1"), path_);
    mark.bind(1, statement.seq);
    mark.bind(2, QVariant(reason.isEmpty() ? QStringLiteral("rejected") : reason));
    mark.step();
}

OutboxCounts Outbox::counts() const {
    OutboxCounts counts;
    if (!hasTable()) {
        return counts;
    }
    examdb::Statement count(db_.get(),
                            QStringLiteral("SELECT count(*) - count(rejected), count(rejected) "
                                           "FROM xapi_outbox"),
                            path_);
    if (count.step()) {
        counts.waiting = int(count.integer(0));
        counts.rejected = int(count.integer(1));
    }
    return counts;
}

}  // namespace xapi
