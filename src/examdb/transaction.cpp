#include "examdb/transaction.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QtGlobal>

#include "examdb/database.h"
#include "examdb/error.h"

namespace examdb {

Transaction::Transaction(Database& db) : Transaction(db.handle()) {}

Transaction::Transaction(sqlite3* db) : db_(db) {
    if (db_ == nullptr) {
        throw Error(errc::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
    }
    if (sqlite3_get_autocommit(db_) != 0) {
        // Immediate: take the write lock now rather than fail to upgrade a read lock later.
        run("BEGIN IMMEDIATE");
    } else {
        static int counter = 0;
        savepoint_ = QStringLiteral("examdb_%1").arg(++counter);
        run(QStringLiteral("SAVEPOINT %1").arg(savepoint_).toUtf8().constData());
    }
}

Transaction::~Transaction() {
    if (done_) {
        return;
    }
    const QByteArray sql =
        savepoint_.isEmpty()
            ? QByteArray("ROLLBACK")
            : QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(savepoint_).toUtf8();
    if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        qWarning("examdb: rollback failed: %s", sqlite3_errmsg(db_));
    }
}

void Transaction::commit() {
    if (done_) {
        return;
    }
    if (savepoint_.isEmpty()) {
        run("COMMIT");
    } else {
        run(QStringLiteral("RELEASE %1").arg(savepoint_).toUtf8().constData());
    }
    done_ = true;
}

void Transaction::run(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        // Name the file: a lock held by another program surfaces here.
        const QString file =
            QFileInfo(QString::fromUtf8(sqlite3_db_filename(db_, "main"))).fileName();
        throwSqliteError(db_, file + QStringLiteral(": ") + QString::fromUtf8(sql));
    }
}

}  // namespace examdb
