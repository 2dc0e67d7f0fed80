// Writes the program's logo as the PNG icons a desktop looks for, one per usual size, drawn by
// the same code the windows draw it with.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "app/logo.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: make_icons OUT_DIR ICON_NAME\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]) + QStringLiteral(".png");
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(side);
        if (!out.mkpath(folder) ||
            !app::logo(side).save(out.filePath(folder + u'/' + name), "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
