#pragma once

#include <QString>
#include <functional>

#include "app/forms.h"

class QWidget;

// Windows of other subsystems are reached by name, so no subsystem links against another's
// windows; each program registers the windows it was built with at start-up.
//
// Every window class offers Show() (load if not loaded, then show) and Unload() (hide and close
// its data sources, keeping the object's values), as the windows expect of each other.
namespace flow {

struct WindowOps {
    std::function<void()> show;
    std::function<void()> unload;
    std::function<void()> discard;
    std::function<QWidget*()> existing;
};

void registerWindow(const QString& name, WindowOps ops);
void clearWindows();
bool isRegistered(const QString& name);

// Shows the named window modeless, loading it first if needed. False when no such window is
// registered.
bool open(const QString& name);
// The same, remembering opener as the way back from name.
bool open(const QString& name, const QString& opener);
// The window that last opened name, empty when none is remembered.
QString openerOf(const QString& name);
// Shows the window that opened name again; false when none is remembered or it cannot be shown.
bool returnFrom(const QString& name);
// Shows the main menu, unless an exam is under way: from the notice's OK until the score sheet
// is left the menu stays away, so nothing can start, study or score another exam meanwhile.
bool showMainMenu();
// Hides a window if it exists; it stays loaded.
void hide(const QString& name);
void unload(const QString& name);
// Deletes the window object; the next open creates it afresh.
void discard(const QString& name);
// The window object, or null when it has not been created.
QWidget* existing(const QString& name);

template <class Window>
WindowOps opsFor() {
    return {[] { forms::get<Window>().Show(); },
            [] {
                if (Window* w = forms::existing<Window>()) {
                    w->Unload();
                }
            },
            [] { forms::discard<Window>(); },
            [] { return static_cast<QWidget*>(forms::existing<Window>()); }};
}

template <class Window>
void registerWindow(const QString& name) {
    registerWindow(name, opsFor<Window>());
}

}  // namespace flow
