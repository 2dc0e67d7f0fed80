#pragma once

namespace help {

// From now on F1 in any window of the application opens the help page for that window, or for
// the window it belongs to (the exam's review list is the exam's); the page's Return goes back
// there. In a help page F1 opens nothing more. Installing twice does nothing more.
void installHelpKey();

}  // namespace help
