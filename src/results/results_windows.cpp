#include "results/results_windows.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/window_flow.h"
#include "app/window_names.h"
#include "results/attempt_history.h"
#include "results/form3.h"
#include "results/form41.h"
#include "results/results_sending.h"
#include "session/exam_session.h"

namespace results {

void registerWindows() {
    HistoryRecorder::of(session::active());
    // After the main window shows, and only then, results left by earlier sessions go out.
    QTimer::singleShot(1000, QCoreApplication::instance(), &startSendingResults);
    flow::registerWindow<Form3>(win::ScoreSheet);
    flow::registerWindow<Form41>(win::WrongAnswers);
}

}  // namespace results
