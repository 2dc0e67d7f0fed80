#include "session/score_report.h"

#include "examdb/database.h"
#include "examdb/error.h"
#include "examdb/recordset.h"
#include "examdb/statement.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "session/score_rules.h"

namespace session {
namespace {

// The columns readQuestion takes, from exam table e joined to key table k.
QString questionColumns(int exam) {
    const QString k = examdb::statements::keyTable(exam);
    QString same;
    for (int n = 1; n <= 5; ++n) {
        same += QStringLiteral("%1e.correctanswer%2 = k.correctanswer%2")
                    .arg(n == 1 ? QString() : QStringLiteral(" AND "))
                    .arg(n);
    }
    return QStringLiteral(
               "e.ID, e.catID, e.correctanswer1, e.correctanswer2, e.correctanswer3, "
               "e.correctanswer4, e.correctanswer5, coalesce(%1, 0), k.correctanswer1, "
               "k.correctanswer2, k.correctanswer3, k.correctanswer4, k.correctanswer5, "
               "e.question, e.answer1, e.answer2, e.answer3, e.answer4, e.answer5")
        .arg(same);
}

// Reads questionColumns from column `first` on.
QuestionScore readQuestion(examdb::Statement& row, int first) {
    QuestionScore q;
    q.id = row.integer(first);
    for (int n = 0; n < 5; ++n) {
        q.chosen[size_t(n)] = row.integer(first + 2 + n) != 0;
        q.key[size_t(n)] = row.integer(first + 8 + n) != 0;
        q.choices[size_t(n)] = row.value(first + 14 + n).toString();
    }
    q.correct = row.integer(first + 7) != 0;
    q.question = row.value(first + 13).toString();
    return q;
}

// Duplicate IDs in tblRandom, which only a damaged file holds, count once, as the draw would.
QString drawnQuestionsSql(int exam) {
    return QStringLiteral(
               "SELECT d.position, %3 "
               "FROM (SELECT ID, min(sl_no) AS position FROM tblRandom GROUP BY ID) AS d "
               "INNER JOIN %1 AS e ON e.ID = d.ID LEFT JOIN %2 AS k ON k.ID = e.ID "
               "ORDER BY d.position")
        .arg(examdb::statements::examTable(exam), examdb::statements::keyTable(exam),
             questionColumns(exam));
}

}  // namespace

// A bank without its test information still scores; only reports elsewhere miss the name.
QString bankName(examdb::Database& db) {
    try {
        examdb::Statement name =
            db.prepare(QStringLiteral("SELECT test_name FROM \"Test Information\" LIMIT 1"));
        return name.step() ? name.value(0).toString() : QString();
    } catch (const examdb::Error&) {
        return QString();
    }
}

QString chosenLetters(const QuestionScore& q) {
    QString letters;
    for (int n = 0; n < 5; ++n) {
        if (q.chosen[size_t(n)]) {
            letters += QChar(u'A' + n);
        }
    }
    return letters;
}

ScoreReport scoreExam(examdb::Database& db, int exam, int questions, int passMark) {
    ScoreReport report;
    report.exam = exam;
    report.questions = questions;
    report.passMark = passMark;

    examdb::Statement names = db.prepare(QStringLiteral("SELECT cat_desc FROM cat ORDER BY rowid"));
    while (names.step()) {
        const int row = int(report.categories.size());
        report.categories.push_back({row, names.value(0).toString(), 0, 0, 0});
    }

    report.bank = bankName(db);
    examdb::Statement drawn = db.prepare(drawnQuestionsSql(exam));
    while (drawn.step()) {
        QuestionScore q = readQuestion(drawn, 1);
        q.position = int(drawn.integer(0));
        report.correct += q.correct ? 1 : 0;
        // Only a whole number names a category, as the key's own comparison has it.
        const bool named = sqlite3_column_type(drawn.handle(), 2) == SQLITE_INTEGER;
        const qint64 row = drawn.integer(2);
        if (named && row >= 0 && row < qint64(report.categories.size())) {
            CategoryScore& c = report.categories[size_t(row)];
            ++c.total;
            c.correct += q.correct ? 1 : 0;
        }
        report.drawn.push_back(q);
    }
    for (CategoryScore& c : report.categories) {
        c.percent = categoryPercent(c.correct, c.total);
    }
    report.score = int(examScore(report.correct, questions));
    report.passed = report.score >= passMark;
    return report;
}

std::optional<QuestionScore> scoreQuestion(examdb::Database& db, int exam, qint64 id) {
    examdb::Statement one = db.prepare(
        QStringLiteral("SELECT %3 FROM %1 AS e LEFT JOIN %2 AS k ON k.ID = e.ID WHERE e.ID = ?1")
            .arg(examdb::statements::examTable(exam), examdb::statements::keyTable(exam),
                 questionColumns(exam)));
    one.bind(1, id);
    if (!one.step()) {
        return std::nullopt;
    }
    return readQuestion(one, 0);
}

void writeCategoryScores(examdb::Database& db, const ScoreReport& report) {
    // An interrupted rebuild leaves the last report's rows as they were.
    examdb::Transaction rebuild(db);
    db.execute(examdb::statements::s1());
    examdb::Recordset scores = db.openRecordset(QStringLiteral("cat_scores"));
    for (const CategoryScore& c : report.categories) {
        scores.addNew();
        scores.setValue(2, QString::number(c.total));
        scores.setValue(3, QString::number(c.correct));
        scores.setValue(4, QString::number(c.percent));
        scores.update();
    }
    rebuild.commit();
}

}  // namespace session
