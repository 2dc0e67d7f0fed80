// Whole exams driven through the session alone, on a real bank file: no window anywhere.
#include <QSignalSpy>
#include <QtTest>

#include "examdb/database.h"
#include "fixture_database.h"
#include "session/exam_session.h"
#include "session/score_rules.h"

using session::Choices;
using session::ExamSession;
using testsupport::FixtureDatabase;

Q_DECLARE_METATYPE(session::Answered)
Q_DECLARE_METATYPE(session::ScoreReport)

namespace {

// Exam 2: 30 questions in categories 0..2 by turn, question id's key is choice id % 5 + 1.
void fill(const FixtureDatabase& db) {
    db.addCategories(
        {QStringLiteral("Routing"), QStringLiteral("Switching"), QStringLiteral("Security")});
    db.addQuestions(2, 30, 3);
}

Choices keyOf(qint64 id) {
    Choices key{};
    key[size_t(id % 5)] = true;
    return key;
}

Choices wrongFor(qint64 id) {
    Choices wrong{};
    wrong[size_t((id + 1) % 5)] = true;
    return wrong;
}

int attemptRows(const FixtureDatabase& db) {
    return db.scalar(QStringLiteral("SELECT count(*) FROM tblAttempt")).toInt();
}

}  // namespace

class TestExamSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixedExamFromDrawToReport();
    void everyChangeIsInTheFileAtOnce();
    void customPracticeAndLongClocks();
    void refusesWhatCannotHappen();
    void reportCountsOnlyWhatWasAsked();
};

void TestExamSession::fixedExamFromDrawToReport() {
    FixtureDatabase fixture;
    fill(fixture);
    examdb::Database db = examdb::Database::open(fixture.fileName());
    ExamSession exam;
    QSignalSpy answered(&exam, &ExamSession::questionAnswered);
    QSignalSpy ended(&exam, &ExamSession::examEnded);

    exam.begin(session::Mode::FixedExam, 2, QStringLiteral("Ann"));
    QVERIFY(exam.underWay());
    QVERIFY(exam.draw(db, 10));
    QCOMPARE(exam.questions().size(), size_t(10));
    QCOMPARE(exam.position(), 1);
    QCOMPARE(exam.positionOf(exam.questions()[3]), 4);
    QCOMPARE(exam.positionOf(-1), 0);
    QCOMPARE(attemptRows(fixture), 1);

    // Right on odd positions, wrong on even ones, the fifth left blank; three seconds each.
    int right = 0;
    std::array<int, 3> rightPerCategory{};
    for (int position = 1; position <= 10; ++position) {
        exam.move(db, position);
        for (int s = 0; s < 3; ++s) {
            QVERIFY(!exam.tick(60 * 60));
        }
        const qint64 id = exam.questions()[size_t(position - 1)];
        if (position == 5) {
            continue;
        }
        const bool correct = position % 2 == 1;
        exam.answer(db, position, correct ? keyOf(id) : wrongFor(id));
        if (correct) {
            ++right;
            ++rightPerCategory[size_t((id - 1) % 3)];
        }
    }
    QCOMPARE(answered.size(), 9);
    const auto first = answered.first().first().value<session::Answered>();
    QCOMPARE(first.position, 1);
    QCOMPARE(first.questionId, exam.questions()[0]);
    QCOMPARE(first.secondsOnQuestion, 3);
    QCOMPARE(exam.progress().unansweredCount(), 1);
    QCOMPARE(exam.clock().secondsUsed, 30);

    const session::ScoreReport report = exam.end(db, 2, 10, 750);
    QCOMPARE(report.correct, right);
    QCOMPARE(report.score, int(session::examScore(right, 10)));
    QCOMPARE(report.passed, report.score >= 750);
    QCOMPARE(report.drawn.size(), size_t(10));
    for (size_t i = 0; i < report.drawn.size(); ++i) {
        QCOMPARE(report.drawn[i].position, int(i) + 1);
        QCOMPARE(report.drawn[i].id, exam.questions()[i]);
        QCOMPARE(report.drawn[i].chosen, exam.answer(int(i) + 1));
    }
    int total = 0;
    for (const session::CategoryScore& c : report.categories) {
        QCOMPARE(c.correct, rightPerCategory[size_t(c.category)]);
        QCOMPARE(c.percent, session::categoryPercent(c.correct, c.total));
        total += c.total;
    }
    QCOMPARE(total, 10);
    // The score sheet's table, the told report and the cleared resume record.
    const QList<QVariantList> rows = fixture.rows(
        QStringLiteral("SELECT cat_total, cat_scores, Cat_correct FROM cat_scores ORDER BY rowid"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).at(1).toInt(), report.categories[0].correct);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().value<session::ScoreReport>(), report);
    QCOMPARE(attemptRows(fixture), 0);
    // Ending again tells no one twice.
    exam.end(db, 2, 10, 750);
    QCOMPARE(ended.size(), 1);

    exam.finish();
    QVERIFY(!exam.underWay());
    QVERIFY(!exam.report());
    exam.study(3);
    QCOMPARE(exam.mode(), session::Mode::Study);
    QCOMPARE(exam.exam(), 3);
    QVERIFY(!exam.underWay());
    exam.leaveStudy();
    QCOMPARE(exam.mode(), session::Mode::None);
}

