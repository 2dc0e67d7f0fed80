#pragma once

#include <QObject>
#include <QPixmap>

#include "app/fatal.h"

class QWidget;
namespace examdb {
class DataSource;
}

// What every window stands on: handlers that no failure escapes, the maximized window, the
// report background and the exhibit button's picture, each written once.
namespace app {

// Runs window->*handler on every emission of sender's signal, guarded like every handler.
template <class Sender, class Signal, class Window>
void onSignal(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window,
                     [window, handler] { guarded([&] { (window->*handler)(); }); });
}

// A window data source named as the window knows it, on this edition's database file.
void useEditionFile(examdb::DataSource& source, const QString& name, const QString& recordSource);

// Maximized, filling the screen's available area even where no window manager acts on the
// wish, and brought forward.
void showMaximizedOnScreen(QWidget& window);

// The light grey of the report and reference windows.
void useReportBackground(QWidget& window);

// The 104 x 33 picture on the exhibit buttons, drawn so it needs no file beside the program.
QPixmap exhibitButtonPicture();

}  // namespace app
