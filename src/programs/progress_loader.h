#pragma once

#include "app/window_flow.h"

// The Progress window's operations for the registry: the window's module is loaded the first
// time the window is opened, from the program's own folder. A module that cannot be loaded is
// named in one message and nothing opens.
flow::WindowOps progressWindowLoadedOnFirstUse();
