#include "session/draw_random.h"

#include <chrono>

namespace exam {

std::mt19937_64& drawGenerator() {
    static std::mt19937_64 seeded = [] {
        std::random_device device;
        const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::seed_seq seed{std::uint64_t(now), std::uint64_t(now) >> 32, std::uint64_t(device()),
                           std::uint64_t(device())};
        return std::mt19937_64(seed);
    }();
    return seeded;
}

}  // namespace exam
