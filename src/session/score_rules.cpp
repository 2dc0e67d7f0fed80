#include "session/score_rules.h"

#include <cmath>

namespace session {

double examScore(int correct, int questions) {
    if (questions <= 0) {
        return 0.0;
    }
    const double quotient = double(correct) / double(questions);
    return std::floor(quotient * 1000.0);
}

int categoryPercent(int correct, int total) {
    if (total <= 0) {
        return 0;
    }
    const double quotient = double(correct) / double(total);
    return int(std::floor(quotient * 100.0));
}

}  // namespace session
