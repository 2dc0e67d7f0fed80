#include "app/module2.h"

#include <QApplication>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/form1.h"
#include "app/forms.h"

namespace app {

void Main() {
    ExamSettings.QuestionsPerExam = edition().questionsPerExam;
    forms::get<Form1>().showMaximized();
}

int run(QApplication& application, const Edition& e) {
    setEdition(e);
    QApplication::setApplicationName(QStringLiteral("Praxilo"));
    QApplication::setApplicationDisplayName(QString());
    // Windows hidden between steps of the exam flow must not end the program.
    application.setQuitOnLastWindowClosed(false);
    guarded([] { Main(); });
    const int code = endRequested() ? requestedExitCode() : QApplication::exec();
    forms::discardAll();
    return code;
}

}  // namespace app
