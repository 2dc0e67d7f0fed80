// The reference for start-up: a window with a menu bar shown maximized and nothing else, built
// with the same flags as the programs.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    window.showMaximized();
    return QApplication::exec();
}
