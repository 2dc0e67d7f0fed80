#include "examdb/error.h"

#include <sqlite3.h>

#include <cerrno>

#include <utility>

namespace examdb {

Error::Error(int number, QString text)
    : number(number),
      text(std::move(text)),
      what_((QString::number(number) + QStringLiteral(": ") + this->text).toUtf8()) {}

void throwSqliteError(sqlite3* db, const QString& context) {
    int code = sqlite3_errcode(db) & 0xff;
    QString message = QString::fromUtf8(sqlite3_errmsg(db));
    // A full disk met while growing the shared-memory file reads as a bare I/O error.
    const bool diskFull = code == SQLITE_FULL || sqlite3_system_errno(db) == ENOSPC;
    if (diskFull) {
        code = SQLITE_FULL;
        message = QString::fromUtf8(sqlite3_errstr(SQLITE_FULL));
    }
    if (!context.isEmpty()) {
        message += QStringLiteral(" (") + context + QLatin1Char(')');
    }
    if (diskFull) {
        message += QStringLiteral(
            "\n\nThe disk that holds the exam database is full. The answers saved before this "
            "are kept: free some space, then start the program again.");
    }
    throw Error(code, message);
}

}  // namespace examdb
