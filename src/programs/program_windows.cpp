#include "program_windows.h"

#include "exam/exam_windows.h"
#include "help/help_windows.h"
#include "results/results_windows.h"
#include "study/study_windows.h"

void registerProgramWindows() {
    exam::registerWindows();
    help::registerWindows();
    results::registerWindows();
    study::registerWindows();
}
