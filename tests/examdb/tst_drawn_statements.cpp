#include <QTest>
#include <algorithm>

#include "examdb/database.h"
#include "examdb/statements.h"
#include "fixture_database.h"

using examdb::Database;
using testsupport::FixtureDatabase;
using testsupport::Question;
namespace statements = examdb::statements;

using Choices = std::array<bool, 5>;

namespace {

Question question(qint64 id, Choices key, Choices responses, int catId) {
    Question q;
    q.id = id;
    q.catId = catId;
    q.catDesc = QStringLiteral("Category %1").arg(catId);
    q.question = QStringLiteral("Question %1").arg(id);
    q.answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                 QStringLiteral("e")};
    q.key = key;
    q.responses = responses;
    return q;
}

Choices only(int choice) {
    Choices c{};
    c[size_t(choice - 1)] = true;
    return c;
}

int count(Database& db, const QString& statement) {
    return db.openRecordset(statement).recordCount();
}

QList<int> ids(Database& db, const QString& statement) {
    auto set = db.openRecordset(statement);
    QList<int> out;
    for (; !set.eof(); set.moveNext()) {
        out << set.value(QStringLiteral("ID")).toInt();
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

// The scoring statements limited to the current draw, on a bank larger than the exam.
class TestDrawnStatements : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exam_data();
    void onlyDrawnQuestionsCount_data() { exam_data(); }
    void onlyDrawnQuestionsCount();
    void undrawnRowsDifferingInAnyChoiceStayOutOfTheReview_data() { exam_data(); }
    void undrawnRowsDifferingInAnyChoiceStayOutOfTheReview();
    void emptyDrawCountsNothing();
    void drawnQuestionWithoutKeyRowCountsInNoScore();
};

void TestDrawnStatements::exam_data() {
    QTest::addColumn<int>("exam");
    QTest::newRow("exam 1") << 1;
    QTest::newRow("exam 2") << 2;
    QTest::newRow("exam 3") << 3;
}

void TestDrawnStatements::onlyDrawnQuestionsCount() {
    QFETCH(int, exam);
    FixtureDatabase fixture;
    // Drawn: 1 (right, cat 0), 2 (wrong, cat 0), 3 (right, cat 1), 4 (unanswered, cat 1).
    fixture.addQuestion(exam, question(1, only(1), only(1), 0));
    fixture.addQuestion(exam, question(2, only(2), only(3), 0));
    fixture.addQuestion(exam, question(3, only(5), only(5), 1));
    fixture.addQuestion(exam, question(4, only(4), {}, 1));
    // Not drawn: answered rightly by stale responses, and never answered.
    fixture.addQuestion(exam, question(5, only(1), only(1), 0));
    fixture.addQuestion(exam, question(6, only(2), {}, 1));
    fixture.addQuestion(exam, question(7, only(3), {}, 2));
    fixture.draw({3, 1, 4, 2});

    Database db = Database::open(fixture.fileName());
    QCOMPARE(count(db, statements::s2Drawn(exam)), 2);
    QCOMPARE(ids(db, statements::w1Drawn(exam)), (QList<int>{2, 4}));
    QCOMPARE(count(db, statements::s5Drawn(exam, 0)), 2);
    QCOMPARE(count(db, statements::s5Drawn(exam, 1)), 2);
    QCOMPARE(count(db, statements::s5Drawn(exam, 2)), 0);
    QCOMPARE(count(db, statements::s6Drawn(exam, 0)), 1);
    QCOMPARE(count(db, statements::s6Drawn(exam, 1)), 1);
    QCOMPARE(count(db, statements::s6Drawn(exam, 2)), 0);

    // The whole-table statements still see the undrawn rows; the drawn ones must not.
    QVERIFY(count(db, statements::s2(exam)) > count(db, statements::s2Drawn(exam)));
}

void TestDrawnStatements::undrawnRowsDifferingInAnyChoiceStayOutOfTheReview() {
    QFETCH(int, exam);
    FixtureDatabase fixture;
    fixture.addQuestion(exam, question(1, only(1), only(2), 0));
    // Each undrawn row differs from its key in another one of the five choices, so a draw
    // condition that bound to a single OR term would let one of them through.
    for (int choice = 1; choice <= 5; ++choice) {
        const Choices key = only(choice);
        Choices responses = key;
        responses[size_t(choice - 1)] = false;
        fixture.addQuestion(exam, question(10 + choice, key, responses, 0));
    }
    fixture.draw({1});

    Database db = Database::open(fixture.fileName());
    QCOMPARE(ids(db, statements::w1Drawn(exam)), QList<int>{1});
    QCOMPARE(ids(db, statements::w1(exam)).size(), 6);
}

void TestDrawnStatements::emptyDrawCountsNothing() {
    FixtureDatabase fixture;
    fixture.addQuestion(2, question(1, only(1), only(1), 0));
    fixture.addQuestion(2, question(2, only(1), only(2), 0));

    Database db = Database::open(fixture.fileName());
    QCOMPARE(count(db, statements::s2Drawn(2)), 0);
    QCOMPARE(count(db, statements::w1Drawn(2)), 0);
    QCOMPARE(count(db, statements::s5Drawn(2, 0)), 0);
    QCOMPARE(count(db, statements::s6Drawn(2, 0)), 0);
}

void TestDrawnStatements::drawnQuestionWithoutKeyRowCountsInNoScore() {
    FixtureDatabase fixture;
    fixture.addQuestion(1, question(1, only(1), only(1), 0), false);
    fixture.draw({1});

    Database db = Database::open(fixture.fileName());
    QCOMPARE(count(db, statements::s2Drawn(1)), 0);
    QCOMPARE(count(db, statements::s6Drawn(1, 0)), 0);
    QCOMPARE(count(db, statements::w1Drawn(1)), 0);
}

QTEST_GUILESS_MAIN(TestDrawnStatements)
#include "tst_drawn_statements.moc"
