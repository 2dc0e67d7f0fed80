// What the program tells a training centre's record store, and when it tells nothing: the
// [xapi] preferences decide, a refused address is one message, and every ended exam and every
// checked practice answer is queued in the history file with its attempt.
#include <QtTest>

#include "app_test_env.h"
#include "examdb/database.h"
#include "fixture_database.h"
#include "history/history_store.h"
#include "local_lrs.h"
#include "results/attempt_history.h"
#include "results/results_sending.h"
#include "session/exam_session.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"

namespace {

int waiting() {
    history::closeStore();
    if (!QFileInfo::exists(history::location())) {
        return 0;
    }
    return xapi::Outbox(history::location()).counts().waiting;
}

void setEndpoint(const QString& endpoint) {
    look::setPreference(QStringLiteral("xapi/endpoint"), endpoint);
    look::setPreference(QStringLiteral("xapi/username"), QStringLiteral("seat"));
    look::setPreference(QStringLiteral("xapi/password"), QStringLiteral("do-not-show-me"));
}

// Ten questions of exam 1, all answered with choice A, then ended.
void takeExam(examdb::Database& db, std::optional<session::CustomExam> custom) {
    session::ExamSession& exam = session::active();
    exam.chooseCustom(custom);
    const bool practice = custom && custom->practice;
    exam.begin(practice ? session::Mode::Practice : session::Mode::FixedExam, 1,
               QStringLiteral("Ann"));
    QVERIFY(exam.draw(db, 10));
    for (int position = 1; position <= 10; ++position) {
        exam.answer(db, position, {true, false, false, false, false});
        if (practice && position <= 3) {
            exam.check(db, position);
        }
    }
    exam.end(db, 1, 10, 750);
    exam.finish();
}

}  // namespace

class TestResultsSending : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void nothingWithoutAnEndpoint();
    void aPlainAddressAcrossANetworkIsRefusedOnce();
    void examsAndPracticeChecksAreQueuedAndSent();

private:
    std::unique_ptr<AppTestEnv> env_;
    std::unique_ptr<testsupport::FixtureDatabase> bank_;
};

void TestResultsSending::init() {
    env_ = std::make_unique<AppTestEnv>(app::fullEdition());
    bank_ = std::make_unique<testsupport::FixtureDatabase>();
    bank_->addCategories({QStringLiteral("One"), QStringLiteral("Two")});
    bank_->addQuestions(1, 20, 2);
    results::stopSendingResults();
    results::HistoryRecorder::of(session::active());
}

void TestResultsSending::cleanup() {
    results::stopSendingResults();
    bank_.reset();
    env_.reset();
}

void TestResultsSending::nothingWithoutAnEndpoint() {
    examdb::Database db = examdb::Database::open(bank_->fileName());
    results::startSendingResults();
    takeExam(db, std::nullopt);
    QCOMPARE(results::resultsSender(), nullptr);
    QCOMPARE(results::resultsLine(), QString());
    QCOMPARE(waiting(), 0);
    // The history keeps what was chosen, whatever is sent.
    const history::HistoryStore kept(history::location());
    QCOMPARE(kept.attempts().size(), size_t(1));
    for (const history::QuestionResult& q : kept.questionsOf(kept.attempts().front().id)) {
        QCOMPARE(q.chosen, std::optional<QString>(QStringLiteral("A")));
        QCOMPARE(q.seconds, std::optional<int>(0));
    }
    QVERIFY(env_->prompts.shown().empty());
}

void TestResultsSending::aPlainAddressAcrossANetworkIsRefusedOnce() {
    setEndpoint(QStringLiteral("http://lrs.example.org/xAPI/"));
    examdb::Database db = examdb::Database::open(bank_->fileName());
    results::startSendingResults();
    QCOMPARE(env_->prompts.shown().size(), size_t(1));
    const QString said = env_->prompts.shown().front().text;
    QVERIFY2(said.contains(u"http://lrs.example.org/xAPI/") && said.contains(u"not encrypted") &&
                 !said.contains(u"do-not-show-me"),
             qPrintable(said));
    takeExam(db, std::nullopt);
    QCOMPARE(waiting(), 0);
    QVERIFY(results::resultsLine().startsWith(u"Results: not sent ("));
    QCOMPARE(env_->prompts.shown().size(), size_t(1));
}

// A fixed exam tells 10 answers and its verdict; a practice run told its three checked answers
// as they were checked and ends with "completed" alone. All of it reaches a real store.
void TestResultsSending::examsAndPracticeChecksAreQueuedAndSent() {
    LocalLrs lrs;
    setEndpoint(lrs.endpoint());  // not started yet: everything waits
    examdb::Database db = examdb::Database::open(bank_->fileName());
    results::startSendingResults();
    xapi::Sender* sender = results::resultsSender();
    QVERIFY(sender);
    sender->setTiming({200, 1000, 5000});

    takeExam(db, std::nullopt);
    QCOMPARE(waiting(), 11);
    takeExam(db, session::CustomExam{1, {0, 1}, 10, 10, true, {}});
    QCOMPARE(waiting(), 15);
    QTRY_COMPARE(sender->state(), xapi::Sender::State::Unreachable);
    QCOMPARE(results::resultsLine(),
             QStringLiteral("Results: 15 waiting to be sent (the record store cannot be reached)"));

    const QString why = lrs.start();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QTRY_COMPARE_WITH_TIMEOUT(waiting(), 0, 15000);
    QCOMPARE(lrs.statements().size(), 15);
    QCOMPARE(results::resultsLine(), QStringLiteral("Results: all sent to 127.0.0.1"));
    QVERIFY(env_->prompts.shown().empty());
}

QTEST_MAIN(TestResultsSending)
#include "tst_results_sending.moc"
