#include "session/category_quota.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

namespace exam {

std::vector<int> shareOut(const std::vector<int>& sizes, int count) {
    std::vector<int> shares(sizes.size(), 0);
    std::int64_t total = 0;
    for (int size : sizes) {
        total += std::max(size, 0);
    }
    const std::int64_t wanted = std::clamp<std::int64_t>(count, 0, total);
    if (wanted == 0) {
        return shares;
    }
    // Whole parts first, in exact integer arithmetic; remainders decide the rest.
    std::vector<std::int64_t> remainders(sizes.size(), 0);
    std::int64_t given = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::int64_t scaled = wanted * std::max(sizes[i], 0);
        shares[i] = int(scaled / total);
        remainders[i] = scaled % total;
        given += shares[i];
    }
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return remainders[a] > remainders[b]; });
    for (size_t k = 0; given < wanted; k = (k + 1) % order.size()) {
        const size_t i = order[k];
        if (shares[i] < sizes[i]) {
            ++shares[i];
            ++given;
        }
    }
    // Every category with questions gets one when there are enough to go round, taken from
    // the category whose share stands furthest above its exact proportion.
    const auto nonEmpty = std::count_if(sizes.begin(), sizes.end(), [](int s) { return s > 0; });
    if (wanted < nonEmpty) {
        return shares;
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] <= 0 || shares[i] > 0) {
            continue;
        }
        size_t donor = sizes.size();
        double surplus = std::numeric_limits<double>::lowest();
        for (size_t j = 0; j < sizes.size(); ++j) {
            if (shares[j] > 1) {
                const double over = shares[j] - double(wanted) * sizes[j] / double(total);
                if (over > surplus) {
                    surplus = over;
                    donor = j;
                }
            }
        }
        if (donor == sizes.size()) {
            break;
        }
        --shares[donor];
        ++shares[i];
    }
    return shares;
}

}  // namespace exam
