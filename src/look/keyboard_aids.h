#pragma once

class QApplication;

namespace look {

// For every window of the application: Ctrl+Plus, Ctrl+Minus and Ctrl+0 zoom the texts, and a
// text box, list or caption that takes the keyboard's focus shows a ring while it has it (the
// style draws none for them). Installing twice does nothing more.
void installKeyboardAids(QApplication& application);

}  // namespace look
