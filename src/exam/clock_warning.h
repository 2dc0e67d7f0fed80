#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace exam {

// Tells a screen reader something that needs no answer: the text becomes the source's
// description, and an alert is raised on it. No box opens, no focus moves.
void announce(QWidget& source, const QString& text);

// Test seam: while a log lives, each announcement is also written into it ("lblClock: 5 minutes
// left"). A test run has no screen reader, so Qt passes the accessibility events to nobody.
class AnnouncementLog {
public:
    AnnouncementLog();
    ~AnnouncementLog();
    AnnouncementLog(const AnnouncementLog&) = delete;
    AnnouncementLog& operator=(const AnnouncementLog&) = delete;

    QStringList heard;
};

// A count-down clock's warnings: at 5 minutes and at 1 minute left its text turns the look's
// warning colour, and each is announced once.
class ClockWarning {
public:
    // secondsLeft < 0 for a clock that counts up: it never warns. speak is false where the
    // clock is only being shown as it stands (opening, resuming): the colour comes at once, and
    // the warnings already passed are not announced late.
    void show(QLabel& clock, int secondsLeft, bool speak);
    // The warning colour of the look now in use.
    void repaint(QLabel& clock) const;
    // 5, 1, or 0 before the first warning.
    int minutesWarned() const;

private:
    int level_ = 0;  // warnings passed: 0, 1 (5 minutes), 2 (1 minute)
};

}  // namespace exam
