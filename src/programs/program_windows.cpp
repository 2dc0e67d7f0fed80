#include "program_windows.h"

#include "app/window_names.h"
#include "exam/exam_windows.h"
#include "help/help_windows.h"
#include "progress_loader.h"
#include "results/results_windows.h"
#include "study/study_windows.h"

void registerProgramWindows() {
    exam::registerWindows();
    help::registerWindows();
    flow::registerWindow(win::Progress, progressWindowLoadedOnFirstUse());
    results::registerWindows();
    study::registerWindows();
}
