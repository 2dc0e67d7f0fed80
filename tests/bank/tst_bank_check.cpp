#include <QtTest>

#include "bank_check.h"
#include "bank_fixture.h"

using namespace bank_fixture;

class TestBankCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void soundDatabasePasses();
    void namesEveryViolation_data();
    void namesEveryViolation();
    void unreadableFiles_data();
    void unreadableFiles();
};

void TestBankCheck::soundDatabasePasses() {
    Bank bank;
    QCOMPARE(bank::checkDatabase(bank::buildDatabase(bank.request())), QStringList());
    QCOMPARE(bank::checkDatabase(bank::buildDatabase(bank.request(true))), QStringList());
}

void TestBankCheck::namesEveryViolation_data() {
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing table")
        << QByteArray("DROP TABLE showans") << QStringList{"showans: table missing"};
    QTest::newRow("missing column") << QByteArray("ALTER TABLE exam22 DROP COLUMN explanation")
                                    << QStringList{"exam22: column explanation missing"};
    QTest::newRow("key row missing") << QByteArray("DELETE FROM exam33 WHERE ID = 2")
                                     << QStringList{"exam3 ID 2: has no row in exam33"};
    QTest::newRow("texts differ") << QByteArray("UPDATE exam1 SET answer3 = 'other' WHERE ID = 1")
                                  << QStringList{"exam1 ID 1: answer3 differs from exam11"};
    QTest::newRow("catID out of range")
        << QByteArray("UPDATE exam2 SET catID = 5 WHERE ID = 2")
        << QStringList{"exam2 ID 2: catID 5 is not a category number (0 to 1)",
                       "exam2: category 1 is carried by no question"};
    QTest::newRow("type against key")
        << QByteArray("UPDATE exam11 SET correctanswer3 = 1 WHERE ID = 1")
        << QStringList{"exam11 ID 1: question_type 'single_answer' does not fit 2 correct choices"};
    QTest::newRow("no correct choice")
        << QByteArray("UPDATE exam11 SET correctanswer1 = 0, correctanswer5 = 0 WHERE ID = 2")
        << QStringList{
               "exam11 ID 2: question_type 'multiple_answer' does not fit 0 correct choices"};
    QTest::newRow("fifth without fourth")
        << QByteArray(
               "UPDATE exam2 SET answer4 = '' WHERE ID = 2; UPDATE exam22 SET answer4 = '' WHERE "
               "ID = 2")
        << QStringList{"exam2 ID 2: has a fifth answer but no fourth",
                       "exam22 ID 2: has a fifth answer but no fourth"};
    QTest::newRow("text in Yes/No")
        << QByteArray("UPDATE exam1 SET correctanswer2 = 'Yes' WHERE ID = 1")
        << QStringList{"exam1 ID 1: correctanswer2 holds 'Yes', not Yes or No"};
    QTest::newRow("stored order")
        << QByteArray(
               "CREATE TABLE turned AS SELECT * FROM exam3 ORDER BY ID DESC; "
               "DROP TABLE exam3; ALTER TABLE turned RENAME TO exam3")
        << QStringList{"exam3 ID 2: first stored row does not carry the lowest ID",
                       "exam3 ID 1: last stored row does not carry the highest ID"};
    QTest::newRow("missing exhibit") << QByteArray(
                                            "UPDATE exam11 SET diagram1 = 'gone.png' WHERE ID = 2; "
                                            "UPDATE exam1 SET diagram1 = 'gone.png' WHERE ID = 2")
                                     << QStringList{"exam11 ID 2: exhibit 'gone.png' is missing"};
    QTest::newRow("exhibit with folder")
        << QByteArray(
               "UPDATE exam11 SET diagram1 = '../pic.png' WHERE ID = 2; UPDATE exam1 SET diagram1 "
               "= '../pic.png' WHERE ID = 2")
        << QStringList{"exam11 ID 2: exhibit '../pic.png' is not a bare file name"};
    const QByteArray attempt =
        "CREATE TABLE tblAttempt (attempt_no INTEGER PRIMARY KEY, exam, candidate, questions, "
        "elapsed, position, flags); ";
    QTest::newRow("exam under way, sound")
        << attempt +
               "INSERT INTO tblRandom VALUES (1, 2); "
               "INSERT INTO tblAttempt VALUES (1, 1, 'Ann', 1, 30, 1, '1 1:BD 1!')"
        << QStringList();
    QTest::newRow("exam under way, values out of range")
        << attempt + "INSERT INTO tblAttempt VALUES (1, 4, 'Ann', 2, -5, 9, '1 1')"
        << QStringList{"tblAttempt: exam 4 is not 1, 2 or 3",
                       "tblAttempt: questions 2 differs from the 0 drawn",
                       "tblAttempt: elapsed -5 is not a count of seconds",
                       "tblAttempt: position 9 is not a question of the draw",
                       "tblAttempt: flags '1 1' are not the program's marks"};
    QTest::newRow("exam under way, draw not in the bank")
        << attempt +
               "INSERT INTO tblRandom VALUES (1, 999); "
               "INSERT INTO tblAttempt VALUES (1, 2, 'Ann', 1, 0, 1, '')"
        << QStringList{"tblAttempt: drawn ID 999 is not in exam2"};
    QTest::newRow("exam under way, one question drawn throughout")
        << attempt +
               "INSERT INTO tblRandom VALUES (1, 2); INSERT INTO tblRandom VALUES (2, 2); "
               "INSERT INTO tblRandom VALUES (3, 2); "
               "INSERT INTO tblAttempt VALUES (1, 1, 'Ann', 3, 0, 1, '')"
        << QStringList{"tblAttempt: drawn ID 2 is drawn 3 times"};
    QTest::newRow("exam under way, a view")
        << QByteArray(
               "CREATE VIEW tblAttempt AS SELECT 1 AS attempt_no, 1 AS exam, 'Ann' AS "
               "candidate, 0 AS questions, 0 AS elapsed, 1 AS position, '' AS flags")
        << QStringList{"tblAttempt: is a view, not a table"};
    QTest::newRow("exam under way, an index")
        << QByteArray("CREATE INDEX tblAttempt ON cat (sl_no)")
        << QStringList{"tblAttempt: is an index, not a table"};
    QTest::newRow("exam under way, column missing")
        << QByteArray("CREATE TABLE tblAttempt (attempt_no INTEGER PRIMARY KEY, exam)")
        << QStringList{"tblAttempt: column candidate missing", "tblAttempt: column flags missing"};
    QTest::newRow("no categories")
        << QByteArray("DELETE FROM cat") << QStringList{"cat: holds no category"};
}