void TestExamSession::everyChangeIsInTheFileAtOnce() {
    FixtureDatabase fixture;
    fill(fixture);
    std::vector<qint64> drawn;
    {
        examdb::Database db = examdb::Database::open(fixture.fileName());
        ExamSession exam;
        exam.begin(session::Mode::FixedExam, 2, QStringLiteral("Ann"));
        QVERIFY(exam.draw(db, 6));
        drawn = exam.questions();
        exam.choose(db, 2, 3, true, false);
        exam.choose(db, 2, 5, true, false);
        exam.choose(db, 4, 1, true, true);
        exam.choose(db, 4, 2, true, true);  // a single answer replaces the first
        exam.flag(db, 3, true);
        exam.strike(db, 6, 2);
        exam.move(db, 4);
        for (int s = 0; s < 7; ++s) {
            exam.tick(60 * 60);
        }
        exam.saveClock(db);
        // The program is killed here: the session and the connection go without a word.
    }
    examdb::Database db = examdb::Database::open(fixture.fileName());
    const std::optional<exam::SavedAttempt> saved = exam::attempt::load(db);
    QVERIFY(saved);
    QCOMPARE(saved->elapsed, 7);
    QCOMPARE(saved->position, 4);
    const std::optional<exam::Marks> marks = exam::attempt::decodeMarks(saved->flags, 6);
    QVERIFY(marks);
    ExamSession again;
    again.begin(session::Mode::FixedExam, 2, saved->candidate);
    again.resume(db, 2, *saved, *marks);
    QCOMPARE(again.questions(), drawn);
    QCOMPARE(again.position(), 4);
    QCOMPARE(again.clock().secondsUsed, 7);
    QCOMPARE(again.answer(2), (Choices{false, false, true, false, true}));
    QCOMPARE(again.answer(4), (Choices{false, true, false, false, false}));
    QVERIFY(again.progress().isAnswered(1) && again.progress().isAnswered(3));
    QCOMPARE(again.progress().unansweredCount(), 4);
    QVERIFY(again.progress().isFlagged(2));
    QCOMPARE(again.progress().struck(5), (unsigned char)(1u << 1));
    QCOMPARE(fixture.answers(QStringLiteral("exam2"), drawn[1]),
             (std::array<int, 5>{0, 0, 1, 0, 1}));
}

