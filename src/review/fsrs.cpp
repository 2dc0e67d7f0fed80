#include "review/fsrs.h"

#include <algorithm>
#include <cmath>

namespace review {

namespace {

constexpr double desiredRetention = 0.9;
constexpr double maxStability = 36500;

// JavaScript's Math.round: halves go up, also for negative numbers.
double roundHalfUp(double x) {
    const double down = std::floor(x);
    return x - down >= 0.5 ? down + 1 : down;
}

// The reference rounds most intermediate results to 8 decimals; doing the same keeps interval
// roundings at .5 from going the other way after many reviews.
double round8(double x) {
    return roundHalfUp(x * 1e8) / 1e8;
}

double clamp(double x, double low, double high) {
    return std::min(std::max(x, low), high);
}

int gradeNumber(Grade grade) {
    return std::clamp(static_cast<int>(grade), 1, 4);
}

}  // namespace

Fsrs::Fsrs()
    : w_{0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
         1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542} {
    // R(t) = (1 + factor * t / S)^-decay, with factor chosen so that R(S) = 0.9.
    const double decay = w_[20];
    factor_ = round8(std::exp(std::log(0.9) / -decay) - 1);
    intervalModifier_ = round8((std::pow(desiredRetention, 1 / -decay) - 1) / factor_);
}

MemoryState Fsrs::sane(const MemoryState& state) const {
    MemoryState out = state;
    out.stability =
        std::isnan(out.stability) ? minStability : clamp(out.stability, minStability, maxStability);
    out.difficulty =
        std::isnan(out.difficulty) ? first(Grade::Good).difficulty : clamp(out.difficulty, 1, 10);
    return out;
}

double Fsrs::initialDifficulty(int grade) const {
    return round8(w_[4] - std::exp((grade - 1) * w_[5]) + 1);
}

MemoryState Fsrs::first(Grade grade) const {
    const int g = gradeNumber(grade);
    return {std::max(w_[g - 1], 0.1), clamp(initialDifficulty(g), 1, 10)};
}

double Fsrs::recallStability(double d, double s, double r, int grade) const {
    const double hardPenalty = grade == 2 ? w_[15] : 1;
    const double easyBonus = grade == 4 ? w_[16] : 1;
    const double growth = std::exp(w_[8]) * (11 - d) * std::pow(s, -w_[9]) *
                          (std::exp((1 - r) * w_[10]) - 1) * hardPenalty * easyBonus;
    return round8(clamp(s * (1 + growth), minStability, maxStability));
}

double Fsrs::lapseStability(double d, double s, double r) const {
    const double afterLapse = round8(clamp(
        w_[11] * std::pow(d, -w_[12]) * (std::pow(s + 1, w_[13]) - 1) * std::exp((1 - r) * w_[14]),
        minStability, maxStability));
    // A lapse never leaves the card more stable than a same-day Again would.
    const double sameDayAgain = round8(s / std::exp(w_[17] * w_[18]));
    return std::min(std::max(sameDayAgain, minStability), afterLapse);
}

double Fsrs::sameDayStability(double s, int grade) const {
    double growth = std::pow(s, -w_[19]) * std::exp(w_[17] * (grade - 3 + w_[18]));
    if (grade >= 2) {
        growth = std::max(growth, 1.0);  // only Again may lower stability on the same day
    }
    return round8(clamp(s * growth, minStability, maxStability));
}

double Fsrs::nextDifficulty(double d, int grade) const {
    const double delta = -w_[6] * (grade - 3);
    // Linear damping: the closer to 10, the smaller the step.
    const double damped = d + round8(delta * (10 - d) / 9);
    // Mean reversion towards the (unclamped) first-Easy difficulty.
    const double reverted = round8(w_[7] * initialDifficulty(4) + (1 - w_[7]) * damped);
    return clamp(reverted, 1, 10);
}

MemoryState Fsrs::next(const MemoryState& state, double elapsedDays, Grade grade) const {
    const MemoryState now = sane(state);
    const double t = std::isnan(elapsedDays) ? 0 : std::max(elapsedDays, 0.0);
    const int g = gradeNumber(grade);
    const double r = retrievability(now, t);

    double stability;
    if (t == 0) {
        stability = sameDayStability(now.stability, g);
    } else if (g == 1) {
        stability = lapseStability(now.difficulty, now.stability, r);
    } else {
        stability = recallStability(now.difficulty, now.stability, r, g);
    }
    return {stability, nextDifficulty(now.difficulty, g)};
}

double Fsrs::retrievability(const MemoryState& state, double elapsedDays) const {
    const double t = std::isnan(elapsedDays) ? 0 : std::max(elapsedDays, 0.0);
    return round8(std::pow(1 + factor_ * t / sane(state).stability, -w_[20]));
}

int Fsrs::intervalDays(double stability) const {
    const double s =
        std::isnan(stability) ? minStability : clamp(stability, minStability, maxStability);
    const double days = std::min(std::max(1.0, roundHalfUp(s * intervalModifier_)),
                                 static_cast<double>(maxIntervalDays));
    return static_cast<int>(days);
}

}  // namespace review
