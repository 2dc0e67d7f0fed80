#pragma once

namespace progress {

// Registers the progress window under its name.
void registerWindows();

}  // namespace progress
