#include "examdb/statements.h"

#include <QRegularExpression>
#include <QStringList>

#include "examdb/error.h"

namespace examdb::statements {
namespace {

void checkExam(int exam) {
    if (exam < 1 || exam > 3) {
        throw Error(errc::TableNotFound,
                    QStringLiteral("Cannot find the input table for exam %1.").arg(exam));
    }
}

// The texts below are written for exam 1; other exams swap the two table names.
QString forExam(QString text, int exam) {
    checkExam(exam);
    static const QRegularExpression key(QStringLiteral("\\bexam11\\b"));
    static const QRegularExpression responses(QStringLiteral("\\bexam1\\b"));
    text.replace(key, keyTable(exam));
    text.replace(responses, examTable(exam));
    return text;
}

}  // namespace

QString examTable(int exam) {
    checkExam(exam);
    return QStringLiteral("exam") + QString::number(exam);
}

QString keyTable(int exam) {
    checkExam(exam);
    return QStringLiteral("exam") + QString::number(exam) + QString::number(exam);
}

QString d1() {
    return QStringLiteral("delete * from tblrandom;");
}

QString x1(int exam) {
    return forExam(QStringLiteral("SELECT tblRandom.id, exam1.* FROM exam1 INNER JOIN tblRandom "
                                  "ON tblRandom.ID = exam1.ID ;"),
                   exam);
}

QString x2() {
    return QStringLiteral("delete * from showans;");
}

QString a1(int exam) {
    return forExam(
        QStringLiteral("SELECT exam11.* FROM exam11 INNER JOIN showans ON exam11.ID = showans.id;"),
        exam);
}

QString r1(int exam) {
    return forExam(QStringLiteral("SELECT * FROM exam11 ;"), exam);
}

QString s1() {
    return QStringLiteral("delete * from cat_scores;");
}

QString s2(int exam) {
    return forExam(
        QStringLiteral(
            "SELECT exam1.ID, exam1.correctanswer1, exam1.correctanswer2, exam1.correctanswer3, "
            "exam1.correctanswer4, exam1.correctanswer5,exam1.question, exam1.answer1, "
            "exam1.answer2, exam1.answer3, exam1.answer4, exam1.answer5, exam1.explanation FROM "
            "exam1 INNER JOIN exam11 ON exam1.ID = exam11.ID WHERE "
            "(([exam1].[id]=[exam11].[id]) AND "
            "([exam1].[correctanswer1]=[exam11].[correctanswer1]) and "
            "([exam1].[correctanswer2]=[exam11].[correctanswer2]) and "
            "([exam1].[correctanswer3]=[exam11].[correctanswer3]) and "
            "([exam1].[correctanswer4]=[exam11].[correctanswer4]) and "
            "([exam1].[correctanswer5]=[exam11].[correctanswer5]));"),
        exam);
}

QString s5(int exam, int category) {
    return forExam(QStringLiteral("Select catid From exam1 WHERE catid="), exam) +
           QString::number(category);
}

QString s6(int exam, int category) {
    return forExam(QStringLiteral(
                       "SELECT exam1.catID FROM exam1 INNER JOIN exam11 ON exam1.ID = exam11.ID "
                       "WHERE (([exam1].[id]=[exam11].[id]) AND "
                       "([exam1].[correctanswer1]=[exam11].[correctanswer1]) and "
                       "([exam1].[correctanswer2]=[exam11].[correctanswer2]) and "
                       "([exam1].[correctanswer3]=[exam11].[correctanswer3]) and "
                       "([exam1].[correctanswer4]=[exam11].[correctanswer4]) and "
                       "([exam1].[correctanswer5]=[exam11].[correctanswer5])) and "
                       "[exam1].[catid]="),
                   exam) +
           QString::number(category);
}

QString s8(int exam) {
    return forExam(QStringLiteral("UPDATE exam1 SET exam1.correctanswer1 = No, "
                                  "exam1.correctanswer2 = No, exam1.correctanswer3 = No, "
                                  "exam1.correctanswer4 = No, exam1.correctanswer5 = No;"),
                   exam);
}

QString w1(int exam) {
    return forExam(
        QStringLiteral(
            "SELECT exam1.ID, exam11.correctanswer1, exam11.correctanswer2, "
            "exam11.correctanswer3, exam11.correctanswer4, exam11.correctanswer5, "
            "exam11.question, exam11.answer1, exam11.answer2, exam11.answer3, exam11.answer4, "
            "exam11.answer5, exam11.explanation, exam11.diagram1, exam1.correctanswer1, "
            "exam1.correctanswer2, exam1.correctanswer3, exam1.correctanswer4, "
            "exam1.correctanswer5, exam1.cat_desc FROM exam1 INNER JOIN exam11 ON exam1.ID = "
            "exam11.ID WHERE (([exam1].[id]=[exam11].[id]) AND "
            "([exam1].[correctanswer1]<>[exam11].[correctanswer1]) OR "
            "([exam1].[correctanswer2]<>[exam11].[correctanswer2]) OR "
            "([exam1].[correctanswer3]<>[exam11].[correctanswer3]) OR "
            "([exam1].[correctanswer4]<>[exam11].[correctanswer4]) OR "
            "([exam1].[correctanswer5]<>[exam11].[correctanswer5]));"),
        exam);
}

namespace {

// A catalogue statement, already made for its exam, narrowed to the questions of the current
// draw. Every catalogue WHERE clause is parenthesised or a single comparison, so one more AND
// narrows all of it.
QString drawnOnly(QString statement, int exam) {
    const bool terminated = statement.endsWith(QLatin1Char(';'));
    if (terminated) {
        statement.chop(1);
    }
    statement += QStringLiteral(" AND ") +
                 forExam(QStringLiteral("[exam1].[id] IN (SELECT [ID] FROM tblRandom)"), exam);
    return terminated ? statement + QLatin1Char(';') : statement;
}

}  // namespace

QString s2Drawn(int exam) {
    return drawnOnly(s2(exam), exam);
}

QString s5Drawn(int exam, int category) {
    return drawnOnly(s5(exam, category), exam);
}

QString s6Drawn(int exam, int category) {
    return drawnOnly(s6(exam, category), exam);
}

QString w1Drawn(int exam) {
    return drawnOnly(w1(exam), exam);
}

QString drawResults(int exam) {
    return forExam(
        QStringLiteral("SELECT tblRandom.sl_no, tblRandom.ID, coalesce("
                       "exam1.correctanswer1 = exam11.correctanswer1 AND "
                       "exam1.correctanswer2 = exam11.correctanswer2 AND "
                       "exam1.correctanswer3 = exam11.correctanswer3 AND "
                       "exam1.correctanswer4 = exam11.correctanswer4 AND "
                       "exam1.correctanswer5 = exam11.correctanswer5, 0) FROM tblRandom "
                       "INNER JOIN exam1 ON exam1.ID = tblRandom.ID "
                       "INNER JOIN exam11 ON exam11.ID = tblRandom.ID ORDER BY tblRandom.sl_no;"),
        exam);
}

// Apart, each extreme is one step down the row key; together they would read every row.
QString drawBounds(int exam) {
    return forExam(QStringLiteral("SELECT (SELECT min(ID) FROM exam1), (SELECT max(ID) FROM "
                                  "exam1);"),
                   exam);
}

// With no order asked for, the engine may read the IDs from the smallest index that holds
// them instead of from the rows.
QString drawIds(int exam) {
    return forExam(QStringLiteral("SELECT exam1.ID FROM exam1;"), exam);
}

QString drawHas(int exam) {
    return forExam(QStringLiteral("SELECT 1 FROM exam1 WHERE exam1.ID = ?1;"), exam);
}

QString drawInsert() {
    return QStringLiteral("INSERT INTO tblRandom (sl_no, ID) VALUES (?1, ?2);");
}

// Rows without a response are left alone instead of being rewritten unchanged.
QString s8Marked(int exam) {
    return forExam(QStringLiteral("UPDATE exam1 SET exam1.correctanswer1 = No, "
                                  "exam1.correctanswer2 = No, exam1.correctanswer3 = No, "
                                  "exam1.correctanswer4 = No, exam1.correctanswer5 = No WHERE "
                                  "exam1.correctanswer1 <> No OR exam1.correctanswer2 <> No OR "
                                  "exam1.correctanswer3 <> No OR exam1.correctanswer4 <> No OR "
                                  "exam1.correctanswer5 <> No;"),
                   exam);
}

}  // namespace examdb::statements
