#pragma once

namespace exam {
// Makes the exam window reachable by name ("Form211").
void registerWindows();
}  // namespace exam
