#include <QMap>
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

namespace {

void moveToId(Recordset& rs, int id) {
    for (rs.moveFirst(); rs.value(QStringLiteral("ID")).toInt() != id;) {
        rs.moveNext();
    }
}

}  // namespace

// Edit/AddNew/Update against real files.
class TestWriting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void editTableRow();
    void writesNeedEditOrAddNew();
    void writeThroughJoin_data();
    void writeThroughJoin();
    void oneUpdateWritesEachTablesOwnRow();
    void moveDropsUnwrittenEdit();
    void showansTakesOnlyPosition1();
    void catScoresTakesPositions2To4();
    void addedRowJoinsDynaset();
    void refusedWrites_data();
    void refusedWrites();

private:
    std::unique_ptr<FixtureDatabase> fixture_;
};

void TestWriting::init() {
    fixture_ = std::make_unique<FixtureDatabase>();
}

void TestWriting::cleanup() {
    fixture_.reset();
}

void TestWriting::editTableRow() {
    fixture_->addQuestions(1, 3);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    rs.moveNext();
    rs.edit();
    rs.setValue(QStringLiteral("CorrectAnswer2"), true);
    rs.setValue(QStringLiteral("explanation"), QStringLiteral("it's \"quoted\"; --"));
    rs.update();

    QCOMPARE(rs.value(QStringLiteral("correctanswer2")), QVariant(qlonglong(1)));
    QCOMPARE(rs.value(QStringLiteral("ID")), QVariant(qlonglong(2)));
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 2), (std::array<int, 5>{0, 1, 0, 0, 0}));
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT explanation FROM exam1 WHERE ID = 2")),
             QVariant(QStringLiteral("it's \"quoted\"; --")));
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT sum(correctanswer2) FROM exam1")),
             QVariant(qlonglong(1)));
}

void TestWriting::writesNeedEditOrAddNew() {
    fixture_->addQuestions(1, 1);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    QCOMPARE(errorNumber([&] { rs.setValue(1, 2); }), errc::UpdateWithoutEdit);
    QCOMPARE(errorNumber([&] { rs.update(); }), errc::UpdateWithoutEdit);
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 1)[0], 0);
}

void TestWriting::writeThroughJoin_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("choice");
    QTest::newRow("X1 response") << statements::x1(1) << "correctanswer3"
                                 << "exam1" << 3;
    QTest::newRow("W1 response") << statements::w1(1) << "Exam1.CorrectAnswer5"
                                 << "exam1" << 5;
    QTest::newRow("W1 key") << statements::w1(1) << "exam11.correctanswer1"
                            << "exam11" << 1;
    QTest::newRow("A1 key") << statements::a1(1) << "correctanswer2"
                            << "exam11" << 2;
    QTest::newRow("exam 2") << statements::x1(2) << "exam2.correctanswer4"
                            << "exam2" << 4;
}

void TestWriting::writeThroughJoin() {
    QFETCH(QString, statement);
    QFETCH(QString, field);
    QFETCH(QString, table);
    QFETCH(int, choice);
    const int exam = table.mid(4, 1).toInt();
    fixture_->addQuestions(exam, 6);
    // Every response differs from the key somewhere, so W1 yields every row.
    fixture_->exec(QStringLiteral("UPDATE exam%1 SET correctanswer1 = 1").arg(exam));
    fixture_->draw({5, 2, 4});
    fixture_->exec(QStringLiteral("INSERT INTO showans (id) VALUES (4)"));
    const QStringList tables{statements::examTable(exam), statements::keyTable(exam),
                             QStringLiteral("tblRandom"), QStringLiteral("showans")};
    auto snapshot = [&](const QString& t) {
        return fixture_->rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t));
    };
    QMap<QString, QList<QVariantList>> expected;
    for (const QString& t : tables) {
        expected[t] = snapshot(t);
    }

    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statement);
    moveToId(rs, 4);
    const int before = rs.value(field).toInt();
    rs.edit();
    rs.setValue(field, before == 0);
    rs.update();
    QCOMPARE(rs.value(field).toInt(), 1 - before);

    // Only that one cell of question 4 in that one table changed.
    const int column = fixture_
                           ->scalar(QStringLiteral("SELECT cid FROM pragma_table_info('%1') "
                                                   "WHERE name = 'correctanswer%2'")
                                        .arg(table)
                                        .arg(choice))
                           .toInt();
    expected[table][3][column] = qlonglong(1 - before);
    for (const QString& t : tables) {
        QCOMPARE(snapshot(t), expected[t]);
    }
}

