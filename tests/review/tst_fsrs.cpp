#include "review/fsrs.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using review::Fsrs;
using review::Grade;
using review::MemoryState;

class TestFsrs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void agreesWithReference();
    void damagedInputIsClamped_data();
    void damagedInputIsClamped();
};

namespace {

struct Step {
    int card;
    double elapsed;
    Grade grade;
    MemoryState ours;
    double retrievability;  // before the review; NaN on a card's first
    int interval;
};

// Cards in a random order, with same-day repeats, hours, days, reviews near the due date and
// gaps of years, so every branch of the model and its caps are reached.
std::vector<Step> makeReviews(const Fsrs& fsrs) {
    constexpr int cards = 40;
    constexpr int reviews = 1200;
    std::mt19937 random(20240611);
    std::discrete_distribution<int> gradeOf({2, 2, 5, 2});
    std::discrete_distribution<int> gapKind({2, 1, 2, 1, 3, 1});
    std::uniform_int_distribution<int> cardOf(0, cards - 1);
    std::vector<std::optional<MemoryState>> states(cards);
    std::vector<int> dueIn(cards, 0);
    std::vector<Step> steps;
    for (int i = 0; i < reviews; ++i) {
        const int card = cardOf(random);
        const Grade grade = Grade(gradeOf(random) + 1);
        double elapsed = 0;  // kind 0: the same day
        switch (gapKind(random)) {
            case 1:
                elapsed = 1;
                break;
            case 2:
                elapsed = std::uniform_int_distribution<int>(2, 30)(random);
                break;
            case 3:
                elapsed = std::uniform_int_distribution<int>(1, 71)(random) / 24.0;
                break;
            case 4:
                elapsed = std::round(dueIn[card] *
                                     std::uniform_real_distribution<double>(0.5, 2.5)(random));
                break;
            case 5:
                elapsed = std::uniform_int_distribution<int>(365, 3650)(random);
                break;
        }
        Step step{card, elapsed, grade, {}, std::numeric_limits<double>::quiet_NaN(), 0};
        if (states[card]) {
            step.retrievability = fsrs.retrievability(*states[card], elapsed);
            step.ours = fsrs.next(*states[card], elapsed, grade);
        } else {
            step.elapsed = 0;
            step.ours = fsrs.first(grade);
        }
        step.interval = fsrs.intervalDays(step.ours.stability);
        states[card] = step.ours;
        dueIn[card] = step.interval;
        steps.push_back(step);
    }
    return steps;
}

}  // namespace

void TestFsrs::agreesWithReference() {
    const Fsrs fsrs;
    const std::vector<Step> steps = makeReviews(fsrs);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QJsonArray input;
    for (const Step& step : steps) {
        input.append(QJsonObject{{"card", step.card},
                                 {"elapsed", step.elapsed},
                                 {"grade", static_cast<int>(step.grade)}});
    }
    QFile inputFile(dir.filePath("reviews.json"));
    QVERIFY(inputFile.open(QIODevice::WriteOnly));
    inputFile.write(QJsonDocument(input).toJson(QJsonDocument::Compact));
    inputFile.close();

    QProcess node;
    node.start("node", {PRAXILO_FSRS_REFERENCE, inputFile.fileName(), dir.filePath("out.json")});
    if (!node.waitForStarted()) {
        QFAIL("node is not on PATH: run scripts/deps to install it and ts-fsrs");
    }
    QVERIFY(node.waitForFinished(120000));
    if (node.exitStatus() != QProcess::NormalExit || node.exitCode() != 0) {
        QFAIL(qPrintable("the ts-fsrs reference failed (run scripts/deps): " +
                         QString::fromUtf8(node.readAllStandardError()).trimmed()));
    }
    QFile outputFile(dir.filePath("out.json"));
    QVERIFY(outputFile.open(QIODevice::ReadOnly));
    const QJsonArray reference = QJsonDocument::fromJson(outputFile.readAll()).array();
    QCOMPARE(reference.size(), qsizetype(steps.size()));

    double largest = 0;
    const auto check = [&](qsizetype i, const char* what, double ours, double theirs) {
        largest = std::max(largest, std::abs(ours - theirs));
        if (!(std::abs(ours - theirs) < 5e-5)) {
            QFAIL(qPrintable(QString("review %1 (card %2, %3 days, grade %4): %5 %6, reference %7")
                                 .arg(i)
                                 .arg(steps[i].card)
                                 .arg(steps[i].elapsed)
                                 .arg(static_cast<int>(steps[i].grade))
                                 .arg(what)
                                 .arg(ours, 0, 'g', 12)
                                 .arg(theirs, 0, 'g', 12)));
        }
    };
    for (qsizetype i = 0; i < reference.size(); ++i) {
        const QJsonObject theirs = reference[i].toObject();
        check(i, "stability", steps[i].ours.stability, theirs["stability"].toDouble());
        check(i, "difficulty", steps[i].ours.difficulty, theirs["difficulty"].toDouble());
        if (!std::isnan(steps[i].retrievability)) {
            check(i, "retrievability", steps[i].retrievability,
                  theirs["retrievability"].toDouble());
        }
        check(i, "interval", steps[i].interval, theirs["interval"].toDouble());
        if (QTest::currentTestFailed()) {
            return;
        }
    }
    qInfo("%zu reviews agree; largest difference %g", steps.size(), largest);
    // Guards the sequence itself: the caps are only checked if some card reaches them.
    QVERIFY(std::any_of(steps.begin(), steps.end(),
                        [](const Step& step) { return step.interval == Fsrs::maxIntervalDays; }));
}

