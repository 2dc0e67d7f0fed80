#pragma once

#include <functional>

namespace app {

// Something start-up asks the candidate before the main menu (an interrupted exam to resume).
// The offer returns true when it opened a window of its own instead of the menu.
void setStartOffer(std::function<bool()> offer);
bool runStartOffer();

}  // namespace app
