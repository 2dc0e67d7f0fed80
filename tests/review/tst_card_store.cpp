// The review cards in a real history file: who owns them, what a clock set back does, and a
// queue of thousands.
#include <QTemporaryDir>
#include <QtTest>

#include "examdb/statement.h"
#include "history/history_store.h"
#include "review/card_store.h"

namespace {

constexpr qint64 kDay = 86400;
const qint64 kNow = QDateTime(QDate(2026, 12, 9), QTime(12, 0)).toSecsSinceEpoch();

class Cards {
public:
    Cards() : store_(dir_.filePath(QStringLiteral("history.sqlite"))) {}

    void answer(const QString& name, std::vector<review::ScoredAnswer> answers, qint64 now) {
        store_.change([&](sqlite3* db) {
            review::scheduleAnswers(db, {name, QStringLiteral("Bank")}, answers, 45, now);
        });
    }
    review::DueSummary summary(const QString& name, qint64 now) {
        review::DueSummary s;
        store_.read([&](sqlite3* db) {
            s = review::dueSummary(db, {name, QStringLiteral("Bank")}, now);
        });
        return s;
    }
    std::vector<review::DueCard> due(const QString& name, qint64 now, int limit) {
        std::vector<review::DueCard> d;
        store_.read([&](sqlite3* db) {
            d = review::dueCards(db, {name, QStringLiteral("Bank")}, now, limit);
        });
        return d;
    }
    // stability, last review, due of one card
    std::tuple<double, qint64, qint64> card(qint64 question) {
        std::tuple<double, qint64, qint64> found{};
        store_.read([&](sqlite3* db) {
            examdb::Statement read(db,
                                   QStringLiteral("SELECT stability, last_review, due FROM "
                                                  "review_card WHERE question_id = ?1"),
                                   QString());
            read.bind(1, question);
            QVERIFY(read.step());
            found = {read.value(0).toDouble(), read.integer(1), read.integer(2)};
        });
        return found;
    }

private:
    QTemporaryDir dir_;
    history::HistoryStore store_;
};

}  // namespace

class TestCardStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gradesOfAnswers_data();
    void gradesOfAnswers();
    void oneCandidateWhateverTheSpelling();
    void aClockSetBackIsNoTimeAtAll();
    void thousandsDueMostOverdueFirst();
};

void TestCardStore::gradesOfAnswers_data() {
    QTest::addColumn<bool>("correct");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<double>("average");
    QTest::addColumn<int>("grade");
    QTest::newRow("wrong, however quick") << false << 1 << 45.0 << int(review::Grade::Again);
    QTest::newRow("right in under a third") << true << 14 << 45.0 << int(review::Grade::Easy);
    QTest::newRow("right at a third") << true << 15 << 45.0 << int(review::Grade::Good);
    QTest::newRow("right, no average known") << true << 0 << 0.0 << int(review::Grade::Good);
}

void TestCardStore::gradesOfAnswers() {
    QFETCH(bool, correct);
    QFETCH(int, seconds);
    QFETCH(double, average);
    QFETCH(int, grade);
    QCOMPARE(int(review::gradeOf(correct, seconds, average)), grade);
}

void TestCardStore::oneCandidateWhateverTheSpelling() {
    Cards cards;
    cards.answer(QStringLiteral("  ann   LEE "), {{1, 10, false, 30}, {1, 11, true, 30}}, kNow);
    cards.answer(QStringLiteral("Ann Lee"), {{1, 12, false, 30}}, kNow);
    cards.answer(QStringLiteral("Bo"), {{1, 10, false, 30}}, kNow);
    const review::DueSummary later = cards.summary(QStringLiteral("ANN LEE"), kNow + 30 * kDay);
    QCOMPARE(later.due, 3);
    QCOMPARE(cards.summary(QStringLiteral("Ann Lee"), kNow).due, 0);
    QCOMPARE(cards.summary(QStringLiteral("Ann Lee"), kNow).next, kNow + kDay);
}

// Seen again "five days earlier" than last time: the same day to the model, never a negative
// interval, and due a day on from the clock's own now.
void TestCardStore::aClockSetBackIsNoTimeAtAll() {
    Cards cards;
    cards.answer(QStringLiteral("Ann"), {{1, 7, true, 30}}, kNow);
    const auto [stability, last, due] = cards.card(7);
    cards.answer(QStringLiteral("Ann"), {{1, 7, false, 30}}, kNow - 5 * kDay);
    const review::Fsrs fsrs;
    const review::MemoryState sameDay =
        fsrs.next({stability, fsrs.first(review::Grade::Good).difficulty}, 0, review::Grade::Again);
    const auto [after, lastAfter, dueAfter] = cards.card(7);
    QCOMPARE(after, sameDay.stability);
    QCOMPARE(lastAfter, kNow - 5 * kDay);
    QCOMPARE(dueAfter, kNow - 5 * kDay + fsrs.intervalDays(after) * kDay);
    QVERIFY(dueAfter > lastAfter);
    Q_UNUSED(last);
    Q_UNUSED(due);
}

void TestCardStore::thousandsDueMostOverdueFirst() {
    Cards cards;
    std::vector<review::ScoredAnswer> wrong;
    for (qint64 q = 1; q <= 10000; ++q) {
        wrong.push_back({int(q % 3) + 1, q, false, 30});
    }
    cards.answer(QStringLiteral("Ann"), wrong, kNow);
    // The newest thousand answered again a day later: they fall due later than the rest.
    cards.answer(QStringLiteral("Ann"), {wrong.end() - 1000, wrong.end()}, kNow + kDay);
    const qint64 later = kNow + 40 * kDay;
    QCOMPARE(cards.summary(QStringLiteral("Ann"), later).due, 10000);
    const std::vector<review::DueCard> first = cards.due(QStringLiteral("Ann"), later, 20);
    QCOMPARE(first.size(), size_t(20));
    QVERIFY(std::is_sorted(first.begin(), first.end(),
                           [](const auto& a, const auto& b) { return a.due < b.due; }));
    QVERIFY(first.back().question <= 9000);
}

QTEST_GUILESS_MAIN(TestCardStore)
#include "tst_card_store.moc"
