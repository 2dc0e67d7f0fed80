// The user's actions through the real windows on the offscreen platform, each timed until its
// window has been laid out and painted: the exam window, its moves, the answer window, the
// score sheet, the review and the study window, on the sample bank and on large banks; and
// two of them again while a backlog of results drains to a record store on loopback.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "backlog.h"
#include "bench_bank.h"
#include "exam/form211.h"
#include "exam/review_screen.h"
#include "examdb/database.h"
#include "examdb/statement.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "laps.h"
#include "local_lrs.h"
#include "offscreen_main.h"
#include "program_windows.h"
#include "results/form3.h"
#include "results/form41.h"
#include "review/card_store.h"
#include "session/score_report.h"
#include "standing/readiness_line.h"
#include "start/form1.h"
#include "start/startup.h"
#include "study/form11.h"
#include "xapi/sender.h"

namespace {

constexpr int kSampleBank = 0;
constexpr int kCategories = 19;

// The built sample database and pictures, copied so that the benchmark never writes the run
// folder's own files.
class SampleBank {
public:
    SampleBank() : previousDir_(QDir::currentPath()) {
        const QDir run(QStringLiteral(PRAXILO_RUN_DIR));
        for (const QString& name : run.entryList(QDir::Files)) {
            QFile::copy(run.filePath(name), dir_.filePath(name));
        }
        QDir::setCurrent(dir_.path());
    }
    ~SampleBank() { QDir::setCurrent(previousDir_); }
    SampleBank(const SampleBank&) = delete;
    SampleBank& operator=(const SampleBank&) = delete;

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

// Either bank, chosen by a benchmark argument: 0 for the sample, else that many questions.
struct AnyBank {
    explicit AnyBank(int questions) {
        if (questions == kSampleBank) {
            sample.emplace();
        } else {
            synthetic = std::make_unique<BenchBank>(questions, 1, kCategories);
        }
    }
    std::optional<SampleBank> sample;
    std::unique_ptr<BenchBank> synthetic;
};

// The program's state at start-up under the full edition, every window registered, prompts
// answered by script and a fatal error recorded instead of ending the process.
class Session {
public:
    Session() {
        history::setLocation(QDir(historyDir_.path()).filePath(QStringLiteral("history.sqlite")));
        app::setEdition(app::fullEdition());
        app::setEnding([this](int) { ++endings_; });
        restart();
    }
    ~Session() {
        close();
        app::resetEnding();
        history::closeStore();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void restart() {
        close();
        resetExamSettings();
        app::registerShellWindows();
        registerProgramWindows();
        ExamSettings.QuestionsPerExam = app::edition().questionsPerExam;
        ExamSettings.ActiveExam = 1;
        ExamSettings.CandidateName = QStringLiteral("Bench");
    }
    void close() {
        forms::discardAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow::clearWindows();
    }
    bool failed() const { return endings_ > 0; }
    prompts::Script& prompts() { return prompts_; }

private:
    QTemporaryDir historyDir_;  // score sheets record into a history of the benchmark's own
    prompts::Script prompts_;
    int endings_ = 0;
};

// Layout and painting of what the action showed belong to the action.
void settle() {
    QApplication::processEvents();
}

bool checked(benchmark::State& state, const Session& session) {
    if (session.failed()) {
        state.SkipWithError("a window reported a database error");
        return false;
    }
    return true;
}

// The user's pauses between actions, with a backlog of results on its way to a record store on
// loopback meanwhile: the sender works on the windows' event loop, in the pauses and during the
// actions. With no backlog, the pauses alone, for the figures to compare with.
class Draining {
public:
    Draining(benchmark::State& state, int backlog) : backlog_(backlog) {
        if (backlog == 0) {
            return;
        }
        if (const QString why = lrs_.start(); !why.isEmpty()) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        queueBacklog(*history::store(), backlog);
        sender_ = std::make_unique<xapi::Sender>(settingsFor(lrs_), history::location());
        sender_->nudge();
        pause();
    }

