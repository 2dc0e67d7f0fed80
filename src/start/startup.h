#pragma once

class QApplication;

namespace app {
struct Edition;

// Start-up: fixes the number of questions per exam and shows the main menu, nothing else.
void Main();

// Makes the shell's own windows (intro, notice) openable by name.
void registerShellWindows();

// The whole life of a program of the given edition: start-up, the event loop, the end.
int run(QApplication& application, const Edition& edition);
}  // namespace app
