#include <QTest>

#include "examdb/database.h"
#include "examdb/record_source.h"
#include "examdb/row_store.h"
#include "examdb/statements.h"
#include "fixture_database.h"

using examdb::Database;
using examdb::Recordset;
using testsupport::FixtureDatabase;

namespace {

// More rows than are read whole on opening, and more than one block of them.
constexpr int kRows = examdb::kDefaultEagerRows + 3 * examdb::RowStore::kBlock + 5;

}  // namespace

// Large record sets hold only the rows' keys and read values on demand; what a caller sees
// must not depend on it.
class TestKeyedRows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void valuesMatchTheTableEverywhere_data();
    void valuesMatchTheTableEverywhere();
    void joinKeepsItsOrderAndWritesBack();
    void outerJoinRowsWithoutASourceRow();
    void rowsReadLateShowTheirCurrentValues();

private:
    std::unique_ptr<FixtureDatabase> fixture_;
};

void TestKeyedRows::init() {
    fixture_ = std::make_unique<FixtureDatabase>();
}

void TestKeyedRows::cleanup() {
    examdb::setEagerRowLimit(examdb::kDefaultEagerRows);
    fixture_.reset();
}

void TestKeyedRows::valuesMatchTheTableEverywhere_data() {
    QTest::addColumn<int>("eager");
    QTest::newRow("some read whole") << examdb::kDefaultEagerRows;
    QTest::newRow("nothing read whole") << 0;
}

void TestKeyedRows::valuesMatchTheTableEverywhere() {
    QFETCH(int, eager);
    examdb::setEagerRowLimit(eager);
    // Gapped IDs, so that a position and an ID never agree by chance.
    fixture_->addQuestions(1, kRows, 7, 10);
    fixture_->exec(QStringLiteral("DELETE FROM exam1 WHERE ID % 3 = 0"));
    const QList<QVariantList> expected =
        fixture_->rows(QStringLiteral("SELECT ID, question, catID FROM exam1 ORDER BY ID"));
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    QCOMPARE(rs.recordCount(), expected.size());

    // Every position, forwards, then a walk back across block boundaries.
    int at = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext(), ++at) {
        QCOMPARE(rs.value(QStringLiteral("ID")), expected[at][0]);
        QCOMPARE(rs.value(QStringLiteral("question")), expected[at][1]);
    }
    QCOMPARE(at, expected.size());
    rs.moveLast();
    for (at = int(expected.size()) - 1; !rs.bof(); rs.movePrevious(), --at) {
        QCOMPARE(rs.value(QStringLiteral("catID")), expected[at][2]);
    }
    QCOMPARE(at, -1);
}

void TestKeyedRows::joinKeepsItsOrderAndWritesBack() {
    examdb::setEagerRowLimit(10);
    fixture_->addQuestions(1, kRows);
    QList<qint64> order;
    for (qint64 id = kRows; id >= 1; id -= 2) {
        order << id;
    }
    fixture_->draw(order);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(examdb::statements::x1(1));
    QCOMPARE(rs.recordCount(), order.size());
    int at = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext(), ++at) {
        QCOMPARE(rs.value(QStringLiteral("exam1.ID")).toLongLong(), order[at]);
        QCOMPARE(
            rs.value(QStringLiteral("question")).toString(),
            fixture_->scalar(QStringLiteral("SELECT question FROM exam1 WHERE ID = ?"), {order[at]})
                .toString());
    }

    // A late row, written through the set and read back from the table.
    rs.moveLast();
    rs.movePrevious();
    rs.edit();
    rs.setValue(QStringLiteral("correctanswer4"), true);
    rs.update();
    QCOMPARE(rs.value(QStringLiteral("correctanswer4")).toInt(), 1);
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), order[order.size() - 2]),
             (std::array<int, 5>{0, 0, 0, 1, 0}));
}

void TestKeyedRows::outerJoinRowsWithoutASourceRow() {
    examdb::setEagerRowLimit(0);
    fixture_->addQuestions(1, 300);
    fixture_->exec(QStringLiteral("DELETE FROM exam11 WHERE ID % 2 = 0"));
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(
        QStringLiteral("SELECT exam1.ID, exam11.question FROM exam1 LEFT JOIN exam11 ON "
                       "exam11.ID = exam1.ID ORDER BY exam1.ID"));
    QCOMPARE(rs.recordCount(), 300);
    int id = 1;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext(), ++id) {
        QCOMPARE(rs.value(0).toInt(), id);
        QCOMPARE(rs.value(1).isNull(), id % 2 == 0);
    }
}

// The keys are read on opening, the values when first asked for: a row changed or deleted
// in between shows what the table holds then, and a deleted row keeps its place.
void TestKeyedRows::rowsReadLateShowTheirCurrentValues() {
    examdb::setEagerRowLimit(0);
    fixture_->addQuestions(1, 200);
    Database db = Database::open(fixture_->fileName());
    Recordset rs = db.openRecordset(QStringLiteral("exam1"));
    fixture_->exec(QStringLiteral("UPDATE exam1 SET question = 'changed' WHERE ID = 150"));
    fixture_->exec(QStringLiteral("DELETE FROM exam1 WHERE ID = 151"));
    QCOMPARE(rs.recordCount(), 200);
    for (int i = 0; i < 149; ++i) {
        rs.moveNext();  // moves read nothing
    }
    QCOMPARE(rs.value(QStringLiteral("question")).toString(), QStringLiteral("changed"));
    rs.moveNext();
    QVERIFY(rs.value(QStringLiteral("question")).isNull());
    rs.moveNext();
    QCOMPARE(rs.value(QStringLiteral("ID")).toInt(), 152);
}

QTEST_MAIN(TestKeyedRows)
#include "tst_keyed_rows.moc"
