#pragma once

namespace exam {
// Makes the exam window and the custom exam's settings reachable by name.
void registerWindows();
}  // namespace exam
