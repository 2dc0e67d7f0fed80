#include <QApplication>

#include "app/edition.h"
#include "program_windows.h"
#include "start/startup.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    registerProgramWindows();
    return app::run(application, app::fullEdition());
}
