// Results sent to a training centre's record store: an ended exam's statements built and
// queued with its attempt, and a backlog delivered to a record store on loopback.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>

#include "backlog.h"
#include "history/history_store.h"
#include "laps.h"
#include "local_lrs.h"
#include "offscreen_main.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"

namespace {

constexpr int kBacklog = 10000;

// A history file of its own holding `attempts` recorded exams.
class History {
public:
    explicit History(int attempts)
        : store_(QDir(dir_.path()).filePath(QStringLiteral("history.sqlite"))) {
        const session::ScoreReport report = scoredReport();
        for (int n = 0; n < attempts; ++n) {
            store_.record(attemptRecord(report, attemptFacts()));
        }
    }
    history::HistoryStore& store() { return store_; }

private:
    QTemporaryDir dir_;
    history::HistoryStore store_;
};

// The 117 statements of an ended 116-question exam, built.
void BM_BuildStatements(benchmark::State& state) {
    const session::ScoreReport report = scoredReport();
    const xapi::AttemptFacts facts = attemptFacts();
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { benchmark::DoNotOptimize(xapi::examStatements(facts, report)); });
    }
    laps.report(state);
}

// The attempt recorded with its 117 statements queued in the same transaction; `build` times
// the statements' building too, as the score sheet pays it.
void recordWithStatements(benchmark::State& state, bool build) {
    History history(int(state.range(0)));
    const session::ScoreReport report = scoredReport();
    Laps laps;
    for (auto _ : state) {
        const xapi::AttemptFacts facts = attemptFacts();  // a new key, or nothing is recorded
        const history::AttemptRecord attempt = attemptRecord(report, facts);
        std::vector<xapi::Statement> statements;
        if (!build) {
            statements = xapi::examStatements(facts, report);
        }
        laps.time(state, [&] {
            if (build) {
                statements = xapi::examStatements(facts, report);
            }
            history.store().record(
                attempt, [&statements](sqlite3* db) { xapi::outbox::queue(db, statements); });
        });
    }
    if (xapi::Outbox(history.store().path()).counts().waiting != 117 * int(state.iterations())) {
        state.SkipWithError("not every exam's 117 statements were queued");
    }
    laps.report(state);
}

void BM_RecordWithStatements(benchmark::State& state) {
    recordWithStatements(state, false);
}

void BM_QueueEndedExam(benchmark::State& state) {
    recordWithStatements(state, true);
}

// Runs the event loop until the sender has sent or set aside everything; false on timeout.
bool drain(xapi::Sender& sender) {
    QEventLoop loop;
    bool drained = false;
    QObject::connect(&sender, &xapi::Sender::drained, &loop, [&] {
        drained = true;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    sender.nudge();
    loop.exec();
    return drained;
}

// A backlog of 10,000 statements delivered in batches of `state.range(0)`, from the nudge
// until the outbox is empty. The store starts once; each iteration queues a new backlog.
void BM_DeliverBacklog(benchmark::State& state) {
    LocalLrs lrs;
    if (const QString why = lrs.start(); !why.isEmpty()) {
        state.SkipWithError(qPrintable(why));
        return;
    }
    History history(0);
    xapi::Sender sender(settingsFor(lrs), history.store().path());
    sender.setBatchSize(int(state.range(0)));
    Laps laps;
    for (auto _ : state) {
        const std::vector<QString> exams = queueBacklog(history.store(), kBacklog);
        bool drained = false;
        laps.time(state, [&] { drained = drain(sender); });
        const xapi::OutboxCounts left = sender.counts();
        if (!drained || left.waiting > 0 || left.rejected > 0) {
            state.SkipWithError("the backlog was not delivered whole");
            return;
        }
        // Read back exam by exam: each fits one page of the store's answer.
        qsizetype stored = 0;
        for (const QString& registration : exams) {
            stored +=
                lrs.statements(QUrlQuery{{QStringLiteral("registration"), registration}}).size();
        }
        if (stored != kBacklog) {
            state.SkipWithError(
                qPrintable(QStringLiteral("the store holds %1 of %2 statements sent")
                               .arg(stored)
                               .arg(kBacklog)));
            return;
        }
    }
    laps.report(state);
}

void ended(benchmark::internal::Benchmark* b) {
    b->ArgName("attempts")->Arg(1000);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
}

void batches(benchmark::internal::Benchmark* b) {
    b->ArgName("batch")->Arg(100)->Arg(250)->Arg(500);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
}

}  // namespace

BENCHMARK(BM_BuildStatements)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_RecordWithStatements)->Apply(ended);
BENCHMARK(BM_QueueEndedExam)->Apply(ended);
BENCHMARK(BM_DeliverBacklog)->Apply(batches);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
