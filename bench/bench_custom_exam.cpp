// The Custom Exam dialog opened from the main menu on the offscreen platform: made afresh, the
// chosen exam's categories counted, its list filled, laid out and painted, on an exam of many
// questions in many categories.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "bench_bank.h"
#include "exam/exam_windows.h"
#include "laps.h"
#include "offscreen_main.h"
#include "start/startup.h"

namespace {

// The menu up, as when the candidate chooses Custom Exam; a database error is recorded
// instead of ending the process.
class Menu {
public:
    Menu() {
        app::setEdition(app::fullEdition());
        app::setEnding([this](int) { ++endings_; });
        resetExamSettings();
        app::registerShellWindows();
        exam::registerWindows();
        flow::open(win::MainMenu);
        QApplication::processEvents();
    }
    ~Menu() {
        forms::discardAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow::clearWindows();
        app::resetEnding();
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool failed() const { return endings_ > 0 || !prompts_.shown().empty(); }

private:
    prompts::Script prompts_;
    int endings_ = 0;
};

// Arguments: questions in exam 1, categories they are spread over.
void BM_OpenCustomExam(benchmark::State& state) {
    BenchBank bank(int(state.range(0)), 1, int(state.range(1)));
    Menu menu;
    Laps laps;
    int listed = 0;
    for (auto _ : state) {
        laps.time(state, [] {
            flow::open(win::CustomExam);
            QApplication::processEvents();
        });
        if (QWidget* dialog = flow::existing(win::CustomExam)) {
            listed = dialog->findChild<QListWidget*>()->count();
        }
        // Made afresh each time, as on the first choice of the session.
        flow::discard(win::CustomExam);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (menu.failed() || listed != state.range(1)) {
        state.SkipWithError("the dialog did not open with every category");
    }
    laps.report(state);
}

}  // namespace

BENCHMARK(BM_OpenCustomExam)
    ->Args({10000, 100})
    ->Args({100000, 100})
    ->ArgNames({"bank", "categories"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
