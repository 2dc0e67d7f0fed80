#include "program_windows.h"

#include "exam/exam_windows.h"
#include "help/help_windows.h"

void registerProgramWindows() {
    exam::registerWindows();
    help::registerWindows();
}
