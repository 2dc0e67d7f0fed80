#include "examdb/journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "examdb/sqlite_handles.h"

namespace examdb {

void foldJournal(const QString& fileName) noexcept {
    constexpr int kBusyTimeoutMs = 2000;
    const QFileInfo file(QDir::current(), fileName);
    if (fileName.isEmpty() || !file.isFile()) {
        return;
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file.absoluteFilePath()).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    // Closed the engine's own way: the last connection to close deletes the emptied journal.
    const ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        return;
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    // The statement, unlike the bare call, first reads the file and so finds it journalled.
    sqlite3_exec(db.get(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
}

}  // namespace examdb
