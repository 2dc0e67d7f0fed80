#include <QApplication>

#include "app/edition.h"
#include "app/module2.h"
#include "program_windows.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    registerProgramWindows();
    return app::run(application, app::fullEdition());
}