void TestBankCheck::namesEveryViolation() {
    QFETCH(QByteArray, damage);
    QFETCH(QStringList, expected);
    Bank bank;
    const QString file = bank::buildDatabase(bank.request());
    exec(file, damage.constData());
    const QStringList problems = bank::checkDatabase(file);
    if (expected.isEmpty()) {
        QCOMPARE(problems, QStringList());
    }
    for (const QString& e : expected) {
        QVERIFY2(problems.contains(e), qPrintable(problems.join(QLatin1Char('\n'))));
    }
}

void TestBankCheck::unreadableFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text file") << QByteArray("just some text, not a database\n")
                               << "file is not a database";
    QTest::newRow("picture broken") << QByteArray() << "cannot be read as a picture";
}

void TestBankCheck::unreadableFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    Bank bank;
    const QString file = bank::buildDatabase(bank.request());
    if (content.isEmpty()) {
        bank.write(QStringLiteral("out/pic.png"), "\x89PNG\r\n\x1a\n truncated");
    } else {
        bank.write(QStringLiteral("out/kvn09.mdb"), content);
    }
    const QStringList problems = bank::checkDatabase(file);
    QVERIFY(!problems.isEmpty());
    for (const QString& problem : problems) {
        QVERIFY2(problem.contains(expected), qPrintable(problem));
    }
    QVERIFY(bank::checkDatabase(bank.dir.filePath(QStringLiteral("out/none.mdb")))
                .first()
                .contains(QLatin1String("no such file")));
}

QTEST_MAIN(TestBankCheck)
#include "tst_bank_check.moc"