    // Shorter than a batch's round trip, so that replies also land during the actions.
    void pause() {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // The backlog must have been on its way from the first action to the last.
    void check(benchmark::State& state) {
        if (!sender_) {
            return;
        }
        const int waiting = sender_->counts().waiting;
        state.counters["sent"] = backlog_ - waiting;
        if (waiting == 0 || waiting == backlog_) {
            state.SkipWithError("the backlog was not draining throughout");
        }
    }

private:
    int backlog_;
    LocalLrs lrs_;
    std::unique_ptr<xapi::Sender> sender_;
};

void openExam() {
    forms::get<Form211>().Show();
    settle();
}

// Opening the exam window: the draw, the question view and the first question painted.
void BM_OpenExam(benchmark::State& state) {
    AnyBank bank(int(state.range(0)));
    Session session;
    Laps laps;
    for (auto _ : state) {
        session.restart();
        laps.time(state, openExam);
    }
    checked(state, session);
    laps.report(state);
}

// One move; the move back is not timed, so every timed move starts from the same question.
// With a backlog, the user pauses after each move while it drains.
void examMove(benchmark::State& state, bool forward, std::optional<int> backlog = {}) {
    AnyBank bank(int(state.range(0)));
    Session session;
    std::optional<Draining> sending;
    if (backlog) {
        sending.emplace(state, *backlog);
    }
    openExam();
    Form211& exam = forms::get<Form211>();
    if (!forward) {
        exam.CmdNextQ_Click();
    }
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] {
            forward ? exam.CmdNextQ_Click() : exam.cmdPrevQ_Click();
            settle();
        });
        forward ? exam.cmdPrevQ_Click() : exam.CmdNextQ_Click();
        settle();
        if (sending) {
            sending->pause();
        }
    }
    if (sending) {
        sending->check(state);
    }
    checked(state, session);
    laps.report(state);
}

void BM_ExamNext(benchmark::State& state) {
    examMove(state, true);
}

void BM_ExamPrevious(benchmark::State& state) {
    examMove(state, false);
}

void BM_ExamNextSending(benchmark::State& state) {
    examMove(state, true, int(state.range(1)));
}

// Show Answer: the shown question recorded and the answer window painted in front.
void BM_ShowAnswer(benchmark::State& state) {
    AnyBank bank(int(state.range(0)));
    Session session;
    openExam();
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [] {
            forms::get<Form211>().Command1_Click();
            settle();
        });
        flow::unload(win::Answer);
        flow::discard(win::Answer);
        forms::get<Form211>().Show();
        settle();
    }
    checked(state, session);
    laps.report(state);
}

// End Exam, confirmed, until the score sheet is painted.
void BM_EndExamToScoreSheet(benchmark::State& state) {
    AnyBank bank(int(state.range(0)));
    Session session;
    Laps laps;
    for (auto _ : state) {
        session.restart();
        openExam();
        session.prompts().answer(prompts::Answer::Ok);
        laps.time(state, [] {
            forms::get<Form211>().cmdEndExam_Click();
            settle();
        });
    }
    checked(state, session);
    laps.report(state);
}

// An exam table of `questions` in 19 categories with `drawn` of them drawn, every other one
// answered right and the rest wrong.
std::unique_ptr<BenchBank> answeredBank(int questions, int drawn) {
    auto bank = std::make_unique<BenchBank>(questions, 1, kCategories);
    bank->exec("DELETE FROM tblRandom");
    const QByteArray draw =
        "INSERT INTO tblRandom (sl_no, ID) SELECT ID, ID FROM exam1 WHERE ID <= " +
        QByteArray::number(drawn);
    bank->exec(draw.constData());
    bank->exec(
        "UPDATE exam1 SET correctanswer1 = 1 WHERE ID % 2 = 0 AND ID IN (SELECT ID FROM "
        "tblRandom)");
    bank->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return bank;
}

// Opening the named window afresh each time, as the flow of the program does. With a backlog,
// the user pauses after each while it drains.
void openWindow(benchmark::State& state, const QString& window, bool answered,
                std::optional<int> backlog = {}) {
    const auto answeredTables =
        answered ? answeredBank(int(state.range(0)), int(state.range(1))) : nullptr;
    const auto plain = answered ? nullptr : std::make_unique<AnyBank>(int(state.range(0)));
    Session session;
    std::optional<Draining> sending;
    if (backlog) {
        sending.emplace(state, *backlog);
    }
    Laps laps;
    for (auto _ : state) {
        session.restart();
        laps.time(state, [&] {
            flow::open(window);
            settle();
        });
        if (sending) {
            sending->pause();
        }
    }
    if (sending) {
        sending->check(state);
    }
    checked(state, session);
    laps.report(state);
}

void BM_ScoreSheet(benchmark::State& state) {
    openWindow(state, win::ScoreSheet, true);
}

void BM_ScoreSheetSending(benchmark::State& state) {
    openWindow(state, win::ScoreSheet, true, int(state.range(2)));
}

void BM_OpenReview(benchmark::State& state) {
    openWindow(state, win::WrongAnswers, true);
}

void BM_OpenStudy(benchmark::State& state) {
    openWindow(state, win::Study, false);
}

// Next in the study window, moving on through the key table from one iteration to the next.
void BM_StudyNext(benchmark::State& state) {
    AnyBank bank(int(state.range(0)));
    Session session;
    ExamSettings.QuestionsPerExam = 0;  // no end to the moves
    flow::open(win::Study);
    settle();
    Form11& study = forms::get<Form11>();
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] {
            study.CmdNextQ_Click();
            settle();
        });
    }
    checked(state, session);
    laps.report(state);
}

