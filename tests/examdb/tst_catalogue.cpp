#include <QTest>

#include "caught.h"
#include "examdb/statements.h"

namespace statements = examdb::statements;

// The catalogue's texts are fixed character for character; the expected texts are written out
// in full for every exam rather than derived the way the catalogue derives them.
class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void texts_data();
    void texts();
    void unknownExamRefused();
};

void TestCatalogue::texts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    QTest::newRow("D1 exam 1") << statements::d1() << QStringLiteral("delete * from tblrandom;");
    QTest::newRow("X1 exam 1")
        << statements::x1(1)
        << QStringLiteral(
               "SELECT tblRandom.id, exam1.* FROM exam1 INNER JOIN tblRandom ON tblRandom.ID = "
               "exam1.ID ;");
    QTest::newRow("X2 exam 1") << statements::x2() << QStringLiteral("delete * from showans;");
    QTest::newRow("A1 exam 1")
        << statements::a1(1)
        << QStringLiteral(
               "SELECT exam11.* FROM exam11 INNER JOIN showans ON exam11.ID = showans.id;");
    QTest::newRow("R1 exam 1") << statements::r1(1) << QStringLiteral("SELECT * FROM exam11 ;");
    QTest::newRow("S1 exam 1") << statements::s1() << QStringLiteral("delete * from cat_scores;");
    QTest::newRow("S2 exam 1")
        << statements::s2(1)
        << QStringLiteral(
               "SELECT exam1.ID, exam1.correctanswer1, exam1.correctanswer2, "
               "exam1.correctanswer3, exam1.correctanswer4, "
               "exam1.correctanswer5,exam1.question, exam1.answer1, exam1.answer2, "
               "exam1.answer3, exam1.answer4, exam1.answer5, exam1.explanation FROM exam1 INNER "
               "JOIN exam11 ON exam1.ID = exam11.ID WHERE (([exam1].[id]=[exam11].[id]) AND "
               "([exam1].[correctanswer1]=[exam11].[correctanswer1]) and "
               "([exam1].[correctanswer2]=[exam11].[correctanswer2]) and "
               "([exam1].[correctanswer3]=[exam11].[correctanswer3]) and "
               "([exam1].[correctanswer4]=[exam11].[correctanswer4]) and "
               "([exam1].[correctanswer5]=[exam11].[correctanswer5]));");
    QTest::newRow("S5 exam 1") << statements::s5(1, 4)
                               << QStringLiteral("Select catid From exam1 WHERE catid=4");
    QTest::newRow("S6 exam 1")
        << statements::s6(1, 4)
        << QStringLiteral(
               "SELECT exam1.catID FROM exam1 INNER JOIN exam11 ON exam1.ID = exam11.ID WHERE "
               "(([exam1].[id]=[exam11].[id]) AND "
               "([exam1].[correctanswer1]=[exam11].[correctanswer1]) and "
               "([exam1].[correctanswer2]=[exam11].[correctanswer2]) and "
               "([exam1].[correctanswer3]=[exam11].[correctanswer3]) and "
               "([exam1].[correctanswer4]=[exam11].[correctanswer4]) and "
               "([exam1].[correctanswer5]=[exam11].[correctanswer5])) and [exam1].[catid]=4");
    QTest::newRow("S8 exam 1")
        << statements::s8(1)
        << QStringLiteral(
               "UPDATE exam1 SET exam1.correctanswer1 = No, exam1.correctanswer2 = No, "
               "exam1.correctanswer3 = No, exam1.correctanswer4 = No, exam1.correctanswer5 = No;");
    QTest::newRow("W1 exam 1")
        << statements::w1(1)
        << QStringLiteral(
               "SELECT exam1.ID, exam11.correctanswer1, exam11.correctanswer2, "
               "exam11.correctanswer3, exam11.correctanswer4, exam11.correctanswer5, "
               "exam11.question, exam11.answer1, exam11.answer2, exam11.answer3, "
               "exam11.answer4, exam11.answer5, exam11.explanation, exam11.diagram1, "
               "exam1.correctanswer1, exam1.correctanswer2, exam1.correctanswer3, "
               "exam1.correctanswer4, exam1.correctanswer5, exam1.cat_desc FROM exam1 INNER "
               "JOIN exam11 ON exam1.ID = exam11.ID WHERE (([exam1].[id]=[exam11].[id]) AND "
               "([exam1].[correctanswer1]<>[exam11].[correctanswer1]) OR "
               "([exam1].[correctanswer2]<>[exam11].[correctanswer2]) OR "
               "([exam1].[correctanswer3]<>[exam11].[correctanswer3]) OR "
               "([exam1].[correctanswer4]<>[exam11].[correctanswer4]) OR "
               "([exam1].[correctanswer5]<>[exam11].[correctanswer5]));");
    QTest::newRow("X1 exam 2")
        << statements::x1(2)
        << QStringLiteral(
               "SELECT tblRandom.id, exam2.* FROM exam2 INNER JOIN tblRandom ON tblRandom.ID = "
               "exam2.ID ;");
    QTest::newRow("A1 exam 2")
        << statements::a1(2)
        << QStringLiteral(
               "SELECT exam22.* FROM exam22 INNER JOIN showans ON exam22.ID = showans.id;");
    QTest::newRow("R1 exam 2") << statements::r1(2) << QStringLiteral("SELECT * FROM exam22 ;");
    QTest::newRow("S2 exam 2")
        << statements::s2(2)
        << QStringLiteral(
               "SELECT exam2.ID, exam2.correctanswer1, exam2.correctanswer2, "
               "exam2.correctanswer3, exam2.correctanswer4, "
               "exam2.correctanswer5,exam2.question, exam2.answer1, exam2.answer2, "
               "exam2.answer3, exam2.answer4, exam2.answer5, exam2.explanation FROM exam2 INNER "
               "JOIN exam22 ON exam2.ID = exam22.ID WHERE (([exam2].[id]=[exam22].[id]) AND "
               "([exam2].[correctanswer1]=[exam22].[correctanswer1]) and "
               "([exam2].[correctanswer2]=[exam22].[correctanswer2]) and "
               "([exam2].[correctanswer3]=[exam22].[correctanswer3]) and "
               "([exam2].[correctanswer4]=[exam22].[correctanswer4]) and "
               "([exam2].[correctanswer5]=[exam22].[correctanswer5]));");
    QTest::newRow("S5 exam 2") << statements::s5(2, 4)
                               << QStringLiteral("Select catid From exam2 WHERE catid=4");
    QTest::newRow("S6 exam 2")
        << statements::s6(2, 4)
        << QStringLiteral(
               "SELECT exam2.catID FROM exam2 INNER JOIN exam22 ON exam2.ID = exam22.ID WHERE "
               "(([exam2].[id]=[exam22].[id]) AND "
               "([exam2].[correctanswer1]=[exam22].[correctanswer1]) and "
               "([exam2].[correctanswer2]=[exam22].[correctanswer2]) and "
               "([exam2].[correctanswer3]=[exam22].[correctanswer3]) and "
               "([exam2].[correctanswer4]=[exam22].[correctanswer4]) and "
               "([exam2].[correctanswer5]=[exam22].[correctanswer5])) and [exam2].[catid]=4");
    QTest::newRow("S8 exam 2")
        << statements::s8(2)
        << QStringLiteral(
               "UPDATE exam2 SET exam2.correctanswer1 = No, exam2.correctanswer2 = No, "
               "exam2.correctanswer3 = No, exam2.correctanswer4 = No, exam2.correctanswer5 = No;");
    QTest::newRow("W1 exam 2")
        << statements::w1(2)
        << QStringLiteral(
               "SELECT exam2.ID, exam22.correctanswer1, exam22.correctanswer2, "
               "exam22.correctanswer3, exam22.correctanswer4, exam22.correctanswer5, "
               "exam22.question, exam22.answer1, exam22.answer2, exam22.answer3, "
               "exam22.answer4, exam22.answer5, exam22.explanation, exam22.diagram1, "
               "exam2.correctanswer1, exam2.correctanswer2, exam2.correctanswer3, "
               "exam2.correctanswer4, exam2.correctanswer5, exam2.cat_desc FROM exam2 INNER "
               "JOIN exam22 ON exam2.ID = exam22.ID WHERE (([exam2].[id]=[exam22].[id]) AND "
               "([exam2].[correctanswer1]<>[exam22].[correctanswer1]) OR "
               "([exam2].[correctanswer2]<>[exam22].[correctanswer2]) OR "
               "([exam2].[correctanswer3]<>[exam22].[correctanswer3]) OR "
               "([exam2].[correctanswer4]<>[exam22].[correctanswer4]) OR "
               "([exam2].[correctanswer5]<>[exam22].[correctanswer5]));");
    QTest::newRow("X1 exam 3")
        << statements::x1(3)
        << QStringLiteral(
               "SELECT tblRandom.id, exam3.* FROM exam3 INNER JOIN tblRandom ON tblRandom.ID = "
               "exam3.ID ;");
    QTest::newRow("A1 exam 3")
        << statements::a1(3)
        << QStringLiteral(
               "SELECT exam33.* FROM exam33 INNER JOIN showans ON exam33.ID = showans.id;");
    QTest::newRow("R1 exam 3") << statements::r1(3) << QStringLiteral("SELECT * FROM exam33 ;");
    QTest::newRow("S2 exam 3")
        << statements::s2(3)
        << QStringLiteral(
               "SELECT exam3.ID, exam3.correctanswer1, exam3.correctanswer2, "
               "exam3.correctanswer3, exam3.correctanswer4, "
               "exam3.correctanswer5,exam3.question, exam3.answer1, exam3.answer2, "
               "exam3.answer3, exam3.answer4, exam3.answer5, exam3.explanation FROM exam3 INNER "
               "JOIN exam33 ON exam3.ID = exam33.ID WHERE (([exam3].[id]=[exam33].[id]) AND "
               "([exam3].[correctanswer1]=[exam33].[correctanswer1]) and "
               "([exam3].[correctanswer2]=[exam33].[correctanswer2]) and "
               "([exam3].[correctanswer3]=[exam33].[correctanswer3]) and "
               "([exam3].[correctanswer4]=[exam33].[correctanswer4]) and "
               "([exam3].[correctanswer5]=[exam33].[correctanswer5]));");
    QTest::newRow("S5 exam 3") << statements::s5(3, 4)
                               << QStringLiteral("Select catid From exam3 WHERE catid=4");
    QTest::newRow("S6 exam 3")
        << statements::s6(3, 4)
        << QStringLiteral(
               "SELECT exam3.catID FROM exam3 INNER JOIN exam33 ON exam3.ID = exam33.ID WHERE "
               "(([exam3].[id]=[exam33].[id]) AND "
               "([exam3].[correctanswer1]=[exam33].[correctanswer1]) and "
               "([exam3].[correctanswer2]=[exam33].[correctanswer2]) and "
               "([exam3].[correctanswer3]=[exam33].[correctanswer3]) and "
               "([exam3].[correctanswer4]=[exam33].[correctanswer4]) and "
               "([exam3].[correctanswer5]=[exam33].[correctanswer5])) and [exam3].[catid]=4");
    QTest::newRow("S8 exam 3")
        << statements::s8(3)
        << QStringLiteral(
               "UPDATE exam3 SET exam3.correctanswer1 = No, exam3.correctanswer2 = No, "
               "exam3.correctanswer3 = No, exam3.correctanswer4 = No, exam3.correctanswer5 = No;");
    QTest::newRow("W1 exam 3")
        << statements::w1(3)
        << QStringLiteral(
               "SELECT exam3.ID, exam33.correctanswer1, exam33.correctanswer2, "
               "exam33.correctanswer3, exam33.correctanswer4, exam33.correctanswer5, "
               "exam33.question, exam33.answer1, exam33.answer2, exam33.answer3, "
               "exam33.answer4, exam33.answer5, exam33.explanation, exam33.diagram1, "
               "exam3.correctanswer1, exam3.correctanswer2, exam3.correctanswer3, "
               "exam3.correctanswer4, exam3.correctanswer5, exam3.cat_desc FROM exam3 INNER "
               "JOIN exam33 ON exam3.ID = exam33.ID WHERE (([exam3].[id]=[exam33].[id]) AND "
               "([exam3].[correctanswer1]<>[exam33].[correctanswer1]) OR "
               "([exam3].[correctanswer2]<>[exam33].[correctanswer2]) OR "
               "([exam3].[correctanswer3]<>[exam33].[correctanswer3]) OR "
               "([exam3].[correctanswer4]<>[exam33].[correctanswer4]) OR "
               "([exam3].[correctanswer5]<>[exam33].[correctanswer5]));");
}

void TestCatalogue::texts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestCatalogue::unknownExamRefused() {
    QVERIFY(errorNumber([] { statements::x1(4); }) != 0);
    QVERIFY(errorNumber([] { statements::s8(0); }) != 0);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
