#include <QTest>

#include "results/grid_model.h"
#include "session/score_rules.h"

using results::GridModel;

// The arithmetic of the score sheet where a window cannot reach it.
class TestScoringRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void examScore_data();
    void examScore();
    void categoryPercent_data();
    void categoryPercent();
    void percentColumnText_data();
    void percentColumnText();
};

void TestScoringRules::examScore_data() {
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("questions");
    QTest::addColumn<double>("score");
    QTest::newRow("exactly the pass mark") << 87 << 116 << 750.0;
    QTest::newRow("one short") << 86 << 116 << 741.0;
    QTest::newRow("demo 23") << 23 << 30 << 766.0;
    QTest::newRow("demo 22") << 22 << 30 << 733.0;
    QTest::newRow("below zero rounds down, not toward zero") << -4 << 116 << -35.0;
    QTest::newRow("1 of 3 is not 334") << 1 << 3 << 333.0;
    QTest::newRow("no questions") << 0 << 0 << 0.0;
}

void TestScoringRules::examScore() {
    QFETCH(int, correct);
    QFETCH(int, questions);
    QFETCH(double, score);
    QCOMPARE(session::examScore(correct, questions), score);
}

void TestScoringRules::categoryPercent_data() {
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("percent");
    // 0.58 * 100 and 0.57 * 100 fall just below the whole number in double precision.
    QTest::newRow("29 of 50") << 29 << 50 << 57;
    QTest::newRow("57 of 100") << 57 << 100 << 56;
    QTest::newRow("29 of 100") << 29 << 100 << 28;
    QTest::newRow("all") << 7 << 7 << 100;
    QTest::newRow("no question in the category") << 0 << 0 << 0;
}

void TestScoringRules::categoryPercent() {
    QFETCH(int, correct);
    QFETCH(int, total);
    QFETCH(int, percent);
    QCOMPARE(session::categoryPercent(correct, total), percent);
}

void TestScoringRules::percentColumnText_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole percentage") << "57"
                                      << "57%";
    QTest::newRow("zero") << "0"
                          << "0%";
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("not a number passes through") << "n/a"
                                                 << "n/a";
}

void TestScoringRules::percentColumnText() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(GridModel::formatted(stored, GridModel::Format::Percent), shown);
    QCOMPARE(GridModel::formatted(stored, GridModel::Format::General), stored);
}

QTEST_GUILESS_MAIN(TestScoringRules)
#include "tst_scoring_rules.moc"
