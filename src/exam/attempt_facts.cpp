#include "exam/attempt_facts.h"

#include <QStringList>

#include "app/custom_exam.h"
#include "examdb/database.h"
#include "examdb/statement.h"

namespace exam {
namespace {

constexpr int kAnswerColumns = 5;
constexpr qsizetype kLongestValueShown = 40;

qint64 countOf(examdb::Database& db, const QString& sql) {
    examdb::Statement count = db.prepare(sql);
    return count.step() ? count.integer(0) : 0;
}

// A value as a refusal names it: numbers as they are, text quoted and cut short.
QString shown(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::LongLong:
            return QString::number(value.toLongLong());
        case QMetaType::Double:
            return QString::number(value.toDouble());
        case QMetaType::QString: {
            const QString text = value.toString().simplified();
            return QLatin1Char('\'') +
                   (text.size() > kLongestValueShown ? text.left(kLongestValueShown) + QChar(0x2026)
                                                     : text) +
                   QLatin1Char('\'');
        }
        case QMetaType::QByteArray:
            return QStringLiteral("binary data");
        default:
            return QStringLiteral("nothing");
    }
}

bool programsOwn(const QVariant& value) {
    return value.typeId() == QMetaType::LongLong &&
           (value.toLongLong() == 0 || value.toLongLong() == 1);
}

void readRepeats(examdb::Database& db, AttemptFacts& facts) {
    examdb::Statement repeated = db.prepare(
        QStringLiteral("SELECT ID, count(*) FROM tblRandom GROUP BY ID HAVING count(*) > 1 "
                       "ORDER BY count(*) DESC, min(sl_no) LIMIT 1"));
    if (repeated.step()) {
        facts.repeatedId = repeated.value(0).toString();
        facts.repeatedTimes = repeated.integer(1);
    }
}

// Only the candidate's answer columns of the drawn questions: the rest are cleared by the
// next draw.
void readOddAnswers(examdb::Database& db, int exam, AttemptFacts& facts) {
    QStringList columns;
    QStringList odd;
    for (int n = 1; n <= kAnswerColumns; ++n) {
        columns << QStringLiteral("e.correctanswer%1 AS a%1").arg(n);
        odd << QStringLiteral("NOT (typeof(a%1) = 'integer' AND a%1 IN (0, 1))").arg(n);
    }
    // Numbered before the filter, so that n is the question's place in the whole draw.
    examdb::Statement placed = db.prepare(
        QStringLiteral("SELECT n, a1, a2, a3, a4, a5 FROM (SELECT row_number() OVER (ORDER BY "
                       "r.sl_no) AS n, %2 FROM tblRandom r JOIN exam%1 e ON e.ID = r.ID) WHERE "
                       "%3 ORDER BY n")
            .arg(exam)
            .arg(columns.join(QLatin1String(", ")), odd.join(QLatin1String(" OR "))));
    if (!placed.step()) {
        return;
    }
    facts.oddAnswerAt = placed.integer(0);
    QStringList values;
    for (int n = 1; n <= kAnswerColumns; ++n) {
        const QVariant value = placed.value(n);
        if (!programsOwn(value)) {
            values << QStringLiteral("%1 in correctanswer%2").arg(shown(value)).arg(n);
        }
    }
    facts.oddAnswers = values.join(QLatin1String(" and "));
    while (placed.step()) {
        ++facts.oddAnswersAfter;
    }
}

void readCustomFit(examdb::Database& db, int exam, const session::CustomExam& custom,
                   AttemptFacts& facts) {
    facts.bankCategories = countOf(db, QStringLiteral("SELECT count(*) FROM cat"));
    QStringList categories;
    for (int category : custom.categories) {
        categories << QString::number(category);
    }
    const QString list = categories.join(QLatin1Char(','));
    facts.inCategories = countOf(
        db, QStringLiteral("SELECT count(*) FROM exam%1 WHERE catID IN (%2)").arg(exam).arg(list));
    facts.outsideCategories =
        countOf(db, QStringLiteral("SELECT count(*) FROM tblRandom r JOIN exam%1 e ON e.ID = "
                                   "r.ID WHERE e.catID IS NULL OR e.catID NOT IN (%2)")
                        .arg(exam)
                        .arg(list));
}

}  // namespace

AttemptFacts readFacts(examdb::Database& db, int exam, const session::CustomExam* custom) {
    AttemptFacts facts;
    facts.drawn = int(countOf(db, QStringLiteral("SELECT count(*) FROM tblRandom")));
    readRepeats(db, facts);
    if (exam < 1 || exam > 3) {
        return facts;
    }
    facts.missing =
        int(countOf(db, QStringLiteral("SELECT count(*) FROM tblRandom WHERE ID IS NULL OR ID "
                                       "NOT IN (SELECT ID FROM exam%1)")
                            .arg(exam)));
    readOddAnswers(db, exam, facts);
    if (custom && !custom->categories.empty()) {
        readCustomFit(db, exam, *custom, facts);
    }
    return facts;
}

}  // namespace exam
