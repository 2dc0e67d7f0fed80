#include "diagram_renderer.h"

#include <QProcess>
#include <QStandardPaths>

#include "input_file.h"
#include "source_fields.h"

namespace bank {

QImage renderDiagram(const QString& dotFile) {
    if (const QString why = notAFile(dotFile); !why.isEmpty()) {
        throw SourceError(dotFile, 0, why);
    }
    const QString dot = QStandardPaths::findExecutable(QStringLiteral("dot"));
    if (dot.isEmpty()) {
        throw SourceError(dotFile, 0,
                          QStringLiteral("needs Graphviz's dot to be drawn (scripts/deps "
                                         "installs it)"));
    }
    QProcess process;
    // 96 dots per inch: the diagram's text the size of the exam window's at 100 %.
    process.start(dot, {QStringLiteral("-Tpng"), QStringLiteral("-Gdpi=96"), dotFile});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        throw SourceError(dotFile, 0,
                          QStringLiteral("cannot be drawn by dot: ") +
                              QString::fromUtf8(process.readAllStandardError()).trimmed());
    }
    QImage image;
    if (!image.loadFromData(process.readAllStandardOutput(), "PNG")) {
        throw SourceError(dotFile, 0, QStringLiteral("dot drew no picture of it"));
    }
    return image;
}

}  // namespace bank
