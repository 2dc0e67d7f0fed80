#pragma once

#include <QPixmap>

namespace exam {
// The 104 x 33 picture on the exhibit button, drawn so it needs no file beside the program.
QPixmap exhibitPicture();
}  // namespace exam
