#include "app/attempt_clock.h"

namespace app {

AttemptClock& attemptClock() {
    static AttemptClock clock;
    return clock;
}

}  // namespace app
