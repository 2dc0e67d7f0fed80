#pragma once

#include <QDateTime>

namespace app {

// When the exam under way began and how much of its clock it has used; the exam window keeps
// it, the score sheet records it.
struct AttemptClock {
    QDateTime started;
    int secondsUsed = 0;
};

AttemptClock& attemptClock();

}  // namespace app