void TestWriting::oneUpdateWritesEachTablesOwnRow() {
    // tblRandom's row id is the draw position, not the question's ID.
    fixture_->addQuestions(1, 6);
    fixture_->draw({5, 2, 4});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(statements::x1(1));
    moveToId(rs, 4);
    rs.edit();
    rs.setValue(QStringLiteral("tblRandom.ID"), 6);
    rs.setValue(QStringLiteral("correctanswer3"), 1);
    rs.update();

    QCOMPARE(fixture_->rows(QStringLiteral("SELECT sl_no, ID FROM tblRandom ORDER BY sl_no")),
             (QList<QVariantList>{{1, 5}, {2, 2}, {3, 6}}));
    QCOMPARE(fixture_->rows(QStringLiteral("SELECT ID FROM exam1 WHERE correctanswer3 = 1")),
             (QList<QVariantList>{{4}}));
}

void TestWriting::moveDropsUnwrittenEdit() {
    fixture_->addQuestions(1, 2);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    rs.edit();
    rs.setValue(QStringLiteral("correctanswer1"), 1);
    rs.moveNext();
    QCOMPARE(rs.editMode(), examdb::EditMode::None);
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT sum(correctanswer1) FROM exam1")),
             QVariant(qlonglong(0)));
}

void TestWriting::showansTakesOnlyPosition1() {
    Database db = Database::open(fixture_->fileName());
    db.execute(statements::x2());
    Recordset rs = db.openRecordset(QStringLiteral("showans"));
    rs.addNew();
    rs.setValue(1, QStringLiteral("57"));  // the text of a text box
    rs.update();
    QVERIFY(rs.bof() && rs.eof());  // no move yet: still no current row
    QCOMPARE(rs.recordCount(), 1);
    rs.moveFirst();
    QCOMPARE(rs.value(QStringLiteral("id")), QVariant(qlonglong(57)));
    QVERIFY(!rs.value(0).isNull());
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT id FROM showans")), QVariant(qlonglong(57)));
}

void TestWriting::catScoresTakesPositions2To4() {
    Database db = Database::open(fixture_->fileName());
    db.execute(statements::s1());
    Recordset rs = db.openRecordset(QStringLiteral("cat_scores"));
    for (int category = 0; category < 3; ++category) {
        rs.addNew();
        rs.setValue(2, QString::number(10 + category));
        rs.setValue(3, QString::number(category));
        rs.setValue(4, QString::number(category * 10));
        rs.update();
    }
    QCOMPARE(rs.recordCount(), 3);
    const auto rows = fixture_->rows(
        QStringLiteral("SELECT cat_total, cat_scores, Cat_correct FROM cat_scores ORDER BY rowid"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(2), (QVariantList{"12", "2", "20"}));
}

void TestWriting::addedRowJoinsDynaset() {
    fixture_->draw({8, 3});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("tblrandom"));
    rs.addNew();
    rs.setValue(QStringLiteral("sl_no"), 3);
    rs.setValue(QStringLiteral("ID"), 11);
    rs.update();
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.value(QStringLiteral("ID")), QVariant(qlonglong(8)));  // still where it was
    rs.moveLast();
    QCOMPARE(rs.value(QStringLiteral("ID")), QVariant(qlonglong(11)));
    QCOMPARE(rs.value(QStringLiteral("sl_no")), QVariant(qlonglong(3)));
}

void TestWriting::refusedWrites_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("addNew");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("new row through a join")
        << statements::x1(1) << true << "question" << QVariant("q") << errc::ReadOnly;
    QTest::newRow("computed column") << "SELECT ID, question || '?' AS q FROM exam1" << false << "q"
                                     << QVariant("x") << errc::FieldNotUpdatable;
    QTest::newRow("grouped rows") << "SELECT catID FROM exam1 GROUP BY catID" << false << "catID"
                                  << QVariant(3) << errc::ReadOnly;
    QTest::newRow("text into a Yes/No column")
        << "exam1" << false << "correctanswer1" << QVariant("perhaps") << errc::ConversionError;
    QTest::newRow("draw without ID") << "tblRandom" << true << "ID" << QVariant() << 19;
}

void TestWriting::refusedWrites() {
    QFETCH(QString, source);
    QFETCH(bool, addNew);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, number);
    fixture_->addQuestions(1, 2);
    fixture_->draw({1});
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(source);
    addNew ? rs.addNew() : rs.edit();
    rs.setValue(field, value);
    QCOMPARE(errorNumber([&] { rs.update(); }), number);
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT count(*) FROM tblRandom")),
             QVariant(qlonglong(1)));
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 1)[0], 0);
}

QTEST_GUILESS_MAIN(TestWriting)
#include "tst_writing.moc"
