#include "help/help_windows.h"

#include "app/window_flow.h"
#include "help/frmabout.h"
#include "help/help_text_window.h"

namespace help {

void registerWindows() {
    flow::registerWindow<Form31>(QStringLiteral("Form31"));
    flow::registerWindow<Form32>(QStringLiteral("Form32"));
    flow::registerWindow<Form33>(QStringLiteral("Form33"));
    flow::registerWindow<Form34>(QStringLiteral("Form34"));
    flow::registerWindow<frmAbout>(QStringLiteral("frmAbout"));
}

}  // namespace help
