#pragma once

// Makes every window of the program openable by name. Each main() calls it before start-up.
void registerProgramWindows();
