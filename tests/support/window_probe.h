#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "app/edition.h"

// Looking at and pressing the controls of real windows, the way every window suite does.
namespace probe {

// A missing control ends the run at once: each later check would read through a null pointer.
template <class T = QWidget>
T* control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
    }
    return found;
}

// The text a label, a line box or a text box shows.
inline QString textOf(QWidget& window, const QString& name) {
    QWidget* w = control(window, name);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        return line->text();
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        return plain->toPlainText();
    }
    return QStringLiteral("<%1 holds no text>").arg(name);
}

// Through the window system, so a hidden or disabled button is not pressed.
inline void click(QWidget& window, const QString& name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

inline void settleDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline const app::Edition& editionNamed(const QString& name) {
    return name == QLatin1String("demo") ? app::demoEdition() : app::fullEdition();
}

// Column "edition" with one row per edition.
inline void addEditionRows() {
    QTest::addColumn<QString>("edition");
    for (const char* edition : {"full", "demo"}) {
        QTest::newRow(edition) << QString::fromLatin1(edition);
    }
}

inline QWidgetList visibleTopLevels() {
    QWidgetList out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            out << w;
        }
    }
    return out;
}

// For each suite's cleanup(): a window still up after a test would stand over the next one.
// Leftovers are hidden, so the next test reports only its own.
inline void verifyNoWindowLeft() {
    QStringList left;
    for (QWidget* w : visibleTopLevels()) {
        left << QStringLiteral("%1 %2 \"%3\"")
                    .arg(QLatin1String(w->metaObject()->className()), w->objectName(),
                         w->windowTitle());
        w->hide();
    }
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("left visible: ") + left.join(", ")));
}

}  // namespace probe
