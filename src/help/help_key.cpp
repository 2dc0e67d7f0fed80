#include "help/help_key.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

#include "app/fatal.h"
#include "app/window_flow.h"
#include "app/window_names.h"

namespace help {
namespace {

// Navigation tells how to move through the menu, an exam and its windows; Certification what
// the intro, the notice and the score report speak of (questions, time, the pass mark,
// categories); Read Me what the program is; the windows added later are on the keys page.
const QHash<QString, QString>& pages() {
    static const QHash<QString, QString> table{
        {win::MainMenu, win::HelpNavigation},
        {win::Intro, win::HelpCertification},
        {win::Notice, win::HelpCertification},
        {win::Exam, win::HelpNavigation},
        {win::Answer, win::HelpNavigation},
        {win::Exhibit, win::HelpNavigation},
        {win::ScoreSheet, win::HelpCertification},
        {win::WrongAnswers, win::HelpNavigation},
        {win::Study, win::HelpNavigation},
        {win::About, win::HelpReadMe},
        {win::Progress, win::HelpKeys},
        {win::CustomExam, win::HelpKeys},
    };
    return table;
}

// Empty where F1 opens nothing: a help page itself.
QString pageFor(const QString& window) {
    return pages().value(window);
}

// The registered window a widget belongs to: its own window, or the one that window opened from.
QWidget* registeredWindowOf(QWidget* widget) {
    for (QWidget* w = widget ? widget->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (flow::isRegistered(w->objectName())) {
            return w;
        }
    }
    return nullptr;
}

class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() != Qt::Key_F1 || (key.modifiers() & ~Qt::KeypadModifier) != 0) {
            return false;
        }
        QWidget* window = registeredWindowOf(static_cast<QWidget*>(watched));
        const QString page = window ? pageFor(window->objectName()) : QString();
        if (!page.isEmpty()) {
            app::guarded([&] { flow::open(page, window->objectName()); });
        }
        return true;
    }
};

}  // namespace

void installHelpKey() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    const QString name = QStringLiteral("praxiloHelpKey");
    if (!application || application->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        return;
    }
    auto* key = new HelpKey(application);
    key->setObjectName(name);
    application->installEventFilter(key);
}

}  // namespace help
