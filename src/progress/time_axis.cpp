#include "progress/time_axis.h"

#include <algorithm>

namespace progress {
namespace {

constexpr qint64 kMinute = 60 * 1000;
constexpr qint64 kHour = 60 * kMinute;
constexpr qint64 kDay = 24 * kHour;

}  // namespace

TimeAxis timeAxis(qint64 first, qint64 last) {
    if (last < first) {
        std::swap(first, last);
    }
    // The first and last points whole, not cut in half by the chart's edges; a lone attempt in
    // the middle of a couple of minutes.
    const qint64 margin = std::max((last - first) / 20, kMinute);
    TimeAxis axis;
    axis.from = first - margin;
    axis.to = last + margin;
    // Labels as short as the span allows, so they are never cut, yet never alike.
    const qint64 span = axis.to - axis.from;
    if (span <= 15 * kMinute) {
        axis.format = QStringLiteral("HH:mm:ss");
    } else if (span <= kDay) {
        axis.format = QStringLiteral("HH:mm");
    } else if (span <= 7 * kDay) {
        axis.format = QStringLiteral("d MMM HH:mm");
        axis.ticks = 3;
    } else {
        axis.format = QStringLiteral("d MMM yy");
    }
    return axis;
}

}  // namespace progress
