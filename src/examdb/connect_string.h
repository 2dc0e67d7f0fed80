#pragma once

#include <QHash>
#include <QString>

namespace examdb {

// The parts of a connect string such as ";pwd=secret": keys in lower case, values as written.
// Empty parts are skipped; a part that is not key=value is an Error.
QHash<QString, QString> parseConnectString(const QString& connect);

}  // namespace examdb
