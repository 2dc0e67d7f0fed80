#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "caught.h"
#include "examdb/database.h"
#include "examdb/transaction.h"
#include "fixture_database.h"

using examdb::Database;
using testsupport::FixtureDatabase;
namespace errc = examdb::errc;

class TestConnection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingFileIsNeverCreated();
    void notADatabase_data();
    void notADatabase();
    void missingTableOrColumn_data();
    void missingTableOrColumn();
    void connectStrings_data();
    void connectStrings();
    void namesInAnotherCase();
    void executeRefusals_data();
    void executeRefusals();
    void engineErrorsCarryCodeAndFile();
    void transactionRollsBackUnlessCommitted();
};

void TestConnection::missingFileIsNeverCreated() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto error = caught([] { Database::open(QStringLiteral("kvn09.mdb")); });
    QDir::setCurrent(previous);

    QVERIFY(error);
    QCOMPARE(error->number, errc::FileNotFound);
    QVERIFY2(error->text.contains(QStringLiteral("kvn09.mdb")), qPrintable(error->text));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestConnection::notADatabase_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text") << QByteArray("Question bank, please\n");
    QTest::newRow("damaged header") << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'x');
}

void TestConnection::notADatabase() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("kvn09.mdb")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const auto error = caught([&] { Database::open(file.fileName()); });
    QVERIFY(error);
    QCOMPARE(error->number, errc::NotADatabase);
    QVERIFY2(error->text.contains(QStringLiteral("kvn09.mdb")), qPrintable(error->text));
    QCOMPARE(QFileInfo(file.fileName()).size(), qint64(content.size()));
}

void TestConnection::missingTableOrColumn_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("named");

    QTest::newRow("table") << "DROP TABLE showans" << errc::TableNotFound << QStringList{"showans"};
    QTest::newRow("response column")
        << "ALTER TABLE exam2 RENAME COLUMN correctanswer3 TO response3" << errc::ItemNotFound
        << QStringList{"exam2", "correctanswer3"};
    QTest::newRow("key column") << "ALTER TABLE exam33 DROP COLUMN diagram1" << errc::ItemNotFound
                                << QStringList{"exam33", "diagram1"};
    QTest::newRow("grid column") << "ALTER TABLE cat_scores RENAME COLUMN Cat_correct TO pct"
                                 << errc::ItemNotFound << QStringList{"cat_scores", "Cat_correct"};
    QTest::newRow("intro column") << "ALTER TABLE \"Test Information\" DROP COLUMN author_name"
                                  << errc::ItemNotFound
                                  << QStringList{"Test Information", "author_name"};
    QTest::newRow("showans position 1") << "ALTER TABLE showans RENAME COLUMN id TO question_id"
                                        << errc::ItemNotFound << QStringList{"showans", "id"};
}

void TestConnection::missingTableOrColumn() {
    QFETCH(QString, damage);
    QFETCH(int, number);
    QFETCH(QStringList, named);
    FixtureDatabase fixture;
    fixture.exec(damage);

    const auto error = caught([&] { Database::open(fixture.fileName()); });
    QVERIFY(error);
    QCOMPARE(error->number, number);
    for (const QString& name : named) {
        QVERIFY2(error->text.contains(name), qPrintable(error->text));
    }
}

void TestConnection::connectStrings_data() {
    QTest::addColumn<QString>("connect");
    QTest::addColumn<int>("number");
    QTest::newRow("none") << QString() << 0;
    QTest::newRow("window data source") << ";pwd=Tomelo48" << 0;
    QTest::newRow("upper case, trailing ;") << "PWD=Tomelo48;" << 0;
    QTest::newRow("several parts") << ";pwd=Tomelo48; uid=admin ;;" << 0;
    QTest::newRow("not key=value") << ";Tomelo48" << errc::BadConnectString;
    QTest::newRow("no key") << ";=Tomelo48" << errc::BadConnectString;
}

void TestConnection::connectStrings() {
    QFETCH(QString, connect);
    QFETCH(int, number);
    FixtureDatabase fixture;
    QCOMPARE(errorNumber([&] {
                 Database::open(fixture.fileName(), connect)
                     .execute(QStringLiteral("delete * from showans;"));
             }),
             number);
}

void TestConnection::namesInAnotherCase() {
    FixtureDatabase fixture;
    fixture.exec(QStringLiteral("ALTER TABLE tblRandom RENAME TO draw_tmp"));
    fixture.exec(QStringLiteral("ALTER TABLE draw_tmp RENAME TO TBLRANDOM"));
    fixture.exec(
        QStringLiteral("ALTER TABLE exam1 RENAME COLUMN correctanswer4 TO CorrectAnswer4"));
    fixture.addQuestions(1, 2);
    fixture.draw({2});

    Database db = Database::open(fixture.fileName());
    QCOMPARE(db.execute(QStringLiteral("UPDATE Exam1 SET EXAM1.correctanswer4 = Yes WHERE ID = 1")),
             1);
    QCOMPARE(db.openRecordset(QStringLiteral("tblrandom")).value(QStringLiteral("id")),
             QVariant(qlonglong(2)));
    QCOMPARE(fixture.answers(QStringLiteral("exam1"), 1)[3], 1);
}

void TestConnection::executeRefusals_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("number");
    QTest::newRow("select") << "SELECT * FROM cat" << errc::SelectInExecute;
    QTest::newRow("two statements")
        << "delete * from showans; delete * from cat;" << errc::TrailingCharacters;
    QTest::newRow("blank") << "  ; " << errc::InvalidStatement;
    QTest::newRow("trailing blanks and comment") << "delete * from showans;  -- done\n" << 0;
}

void TestConnection::executeRefusals() {
    QFETCH(QString, statement);
    QFETCH(int, number);
    FixtureDatabase fixture;
    Database db = Database::open(fixture.fileName());
    QCOMPARE(errorNumber([&] { db.execute(statement); }), number);
}

void TestConnection::engineErrorsCarryCodeAndFile() {
    FixtureDatabase fixture;
    Database db = Database::open(fixture.fileName());
    const auto error = caught([&] { db.execute(QStringLiteral("delete * from nosuch;")); });
    QVERIFY(error);
    QCOMPARE(error->number, 1);  // SQLITE_ERROR
    QVERIFY2(error->text.contains(QStringLiteral("nosuch")), qPrintable(error->text));
    QVERIFY2(error->text.contains(QStringLiteral("kvn09.mdb")), qPrintable(error->text));
    QCOMPARE(QByteArray(error->what()).left(3), QByteArray("1: "));
}

void TestConnection::transactionRollsBackUnlessCommitted() {
    FixtureDatabase fixture;
    Database db = Database::open(fixture.fileName());
    {
        examdb::Transaction transaction(db);
        db.execute(QStringLiteral("INSERT INTO cat (sl_no, cat_desc) VALUES (1, 'gone')"));
    }
    {
        examdb::Transaction transaction(db);
        db.execute(QStringLiteral("INSERT INTO cat (sl_no, cat_desc) VALUES (2, 'kept')"));
        // A record set's own write nests inside the open transaction.
        auto rs = db.openRecordset(QStringLiteral("showans"));
        rs.addNew();
        rs.setValue(1, 7);
        rs.update();
        transaction.commit();
    }
    QCOMPARE(fixture.scalar(QStringLiteral("SELECT group_concat(cat_desc) FROM cat")),
             QVariant(QStringLiteral("kept")));
    QCOMPARE(fixture.scalar(QStringLiteral("SELECT id FROM showans")), QVariant(qlonglong(7)));
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
