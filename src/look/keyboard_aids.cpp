#include "look/keyboard_aids.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "look/text_zoom.h"

namespace look {
namespace {

const char* const kRingName = "praxiloFocusRing";

// Drawn over its parent, whose own painting shows no focus.
class FocusRing : public QWidget {
public:
    explicit FocusRing(QWidget* parent) : QWidget(parent) {
        setObjectName(QLatin1String(kRingName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

bool drawsNoFocus(const QWidget& widget) {
    return qobject_cast<const QAbstractScrollArea*>(&widget) ||
           qobject_cast<const QLabel*>(&widget);
}

void showRing(QWidget& widget, bool shown) {
    auto* ring = widget.findChild<FocusRing*>(QLatin1String(kRingName), Qt::FindDirectChildrenOnly);
    if (!shown) {
        if (ring) {
            ring->hide();
        }
        return;
    }
    if (!ring) {
        ring = new FocusRing(&widget);
    }
    ring->setGeometry(widget.rect());
    ring->raise();
    ring->show();
}

bool zoomKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods != Qt::ControlModifier) {
        return false;
    }
    switch (key.key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomIn();
            return true;
        case Qt::Key_Minus:
            zoomOut();
            return true;
        case Qt::Key_0:
            setZoomPercent(100);
            return true;
        default:
            return false;
    }
}

class KeyboardAids : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) {
            return false;
        }
        auto& widget = static_cast<QWidget&>(*watched);
        switch (event->type()) {
            case QEvent::KeyPress:
                return zoomKey(static_cast<QKeyEvent&>(*event));
            case QEvent::FocusIn:
            case QEvent::FocusOut:
                if (drawsNoFocus(widget)) {
                    showRing(widget, event->type() == QEvent::FocusIn);
                }
                return false;
            case QEvent::Resize:
                if (widget.hasFocus() && drawsNoFocus(widget)) {
                    showRing(widget, true);
                }
                return false;
            default:
                return false;
        }
    }
};

}  // namespace

void installKeyboardAids(QApplication& application) {
    const QString name = QStringLiteral("praxiloKeyboardAids");
    if (application.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        return;
    }
    auto* aids = new KeyboardAids(&application);
    aids->setObjectName(name);
    application.installEventFilter(aids);
}

}  // namespace look
