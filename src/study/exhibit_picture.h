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

// Reads the picture named exactly as the question bank stores it. Only a bare file name is
// accepted: the bank names files beside the database, and a name with folders in it must not
// reach elsewhere on the disk.
ExhibitPicture readExhibit(const QString& fileName);

}  // namespace study
