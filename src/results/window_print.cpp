#include "results/window_print.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWidget>

#include "app/prompts.h"

namespace results {
namespace {

bool paintImage(const QPixmap& image, QPrinter& printer) {
    printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(page.topLeft(), size), image);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

QString documentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return folder;
}

// A new file named after the window and the moment, so earlier printouts are never replaced.
QString pdfPathFor(const QWidget& window, const QString& folder) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|]"));
    QString title = window.windowTitle().replace(unsafe, QStringLiteral("-")).trimmed();
    if (title.isEmpty()) {
        title = QStringLiteral("Praxilo");
    }
    const QString stem =
        title + QLatin1Char(' ') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = QDir(folder).filePath(stem + QStringLiteral(" (%1).pdf").arg(n));
    }
    return path;
}

PrintOutcome saveAsPdf(const QPixmap& image, const QWidget& window) {
    const QString folder = documentsFolder();
    if (!QDir().mkpath(folder)) {
        return {PrintOutcome::Kind::PdfFailed, QDir::toNativeSeparators(folder)};
    }
    const QString path = pdfPathFor(window, folder);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(window.windowTitle());
    if (!paintImage(image, printer) || QFileInfo(path).size() == 0) {
        return {PrintOutcome::Kind::PdfFailed, QDir::toNativeSeparators(path)};
    }
    return {PrintOutcome::Kind::SavedAsPdf, QDir::toNativeSeparators(path)};
}

}  // namespace

PrintOutcome printWindow(QWidget& window) {
    const QPixmap image = window.grab();
    // Without a printer Qt paints into nothing and reports success, so look first.
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) {
        return saveAsPdf(image, window);
    }
    QPrinter printer(target, QPrinter::HighResolution);
    printer.setDocName(window.windowTitle());
    if (!paintImage(image, printer)) {
        return {PrintOutcome::Kind::PrintFailed, target.printerName()};
    }
    return {PrintOutcome::Kind::Printed, target.printerName()};
}

void printWindowAndReport(QWidget& window) {
    const PrintOutcome outcome = printWindow(window);
    switch (outcome.kind) {
        case PrintOutcome::Kind::Printed:
            return;
        case PrintOutcome::Kind::SavedAsPdf:
            prompts::MsgBox(QStringLiteral("No printer is installed. The page was saved as a "
                                           "PDF file:\n%1")
                                .arg(outcome.detail),
                            prompts::Buttons::OkOnly, prompts::Icon::Information);
            return;
        case PrintOutcome::Kind::PrintFailed:
            prompts::MsgBox(QStringLiteral("The page could not be printed on the printer \"%1\".")
                                .arg(outcome.detail),
                            prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
            return;
        case PrintOutcome::Kind::PdfFailed:
            prompts::MsgBox(QStringLiteral("No printer is installed, and the page could not be "
                                           "saved as a PDF file:\n%1")
                                .arg(outcome.detail),
                            prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
            return;
    }
}

}  // namespace results
