#include <QApplication>

#include "app/edition.h"
#include "app/module2.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return app::run(application, app::fullEdition());
}
