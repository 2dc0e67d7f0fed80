#pragma once

#include <random>

namespace exam {

// Seeded once per process from the clock and the system's entropy; every draw, fixed or
// custom, goes on from where the last one stopped.
std::mt19937_64& drawGenerator();

}  // namespace exam
