// The progress history: recording a scored exam, and the Progress window over a history of a
// thousand attempts, on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QTemporaryDir>

#include "app/edition.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "laps.h"
#include "offscreen_main.h"
#include "progress/progress_window.h"
#include "progress/progress_windows.h"

namespace {

constexpr int kCategories = 19;

// An exam of the full edition as the score sheet records it: 116 questions, 19 categories.
history::AttemptRecord scoredExam(int n) {
    history::AttemptRecord a;
    a.edition = QStringLiteral("full");
    a.exam = n % 3 + 1;
    a.candidate = n % 4 == 0 ? QStringLiteral("Bo") : QStringLiteral("Ann");
    a.ended = QDateTime(QDate(2026, 1, 1), QTime(9, 0)).addSecs(qint64(n) * 3600 * 7);
    a.started = a.ended.addSecs(-5400);
    a.secondsUsed = 5400;
    a.score = 300 + (n * 37) % 700;
    a.passMark = 750;
    a.passed = a.score >= 750;
    for (int c = 0; c < kCategories; ++c) {
        a.categories.push_back({c, QStringLiteral("Category %1").arg(c), 6, (n + c) % 7});
    }
    for (int q = 1; q <= 116; ++q) {
        a.questions.push_back({q, qint64(q * 3), (q + n) % 3 != 0, {}, {}});
    }
    return a;
}

class History {
public:
    explicit History(int attempts) {
        history::setLocation(QDir(dir_.path()).filePath(QStringLiteral("history.sqlite")));
        history::HistoryStore* store = history::store();
        for (int n = 0; n < attempts; ++n) {
            store->record(scoredExam(n));
        }
    }
    ~History() {
        forms::discardAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow::clearWindows();
        history::closeStore();
    }
    History(const History&) = delete;
    History& operator=(const History&) = delete;

private:
    QTemporaryDir dir_;
};

// One attempt added to a history that already holds `state.range(0)`.
void BM_RecordAttempt(benchmark::State& state) {
    History history(int(state.range(0)));
    history::HistoryStore* store = history::store();
    const history::AttemptRecord attempt = scoredExam(7);
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { store->record(attempt); });
    }
    laps.report(state);
}

// The Progress window opened from the menu, read from the file and painted.
void BM_OpenProgress(benchmark::State& state) {
    History history(int(state.range(0)));
    prompts::Script quiet;
    Laps laps;
    for (auto _ : state) {
        progress::registerWindows();
        laps.time(state, [] {
            flow::open(win::Progress);
            QApplication::processEvents();
        });
        state.counters["attempts"] =
            double(forms::get<progress::ProgressWindow>().shownAttempts().size());
        forms::discardAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow::clearWindows();
    }
    laps.report(state);
}

// The Progress window open over a history of `state.range(0)` attempts; each iteration times
// change(window) and the painting of both charts after it.
template <class Change>
void timeOnOpenWindow(benchmark::State& state, Change&& change) {
    History history(int(state.range(0)));
    progress::registerWindows();
    flow::open(win::Progress);
    QApplication::processEvents();
    auto& window = forms::get<progress::ProgressWindow>();
    const auto charts = window.findChildren<QChartView*>();
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] {
            change(window);
            for (QChartView* chart : charts) {
                chart->repaint();
            }
        });
    }
    laps.report(state);
}

// Another attempt chosen in the table: its category chart filled again, both charts painted.
void BM_RedrawCharts(benchmark::State& state) {
    int row = 0;
    timeOnOpenWindow(state, [&row](progress::ProgressWindow& window) {
        row = (row + 1) % 10;
        window.selectAttempt(row);
    });
}

// A name chosen in the filter: the table, both charts and the category table filled again
// and painted.
void BM_FilterByName(benchmark::State& state) {
    bool everyone = false;
    timeOnOpenWindow(state, [&everyone](progress::ProgressWindow& window) {
        everyone = !everyone;
        window.setNameFilter(everyone ? QString() : QStringLiteral("Ann"));
    });
}

void histories(benchmark::internal::Benchmark* b) {
    b->ArgName("attempts")->Arg(10)->Arg(1000);
    b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
}

}  // namespace

BENCHMARK(BM_RecordAttempt)->Apply(histories);
BENCHMARK(BM_OpenProgress)->Apply(histories);
BENCHMARK(BM_RedrawCharts)->Apply(histories);
BENCHMARK(BM_FilterByName)->Apply(histories);

int main(int argc, char** argv) {
    app::setEdition(app::fullEdition());
    return runOffscreenBenchmarks(argc, argv);
}
