#include "app/window_flow.h"

#include <QHash>
#include <QWidget>

#include "app/exam_settings.h"
#include "app/window_names.h"

namespace flow {

namespace {
QHash<QString, WindowOps>& windows() {
    static QHash<QString, WindowOps> table;
    return table;
}

QHash<QString, QString>& openers() {
    static QHash<QString, QString> table;
    return table;
}

// A copy, so a window may register, clear or discard windows while it is being opened.
WindowOps find(const QString& name) {
    return windows().value(name);
}
}  // namespace

void registerWindow(const QString& name, WindowOps ops) {
    windows().insert(name, std::move(ops));
}

void clearWindows() {
    windows().clear();
    openers().clear();
}

bool isRegistered(const QString& name) {
    return windows().contains(name);
}

bool open(const QString& name) {
    const WindowOps ops = find(name);
    if (!ops.show) {
        return false;
    }
    ops.show();
    return true;
}

bool open(const QString& name, const QString& opener) {
    openers().insert(name, opener);
    return open(name);
}

QString openerOf(const QString& name) {
    return openers().value(name);
}

bool returnFrom(const QString& name) {
    const QString opener = openerOf(name);
    if (opener.isEmpty()) {
        return false;
    }
    if (opener == win::MainMenu.id()) {
        return showMainMenu();
    }
    return open(opener);
}

bool showMainMenu() {
    if (examUnderWay()) {
        return false;
    }
    return open(win::MainMenu);
}

void hide(const QString& name) {
    if (QWidget* w = existing(name)) {
        w->hide();
    }
}

void unload(const QString& name) {
    const WindowOps ops = find(name);
    if (ops.unload) {
        ops.unload();
    }
}

void discard(const QString& name) {
    openers().remove(name);
    const WindowOps ops = find(name);
    if (ops.discard) {
        ops.discard();
    }
}

QWidget* existing(const QString& name) {
    const WindowOps ops = find(name);
    return ops.existing ? ops.existing() : nullptr;
}

}  // namespace flow
