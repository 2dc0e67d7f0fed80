#pragma once

#include <QImage>
#include <QString>

namespace bank {

// Draws an exhibit description (title, optional minimum size, monospaced body) as a picture.
QImage renderExhibit(const QString& descriptionFile);

}  // namespace bank
