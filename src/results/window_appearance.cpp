#include "results/window_appearance.h"

#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace results {

void useReportBackground(QWidget& window) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void showMaximizedOnScreen(QWidget& window) {
    if (!window.isVisible()) {
        if (const QScreen* screen = window.screen()) {
            window.setGeometry(screen->availableGeometry());
        }
    }
    window.showMaximized();
    window.raise();
    window.activateWindow();
}

}  // namespace results
