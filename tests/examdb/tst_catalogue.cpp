#include <QRegularExpression>
#include <QTest>
#include <functional>

#include "caught.h"
#include "examdb/database.h"
#include "examdb/statements.h"
#include "fixture_database.h"

namespace statements = examdb::statements;

using Statement = std::function<QString(int exam, int category)>;
Q_DECLARE_METATYPE(Statement)

namespace {

// Every exam table a text names, "exam1", "exam22", ...
QStringList tablesNamed(const QString& text) {
    QStringList names;
    static const QRegularExpression table(QStringLiteral("\\bexam\\d+\\b"));
    for (const auto& m : table.globalMatch(text)) {
        names << m.captured();
    }
    names.removeDuplicates();
    names.sort();
    return names;
}

}  // namespace

// How each statement takes its exam and category; what the texts do is shown on real files by
// the semantics suite.
class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tableNames();
    void examSubstituted_data();
    void examSubstituted();
    void categorySubstituted_data();
    void categorySubstituted();
    void unknownExamRefused();
};

void TestCatalogue::tableNames() {
    QCOMPARE(statements::examTable(1), QStringLiteral("exam1"));
    QCOMPARE(statements::keyTable(1), QStringLiteral("exam11"));
    QCOMPARE(statements::examTable(3), QStringLiteral("exam3"));
    QCOMPARE(statements::keyTable(3), QStringLiteral("exam33"));
}

void TestCatalogue::examSubstituted_data() {
    QTest::addColumn<Statement>("statement");
    QTest::addColumn<bool>("answers");  // names the exam's answer table
    QTest::addColumn<bool>("key");      // names the exam's key table
    const auto plain = [](QString (*f)(int)) {
        return Statement([f](int e, int) { return f(e); });
    };
    const auto withCategory = [](QString (*f)(int, int)) { return Statement(f); };
    QTest::newRow("X1") << plain(statements::x1) << true << false;
    QTest::newRow("A1") << plain(statements::a1) << false << true;
    QTest::newRow("R1") << plain(statements::r1) << false << true;
    QTest::newRow("S2") << plain(statements::s2) << true << true;
    QTest::newRow("S5") << withCategory(statements::s5) << true << false;
    QTest::newRow("S6") << withCategory(statements::s6) << true << true;
    QTest::newRow("S8") << plain(statements::s8) << true << false;
    QTest::newRow("W1") << plain(statements::w1) << true << true;
    QTest::newRow("S2 drawn") << plain(statements::s2Drawn) << true << true;
    QTest::newRow("S5 drawn") << withCategory(statements::s5Drawn) << true << false;
    QTest::newRow("S6 drawn") << withCategory(statements::s6Drawn) << true << true;
    QTest::newRow("W1 drawn") << plain(statements::w1Drawn) << true << true;
    QTest::newRow("S8 marked") << plain(statements::s8Marked) << true << false;
    QTest::newRow("draw bounds") << plain(statements::drawBounds) << true << false;
    QTest::newRow("draw IDs") << plain(statements::drawIds) << true << false;
    QTest::newRow("draw has") << plain(statements::drawHas) << true << false;
}

void TestCatalogue::examSubstituted() {
    QFETCH(Statement, statement);
    QFETCH(bool, answers);
    QFETCH(bool, key);
    // Each exam's text must run on a bank: every table and column it names exists there.
    testsupport::FixtureDatabase bank;
    examdb::Database db = examdb::Database::open(QStringLiteral("kvn09.mdb"));
    for (int exam = 1; exam <= 3; ++exam) {
        const QString text = statement(exam, 4);
        QStringList expected;
        if (answers) {
            expected << statements::examTable(exam);
        }
        if (key) {
            expected << statements::keyTable(exam);
        }
        expected.sort();
        QCOMPARE(tablesNamed(text), expected);
        QCOMPARE(errorNumber([&] { db.prepare(text); }), 0);
    }
}

void TestCatalogue::categorySubstituted_data() {
    QTest::addColumn<Statement>("statement");
    QTest::newRow("S5") << Statement(statements::s5);
    QTest::newRow("S6") << Statement(statements::s6);
    QTest::newRow("S5 drawn") << Statement(statements::s5Drawn);
    QTest::newRow("S6 drawn") << Statement(statements::s6Drawn);
}

// The category goes in as a bare number, once, and nothing else changes with it.
void TestCatalogue::categorySubstituted() {
    QFETCH(Statement, statement);
    const QString four = statement(2, 4);
    QCOMPARE(four.count(QRegularExpression(QStringLiteral("catid\\]?=4\\b"),
                                           QRegularExpression::CaseInsensitiveOption)),
             1);
    for (int category : {0, 7, 123}) {
        QString expected = four;
        expected.replace(QRegularExpression(QStringLiteral("=4\\b")),
                         QStringLiteral("=%1").arg(category));
        QCOMPARE(statement(2, category), expected);
    }
}

void TestCatalogue::unknownExamRefused() {
    QVERIFY(errorNumber([] { statements::x1(4); }) != 0);
    QVERIFY(errorNumber([] { statements::s8(0); }) != 0);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
