#include <QTest>

#include "examdb/database.h"
#include "examdb/statements.h"
#include "fixture_database.h"

using examdb::Database;
using testsupport::FixtureDatabase;
using testsupport::Question;
namespace statements = examdb::statements;

using Choices = std::array<bool, 5>;
Q_DECLARE_METATYPE(Choices)

namespace {

Question question(qint64 id, Choices key, Choices responses = {}, int catId = 0) {
    Question q;
    q.id = id;
    q.catId = catId;
    q.question = QStringLiteral("Question %1").arg(id);
    q.key = key;
    q.responses = responses;
    return q;
}

int count(Database& db, const QString& statement) {
    return db.openRecordset(statement).recordCount();
}

}  // namespace

// What the catalogue's statements select once translated, on real data.
class TestSemantics : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void allResponsesNo_data();
    void allResponsesNo();
    void onlyTheFifthChoiceIsCorrect_data();
    void onlyTheFifthChoiceIsCorrect();
    void s8ClearsRowsThatWereNotDrawn_data();
    void s8ClearsRowsThatWereNotDrawn();
    void perCategoryCounts();
    void drawAndAnswerJoins();
    void emptyingStatements();
};

void TestSemantics::allResponsesNo_data() {
    QTest::addColumn<int>("exam");
    QTest::newRow("exam 1") << 1;
    QTest::newRow("exam 2") << 2;
    QTest::newRow("exam 3") << 3;
}

void TestSemantics::allResponsesNo() {
    QFETCH(int, exam);
    FixtureDatabase fixture;
    const Choices no{};
    fixture.addQuestion(exam, question(1, no));
    fixture.addQuestion(exam, question(2, {true, false, false, false, false}));
    fixture.addQuestion(exam, question(3, no));
    fixture.addQuestion(exam, question(4, {false, true, true, false, false}));
    fixture.addQuestion(exam, question(5, {false, false, false, false, true}));
    fixture.addQuestion(exam, question(6, no), false);  // no key row: in no count

    Database db = Database::open(fixture.fileName());
    QCOMPARE(count(db, statements::s2(exam)), 2);
    auto w1 = db.openRecordset(statements::w1(exam));
    QList<int> ids;
    for (; !w1.eof(); w1.moveNext()) {
        ids << w1.value(QStringLiteral("ID")).toInt();
    }
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids, (QList<int>{2, 4, 5}));
}

void TestSemantics::onlyTheFifthChoiceIsCorrect_data() {
    QTest::addColumn<Choices>("responses");
    QTest::addColumn<bool>("correct");
    QTest::newRow("fifth only") << Choices{false, false, false, false, true} << true;
    QTest::newRow("nothing ticked") << Choices{} << false;
    QTest::newRow("fifth and first") << Choices{true, false, false, false, true} << false;
    QTest::newRow("fourth instead") << Choices{false, false, false, true, false} << false;
    QTest::newRow("all ticked") << Choices{true, true, true, true, true} << false;
}

void TestSemantics::onlyTheFifthChoiceIsCorrect() {
    QFETCH(Choices, responses);
    QFETCH(bool, correct);
    FixtureDatabase fixture;
    fixture.addCategories({QStringLiteral("Only")});
    fixture.addQuestion(1, question(9, {false, false, false, false, true}, responses));

    Database db = Database::open(fixture.fileName());
    QCOMPARE(count(db, statements::s2(1)), correct ? 1 : 0);
    QCOMPARE(count(db, statements::s6(1, 0)), correct ? 1 : 0);
    QCOMPARE(count(db, statements::w1(1)), correct ? 0 : 1);
}

void TestSemantics::s8ClearsRowsThatWereNotDrawn_data() {
    allResponsesNo_data();
}

