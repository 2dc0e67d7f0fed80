#include "examdb/error.h"

#include <sqlite3.h>

#include <utility>

namespace examdb {

Error::Error(int number, QString text)
    : number(number),
      text(std::move(text)),
      what_((QString::number(number) + QStringLiteral(": ") + this->text).toUtf8()) {}

void throwSqliteError(sqlite3* db, const QString& context) {
    const int code = sqlite3_errcode(db) & 0xff;
    QString message = QString::fromUtf8(sqlite3_errmsg(db));
    if (!context.isEmpty()) {
        message += QStringLiteral(" (") + context + QLatin1Char(')');
    }
    throw Error(code, message);
}

}  // namespace examdb
