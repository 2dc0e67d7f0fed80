#include <QSet>
#include <QtTest>
#include <algorithm>
#include <limits>

#include "exam/random_draw.h"
#include "exam_session.h"

namespace {

const QString kTooMany = QStringLiteral("Request is greated than the total number of records.");

}  // namespace

class TestDraw : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void drawsDistinctExistingIds_data();
    void drawsDistinctExistingIds();
    void refusesMoreThanTheBank();
    void replacesThePreviousDraw();
    void drawsFromTheBankInTheWorkingFolder();
    void clearsLeftoverResponsesOfItsTableOnly();
    void tableFollowsExamAndEdition_data();
    void tableFollowsExamAndEdition();
    void everyIdEquallyLikelyInEveryPlace();
    void fewOfALargeBankEquallyLikely();
    void fewOfAVerySparseBank_data();
    void fewOfAVerySparseBank();
};

void TestDraw::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestDraw::drawsDistinctExistingIds_data() {
    QTest::addColumn<QList<qint64>>("bank");
    QTest::addColumn<int>("count");
    QList<qint64> whole;
    for (qint64 id = 1; id <= 116; ++id) {
        whole << id;
    }
    QTest::newRow("all 116 of 116") << whole << 116;
    QTest::newRow("gaps") << QList<qint64>{1, 2, 5, 9, 40, 41, 1000} << 7;
    QTest::newRow("part of a gapped bank") << QList<qint64>{3, 7, 8, 20, 21, 22, 90} << 4;
    QTest::newRow("none") << QList<qint64>{1, 2} << 0;
}

void TestDraw::drawsDistinctExistingIds() {
    QFETCH(QList<qint64>, bank);
    QFETCH(int, count);
    ExamSession s(app::fullEdition());
    for (qint64 id : bank) {
        testsupport::Question q;
        q.id = id;
        s.db.addQuestion(1, q);
    }
    prompts::Script script;
    DrawRandomQuestions(count);

    QVERIFY(script.shown().empty());
    const QList<QVariantList> rows =
        s.db.rows(QStringLiteral("SELECT sl_no, ID FROM tblRandom ORDER BY sl_no"));
    QCOMPARE(rows.size(), count);
    QSet<qint64> seen;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i][0].toInt(), i + 1);
        const qint64 id = rows[i][1].toLongLong();
        QVERIFY2(bank.contains(id), qPrintable(QString::number(id)));
        seen.insert(id);
    }
    QCOMPARE(seen.size(), count);
}

void TestDraw::refusesMoreThanTheBank() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    s.db.draw({5, 6, 7});
    prompts::Script script;
    DrawRandomQuestions(117);

    QCOMPARE(script.texts(), QStringList{kTooMany});
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.buttons, prompts::Buttons::OkOnly);
    QCOMPARE(box.title, QStringLiteral("Praxilo"));
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT COUNT(*) FROM tblRandom")).toInt(), 0);
}

void TestDraw::replacesThePreviousDraw() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 10);
    s.db.draw({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    DrawRandomQuestions(3);
    QCOMPARE(s.db.rows(QStringLiteral("SELECT sl_no FROM tblRandom ORDER BY sl_no")),
             (QList<QVariantList>{{1}, {2}, {3}}));
}

// The draw keeps its connection between draws; a bank under the same name in another folder
// is another file.
void TestDraw::drawsFromTheBankInTheWorkingFolder() {
    for (qint64 firstId : {1, 1001, 2001}) {
        ExamSession s(app::fullEdition());
        s.db.addQuestions(1, 8, 1, firstId);
        DrawRandomQuestions(8);
        QList<qint64> ids = s.drawOrder();
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids.size(), 8);
        QCOMPARE(ids.front(), firstId);
        QCOMPARE(ids.back(), firstId + 7);
    }
}

void TestDraw::clearsLeftoverResponsesOfItsTableOnly() {
    ExamSession s(app::fullEdition(), 2);
    const auto answered = [](testsupport::Question& q) {
        q.responses = {true, false, true, false, true};
    };
    s.addBank(1, 5, answered);
    s.addBank(2, 5, answered);
    DrawRandomQuestions(2);

    QCOMPARE(s.db.scalar(QStringLiteral("SELECT COUNT(*) FROM exam2 WHERE correctanswer1 + "
                                        "correctanswer3 + correctanswer5 > 0"))
                 .toInt(),
             0);
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), 3), (std::array<int, 5>{1, 0, 1, 0, 1}));
}

void TestDraw::tableFollowsExamAndEdition_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("activeExam");
    QTest::addColumn<qint64>("firstIdOfDrawnTable");
    QTest::newRow("full, exam 3") << false << 3 << qint64(300);
    QTest::newRow("full, exam 1") << false << 1 << qint64(100);
    QTest::newRow("demo ignores the exam") << true << 2 << qint64(100);
}

