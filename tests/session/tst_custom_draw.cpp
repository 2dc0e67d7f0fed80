// A custom exam's draw: only the chosen categories, each its share, no repeats, one
// transaction, nothing drawn when they hold too few.
#include <QtTest>
#include <map>
#include <set>

#include "examdb/database.h"
#include "fixture_database.h"
#include "session/category_quota.h"
#include "session/custom_draw.h"

using testsupport::FixtureDatabase;

namespace {

// Exam 1: 40 questions, categories 0..3 holding 20, 10, 6 and 4; one response set.
void fill(FixtureDatabase& db) {
    db.addCategories(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    const int sizes[] = {20, 10, 6, 4};
    qint64 id = 1;
    db.exec(QStringLiteral("BEGIN"));
    for (int category = 0; category < 4; ++category) {
        for (int i = 0; i < sizes[category]; ++i, ++id) {
            testsupport::Question q;
            q.id = id;
            q.catId = category;
            q.question = QStringLiteral("Q%1").arg(id);
            q.key[0] = true;
            q.responses[1] = id == 3;
            db.addQuestion(1, q);
        }
    }
    db.exec(QStringLiteral("COMMIT"));
}

std::map<int, int> drawnPerCategory(const FixtureDatabase& db) {
    std::map<int, int> per;
    for (const QVariantList& row :
         db.rows(QStringLiteral("SELECT e.catID FROM tblRandom r JOIN exam1 e ON e.ID = r.ID"))) {
        ++per[row.at(0).toInt()];
    }
    return per;
}

exam::CustomDraw drawOf(std::vector<int> categories, int count) {
    return {1, std::move(categories), count, QStringLiteral("Ann"), {}, {}};
}

}  // namespace

class TestCustomDraw : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsEachChosenCategorysShare_data();
    void drawsEachChosenCategorysShare();
    void tooFewQuestionsDrawsNothing();
    void everyQuestionOfACategoryCanBeDrawn();
};

void TestCustomDraw::drawsEachChosenCategorysShare_data() {
    QTest::addColumn<std::vector<int>>("categories");
    QTest::addColumn<int>("count");
    QTest::newRow("two categories") << std::vector<int>{0, 2} << 10;
    QTest::newRow("all of them") << std::vector<int>{0, 1, 2, 3} << 20;
    QTest::newRow("one small category, all of it") << std::vector<int>{3} << 4;
    QTest::newRow("one question from four") << std::vector<int>{0, 1, 2, 3} << 1;
}

void TestCustomDraw::drawsEachChosenCategorysShare() {
    QFETCH(std::vector<int>, categories);
    QFETCH(int, count);
    FixtureDatabase db;
    fill(db);
    examdb::Database bank = examdb::Database::open(db.path());
    const exam::CustomDraw draw{
        1, categories, count, QStringLiteral("Ann"), QStringLiteral("exam=1 mode=practice"), {}};

    const std::vector<int> sizes = exam::categorySizes(bank, draw);
    QCOMPARE(exam::drawCustom(bank, draw), count);

    const std::vector<int> shares = exam::shareOut(sizes, count);
    std::map<int, int> expected;
    for (size_t i = 0; i < categories.size(); ++i) {
        if (shares[i] > 0) {
            expected[categories[i]] = shares[i];
        }
    }
    QCOMPARE(drawnPerCategory(db), expected);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(DISTINCT ID) FROM tblRandom")).toInt(), count);
    QCOMPARE(db.scalar(QStringLiteral("SELECT min(sl_no) || '-' || max(sl_no) FROM tblRandom"))
                 .toString(),
             QStringLiteral("1-%1").arg(count));
    // A previous candidate's marks never count for this one.
    QCOMPARE(db.answers(QStringLiteral("exam1"), 3), (std::array<int, 5>{0, 0, 0, 0, 0}));
    // Recorded with the draw, so an interruption can be taken up again as what it was.
    QCOMPARE(db.scalar(QStringLiteral("SELECT exam || '|' || candidate || '|' || questions || '|' "
                                      "|| custom FROM tblAttempt"))
                 .toString(),
             QStringLiteral("1|Ann|%1|exam=1 mode=practice").arg(count));
}

void TestCustomDraw::tooFewQuestionsDrawsNothing() {
    FixtureDatabase db;
    fill(db);
    db.draw({1, 2, 3});
    examdb::Database bank = examdb::Database::open(db.path());
    QCOMPARE(exam::drawCustom(bank, drawOf({2, 3}, 11)), 0);
    QCOMPARE(exam::drawCustom(bank, drawOf({}, 5)), 0);
    QCOMPARE(exam::drawCustom(bank, drawOf({0}, 0)), 0);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
    // A category number no question carries holds nothing.
    QCOMPARE(exam::categorySizes(bank, drawOf({0, 7}, 1)), (std::vector<int>{20, 0}));
}

void TestCustomDraw::everyQuestionOfACategoryCanBeDrawn() {
    FixtureDatabase db;
    fill(db);
    examdb::Database bank = examdb::Database::open(db.path());
    std::set<qint64> seen;
    for (int i = 0; i < 200 && seen.size() < 6; ++i) {
        QCOMPARE(exam::drawCustom(bank, drawOf({2}, 1)), 1);
        seen.insert(db.scalar(QStringLiteral("SELECT ID FROM tblRandom")).toLongLong());
    }
    QCOMPARE(seen, (std::set<qint64>{31, 32, 33, 34, 35, 36}));
}

QTEST_GUILESS_MAIN(TestCustomDraw)
#include "tst_custom_draw.moc"
