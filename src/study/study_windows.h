#pragma once

namespace study {

// Makes the study window, the answer window and the exhibit window openable by name.
void registerWindows();

}  // namespace study
