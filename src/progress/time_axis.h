#pragma once

#include <QString>
#include <QtGlobal>

namespace progress {

// The score chart's time axis over attempts that ended between first and last (milliseconds
// since the epoch): padded in proportion to their span, so attempts minutes apart spread across
// the chart, and labelled as finely as that span needs.
struct TimeAxis {
    qint64 from = 0;
    qint64 to = 0;
    QString format;
    int ticks = 5;
};

TimeAxis timeAxis(qint64 first, qint64 last);

}  // namespace progress
