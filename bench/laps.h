#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Per-iteration times of a benchmark run with manual timing, so that its report can give the
// median, minimum and maximum of single actions next to Google Benchmark's mean.
class Laps {
public:
    template <class Action>
    void time(benchmark::State& state, Action&& action) {
        const auto start = std::chrono::steady_clock::now();
        action();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        seconds_.push_back(took.count());
    }

    void report(benchmark::State& state) {
        if (seconds_.empty()) {
            return;
        }
        std::sort(seconds_.begin(), seconds_.end());
        const size_t n = seconds_.size();
        const double median =
            n % 2 == 1 ? seconds_[n / 2] : (seconds_[n / 2 - 1] + seconds_[n / 2]) / 2;
        state.counters["median_ms"] = median * 1e3;
        state.counters["min_ms"] = seconds_.front() * 1e3;
        state.counters["max_ms"] = seconds_.back() * 1e3;
    }

private:
    std::vector<double> seconds_;
};
