// A custom exam's questions shared out among the chosen categories.
#include <QtTest>
#include <numeric>

#include "session/category_quota.h"

using Shares = std::vector<int>;
Q_DECLARE_METATYPE(Shares)

class TestCategoryQuota : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shares_data();
    void shares();
    void sharesKeepTheirPromises();
};

void TestCategoryQuota::shares_data() {
    QTest::addColumn<Shares>("sizes");
    QTest::addColumn<int>("count");
    QTest::addColumn<Shares>("expected");
    QTest::newRow("even split") << Shares{10, 10} << 4 << Shares{2, 2};
    QTest::newRow("in proportion") << Shares{30, 10} << 20 << Shares{15, 5};
    QTest::newRow("largest remainder takes the odd one") << Shares{2, 3, 5} << 5 << Shares{1, 2, 2};
    QTest::newRow("tie goes to the earlier category") << Shares{5, 5} << 3 << Shares{2, 1};
    QTest::newRow("a small category still gets one") << Shares{100, 1} << 10 << Shares{9, 1};
    QTest::newRow("several small ones") << Shares{97, 1, 1, 1} << 4 << Shares{1, 1, 1, 1};
    QTest::newRow("too few to go round: by size") << Shares{50, 30, 20} << 2 << Shares{1, 1, 0};
    QTest::newRow("a category smaller than its share") << Shares{1, 9} << 10 << Shares{1, 9};
    QTest::newRow("everything") << Shares{3, 4} << 7 << Shares{3, 4};
    QTest::newRow("more than there is: clamped") << Shares{3, 4} << 50 << Shares{3, 4};
    QTest::newRow("empty category gets none") << Shares{0, 8} << 4 << Shares{0, 4};
    QTest::newRow("nothing asked") << Shares{5, 5} << 0 << Shares{0, 0};
    QTest::newRow("negative count") << Shares{5, 5} << -3 << Shares{0, 0};
    QTest::newRow("no categories") << Shares{} << 5 << Shares{};
    QTest::newRow("one category") << Shares{116} << 20 << Shares{20};
}

void TestCategoryQuota::shares() {
    QFETCH(Shares, sizes);
    QFETCH(int, count);
    QFETCH(Shares, expected);
    QCOMPARE(exam::shareOut(sizes, count), expected);
}

// Over many shapes: the total is exact, no share exceeds its category, every category gets
// one when the count allows, and no share is more than one away from its exact proportion
// unless a small category's one was taken from it.
void TestCategoryQuota::sharesKeepTheirPromises() {
    QRandomGenerator random(17);
    for (int round = 0; round < 2000; ++round) {
        Shares sizes(size_t(random.bounded(1, 12)));
        for (int& s : sizes) {
            s = random.bounded(0, 40);
        }
        const int total = std::accumulate(sizes.begin(), sizes.end(), 0);
        const int count = random.bounded(0, total + 2);
        const Shares shares = exam::shareOut(sizes, count);
        const int wanted = std::min(count, total);
        QCOMPARE(std::accumulate(shares.begin(), shares.end(), 0), wanted);
        const auto nonEmpty =
            std::count_if(sizes.begin(), sizes.end(), [](int s) { return s > 0; });
        for (size_t i = 0; i < sizes.size(); ++i) {
            QVERIFY(shares[i] >= 0 && shares[i] <= sizes[i]);
            if (wanted >= nonEmpty && sizes[i] > 0) {
                QVERIFY(shares[i] >= 1);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestCategoryQuota)
#include "tst_category_quota.moc"
