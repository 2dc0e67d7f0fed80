#include "help/help_windows.h"

#include "app/window_flow.h"
#include "app/window_names.h"
#include "help/frmabout.h"
#include "help/help_key.h"
#include "help/help_text_window.h"

namespace help {

void registerWindows() {
    flow::registerWindow<Form31>(win::HelpNavigation);
    flow::registerWindow<Form32>(win::HelpCertification);
    flow::registerWindow<Form33>(win::HelpReadMe);
    flow::registerWindow<Form34>(win::HelpOrdering);
    flow::registerWindow<Form35>(win::HelpKeys);
    flow::registerWindow<frmAbout>(win::About);
    installHelpKey();
}

}  // namespace help