// The exam of the sample bank (116 questions), or an exam drawing every one of `questions`.
const app::Edition& examOf(int questions) {
    static app::Edition whole = app::fullEdition();
    if (questions == kSampleBank) {
        return app::fullEdition();
    }
    whole.questionsPerExam = qint16(questions);
    whole.drawCount = qint16(questions);
    return whole;
}

// The exam window opened on an exam of the argument's size, every question flagged in turn
// across the iterations.
template <class Action>
void examRoom(benchmark::State& state, Action&& action) {
    const int questions = int(state.range(0));
    AnyBank bank(questions);
    Session session;
    app::setEdition(examOf(questions));
    session.restart();
    openExam();
    Form211& exam = forms::get<Form211>();
    Laps laps;
    for (auto _ : state) {
        action(state, laps, exam);
    }
    state.counters["questions"] = exam.progress().questions();
    checked(state, session);
    laps.report(state);
    session.close();
    app::setEdition(app::fullEdition());
}

// "Flag for review" on the question on screen, until the window shows it.
void BM_FlagQuestion(benchmark::State& state) {
    examRoom(state, [](benchmark::State& s, Laps& laps, Form211& exam) {
        auto* flag = exam.findChild<QAbstractButton*>(QStringLiteral("chkFlag"));
        laps.time(s, [&] {
            flag->click();
            settle();
        });
    });
}

// Ctrl+R: the review list filled and painted over the exam.
void BM_OpenReviewScreen(benchmark::State& state) {
    examRoom(state, [](benchmark::State& s, Laps& laps, Form211& exam) {
        laps.time(s, [&] {
            exam.cmdReview_Click();
            settle();
        });
        exam.findChild<exam::ReviewScreen*>()->close();
        settle();
    });
}

// Go to Question from the review list, to the far end and back in turn: the list closes, the
// marks left are written with the flags, and the question is shown.
void BM_ReviewJump(benchmark::State& state) {
    int target = 0;
    examRoom(state, [&target](benchmark::State& s, Laps& laps, Form211& exam) {
        exam.cmdReview_Click();
        settle();
        auto* review = exam.findChild<exam::ReviewScreen*>();
        auto* list = review->findChild<QAbstractItemView*>(QStringLiteral("lstQuestions"));
        target = target == 0 ? list->model()->rowCount() - 1 : 0;
        list->setCurrentIndex(list->model()->index(target, 0));
        auto* goTo = review->findChild<QAbstractButton*>(QStringLiteral("cmdGoTo"));
        laps.time(s, [&] {
            goTo->click();
            settle();
        });
    });
}

// The cards of "Bench" at the sample bank: `count`, every one due, the twenty most overdue
// questions of exam 1 and the rest of other exams' numbers.
void dueCards(int count) {
    std::vector<qint64> real;
    {
        examdb::Database bank = examdb::Database::open(app::edition().databaseFile);
        examdb::Statement ids = bank.prepare(QStringLiteral("SELECT ID FROM exam1 LIMIT 20"));
        while (ids.step()) {
            real.push_back(ids.integer(0));
        }
    }
    const QString bankName = [] {
        examdb::Database bank = examdb::Database::open(app::edition().databaseFile);
        return session::bankName(bank);
    }();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    history::store()->change([&](sqlite3* db) {
        std::vector<review::ScoredAnswer> first;
        std::vector<review::ScoredAnswer> rest;
        for (qint64 id : real) {
            first.push_back({1, id, false, 30});
        }
        for (int n = int(real.size()); n < count; ++n) {
            rest.push_back({2 + n % 2, 100000 + n, false, 30});
        }
        review::scheduleAnswers(db, {QStringLiteral("Bench"), bankName}, first, 45,
                                now - 40 * 86400);
        review::scheduleAnswers(db, {QStringLiteral("Bench"), bankName}, rest, 45,
                                now - 20 * 86400);
    });
}

// Review > Due Questions until the practice run's first question is painted, 10,000 cards due.
void BM_OpenDueQuestions(benchmark::State& state) {
    SampleBank bank;
    Session session;
    dueCards(int(state.range(0)));
    Laps laps;
    for (auto _ : state) {
        session.restart();
        QAction* due = forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuDueQuestions"));
        laps.time(state, [&] {
            due->trigger();
            settle();
        });
        if (!flow::existing(win::Exam) || !flow::existing(win::Exam)->isVisible()) {
            state.SkipWithError("the due run did not open");
            break;
        }
    }
    checked(state, session);
    laps.report(state);
}

