#include "study/exhibit_picture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace study {
namespace {

// A picture is named relative to the bank's folder (the working folder), sub-folders allowed,
// "\\" taken for "/" as banks written elsewhere use it. Absolute names, "." and ".." parts and
// ':' (drive letters, Qt's resource paths) are refused: nothing outside the bank is shown.
// Empty when refused.
QString pathInBankFolder(const QString& name) {
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == u"." || part == u".." || part.contains(u':')) {
            return {};
        }
    }
    return parts.join(u'/');
}

// A link inside the folder may still lead out of it.
bool staysInBankFolder(const QFileInfo& file) {
    const QString folder = QDir::current().canonicalPath() + u'/';
    return file.canonicalFilePath().startsWith(folder);
}

ExhibitPicture refused(const QString& why) {
    return {QImage(), why};
}

}  // namespace

ExhibitPicture readExhibit(const QString& fileName) {
    if (fileName.isEmpty()) {
        return refused(QStringLiteral("no picture is named"));
    }
    const QString outside = QStringLiteral("only a picture inside the bank's folder can be shown");
    const QString path = pathInBankFolder(fileName);
    if (path.isEmpty()) {
        return refused(outside);
    }
    const QFileInfo file(path);
    if (!file.exists()) {
        return refused(QStringLiteral("the file was not found"));
    }
    if (!staysInBankFolder(file)) {
        return refused(outside);
    }
    if (!file.isFile() || !file.isReadable()) {
        return refused(QStringLiteral("the file cannot be read"));
    }
    if (file.size() == 0) {
        return refused(QStringLiteral("the file is empty"));
    }

    QImageReader reader(path);
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
