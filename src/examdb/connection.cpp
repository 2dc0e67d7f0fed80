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

bool hasSqliteHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    static const QByteArray magic("SQLite format 3\0", 16);
    return file.read(magic.size()) == magic;
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
    if (!hasSqliteHeader(path)) {
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
    sqlite3_extended_result_codes(db.get(), 0);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);

    try {
        checkSchemaCached(db.get(), path, fileName);
    } catch (const Error& e) {
        if (e.number == SQLITE_NOTADB) {
            throw Error(errc::NotADatabase,
                        QStringLiteral("Unrecognized database format '%1'.").arg(path));
        }
        throw;
    }
    return std::shared_ptr<Connection>(new Connection(std::move(db), fileName));
}

}  // namespace examdb
