#include "read_only_database.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "input_file.h"
#include "source_fields.h"

namespace bank {

examdb::ConnectionHandle openReadOnly(const QString& path) {
    if (const QString why = notAFile(path); !why.isEmpty()) {
        throw SourceError(path, 0, why);
    }
    const QFileInfo info(path);
    if (!info.isReadable()) {
        throw SourceError(path, 0, QStringLiteral("cannot be read"));
    }
    QByteArray name = QFile::encodeName(path);
    // One thread reads it: no locking of SQLite's own on each step.
    int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    if (!QFileInfo::exists(path + QStringLiteral("-wal"))) {
        name = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded() + "?immutable=1";
        flags |= SQLITE_OPEN_URI;
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &raw, flags, nullptr);
    examdb::ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        throw SourceError(
            path, 0, QStringLiteral("cannot be opened: ") + QString::fromUtf8(sqlite3_errmsg(raw)));
    }
    return db;
}

}  // namespace bank
