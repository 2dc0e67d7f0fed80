#pragma once

class QWidget;

namespace results {

// The light grey both result windows are painted in.
void useReportBackground(QWidget& window);

// Shows the window maximized, filling the screen's available area even where no window manager
// acts on the wish, and brings it forward.
void showMaximizedOnScreen(QWidget& window);

}  // namespace results
