#include <QTest>

#include "caught.h"
#include "examdb/database.h"
#include "examdb/statements.h"
#include "fixture_database.h"

using examdb::Database;
using examdb::Recordset;
using testsupport::FixtureDatabase;
namespace errc = examdb::errc;
namespace statements = examdb::statements;

// Navigation and field access on record sets read from real files.
class TestRecordset : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void navigation_data();
    void navigation();
    void emptySetRefusesEveryMove_data();
    void emptySetRefusesEveryMove();
    void fieldsOfJoin_data();
    void fieldsOfJoin();
    void fieldNamesAndPositions();
    void unknownFields_data();
    void unknownFields();
    void valuesKeepTheirKind();
    void tableIsStoredOrder();

private:
    std::unique_ptr<FixtureDatabase> fixture_;
};

void TestRecordset::init() {
    fixture_ = std::make_unique<FixtureDatabase>();
}

void TestRecordset::cleanup() {
    fixture_.reset();
}

void TestRecordset::navigation_data() {
    QTest::addColumn<int>("rows");
    for (int rows : {1, 2, 5}) {
        QTest::addRow("%d rows", rows) << rows;
    }
}

void TestRecordset::navigation() {
    QFETCH(int, rows);
    fixture_->addQuestions(1, rows);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));

    QCOMPARE(rs.recordCount(), rows);
    QVERIFY(!rs.bof());
    QVERIFY(!rs.eof());
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 1);

    int visited = 1;
    rs.moveNext();
    while (!rs.eof()) {
        QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), ++visited);
        rs.moveNext();
    }
    QCOMPARE(visited, rows);
    QVERIFY(!rs.bof());
    QCOMPARE(errorNumber([&] { rs.value(0); }), errc::NoCurrentRecord);
    QCOMPARE(errorNumber([&] { rs.moveNext(); }), errc::NoCurrentRecord);

    rs.movePrevious();  // back from EOF onto the last row
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), rows);
    rs.moveFirst();
    rs.movePrevious();
    QVERIFY(rs.bof());
    QVERIFY(!rs.eof());
    QCOMPARE(errorNumber([&] { rs.movePrevious(); }), errc::NoCurrentRecord);
    rs.moveNext();  // back from BOF onto the first row
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 1);
    rs.moveLast();
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), rows);
    QCOMPARE(rs.recordCount(), rows);
}

void TestRecordset::emptySetRefusesEveryMove_data() {
    QTest::addColumn<int>("move");
    QTest::newRow("MoveFirst") << 0;
    QTest::newRow("MoveLast") << 1;
    QTest::newRow("MoveNext") << 2;
    QTest::newRow("MovePrevious") << 3;
    QTest::newRow("field") << 4;
    QTest::newRow("Edit") << 5;
}

void TestRecordset::emptySetRefusesEveryMove() {
    QFETCH(int, move);
    fixture_->addQuestions(1, 3);  // rows exist, but none was drawn
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statements::x1(1));
    QVERIFY(rs.bof());
    QVERIFY(rs.eof());
    QCOMPARE(rs.recordCount(), 0);
    const std::function<void()> moves[] = {[&] { rs.moveFirst(); }, [&] { rs.moveLast(); },
                                           [&] { rs.moveNext(); },  [&] { rs.movePrevious(); },
                                           [&] { rs.value(1); },    [&] { rs.edit(); }};
    QCOMPARE(errorNumber(moves[move]), errc::NoCurrentRecord);
    QVERIFY(rs.bof() && rs.eof());
}

void TestRecordset::fieldsOfJoin_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");
    const QString x1 = statements::x1(1);
    const QString w1 = statements::w1(1);
    // The draw holds question 3 (key: choice 4) whose candidate ticked choice 2.
    QTest::newRow("bare name") << x1 << "question" << QVariant("Question 3 of exam 1");
    QTest::newRow("bare, other case") << x1 << "QUESTION_type" << QVariant("single_answer");
    QTest::newRow("qualified draw id") << x1 << "tblrandom.ID" << QVariant(qlonglong(3));
    QTest::newRow("qualified, other case")
        << x1 << "Exam1.correctanswer2" << QVariant(qlonglong(1));
    QTest::newRow("bracketed") << x1 << "[exam1].[cat_desc]" << QVariant("Category 0");
    QTest::newRow("key column of W1") << w1 << "exam11.correctanswer4" << QVariant(qlonglong(1));
    QTest::newRow("response column of W1")
        << w1 << "EXAM1.correctanswer4" << QVariant(qlonglong(0));
    QTest::newRow("response column of W1, ticked")
        << w1 << "exam1.correctanswer2" << QVariant(qlonglong(1));
    QTest::newRow("bare name of W1 picks the first")
        << w1 << "correctanswer2" << QVariant(qlonglong(0));
}

void TestRecordset::fieldsOfJoin() {
    QFETCH(QString, statement);
    QFETCH(QString, name);
    QFETCH(QVariant, expected);
    fixture_->addQuestions(1, 4);
    fixture_->exec(QStringLiteral("UPDATE exam1 SET correctanswer2 = 1 WHERE ID = 3"));
    fixture_->exec(QStringLiteral("DELETE FROM exam11 WHERE ID <> 3"));
    fixture_->draw({3});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statement);
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(name), expected);
}

void TestRecordset::fieldNamesAndPositions() {
    fixture_->addQuestions(1, 3);
    fixture_->draw({2});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statements::x1(1));
    // tblRandom.id, then every column of exam1; the hidden row ids are not fields.
    QCOMPARE(rs.fieldIndex(QStringLiteral("diagram1")), 17);
    // The bare ID exists twice; the first is the draw's, which equals the question's.
    QCOMPARE(rs.fieldIndex(QStringLiteral("ID")), 0);
    QCOMPARE(rs.fieldIndex(QStringLiteral("exam1.id")), 1);
    QCOMPARE(rs.value(5), QVariant(QStringLiteral("Answer 2.1")));
}

void TestRecordset::unknownFields_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("no such column") << "answer6";
    QTest::newRow("column of a table not in the set") << "tblRandom.sl_no";
    QTest::newRow("unknown table") << "exam2.question";
}

void TestRecordset::unknownFields() {
    QFETCH(QString, name);
    fixture_->addQuestions(1, 1);
    fixture_->draw({1});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statements::x1(1));
    const auto error = caught([&] { rs.value(name); });
    QVERIFY(error);
    QCOMPARE(error->number, errc::ItemNotFound);
    QVERIFY2(error->text.contains(name), qPrintable(error->text));
    QCOMPARE(errorNumber([&] { rs.value(18); }), errc::ItemNotFound);
    QCOMPARE(errorNumber([&] { rs.value(-1); }), errc::ItemNotFound);
}

void TestRecordset::valuesKeepTheirKind() {
    fixture_->addQuestions(1, 1);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("EXAM1"));
    QCOMPARE(rs.value(QStringLiteral("correctanswer1")).toBool(), false);
    QCOMPARE(rs.value(QStringLiteral("correctanswer1")).metaType().id(), int(QMetaType::LongLong));
    QVERIFY(rs.value(QStringLiteral("diagram1")).isNull());
    QCOMPARE(rs.value(QStringLiteral("question")).metaType().id(), int(QMetaType::QString));
}

void TestRecordset::tableIsStoredOrder() {
    // Inserted out of order; the table's stored order runs by ID.
    fixture_->addQuestions(1, 1, 1, 30);
    fixture_->addQuestions(1, 1, 1, 7);
    fixture_->addQuestions(1, 1, 1, 19);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 7);
    rs.moveLast();
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 30);
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
