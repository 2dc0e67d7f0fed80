#include "session/practice_key.h"

#include <QStringList>

#include "examdb/database.h"
#include "examdb/statement.h"
#include "examdb/statements.h"

namespace session {

std::optional<KeyAnswer> keyOf(examdb::Database& db, int exam, qint64 id) {
    examdb::Statement read = db.prepare(
        QStringLiteral("SELECT correctanswer1, correctanswer2, correctanswer3, correctanswer4, "
                       "correctanswer5, explanation FROM %1 WHERE ID = ?1")
            .arg(examdb::statements::keyTable(exam)));
    read.bind(1, id);
    if (!read.step()) {
        return std::nullopt;
    }
    KeyAnswer key;
    for (int n = 0; n < 5; ++n) {
        key.right[size_t(n)] = read.value(n).toInt() != 0;
    }
    key.explanation = read.value(5).toString();
    return key;
}

QString verdictText(const std::array<bool, 5>& chosen, const KeyAnswer& key) {
    if (chosen == key.right) {
        return QStringLiteral("Right.");
    }
    QStringList letters;
    for (int n = 0; n < 5; ++n) {
        if (key.right[size_t(n)]) {
            letters << QString(QChar(u'A' + n));
        }
    }
    if (letters.isEmpty()) {
        return QStringLiteral("Wrong. The key marks no choice as right.");
    }
    if (letters.size() == 1) {
        return QStringLiteral("Wrong. The right choice is %1.").arg(letters.front());
    }
    const QString last = letters.takeLast();
    return QStringLiteral("Wrong. The right choices are %1 and %2.")
        .arg(letters.join(QStringLiteral(", ")), last);
}

}  // namespace session
