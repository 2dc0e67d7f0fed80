#pragma once

#include <QPixmap>

namespace app {
// The product logo, drawn rather than shipped so it stays sharp at any size.
QPixmap logo(int side);
}  // namespace app
