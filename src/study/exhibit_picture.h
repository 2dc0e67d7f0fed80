#pragma once

#include <QImage>
#include <QString>

namespace study {

// An exhibit picture read from the working directory, or why it could not be.
struct ExhibitPicture {
    QImage image;
    QString problem;  // empty when the picture was read

    bool ok() const { return problem.isEmpty(); }
};

// Pictures beyond these would take hundreds of megabytes; no exhibit is anywhere near.
inline constexpr int kMaxExhibitSide = 16384;
inline constexpr qint64 kMaxExhibitPixels = 32LL * 1000 * 1000;

// Reads the picture named as the question bank stores it, relative to the bank's folder
// ("e1.png", "exhibits/e1.png"). A name that is absolute or climbs out of the folder is refused:
// the bank must not reach elsewhere on the disk.
ExhibitPicture readExhibit(const QString& fileName);

}  // namespace study
