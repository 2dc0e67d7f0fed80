// The entry point the programs look up when they load this module.
#include <QtGlobal>

#include "app/window_flow.h"
#include "progress/progress_window.h"

extern "C" Q_DECL_EXPORT void praxiloProgressWindowOps(flow::WindowOps* ops) {
    *ops = flow::opsFor<progress::ProgressWindow>();
}