void TestExamSession::customPracticeAndLongClocks() {
    FixtureDatabase fixture;
    fill(fixture);
    examdb::Database db = examdb::Database::open(fixture.fileName());
    ExamSession exam;
    session::CustomExam custom;
    custom.exam = 2;
    custom.categories = {1};
    custom.questions = 5;
    custom.minutes = 0;
    custom.practice = true;
    exam.chooseCustom(custom);
    exam.begin(session::Mode::Practice, 2, QStringLiteral("Ann"));
    QVERIFY(exam.practice() && exam.countsUp());
    // Category 1 holds ten questions; eleven cannot be drawn and nothing changes.
    QVERIFY(!exam.draw(db, 11));
    QVERIFY(exam.questions().empty());
    QVERIFY(exam.draw(db, 5));
    for (const qint64 id : exam.questions()) {
        QCOMPARE((id - 1) % 3, qint64(1));
    }
    QVERIFY(fixture.scalar(QStringLiteral("SELECT custom FROM tblAttempt"))
                .toString()
                .contains(QStringLiteral("mode=practice")));

    exam.choose(db, 1, 2, true, true);
    QVERIFY(!exam.checkedKey(db, 1));
    exam.check(db, 1);
    const std::optional<session::KeyAnswer> key = exam.checkedKey(db, 1);
    QVERIFY(key);
    QCOMPARE(key->right, keyOf(exam.questions()[0]));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.choose(db, 1, 3, true, true));
    QCOMPARE(exam.answer(1), (Choices{false, true, false, false, false}));
    // Untimed: counting up past ten hours never ends it.
    for (int s = 0; s < 36'001; ++s) {
        QVERIFY(!exam.tick(60));
    }

    // Timed, longer than a 16-bit count of seconds reaches: it still ends on time.
    ExamSession timed;
    timed.begin(session::Mode::FixedExam, 2, QStringLiteral("Ann"));
    QVERIFY(timed.draw(db, 3));
    const int limit = 600 * 60;
    int ticks = 0;
    while (!timed.tick(limit) && ticks < limit + 10) {
        ++ticks;
    }
    QCOMPARE(timed.clock().secondsUsed, limit);
    // A paused clock stands still.
    timed.pause(true);
    timed.tick(limit);
    QCOMPARE(timed.clock().secondsUsed, limit);
}

void TestExamSession::refusesWhatCannotHappen() {
    FixtureDatabase fixture;
    fill(fixture);
    examdb::Database db = examdb::Database::open(fixture.fileName());
    ExamSession exam;
    exam.begin(session::Mode::FixedExam, 2, QStringLiteral("Ann"));
    QVERIFY(exam.draw(db, 4));
    QSignalSpy answered(&exam, &ExamSession::questionAnswered);
    const auto responses = [&] {
        return fixture
            .scalar(QStringLiteral("SELECT sum(correctanswer1 + correctanswer2 + "
                                   "correctanswer3 + correctanswer4 + correctanswer5) "
                                   "FROM exam2"))
            .toInt();
    };
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.answer(db, 5, Choices{true}));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.answer(db, 0, Choices{true}));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.choose(db, 1, 6, true, true));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.strike(db, 1, 6));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.flag(db, 9, true));
    QVERIFY_THROWS_EXCEPTION(session::Refused, exam.move(db, 5));
    QCOMPARE(exam.position(), 1);
    QCOMPARE(answered.size(), 0);
    QCOMPARE(responses(), 0);
    QCOMPARE(exam.progress().flaggedCount(), 0);

    exam.answer(db, 1, Choices{true});
    exam.abandon(db);
    QCOMPARE(attemptRows(fixture), 0);
    QVERIFY(!exam.underWay());
}

void TestExamSession::reportCountsOnlyWhatWasAsked() {
    FixtureDatabase fixture;
    fill(fixture);
    // Question 31 has no key row; 99 is in no exam table; 4 is drawn twice; 8's catID names no
    // category.
    testsupport::Question keyless;
    keyless.id = 31;
    keyless.catId = 0;
    keyless.responses[0] = true;
    fixture.addQuestion(2, keyless, false);
    fixture.exec(QStringLiteral("UPDATE exam2 SET catID = 7 WHERE ID = 8"));
    fixture.draw({1, 4, 8, 31, 99, 4});
    fixture.exec(QStringLiteral("UPDATE exam2 SET correctanswer2 = 1 WHERE ID = 1"));
    fixture.exec(QStringLiteral("UPDATE exam2 SET correctanswer4 = 1 WHERE ID = 8"));
    examdb::Database db = examdb::Database::open(fixture.fileName());

    const session::ScoreReport report = session::scoreExam(db, 2, 116, 750);
    QCOMPARE(report.drawn.size(), size_t(4));
    QCOMPARE(report.correct, 2);  // 1 and 8, each its key
    QCOMPARE(report.score, 17);
    QCOMPARE(report.categories[0].total, 3);  // 1, 4 and 31
    QCOMPARE(report.categories[0].correct, 1);
    QCOMPARE(report.categories[1].total + report.categories[2].total, 0);
    QVERIFY(!report.drawn[3].correct);
}

QTEST_GUILESS_MAIN(TestExamSession)
#include "tst_exam_session.moc"
