#pragma once

namespace help {
// Makes the help windows and the About box openable by name, and F1 open the page of the
// window it is pressed in.
void registerWindows();
}  // namespace help
