// The chance to pass a new draw from the first answers, and whether it means what it says.
#include <QElapsedTimer>
#include <QtTest>
#include <cmath>
#include <random>

#include "review/readiness.h"

using review::CategoryRecord;
using Records = std::vector<CategoryRecord>;
Q_DECLARE_METATYPE(Records)

namespace {

// A 116-question draw over 19 categories of unequal size.
const std::vector<int> kBlueprint{12, 10, 9, 8, 8, 7, 7, 6, 6, 6, 5, 5, 5, 5, 4, 4, 3, 3, 3};

// Every category of kBlueprint answered `times` over, right at the given share.
Records wellAnswered(int times, double share) {
    Records records;
    for (size_t i = 0; i < kBlueprint.size(); ++i) {
        const int answered = kBlueprint[i] * times;
        records.push_back({QStringLiteral("C%1").arg(i + 1), kBlueprint[i], answered,
                           int(std::lround(answered * share))});
    }
    return records;
}

}  // namespace

class TestReadiness : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void byHand_data();
    void byHand();
    void notEnough_data();
    void notEnough();
    void badInput_data();
    void badInput();
    void refusedOrFinite();
    void moreRightMeansMoreChance();
    void chanceText_data();
    void chanceText();
    void calibrated();
};

// One category alone has the flat prior: Beta(31, 11) after 30 right and 10 wrong. Of two of
// its questions in a draw, both right with 31·32 / (42·43) = 992/1806, one with 2·31·11 / 1806 =
// 682/1806, none with 11·12 / 1806 = 132/1806.
// Two categories of one question each lean on each other. A (3 of 4) gets a prior of weight 2
// at B's (8 + 1) / (10 + 2) = 3/4: Beta(3 + 1.5, 1 + 0.5), right with 4.5/6 = 3/4. B (8 of 10)
// at A's (3 + 1) / (4 + 2) = 2/3: Beta(8 + 4/3, 2 + 2/3), right with (28/3) / 12 = 7/9.
// The weak pair: A (1 of 4) at 2/12: Beta(1 + 1/3, 3 + 5/3), 2/9; B (1 of 10) at 2/6:
// Beta(1 + 2/3, 9 + 4/3), 5/36.
void TestReadiness::byHand_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("passMark");
    QTest::addColumn<double>("chance");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    const Records one{{"A", 2, 40, 30}};
    QTest::newRow("both of two") << one << 1000 << 992.0 / 1806 << 500 << 1000;
    QTest::newRow("one of two") << one << 500 << 1674.0 / 1806 << 500 << 1000;
    QTest::newRow("a pass mark between scores") << one << 501 << 992.0 / 1806 << 500 << 1000;
    // None right with 1/4 · 2/9 = 1/18, under the 10th percentile; one or none 5/12.
    const Records two{{"A", 1, 4, 3}, {"B", 1, 10, 8}};
    QTest::newRow("two categories, both") << two << 1000 << 3.0 / 4 * 7 / 9 << 500 << 1000;
    QTest::newRow("two categories, either") << two << 500 << 1 - 1.0 / 18 << 500 << 1000;
    QTest::newRow("pass mark 0 always passes") << two << 0 << 1.0 << 500 << 1000;
    // None right with 7/9 · 31/36, over the 10th percentile; one or none 1 - 5/162.
    const Records weak{{"A", 1, 4, 1}, {"B", 1, 10, 1}};
    QTest::newRow("weak candidate") << weak << 1000 << 2.0 / 9 * 5 / 36 << 0 << 500;
}

void TestReadiness::byHand() {
    QFETCH(Records, records);
    QFETCH(int, passMark);
    QFETCH(double, chance);
    QFETCH(int, low);
    QFETCH(int, high);
    const review::Readiness r = review::estimateReadiness(records, passMark, 1);
    QVERIFY(r.enough);
    QVERIFY2(std::abs(r.chance - chance) < 1e-12, qPrintable(QString::number(r.chance, 'g', 17)));
    QCOMPARE(r.lowScore, low);
    QCOMPARE(r.highScore, high);
}

void TestReadiness::notEnough_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("firstAnswers");
    QTest::addColumn<int>("more");
    QTest::addColumn<QStringList>("unanswered");
    QTest::newRow("too few answers")
        << Records{{"A", 5, 20, 15}, {"B", 5, 19, 10}} << 39 << 1 << QStringList{};
    QTest::newRow("just enough") << Records{{"A", 5, 20, 15}, {"B", 5, 20, 10}} << 40 << 0
                                 << QStringList{};
    QTest::newRow("a category never answered")
        << Records{{"A", 5, 50, 40}, {"B", 3, 0, 0}, {"C", 2, 10, 5}} << 60 << 0
        << QStringList{"B"};
    QTest::newRow("both") << Records{{"A", 5, 0, 0}, {"B", 3, 12, 6}, {"C", 2, 0, 0}} << 12 << 28
                          << QStringList{"A", "C"};
    QTest::newRow("answers outside the draw do not count")
        << Records{{"A", 5, 30, 20}, {"B", 0, 100, 90}} << 30 << 10 << QStringList{};
    QTest::newRow("nothing at all") << Records{{"A", 116, 0, 0}} << 0 << 40 << QStringList{"A"};
}

