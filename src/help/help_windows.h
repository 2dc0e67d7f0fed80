#pragma once

namespace help {
// Makes the help windows and the About box openable by name.
void registerWindows();
}  // namespace help
