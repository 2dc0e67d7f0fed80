#include "program_windows.h"

#include "help/help_windows.h"

void registerProgramWindows() {
    help::registerWindows();
}
