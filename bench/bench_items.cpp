// The item analysis of kvn_bank items: one exam's report from a history of simulated
// candidates, its time and the memory it takes on top of what the program held before.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <memory>
#include <random>

#include "examdb/sqlite_handles.h"
#include "history/history_store.h"
#include "history_responses.h"
#include "items_report.h"
#include "laps.h"

namespace {

bank::FairExam examOf(int questions) {
    bank::FairExam exam{QStringLiteral("exam1"), {}};
    for (int id = 1; id <= questions; ++id) {
        QList<bool> key(5, false);
        key[id % 4] = true;
        exam.questions << bank::FairQuestion{id,
                                             QStringLiteral("Question %1?").arg(id),
                                             QString(),
                                             {"one", "two", "three", "four", ""},
                                             key};
    }
    return exam;
}

// attempts simulated candidates of normal ability answering every question of exam 1, written
// straight into a history of this program's layout in one transaction.
class SimulatedHistory {
public:
    SimulatedHistory(int attempts, int questions) {
        { history::HistoryStore create(path()); }
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(path()).constData(), &raw);
        examdb::ConnectionHandle db(raw);
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* a = nullptr;
        sqlite3_stmt* q = nullptr;
        sqlite3_prepare_v2(raw,
                           "INSERT INTO attempt (attempt_id, edition, exam, candidate, started, "
                           "ended, seconds_used, score, pass_mark, passed, attempt_key) VALUES "
                           "(?1, 'full', 1, 'C', '2026-01-01T09:00:00', '2026-01-01T10:00:00', "
                           "3600, 0, 750, 0, 'key-' || ?1)",
                           -1, &a, nullptr);
        sqlite3_prepare_v2(raw, "INSERT INTO attempt_question VALUES (?1, ?2, ?3, ?4, ?5, ?6)", -1,
                           &q, nullptr);
        const examdb::StatementHandle attempt(a);
        const examdb::StatementHandle answer(q);
        std::mt19937 random(26);
        std::normal_distribution<double> ability;
        std::uniform_real_distribution<double> chance;
        const char* const letters[] = {"A", "B", "C", "D"};
        for (int n = 1; n <= attempts; ++n) {
            sqlite3_bind_int(a, 1, n);
            sqlite3_step(a);
            sqlite3_reset(a);
            const double theta = ability(random);
            for (int id = 1; id <= questions; ++id) {
                const int key = id % 4;
                const double difficulty = -1.5 + 3.0 * (id % 11) / 10;
                const bool knows = chance(random) < 1 / (1 + std::exp(-1.7 * (theta - difficulty)));
                const int chosen = knows ? key : (key + 1 + int(chance(random) * 3)) % 4;
                sqlite3_bind_int(q, 1, n);
                sqlite3_bind_int(q, 2, id);
                sqlite3_bind_int(q, 3, id);
                sqlite3_bind_int(q, 4, knows ? 1 : 0);
                sqlite3_bind_text(q, 5, letters[chosen], 1, SQLITE_STATIC);
                sqlite3_bind_int(q, 6, 20 + int(chance(random) * 90));
                sqlite3_step(q);
                sqlite3_reset(q);
            }
        }
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    }
    QString path() const { return dir_.filePath(QStringLiteral("history.sqlite")); }

private:
    QTemporaryDir dir_;
};

const SimulatedHistory& historyOf(int attempts, int questions) {
    static std::map<std::pair<int, int>, std::unique_ptr<SimulatedHistory>> made;
    auto& history = made[{attempts, questions}];
    if (!history) {
        history = std::make_unique<SimulatedHistory>(attempts, questions);
    }
    return *history;
}

// kB of a line of /proc/self/status ("VmHWM:", "VmRSS:").
double statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble();
        }
    }
    return 0;
}

// The peak resident size starts again from what is resident now, with the free memory the
// allocator kept given back first, so that what the report takes shows as growth.
void resetPeak() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

void BM_ItemsReport(benchmark::State& state) {
    const int attempts = int(state.range(0));
    const int questions = int(state.range(1));
    const SimulatedHistory& history = historyOf(attempts, questions);
    const QList<bank::FairExam> exams{examOf(questions)};
    Laps laps;
    double peakMiB = 0;
    for (auto _ : state) {
        resetPeak();
        const double before = statusKb("VmRSS:");
        laps.time(state, [&] {
            const bank::ItemsReport report = bank::itemsReport(
                QStringLiteral("kvn09.mdb"), exams,
                {bank::historySource(history.path(), QStringLiteral("full"))}, {});
            benchmark::DoNotOptimize(report.lines.size());
        });
        peakMiB = std::max(peakMiB, (statusKb("VmHWM:") - before) / 1024);
    }
    laps.report(state);
    state.counters["peak_MiB"] = peakMiB;
    state.counters["responses"] = double(attempts) * questions;
}
BENCHMARK(BM_ItemsReport)
    ->ArgNames({"attempts", "questions"})
    ->Args({2500, 116})
    ->Args({10000, 116})
    ->Args({40000, 116})
    ->Args({10000, 58})
    ->Args({10000, 232})
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
