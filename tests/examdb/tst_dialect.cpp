#include <QTest>

#include "examdb/dialect.h"

class TestDialect : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void translates_data();
    void translates();
};

void TestDialect::translates_data() {
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("sqlite");

    QTest::newRow("delete star") << "delete * from tblrandom;"
                                 << "DELETE FROM tblrandom;";
    QTest::newRow("delete star, any case and spacing") << "DeLeTe\t*\n  FROM showans"
                                                       << "DELETE FROM showans";
    QTest::newRow("delete qualified star") << "DELETE [cat_scores].* FROM cat_scores;"
                                           << "DELETE FROM cat_scores;";
    QTest::newRow("plain delete untouched") << "DELETE FROM t WHERE a = 1"
                                            << "DELETE FROM t WHERE a = 1";
    QTest::newRow("literals") << "SELECT * FROM t WHERE a = Yes OR b = no OR c = TRUE OR d = False"
                              << "SELECT * FROM t WHERE a = 1 OR b = 0 OR c = 1 OR d = 0";
    QTest::newRow("No inside quotes and brackets")
        << "SELECT [No], \"No\", 'No', 'it''s No' FROM t WHERE x = No"
        << "SELECT [No], \"No\", 'No', 'it''s No' FROM t WHERE x = 0";
    QTest::newRow("No as part of a name") << "SELECT t.No, No.x, Nothing, yes_no FROM t"
                                          << "SELECT t.No, No.x, Nothing, yes_no FROM t";
    QTest::newRow("No in comments") << "SELECT 1 -- No\n/* Yes */ , No"
                                    << "SELECT 1 -- No\n/* Yes */ , 0";
    QTest::newRow("update set drops qualifiers")
        << "UPDATE exam1 SET exam1.correctanswer1 = No, [exam1].[correctanswer2] = Yes WHERE "
           "exam1.ID = 3;"
        << "UPDATE exam1 SET correctanswer1 = 0, [correctanswer2] = 1 WHERE exam1.ID = 3;";
    QTest::newRow("update set keeps qualified values")
        << "UPDATE exam1 SET a = exam1.b, c = f(exam1.d, 2)"
        << "UPDATE exam1 SET a = exam1.b, c = f(exam1.d, 2)";
    QTest::newRow("brackets and <> pass") << "SELECT * FROM a WHERE ([a].[x]<>[b].[x]) ;"
                                          << "SELECT * FROM a WHERE ([a].[x]<>[b].[x]) ;";
    QTest::newRow("unterminated quote") << "SELECT 'No"
                                        << "SELECT 'No";
    QTest::newRow("empty") << ""
                           << "";
}

void TestDialect::translates() {
    QFETCH(QString, access);
    QFETCH(QString, sqlite);
    QCOMPARE(examdb::toSqlite(access), sqlite);
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
