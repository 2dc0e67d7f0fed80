#include "progress/progress_windows.h"

#include "app/window_flow.h"
#include "app/window_names.h"
#include "progress/progress_window.h"

namespace progress {

void registerWindows() {
    flow::registerWindow<ProgressWindow>(win::Progress);
}

}  // namespace progress
