#pragma once

#include <QString>
#include <functional>

// Windows of other subsystems are opened by name, so the shell links against none of them;
// each program registers the windows it was built with before the first one is needed.
namespace flow {

using Opener = std::function<void()>;

void setOpener(const QString& window, Opener opener);
void clearOpeners();

// Shows the named window modeless. False when no such window is registered.
bool open(const QString& window);

}  // namespace flow
