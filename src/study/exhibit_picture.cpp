#include "study/exhibit_picture.h"

#include <QFileInfo>
#include <QImageReader>

namespace study {
namespace {

bool isBareFileName(const QString& name) {
    if (name == u"." || name == u"..") {
        return false;
    }
    // ':' also keeps Qt's resource paths (":/...") and drive letters out.
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':') {
            return false;
        }
    }
    return true;
}

ExhibitPicture refused(const QString& why) {
    return {QImage(), why};
}

}  // namespace

ExhibitPicture readExhibit(const QString& fileName) {
    if (fileName.isEmpty()) {
        return refused(QStringLiteral("no picture is named"));
    }
    if (!isBareFileName(fileName)) {
        return refused(QStringLiteral("only a file name without folders can be shown"));
    }
    const QFileInfo file(fileName);
    if (!file.exists()) {
        return refused(QStringLiteral("the file was not found"));
    }
    if (!file.isFile() || !file.isReadable()) {
        return refused(QStringLiteral("the file cannot be read"));
    }
    if (file.size() == 0) {
        return refused(QStringLiteral("the file is empty"));
    }

    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    const QString notAPicture = QStringLiteral("the file is not a picture this program can read");
    if (!reader.canRead()) {
        return refused(notAPicture);
    }
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxExhibitSide || size.height() > kMaxExhibitSide ||
                           qint64(size.width()) * size.height() > kMaxExhibitPixels)) {
        return refused(QStringLiteral("the picture is too large to show"));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return refused(notAPicture);
    }
    return {std::move(image), QString()};
}

}  // namespace study
