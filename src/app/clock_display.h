#pragma once

#include <QString>

namespace app {

// What a clock label reads before its first tick.
inline const QString kClockDesignText = QStringLiteral("ClockDisplay");

// Hours, minutes and seconds, each with at least two digits, joined by ":" (01:59:59).
// Hours are not limited to two digits; a negative count shows as 00:00:00.
QString clockText(qint64 seconds);

}  // namespace app
