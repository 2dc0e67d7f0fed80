#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "bank_builder.h"
#include "bank_fixture.h"
#include "source_fields.h"

using namespace bank_fixture;

class TestBankBuilder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildsBothEditions();
    void refusesFaultySources_data();
    void refusesFaultySources();
    void refusalKeepsTheGoodDatabase();
    void drawsDiagramsAndDialogs_data();
    void drawsDiagramsAndDialogs();
};

void TestBankBuilder::buildsBothEditions() {
    Bank bank;
    const QString full = bank::buildDatabase(bank.request());
    const QString demo = bank::buildDatabase(bank.request(true));
    QCOMPARE(QFileInfo(full).fileName(), QStringLiteral("kvn09.mdb"));
    QCOMPARE(QFileInfo(demo).fileName(), QStringLiteral("kvn009.mdb"));

    QCOMPARE(
        query(full, "SELECT ID, catID, cat_desc, question_type, diagram1 FROM exam3"),
        (QStringList{"1|0|Networking|single_answer|", "2|1|Security|multiple_answer|pic.png"}));
    QCOMPARE(query(full,
                   "SELECT correctanswer1, correctanswer2, correctanswer3, correctanswer4, "
                   "correctanswer5 FROM exam22"),
             (QStringList{"0|1|0|0|0", "1|0|0|0|1"}));
    QCOMPARE(
        query(full,
              "SELECT count(*) FROM exam1 WHERE correctanswer1 + correctanswer2 + correctanswer3 + "
              "correctanswer4 + correctanswer5 > 0"),
        QStringList{"0"});
    QCOMPARE(query(full, "SELECT explanation FROM exam11 WHERE ID = 2"),
             QStringList{"Because.\n\nAfter a blank line."});
    QCOMPARE(query(full, "SELECT question FROM exam1 WHERE ID = 2"),
             QStringList{"Refer to the exhibit. Which two are true? (Choose two.) flowing on.\n\n  "
                         "indented code\nmore code"});
    QCOMPARE(query(full, "SELECT answer4, answer5 FROM exam1 WHERE ID = 1"), QStringList{"|"});
    QCOMPARE(query(full, "SELECT sl_no, cat_desc FROM cat ORDER BY rowid"),
             (QStringList{"1|Networking", "2|Security"}));
    QCOMPARE(query(full,
                   "SELECT (SELECT count(*) FROM tblRandom) + (SELECT count(*) FROM showans) + "
                   "(SELECT count(*) FROM cat_scores)"),
             QStringList{"0"});
    QCOMPARE(query(demo, "SELECT test_name, author_name FROM \"Test Information\""),
             QStringList{"Name|A"});

    QImage picture(bank.dir.filePath(QStringLiteral("out/pic.png")));
    QVERIFY(!picture.isNull());
    QVERIFY(picture.width() >= 200);
    QVERIFY(!QFile::exists(full + QStringLiteral(".building")));
}

void TestBankBuilder::refusesFaultySources_data() {
    QTest::addColumn<QByteArray>("exam");
    QTest::addColumn<QString>("expected");

    QTest::newRow("syntax") << QByteArray("== 1\ncategory Networking\n")
                            << "exam1.kvq:2: expected 'name: value'";
    QTest::newRow("missing field")
        << QByteArray("== 1\ncategory: Networking\nquestion: Q\nA: a\nB: b\nC: c\nanswer: A\n")
        << "exam1.kvq:1: question 1 has no 'explanation:' field";
    QTest::newRow("duplicate id") << QByteArray(kGoodExam).append("== 2\ncategory: Security\n")
                                  << "exam1.kvq:28: question 2 appears twice";
    QTest::newRow("unknown category") << QByteArray("== 7\ncategory: Cooking\n")
                                      << "exam1.kvq:2: question 7: unknown category 'Cooking'";
    QTest::newRow("answer names no choice")
        << QByteArray(
               "== 1\ncategory: Security\nquestion: Q\nA: a\nB: b\nC: c\nanswer: D\nexplanation: "
               "e\n")
        << "exam1.kvq:7: question 1: answer 'D' names no choice";
    QTest::newRow("gap in choices") << QByteArray(
                                           "== 1\ncategory: Security\nquestion: Q\nA: a\nB: b\nC: "
                                           "c\nE: e\nanswer: A\nexplanation: e\n")
                                    << "exam1.kvq:1: question 1 has choice E but no choice D";
    QTest::newRow("two choices only")
        << QByteArray(
               "== 1\ncategory: Security\nquestion: Q\nA: a\nB: b\nanswer: A\nexplanation: e\n")
        << "exam1.kvq:1: question 1 needs at least three choices";
    QTest::newRow("not UTF-8") << QByteArray("== 1\ncategory: Security\nquestion: \xff\xfe\n")
                               << "exam1.kvq:3: is not valid UTF-8 text";
    QTest::newRow("missing exhibit")
        << QByteArray(
               "== 1\ncategory: Security\nexhibit: nowhere.png\nquestion: Q\nA: a\nB: b\nC: "
               "c\nanswer: A\nexplanation: e\n")
        << "exhibit 'nowhere.png' has no";
    QTest::newRow("exhibit with folders")
        << QByteArray(
               "== 1\ncategory: Security\nexhibit: ../x.png\nquestion: Q\nA: a\nB: b\nC: "
               "c\nanswer: A\nexplanation: e\n")
        << "exhibit '../x.png' must be a bare .png file name";
}

