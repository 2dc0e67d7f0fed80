#include "app/clock_display.h"

namespace app {

QString clockText(qint64 seconds) {
    const qint64 s = seconds < 0 ? 0 : seconds;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace app