// A scored exam's 116 answers onto the cards, in their own transaction, beside 10,000 others.
void BM_ScheduleExam(benchmark::State& state) {
    Session session;
    history::HistoryStore* store = history::store();
    std::vector<review::ScoredAnswer> others;
    for (int n = 0; n < 10000; ++n) {
        others.push_back({1 + n % 3, n, n % 4 == 0, 30});
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    store->change([&](sqlite3* db) {
        review::scheduleAnswers(db, {QStringLiteral("Bench"), QStringLiteral("Bank")}, others, 45,
                                now - 10 * 86400);
    });
    std::vector<review::ScoredAnswer> exam(others.begin(), others.begin() + 116);
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] {
            store->change([&](sqlite3* db) {
                review::scheduleAnswers(db, {QStringLiteral("Bench"), QStringLiteral("Bank")}, exam,
                                        45, now);
            });
        });
    }
    checked(state, session);
    laps.report(state);
}

// The chance to pass exam 1 of the sample bank from three exams' first answers.
void BM_ReadinessEstimate(benchmark::State& state) {
    SampleBank bank;
    Session session;
    const QString bankName = [] {
        examdb::Database db = examdb::Database::open(app::edition().databaseFile);
        return session::bankName(db);
    }();
    std::vector<review::ScoredAnswer> answers;
    {
        examdb::Database db = examdb::Database::open(app::edition().databaseFile);
        examdb::Statement ids = db.prepare(QStringLiteral("SELECT ID FROM exam1"));
        for (int n = 0; ids.step(); ++n) {
            answers.push_back({1, ids.integer(0), n % 5 != 0, 30});
        }
    }
    history::HistoryStore* store = history::store();
    store->change([&](sqlite3* db) {
        review::scheduleAnswers(db, {QStringLiteral("Bench"), bankName}, answers, 45,
                                QDateTime::currentSecsSinceEpoch());
    });
    for (int n = 0; n < 3; ++n) {
        history::AttemptRecord a;
        a.key = QStringLiteral("bench-%1").arg(n);
        a.edition = QStringLiteral("full");
        a.exam = 1;
        a.candidate = QStringLiteral("Bench");
        a.ended = QDateTime::currentDateTime();
        a.started = a.ended.addSecs(-3600);
        store->record(a);
    }
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] {
            const auto ready = standing::readinessFor(QStringLiteral("Bench"), 1);
            if (!ready || !ready->figures.enough) {
                state.SkipWithError("no estimate");
            }
        });
    }
    checked(state, session);
    laps.report(state);
}

void examRooms(benchmark::internal::Benchmark* b) {
    b->ArgName("exam")->Arg(kSampleBank)->Arg(10000);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);
}

// Each benchmark runs once with a fixed count, so that its bank is built once.
void banks(benchmark::internal::Benchmark* b, int iterations) {
    b->ArgName("bank")->Arg(kSampleBank)->Arg(10000)->Arg(100000);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(iterations);
}

// Exam tables of each size with the exam's 116 questions drawn, then drawn whole.
void examTables(benchmark::internal::Benchmark* b) {
    b->ArgNames({"rows", "drawn"});
    b->Args({116, 116})->Args({10000, 116})->Args({100000, 116});
    b->Args({10000, 10000})->Args({100000, 100000});
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
}

// Each with the pauses alone, then with a backlog of 20,000 statements draining in them.
void sendingMoves(benchmark::internal::Benchmark* b) {
    b->ArgNames({"bank", "backlog"})->Args({kSampleBank, 0})->Args({kSampleBank, 20000});
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(100);
}

void sendingScoreSheets(benchmark::internal::Benchmark* b) {
    b->ArgNames({"rows", "drawn", "backlog"})->Args({116, 116, 0})->Args({116, 116, 20000});
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
}

void opens(benchmark::internal::Benchmark* b) {
    banks(b, 15);
}

void moves(benchmark::internal::Benchmark* b) {
    banks(b, 100);
}

}  // namespace

BENCHMARK(BM_OpenExam)->Apply(opens);
BENCHMARK(BM_ExamNext)->Apply(moves);
BENCHMARK(BM_ExamPrevious)->Apply(moves);
BENCHMARK(BM_ShowAnswer)->Apply(moves);
BENCHMARK(BM_EndExamToScoreSheet)->Apply(opens);
BENCHMARK(BM_ScoreSheet)->Apply(examTables);
BENCHMARK(BM_OpenReview)->Apply(examTables);
BENCHMARK(BM_OpenStudy)->Apply(opens);
BENCHMARK(BM_StudyNext)->Apply(moves);
BENCHMARK(BM_FlagQuestion)->Apply(examRooms);
BENCHMARK(BM_OpenReviewScreen)->Apply(examRooms);
BENCHMARK(BM_ReviewJump)->Apply(examRooms);
BENCHMARK(BM_ExamNextSending)->Apply(sendingMoves);
BENCHMARK(BM_ScoreSheetSending)->Apply(sendingScoreSheets);
BENCHMARK(BM_OpenDueQuestions)
    ->ArgName("cards")
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(15);
BENCHMARK(BM_ScheduleExam)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_ReadinessEstimate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
