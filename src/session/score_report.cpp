#include "session/score_report.h"

#include "examdb/database.h"
#include "examdb/recordset.h"
#include "examdb/statement.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "session/score_rules.h"

namespace session {
namespace {

// Duplicate IDs in tblRandom, which only a damaged file holds, count once, as the draw would.
QString drawnQuestionsSql(int exam) {
    const QString e = examdb::statements::examTable(exam);
    const QString k = examdb::statements::keyTable(exam);
    QString same;
    for (int n = 1; n <= 5; ++n) {
        same += QStringLiteral("%1e.correctanswer%2 = k.correctanswer%2")
                    .arg(n == 1 ? QString() : QStringLiteral(" AND "))
                    .arg(n);
    }
    return QStringLiteral(
               "SELECT d.position, e.ID, e.catID, e.correctanswer1, e.correctanswer2, "
               "e.correctanswer3, e.correctanswer4, e.correctanswer5, coalesce(%3, 0) "
               "FROM (SELECT ID, min(sl_no) AS position FROM tblRandom GROUP BY ID) AS d "
               "INNER JOIN %1 AS e ON e.ID = d.ID LEFT JOIN %2 AS k ON k.ID = e.ID "
               "ORDER BY d.position")
        .arg(e, k, same);
}

}  // namespace

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

    examdb::Statement drawn = db.prepare(drawnQuestionsSql(exam));
    while (drawn.step()) {
        QuestionScore q;
        q.position = int(drawn.integer(0));
        q.id = drawn.integer(1);
        for (int n = 0; n < 5; ++n) {
            q.chosen[size_t(n)] = drawn.integer(3 + n) != 0;
        }
        q.correct = drawn.integer(8) != 0;
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
