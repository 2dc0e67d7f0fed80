#include "program_windows.h"

#include "exam/exam_windows.h"
#include "help/help_windows.h"
#include "progress/progress_windows.h"
#include "results/results_windows.h"
#include "study/study_windows.h"

void registerProgramWindows() {
    exam::registerWindows();
    help::registerWindows();
    progress::registerWindows();
    results::registerWindows();
    study::registerWindows();
}
