#pragma once

// Makes the score sheet ("Form3") and the wrong-answer review ("Form41") openable by name.
namespace results {
void registerWindows();
}
