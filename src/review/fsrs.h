#pragma once

#include <array>

namespace review {

// The FSRS-6 memory model (21 weights) with its published default weights:
//   0.212, 1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001, 1.8722, 0.1666, 0.796,
//   1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542 (decay)
// desired retention 0.9, maximum interval 36500 days, same-day reviews on, no fuzz.
// It reproduces the memory state of ts-fsrs 5.4.2 (FSRS.next_state) including its rounding to
// 8 decimals, so the numbers agree with it; tests/review/fsrs_reference.js checks that.
//
// Elapsed days: the reference scheduler counts whole calendar days between the two review dates
// (0 for a second review on the same day, which takes the same-day formula). Callers pass that
// whole number to next(). Fractional days are accepted and follow the same formulas, but only
// exactly 0 counts as the same day, so 0.2 days is treated as a (very early) normal review.
//
// Damaged input never gives NaN, infinity or a negative interval:
//  - elapsed days that are NaN or negative count as 0 (same day);
//  - a stability that is NaN or below 0.001 becomes 0.001, above 36500 becomes 36500;
//  - a difficulty outside [1, 10] is clamped to it, a NaN one becomes that of a first Good answer;
//  - a grade outside Again..Easy is clamped to the nearest one.
enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

struct MemoryState {
    double stability = 0;   // days until recall falls to 90%
    double difficulty = 0;  // 1 (easy) to 10 (hard)
};

class Fsrs {
public:
    Fsrs();

    MemoryState first(Grade grade) const;
    MemoryState next(const MemoryState& state, double elapsedDays, Grade grade) const;
    double retrievability(const MemoryState& state, double elapsedDays) const;
    int intervalDays(double stability) const;

    static constexpr double minStability = 0.001;
    static constexpr int maxIntervalDays = 36500;

private:
    MemoryState sane(const MemoryState& state) const;
    double initialDifficulty(int grade) const;
    double recallStability(double d, double s, double r, int grade) const;
    double lapseStability(double d, double s, double r) const;
    double sameDayStability(double s, int grade) const;
    double nextDifficulty(double d, int grade) const;

    std::array<double, 21> w_;
    double factor_;            // of the forgetting curve, from the decay
    double intervalModifier_;  // days per day of stability at the desired retention
};

}  // namespace review
