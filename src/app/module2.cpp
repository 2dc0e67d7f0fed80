#include "app/module2.h"

#include <QApplication>
#include <QScreen>

#include "app/database_lock.h"
#include "app/dialog.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/form1.h"
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "examdb/journal.h"

namespace app {

void Main() {
    ExamSettings.QuestionsPerExam = edition().questionsPerExam;
    // Start-up creates the menu; everything after reaches it through the registry.
    Form1& menu = forms::get<Form1>();
    // Without a window manager "maximized" is only a wish; fill the screen ourselves as well.
    if (const QScreen* screen = menu.screen()) {
        menu.setGeometry(screen->availableGeometry());
    }
    menu.showMaximized();
}

void registerShellWindows() {
    flow::registerWindow<Form1>(win::MainMenu);
    flow::registerWindow<frmSplash>(win::Intro);
    flow::registerWindow<Dialog>(win::Notice);
}

int run(QApplication& application, const Edition& e) {
    setEdition(e);
    QApplication::setApplicationName(QStringLiteral("Praxilo"));
    QApplication::setApplicationDisplayName(QString());
    // Windows hidden between steps of the exam flow must not end the program.
    application.setQuitOnLastWindowClosed(false);
    registerShellWindows();
    // Held until the program ends; a second program on the same file is turned away before
    // it shows any window.
    DatabaseLock lock;
    if (!lock.claim(e.databaseFile)) {
        prompts::MsgBox(databaseInUseText(e.databaseFile), prompts::Buttons::OkOnly,
                        prompts::Icon::Critical);
        return 1;
    }
    guarded([] { Main(); });
    const int code = endRequested() ? requestedExitCode() : QApplication::exec();
    forms::discardAll();
    examdb::foldJournal(e.databaseFile);
    return code;
}

}  // namespace app