void TestDraw::tableFollowsExamAndEdition() {
    QFETCH(bool, demo);
    QFETCH(int, activeExam);
    QFETCH(qint64, firstIdOfDrawnTable);
    ExamSession s(demo ? app::demoEdition() : app::fullEdition(), qint16(activeExam));
    for (int exam = 1; exam <= 3; ++exam) {
        for (qint64 i = 0; i < 4; ++i) {
            testsupport::Question q;
            q.id = exam * 100 + i;
            s.db.addQuestion(exam, q);
        }
    }
    DrawRandomQuestions(4);
    const QList<qint64> drawn = s.drawOrder();
    QCOMPARE(drawn.size(), 4);
    QCOMPARE(*std::min_element(drawn.begin(), drawn.end()), firstIdOfDrawnTable);
    QCOMPARE(*std::max_element(drawn.begin(), drawn.end()), firstIdOfDrawnTable + 3);
}

// 3 of 6 IDs, many times: each ID should be drawn half the time and lead a sixth of the draws.
// The bounds are many standard deviations wide, so only a biased draw fails them.
void TestDraw::everyIdEquallyLikelyInEveryPlace() {
    ExamSession s(app::fullEdition());
    for (qint64 id : {2, 3, 10, 11, 12, 30}) {
        testsupport::Question q;
        q.id = id;
        s.db.addQuestion(1, q);
    }
    QHash<qint64, int> drawn;
    QHash<qint64, int> first;
    const int draws = 1200;
    for (int i = 0; i < draws; ++i) {
        DrawRandomQuestions(3);
        const QList<qint64> ids = s.drawOrder();
        for (qint64 id : ids) {
            ++drawn[id];
        }
        ++first[ids.front()];
    }
    QCOMPARE(drawn.size(), 6);
    for (auto it = drawn.cbegin(); it != drawn.cend(); ++it) {
        QVERIFY2(it.value() > 480 && it.value() < 720, qPrintable(QString::number(it.value())));
        QVERIFY2(first[it.key()] > 120 && first[it.key()] < 285,
                 qPrintable(QString::number(first[it.key()])));
    }
}

// A small share of a bank is drawn by random candidates, not by reading every ID.
void TestDraw::fewOfALargeBankEquallyLikely() {
    ExamSession s(app::fullEdition());
    QList<qint64> bank;
    for (qint64 id = 7; id <= 7 + 3 * 199; id += 3) {
        bank << id;
        testsupport::Question q;
        q.id = id;
        s.db.addQuestion(1, q, false);
    }
    QHash<qint64, int> drawn;
    for (int i = 0; i < 400; ++i) {
        DrawRandomQuestions(10);
        const QList<qint64> ids = s.drawOrder();
        QCOMPARE(QSet<qint64>(ids.begin(), ids.end()).size(), 10);
        for (qint64 id : ids) {
            QVERIFY2(bank.contains(id), qPrintable(QString::number(id)));
            ++drawn[id];
        }
    }
    // 20 expected each; the lowest and highest IDs are as likely as the rest.
    QCOMPARE(drawn.size(), bank.size());
    for (auto it = drawn.cbegin(); it != drawn.cend(); ++it) {
        QVERIFY2(it.value() >= 2 && it.value() <= 50,
                 qPrintable(QStringLiteral("%1: %2").arg(it.key()).arg(it.value())));
    }
}

void TestDraw::fewOfAVerySparseBank_data() {
    QTest::addColumn<QList<qint64>>("farIds");
    QTest::newRow("one far ID") << QList<qint64>{1000000000000LL};
    // Their distance does not fit a signed 64-bit number.
    QTest::newRow("the extremes a file can hold")
        << QList<qint64>{std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
}

// Candidates between IDs this far apart almost never hit; the draw still completes.
void TestDraw::fewOfAVerySparseBank() {
    QFETCH(QList<qint64>, farIds);
    ExamSession s(app::fullEdition());
    QList<qint64> bank;
    for (qint64 id = 1; id <= 20; ++id) {
        bank << id;
    }
    bank << farIds;
    for (qint64 id : bank) {
        testsupport::Question q;
        q.id = id;
        s.db.addQuestion(1, q, false);
    }
    QSet<qint64> seen;
    for (int i = 0; i < 100; ++i) {
        prompts::Script script;
        DrawRandomQuestions(5);
        QVERIFY(script.shown().empty());
        const QList<qint64> ids = s.drawOrder();
        QCOMPARE(QSet<qint64>(ids.begin(), ids.end()).size(), 5);
        for (qint64 id : ids) {
            QVERIFY(bank.contains(id));
            seen.insert(id);
        }
    }
    for (qint64 id : farIds) {
        QVERIFY2(seen.contains(id), qPrintable(QString::number(id)));
    }
    QVERIFY(seen.contains(1));
}

QTEST_MAIN(TestDraw)
#include "tst_draw.moc"