void TestFsrs::damagedInputIsClamped_data() {
    QTest::addColumn<double>("stability");
    QTest::addColumn<double>("difficulty");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("saneStability");
    QTest::addColumn<double>("saneDifficulty");
    QTest::addColumn<double>("saneElapsed");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double goodDifficulty = Fsrs().first(Grade::Good).difficulty;
    QTest::newRow("negative elapsed") << 5.0 << 5.0 << -3.0 << 5.0 << 5.0 << 0.0;
    QTest::newRow("NaN elapsed") << 5.0 << 5.0 << nan << 5.0 << 5.0 << 0.0;
    QTest::newRow("zero stability") << 0.0 << 5.0 << 4.0 << 0.001 << 5.0 << 4.0;
    QTest::newRow("negative stability") << -2.0 << 5.0 << 4.0 << 0.001 << 5.0 << 4.0;
    QTest::newRow("NaN stability") << nan << 5.0 << 4.0 << 0.001 << 5.0 << 4.0;
    QTest::newRow("infinite stability") << inf << 5.0 << 4.0 << 36500.0 << 5.0 << 4.0;
    QTest::newRow("difficulty 0") << 5.0 << 0.0 << 4.0 << 5.0 << 1.0 << 4.0;
    QTest::newRow("difficulty 12") << 5.0 << 12.0 << 4.0 << 5.0 << 10.0 << 4.0;
    QTest::newRow("NaN difficulty") << 5.0 << nan << 4.0 << 5.0 << goodDifficulty << 4.0;
    QTest::newRow("all damaged") << nan << -inf << nan << 0.001 << 1.0 << 0.0;
}

void TestFsrs::damagedInputIsClamped() {
    QFETCH(double, stability);
    QFETCH(double, difficulty);
    QFETCH(double, elapsed);
    QFETCH(double, saneStability);
    QFETCH(double, saneDifficulty);
    QFETCH(double, saneElapsed);

    const Fsrs fsrs;
    const MemoryState damaged{stability, difficulty};
    const MemoryState sane{saneStability, saneDifficulty};
    QCOMPARE(fsrs.retrievability(damaged, elapsed), fsrs.retrievability(sane, saneElapsed));
    QCOMPARE(fsrs.intervalDays(stability), fsrs.intervalDays(saneStability));
    for (const Grade grade : {Grade::Again, Grade::Hard, Grade::Good, Grade::Easy}) {
        const MemoryState next = fsrs.next(damaged, elapsed, grade);
        const MemoryState expected = fsrs.next(sane, saneElapsed, grade);
        QCOMPARE(next.stability, expected.stability);
        QCOMPARE(next.difficulty, expected.difficulty);
        QVERIFY(std::isfinite(next.stability) && next.stability > 0);
        QVERIFY(next.difficulty >= 1 && next.difficulty <= 10);
        const int days = fsrs.intervalDays(next.stability);
        QVERIFY(days >= 1 && days <= Fsrs::maxIntervalDays);
    }
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
