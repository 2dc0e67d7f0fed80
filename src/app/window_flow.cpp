#include "app/window_flow.h"

#include <QHash>

namespace flow {

namespace {
QHash<QString, Opener>& openers() {
    static QHash<QString, Opener> table;
    return table;
}
}  // namespace

void setOpener(const QString& window, Opener opener) {
    openers().insert(window, std::move(opener));
}

void clearOpeners() {
    openers().clear();
}

bool open(const QString& window) {
    const auto it = openers().constFind(window);
    if (it == openers().constEnd()) {
        return false;
    }
    // Copy first: opening a window may register or clear openers.
    const Opener opener = it.value();
    opener();
    return true;
}

}  // namespace flow
