#include "start/startup.h"

#include <QApplication>
#include <cstdio>

#include "app/database_lock.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/start_offer.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/journal.h"
#include "look/keyboard_aids.h"
#include "look/look.h"
#include "look/text_zoom.h"
#include "start/bank_folder.h"
#include "start/dialog.h"
#include "start/form1.h"
#include "start/frmsplash.h"

namespace app {

void Main() {
    ExamSettings.QuestionsPerExam = edition().questionsPerExam;
    if (runStartOffer()) {
        return;
    }
    // Start-up creates the menu; everything after reaches it through the registry.
    forms::get<Form1>().Show();
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
    QString lookProblem;
    look::apply(look::chosenLook(QApplication::arguments(), &lookProblem));
    if (!lookProblem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(lookProblem));
    }
    look::installKeyboardAids(application);
    registerShellWindows();
    // Held until the program ends. A second program on the same file is turned away before it
    // shows any window, and before it looks at, renews or cleans a user's copy.
    DatabaseLock lock;
    if (const QString problem = useBankFolder(e, lock); !problem.isEmpty()) {
        prompts::MsgBox(problem, prompts::Buttons::OkOnly, prompts::Icon::Critical);
        return 1;
    }
    guarded([] { Main(); });
    const int code = endRequested() ? requestedExitCode() : QApplication::exec();
    forms::discardAll();
    examdb::foldJournal(e.databaseFile);
    return code;
}

}  // namespace app
