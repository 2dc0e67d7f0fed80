#pragma once

#include <QString>

namespace app {

// A name from a candidate or a bank as a prompt, a title or a list shows it: on one line and
// cut short with an ellipsis, so a name of thousands of characters can neither push a box's
// buttons off the screen nor slow its layout. The full name stays in the data.
inline constexpr qsizetype kLongestShownName = 48;
QString shortName(const QString& name, qsizetype longest = kLongestShownName);

}  // namespace app
