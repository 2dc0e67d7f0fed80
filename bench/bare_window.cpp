// The reference for start-up: a window with a menu bar shown maximized and nothing else, built
// with the same flags as the programs.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    // Fill the screen as the programs do: without a window manager (Xvfb) "maximized" alone
    // leaves a small window, whose pixel buffer is a hundredth of a full screen's.
    if (const QScreen* screen = window.screen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    return QApplication::exec();
}