void TestBankBuilder::refusesFaultySources() {
    QFETCH(QByteArray, exam);
    QFETCH(QString, expected);
    Bank bank;
    bank.write(QStringLiteral("source/exam1.kvq"), exam);
    try {
        bank::buildDatabase(bank.request());
        QFAIL("the faulty source was accepted");
    } catch (const bank::SourceError& e) {
        QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
    }
    QVERIFY(!QFile::exists(bank.dir.filePath(QStringLiteral("out/kvn09.mdb"))));
    QVERIFY(!QFile::exists(bank.dir.filePath(QStringLiteral("out/kvn09.mdb.building"))));
}

void TestBankBuilder::refusalKeepsTheGoodDatabase() {
    Bank bank;
    const QString full = bank::buildDatabase(bank.request());
    const QStringList before = query(full, "SELECT ID, question FROM exam2");

    bank.write(QStringLiteral("source/exam2.kvq"), "== 1\ncategory: Nowhere\n");
    QVERIFY_THROWS_EXCEPTION(bank::SourceError, bank::buildDatabase(bank.request()));
    QCOMPARE(query(full, "SELECT ID, question FROM exam2"), before);

    // A broken exhibit is found after the database was written: the old one still stands.
    bank.write(QStringLiteral("source/exam2.kvq"), kGoodExam);
    bank.write(QStringLiteral("exhibits/pic.txt"), "title: no body\n");
    QVERIFY_THROWS_EXCEPTION(bank::SourceError, bank::buildDatabase(bank.request()));
    QCOMPARE(query(full, "SELECT ID, question FROM exam2"), before);
}

// The question of the fixture's exam 3 with an exhibit refers to pic.png: its description is
// replaced by a diagram's or a dialog's.
void TestBankBuilder::drawsDiagramsAndDialogs_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QString>("refusal");  // empty: drawn
    QTest::newRow("a network") << "pic.dot"
                               << QByteArray(
                                      "graph { R1 [shape=box3d label=\"R1\\n10.0.0.1/24\"]; "
                                      "R1 -- PC1 [taillabel=\"Gi0/0\"]; }")
                               << QString();
    QTest::newRow("a network dot cannot draw")
        << "pic.dot" << QByteArray("graph { R1 -- ") << "cannot be drawn by dot";
    QTest::newRow("a dialog with tabs")
        << "pic.dialog"
        << QByteArray(
               "title: Adapter settings\nwidth: 420\ntabs: General | *Advanced\n"
               "group: Addresses\nfield: IPv4 address | 10.0.0.5\ncombo: Speed | 1 Gbps\n"
               "spin: MTU | 1500\ncheck: yes | Enable IPv6\nradio: no | Automatic\n"
               "text: Changes apply at once.\nbuttons: OK | Cancel\n")
        << QString();
    QTest::newRow("a dialog of an unknown kind")
        << "pic.dialog" << QByteArray("title: T\nslider: Volume | 5\n") << "unknown kind 'slider'";
    QTest::newRow("a check box neither ticked nor not")
        << "pic.dialog" << QByteArray("title: T\ncheck: maybe | Remember\n") << "takes yes or no";
    QTest::newRow("a dialog without a title")
        << "pic.dialog" << QByteArray("field: A | b\n") << "has no 'title'";
}

void TestBankBuilder::drawsDiagramsAndDialogs() {
    QFETCH(QString, file);
    QFETCH(QByteArray, description);
    QFETCH(QString, refusal);
    Bank bank;
    QFile::remove(bank.dir.filePath(QStringLiteral("exhibits/pic.txt")));
    bank.write(QStringLiteral("exhibits/") + file, description);
    try {
        bank::buildDatabase(bank.request());
        QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
    } catch (const bank::SourceError& e) {
        QVERIFY2(!refusal.isEmpty() && e.message().contains(refusal), qPrintable(e.message()));
        return;
    }
    const QImage picture(bank.dir.filePath(QStringLiteral("out/pic.png")));
    QVERIFY(!picture.isNull());
    if (file.endsWith(u".dialog")) {
        QCOMPARE(picture.width(), 420);
        QVERIFY(picture.height() > 150);
    }
}

QTEST_MAIN(TestBankBuilder)
#include "tst_bank_builder.moc"
