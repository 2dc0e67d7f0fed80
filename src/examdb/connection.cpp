#include "examdb/connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "examdb/connect_string.h"
#include "examdb/error.h"
#include "examdb/schema_check.h"

namespace examdb {
namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kCachedStatements = 32;

// Never read the file through a descriptor of our own: closing any descriptor of it drops every
// POSIX lock this process holds on it, SQLite's too, and another process that opens and closes
// the file then checkpoints and deletes the journal our connections still write to. A file
// that is not a database SQLite refuses itself (SQLITE_NOTADB, below); only one too short for
// the header is one it would silently take for a new, empty database.
bool tooShortForDatabase(const QFileInfo& file) {
    constexpr qint64 kHeaderSize = 100;
    return file.size() < kHeaderSize;
}

}  // namespace

std::shared_ptr<Connection> Connection::open(const QString& fileName, const QString& connect) {
    // The password of a connect string is accepted and ignored: the files carry none.
    parseConnectString(connect);

    const QFileInfo info(QDir::current(), fileName);
    if (fileName.isEmpty() || !info.isFile()) {
        throw Error(errc::FileNotFound,
                    QStringLiteral("Could not find file '%1'.").arg(info.absoluteFilePath()));
    }
    const QString path = info.canonicalFilePath();
    // SQLite would take an empty file for a new database; we want a clear refusal instead.
    if (tooShortForDatabase(info)) {
        throw Error(errc::NotADatabase,
                    QStringLiteral("Unrecognized database format '%1'.").arg(path));
    }

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        if (!db) {
            throw Error(rc, QStringLiteral("Cannot open '%1'.").arg(path));
        }
        throwSqliteError(db.get(), path);
    }
    // SQLite quietly falls back to reading only; the first answer would then fail mid-exam.
    if (sqlite3_db_readonly(db.get(), "main") == 1) {
        throw Error(SQLITE_READONLY,
                    QStringLiteral("Cannot write to '%1': the file or its folder is read-only, and "
                                   "the program keeps the candidate's answers in it.")
                        .arg(path));
    }
    sqlite3_extended_result_codes(db.get(), 0);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    // NORMAL still survives a killed program; only a power cut can lose the last commits (in
    // WAL mode the file stays sound), and each small write (a mark, a move) stops waiting for
    // the disk.
    sqlite3_exec(db.get(), "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    // Windows open and close connections all the time; the last one to close would otherwise
    // copy the journal back into the file and wait for the disk each time. The journal stays
    // and is folded in by the engine's automatic checkpoints as it grows.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);

    try {
        checkSchemaCached(db.get(), path, fileName);
    } catch (const Error& e) {
        // The journal lives beside the file; a folder that refuses it leaves SQLite with only
        // "unable to open database file".
        if (e.number == SQLITE_CANTOPEN && !QFileInfo(info.absolutePath()).isWritable()) {
            throw Error(SQLITE_CANTOPEN,
                        QStringLiteral("Cannot open '%1': its folder is read-only, and the "
                                       "database keeps its journal beside it.")
                            .arg(path));
        }
        if (e.number == SQLITE_NOTADB) {
            throw Error(errc::NotADatabase,
                        QStringLiteral("Unrecognized database format '%1'.").arg(path));
        }
        throw;
    }
    return std::shared_ptr<Connection>(new Connection(std::move(db), fileName));
}

CachedStatement Connection::cached(const QString& sqliteSql) const {
    auto found = cache_.constFind(sqliteSql);
    if (found != cache_.constEnd()) {
        return CachedStatement(*found);
    }
    if (cache_.size() >= kCachedStatements) {
        cache_.clear();  // a statement still borrowed lives on in its borrower
    }
    auto statement = std::make_shared<Statement>(prepare(sqliteSql));
    cache_.insert(sqliteSql, statement);
    return CachedStatement(std::move(statement));
}

}  // namespace examdb
