#include "exam/clock_warning.h"

#include <QAccessible>
#include <QLabel>
#include <array>

#include "look/inks.h"

namespace exam {
namespace {

struct Threshold {
    int seconds;
    int minutes;
    const char* text;
};

constexpr std::array<Threshold, 2> kThresholds{
    {{300, 5, "5 minutes left"}, {60, 1, "1 minute left"}}};

int levelAt(int secondsLeft) {
    int level = 0;
    for (const Threshold& t : kThresholds) {
        level += secondsLeft >= 0 && secondsLeft <= t.seconds ? 1 : 0;
    }
    return level;
}

AnnouncementLog*& currentLog() {
    static AnnouncementLog* log = nullptr;
    return log;
}

}  // namespace

AnnouncementLog::AnnouncementLog() {
    currentLog() = this;
}

AnnouncementLog::~AnnouncementLog() {
    currentLog() = nullptr;
}

void announce(QWidget& source, const QString& text) {
    // Qt 6.4 has no announcement event: the description change reaches a screen reader that
    // follows the label, the alert one that listens for alerts.
    source.setAccessibleDescription(text);
    QAccessibleEvent alert(&source, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    if (AnnouncementLog* log = currentLog()) {
        log->heard << source.objectName() + QStringLiteral(": ") + text;
    }
}

void ClockWarning::show(QLabel& clock, int secondsLeft, bool speak) {
    const int level = levelAt(secondsLeft);
    if (level == level_) {
        return;
    }
    const int was = level_;
    level_ = level;
    repaint(clock);
    if (speak && level > was) {
        announce(clock, QString::fromLatin1(kThresholds[size_t(level - 1)].text));
    }
}

void ClockWarning::repaint(QLabel& clock) const {
    if (level_ > 0) {
        look::paintText(clock, look::Ink::Warning);
    } else {
        clock.setPalette(QPalette());
    }
}

int ClockWarning::minutesWarned() const {
    return level_ > 0 ? kThresholds[size_t(level_ - 1)].minutes : 0;
}

}  // namespace exam
