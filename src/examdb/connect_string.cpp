#include "examdb/connect_string.h"

#include <QStringList>

#include "examdb/error.h"

namespace examdb {

QHash<QString, QString> parseConnectString(const QString& connect) {
    QHash<QString, QString> parts;
    const QStringList pieces = connect.split(QLatin1Char(';'));
    for (const QString& piece : pieces) {
        if (piece.trimmed().isEmpty()) {
            continue;
        }
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : piece.left(eq).trimmed().toLower();
        if (key.isEmpty()) {
            throw Error(errc::BadConnectString,
                        QStringLiteral("Could not find installable ISAM: connect string part "
                                       "'%1' is not key=value.")
                            .arg(piece.trimmed()));
        }
        parts.insert(key, piece.mid(eq + 1));
    }
    return parts;
}

}  // namespace examdb
