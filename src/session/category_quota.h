#pragma once

#include <vector>

namespace exam {

// How many questions each chosen category gives to a custom exam of count questions: a share
// in proportion to its size, rounded so the shares add up to count exactly (largest remainders
// first, ties to the earlier category), every category with questions at least one when count
// allows, and none more than it holds. count is clamped to 0..the sum of the sizes.
std::vector<int> shareOut(const std::vector<int>& sizes, int count);

}  // namespace exam