void TestReadiness::notEnough() {
    QFETCH(Records, records);
    QFETCH(int, firstAnswers);
    QFETCH(int, more);
    QFETCH(QStringList, unanswered);
    const review::Readiness r = review::estimateReadiness(records, 750);
    QCOMPARE(r.enough, more == 0 && unanswered.isEmpty());
    QCOMPARE(r.firstAnswers, firstAnswers);
    QCOMPARE(r.moreAnswersNeeded, more);
    QCOMPARE(r.unanswered, unanswered);
    if (!r.enough) {
        QCOMPARE(r.chance, 0.0);
    }
}

// Each row must come out as its sane twin does.
void TestReadiness::badInput_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("passMark");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<Records>("twin");
    QTest::addColumn<int>("twinPassMark");
    QTest::addColumn<int>("twinMinimum");
    const Records fine{{"A", 3, 30, 20}, {"B", 2, 20, 10}};
    QTest::newRow("right above answered")
        << Records{{"A", 3, 30, 45}, {"B", 2, 20, 10}} << 750 << 40
        << Records{{"A", 3, 30, 30}, {"B", 2, 20, 10}} << 750 << 40;
    QTest::newRow("negative right") << Records{{"A", 3, 30, -4}, {"B", 2, 20, 10}} << 750 << 40
                                    << Records{{"A", 3, 30, 0}, {"B", 2, 20, 10}} << 750 << 40;
    QTest::newRow("negative answered") << Records{{"A", 3, -30, -4}, {"B", 2, 50, 10}} << 750 << 40
                                       << Records{{"A", 3, 0, 0}, {"B", 2, 50, 10}} << 750 << 40;
    QTest::newRow("negative blueprint is left out")
        << Records{{"A", 3, 30, 20}, {"B", 2, 20, 10}, {"C", -5, 0, 0}} << 750 << 40 << fine << 750
        << 40;
    QTest::newRow("pass mark below 0") << fine << -20 << 40 << fine << 0 << 40;
    QTest::newRow("pass mark above 1000") << fine << 5000 << 40 << fine << 1000 << 40;
    QTest::newRow("negative minimum")
        << Records{{"A", 3, 3, 2}} << 750 << -7 << Records{{"A", 3, 3, 2}} << 750 << 0;
}

void TestReadiness::badInput() {
    QFETCH(Records, records);
    QFETCH(int, passMark);
    QFETCH(int, minimum);
    QFETCH(Records, twin);
    QFETCH(int, twinPassMark);
    QFETCH(int, twinMinimum);
    const review::Readiness r = review::estimateReadiness(records, passMark, minimum);
    const review::Readiness t = review::estimateReadiness(twin, twinPassMark, twinMinimum);
    QCOMPARE(r.enough, t.enough);
    QCOMPARE(r.chance, t.chance);
    QCOMPARE(r.lowScore, t.lowScore);
    QCOMPARE(r.highScore, t.highScore);
    QCOMPARE(r.firstAnswers, t.firstAnswers);
    QCOMPARE(r.moreAnswersNeeded, t.moreAnswersNeeded);
    QCOMPARE(r.unanswered, t.unanswered);
}

// No draw to estimate, or numbers far outside any exam: refused or finite, never a crash.
void TestReadiness::refusedOrFinite() {
    QVERIFY(!review::estimateReadiness({}, 750).enough);
    QVERIFY(!review::estimateReadiness({{"A", 0, 100, 80}}, 750).enough);
    const review::Readiness huge =
        review::estimateReadiness({{"A", review::maxQuestions + 1, 5000, 4000}}, 750);
    QVERIFY(!huge.enough);
    QVERIFY(huge.unanswered.isEmpty());
    const review::Readiness many = review::estimateReadiness(
        {{"A", 100, std::numeric_limits<int>::max(), std::numeric_limits<int>::max() / 4 * 3},
         {"B", 16, 1, 1}},
        750);
    QVERIFY(many.enough);
    QVERIFY(many.chance >= 0 && many.chance <= 1);
    QVERIFY(many.lowScore <= many.highScore);
}

// Along a line of candidates, each a little better: the chance never drops, and the interval
// holds the score their share predicts.
void TestReadiness::moreRightMeansMoreChance() {
    double before = -1;
    for (int share = 40; share <= 100; share += 2) {
        const review::Readiness r = review::estimateReadiness(wellAnswered(2, share / 100.0), 750);
        QVERIFY(r.enough);
        QVERIFY2(r.chance >= before, qPrintable(QString::number(share)));
        QVERIFY(r.lowScore <= r.highScore);
        QVERIFY(r.lowScore <= share * 10 + 40 && r.highScore >= share * 10 - 40);
        before = r.chance;
    }
    QVERIFY(before > 0.99);
}

