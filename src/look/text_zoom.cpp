#include "look/text_zoom.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

#include "look/preferences.h"

namespace look {
namespace {

const char* const kBaseSize = "praxiloBasePointSize";
const QString kZoomKey = QStringLiteral("look/zoom");

// The steps browsers and office programs use, so each press is a visible but small change.
constexpr std::array kSteps{80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
static_assert(kSteps.front() == kSmallestZoom && kSteps.back() == kLargestZoom);

std::optional<int>& cachedZoom() {
    static std::optional<int> zoom;
    return zoom;
}

void resize(QWidget& widget, int percent) {
    const qreal base = widget.property(kBaseSize).toReal();
    if (base <= 0) {
        return;
    }
    QFont font = widget.font();
    font.setPointSizeF(base * percent / 100.0);
    widget.setFont(font);
}

void resizeAll(int percent) {
    for (QWidget* widget : QApplication::allWidgets()) {
        resize(*widget, percent);
    }
}

}  // namespace

int zoomPercent() {
    if (!cachedZoom()) {
        const int stored = preference(kZoomKey, 100).toInt();
        cachedZoom() = std::clamp(stored, kSmallestZoom, kLargestZoom);
    }
    return *cachedZoom();
}

void setZoomPercent(int percent) {
    percent = std::clamp(percent, kSmallestZoom, kLargestZoom);
    const bool changed = percent != zoomPercent();
    cachedZoom() = percent;
    if (!changed) {
        return;
    }
    setPreference(kZoomKey, percent);
    resizeAll(percent);
}

void zoomIn() {
    const int now = zoomPercent();
    const auto* next = std::upper_bound(kSteps.begin(), kSteps.end(), now);
    setZoomPercent(next == kSteps.end() ? kLargestZoom : *next);
}

void zoomOut() {
    const int now = zoomPercent();
    const auto* below = std::lower_bound(kSteps.begin(), kSteps.end(), now);
    setZoomPercent(below == kSteps.begin() ? kSmallestZoom : *std::prev(below));
}

void reloadZoom() {
    const int before = zoomPercent();
    cachedZoom().reset();
    if (zoomPercent() != before) {
        resizeAll(zoomPercent());
    }
}

void followZoom(QWidget& widget) {
    if (widget.property(kBaseSize).isValid()) {
        return;
    }
    widget.setProperty(kBaseSize, widget.font().pointSizeF());
    if (zoomPercent() != 100) {
        resize(widget, zoomPercent());
    }
}

}  // namespace look