void TestSemantics::s8ClearsRowsThatWereNotDrawn() {
    QFETCH(int, exam);
    FixtureDatabase fixture;
    const Choices all{true, true, true, true, true};
    for (qint64 id = 1; id <= 5; ++id) {
        fixture.addQuestion(exam, question(id, all, all));
    }
    fixture.draw({2, 4});

    Database db = Database::open(fixture.fileName());
    QCOMPARE(db.execute(statements::s8(exam)), 5);
    QCOMPARE(fixture.scalar(QStringLiteral("SELECT sum(correctanswer1 + correctanswer2 + "
                                           "correctanswer3 + correctanswer4 + correctanswer5) "
                                           "FROM %1")
                                .arg(statements::examTable(exam))),
             QVariant(qlonglong(0)));
    QCOMPARE(fixture.answers(statements::keyTable(exam), 3), (std::array<int, 5>{1, 1, 1, 1, 1}));
}

void TestSemantics::perCategoryCounts() {
    FixtureDatabase fixture;
    fixture.addCategories(
        {QStringLiteral("Networking"), QStringLiteral("Storage"), QStringLiteral("Security")});
    const Choices key{false, true, false, false, false};
    const Choices wrong{true, false, false, false, false};
    // category: 0, 0, 1, 2, 2, 2 and one row outside 0..2
    const int categories[] = {0, 0, 1, 2, 2, 2, 7};
    const bool answered[] = {true, false, true, true, true, false, true};
    for (int i = 0; i < 7; ++i) {
        fixture.addQuestion(2, question(i + 1, key, answered[i] ? key : wrong, categories[i]));
    }

    Database db = Database::open(fixture.fileName());
    auto cat = db.openRecordset(QStringLiteral("cat"));
    cat.moveFirst();
    cat.moveLast();
    QCOMPARE(cat.recordCount(), 3);
    QList<int> totals;
    QList<int> correct;
    for (int i = 0; i < cat.recordCount(); ++i) {
        totals << count(db, statements::s5(2, i));
        correct << count(db, statements::s6(2, i));
    }
    QCOMPARE(totals, (QList<int>{2, 1, 3}));
    QCOMPARE(correct, (QList<int>{1, 1, 2}));
    QCOMPARE(count(db, statements::s2(2)), 5);  // the row of category 7 counts overall only
}

void TestSemantics::drawAndAnswerJoins() {
    FixtureDatabase fixture;
    fixture.addQuestions(3, 6);
    fixture.draw({6, 1, 4});
    fixture.exec(QStringLiteral("INSERT INTO showans (id) VALUES (4)"));

    Database db = Database::open(fixture.fileName());
    auto x1 = db.openRecordset(statements::x1(3));
    QList<int> drawn;
    for (; !x1.eof(); x1.moveNext()) {
        QCOMPARE(x1.value(QStringLiteral("tblrandom.ID")), x1.value(QStringLiteral("exam3.ID")));
        drawn << x1.value(QStringLiteral("ID")).toInt();
    }
    std::sort(drawn.begin(), drawn.end());
    QCOMPARE(drawn, (QList<int>{1, 4, 6}));

    auto a1 = db.openRecordset(statements::a1(3));
    QCOMPARE(a1.recordCount(), 1);
    QCOMPARE(a1.value(QStringLiteral("question")),
             QVariant(QStringLiteral("Question 4 of exam 3")));
    QCOMPARE(db.openRecordset(statements::r1(3)).recordCount(), 6);
}

void TestSemantics::emptyingStatements() {
    FixtureDatabase fixture;
    fixture.draw({1, 2});
    fixture.exec(QStringLiteral("INSERT INTO showans (id) VALUES (2)"));
    fixture.exec(QStringLiteral("INSERT INTO cat_scores (cat_total) VALUES ('3')"));

    Database db = Database::open(fixture.fileName());
    QCOMPARE(db.execute(statements::d1()), 2);
    QCOMPARE(db.execute(statements::x2()), 1);
    QCOMPARE(db.execute(statements::s1()), 1);
    QCOMPARE(fixture.scalar(QStringLiteral("SELECT (SELECT count(*) FROM tblRandom) + (SELECT "
                                           "count(*) FROM showans) + (SELECT count(*) FROM "
                                           "cat_scores)")),
             QVariant(qlonglong(0)));
}

QTEST_GUILESS_MAIN(TestSemantics)
#include "tst_semantics.moc"