void TestReadiness::chanceText_data() {
    QTest::addColumn<double>("chance");
    QTest::addColumn<QString>("text");
    QTest::newRow("middle") << 0.64 << "64 %";
    QTest::newRow("one") << 0.006 << "1 %";
    QTest::newRow("ninety-nine") << 0.994 << "99 %";
    QTest::newRow("very low") << 0.004 << "under 1 %";
    QTest::newRow("underflowed") << 0.0 << "under 1 %";
    QTest::newRow("very high") << 0.9996 << "over 99 %";
    QTest::newRow("certain") << 1.0 << "100 %";
    QTest::newRow("not a number") << std::nan("") << "under 1 %";
}

void TestReadiness::chanceText() {
    QFETCH(double, chance);
    QFETCH(QString, text);
    QCOMPARE(review::chanceText(chance), text);
}

// Simulated candidates whose true share right per category comes from their general ability,
// the category's difficulty and their own strengths, squashed to 0..1. The population is not
// the estimate's prior, so this tests the model against something it does not assume. Each
// practises one to four draws' worth, is estimated, then sits a fresh draw. Of those told
// about 30 %, about 30 % must pass.
void TestReadiness::calibrated() {
    std::mt19937 random(20240611);
    std::normal_distribution<double> ability(1.1, 0.8);
    std::normal_distribution<double> strength(0.0, 0.5);
    std::normal_distribution<double> difficulty(0.0, 0.4);
    std::uniform_int_distribution<int> practice(1, 4);
    std::vector<double> offset(kBlueprint.size());
    for (double& d : offset) {
        d = difficulty(random);
    }
    const int questions = 116;
    const int passMark = 750;

    struct Bin {
        int candidates = 0;
        int passed = 0;
        double estimates = 0;
    };
    std::vector<Bin> bins(10);
    const int candidates = 4000;
    double brier = 0;
    int passedAll = 0;
    qint64 spent = 0;
    QElapsedTimer clock;
    for (int c = 0; c < candidates; ++c) {
        const double general = ability(random);
        const int draws = practice(random);
        Records records;
        int right = 0;
        for (size_t i = 0; i < kBlueprint.size(); ++i) {
            const double share = 1 / (1 + std::exp(-(general + offset[i] + strength(random))));
            const int answered = kBlueprint[i] * draws;
            std::binomial_distribution<int> practised(answered, share);
            records.push_back({QString::number(i), kBlueprint[i], answered, practised(random)});
            std::binomial_distribution<int> sat(kBlueprint[i], share);
            right += sat(random);
        }
        clock.start();
        const review::Readiness r = review::estimateReadiness(records, passMark);
        spent += clock.nsecsElapsed();
        QVERIFY(r.enough);
        const bool passed = right * 1000 >= passMark * questions;
        passedAll += passed;
        brier += (r.chance - passed) * (r.chance - passed);
        Bin& bin = bins[size_t(std::min(int(r.chance * 10), 9))];
        ++bin.candidates;
        bin.passed += passed;
        bin.estimates += r.chance;
    }
    brier /= candidates;
    const double base = double(passedAll) / candidates;

    qInfo("estimate   candidates  mean estimate  passed");
    QStringList wrong;
    for (size_t b = 0; b < bins.size(); ++b) {
        const Bin& bin = bins[b];
        if (bin.candidates == 0) {
            continue;
        }
        const double observed = double(bin.passed) / bin.candidates;
        qInfo("%3d-%3d %%  %10d  %13.3f  %6.3f", int(b) * 10, int(b) * 10 + 10, bin.candidates,
              bin.estimates / bin.candidates, observed);
        if (bin.candidates < 40) {
            continue;
        }
        const double lo = b / 10.0;
        const double hi = lo + 0.1;
        const double nearest = std::clamp(observed, lo, hi);
        const double noise = 2.5 * std::sqrt(nearest * (1 - nearest) / bin.candidates) + 0.02;
        if (observed < lo - noise || observed > hi + noise) {
            wrong << QStringLiteral("%1-%2 %: %3").arg(b * 10).arg(b * 10 + 10).arg(observed);
        }
    }
    const double micros = spent / 1000.0 / candidates;
    qInfo("Brier score %.4f; always guessing the pass rate %.4f; %.1f us an estimate", brier,
          base * (1 - base), micros);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    // Knowing the candidate must beat knowing only how many pass.
    QVERIFY(brier < 0.75 * base * (1 - base));
    QVERIFY2(micros < 1000, qPrintable(QString::number(micros)));
}

QTEST_GUILESS_MAIN(TestReadiness)
#include "tst_readiness.moc"
