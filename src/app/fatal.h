#pragma once

#include <QCloseEvent>
#include <QString>
#include <exception>
#include <functional>

#include "examdb/error.h"

namespace app {

// How the program ends: the default leaves the event loop; tests install a recorder.
using Ending = std::function<void(int exitCode)>;
void setEnding(Ending ending);
void resetEnding();

// Ends the program at once. Windows closed from here on run no handlers of their own.
void endProgram(int exitCode);
bool endRequested();
int requestedExitCode();

// Shows one message box with the error's number and text, then ends the program.
void reportFatal(int number, const QString& text);

// Runs an event handler so that no failure escapes into Qt's event dispatch.
template <class Handler>
void guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const examdb::Error& e) {
        reportFatal(e.number, e.text);
    } catch (const std::bad_alloc&) {
        reportFatal(7, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        reportFatal(51, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFatal(51, QStringLiteral("Internal error"));
    }
}

// A title-bar close runs the window's own way out (Return, End, Exit) instead of closing it:
// no window may vanish and leave the candidate without a way back. Only the program's end
// closes windows for real.
template <class WayOut>
void routeTitleBarClose(QCloseEvent* event, WayOut&& wayOut) {
    if (endRequested()) {
        event->accept();
        return;
    }
    event->ignore();
    guarded(std::forward<WayOut>(wayOut));
}

}  // namespace app
