#include "item_analysis.h"

#include <algorithm>
#include <cmath>

namespace bank {
namespace {

// Seconds are counted to the second up to an hour; a longer stay counts as an hour.
constexpr int kSecondBins = 3601;

// Pearson's r from sums over n pairs; none when either side does not vary.
std::optional<double> correlation(double n, double sx, double sxx, double sy, double syy,
                                  double sxy) {
    const double vx = n * sxx - sx * sx;
    const double vy = n * syy - sy * sy;
    if (n < 2 || vx <= 1e-9 || vy <= 1e-9) {
        return std::nullopt;
    }
    return (n * sxy - sx * sy) / std::sqrt(vx * vy);
}

int scoreOf(const std::vector<ItemResponse>& attempt) {
    return int(std::count_if(attempt.begin(), attempt.end(),
                             [](const ItemResponse& r) { return r.correct; }));
}

}  // namespace

struct ItemAnalysis::Sums {
    // Over the attempts that drew the question: x right (0/1), X the attempt's score.
    double n = 0, x = 0, X = 0, XX = 0, xX = 0;
    // The same over those whose letters are known, and per choice.
    double kn = 0, kx = 0, kX = 0, kXX = 0, kxX = 0;
    std::array<double, 5> picked{}, pickedX{}, pickedRight{};
    // Over the attempts that drew every question.
    double cx = 0, cxX = 0;
    // Groups.
    double upper = 0, upperRight = 0, lower = 0, lowerRight = 0, upperKnown = 0;
    std::array<double, 5> upperPicked{};
    std::vector<int> seconds;  // a count per second
    int timed = 0;
};

ItemAnalysis::ItemAnalysis(int questions) : questions_(questions), sums_(size_t(questions)) {}

ItemAnalysis::~ItemAnalysis() = default;

void ItemAnalysis::count(const std::vector<ItemResponse>& attempt) {
    const int X = scoreOf(attempt);
    scores_.push_back(X);
    sumX_ += X;
    sumXX_ += double(X) * X;
    const bool complete = int(attempt.size()) == questions_;
    if (complete) {
        ++complete_;
        completeX_ += X;
        completeXX_ += double(X) * X;
    }
    for (const ItemResponse& r : attempt) {
        if (r.item < 0 || r.item >= questions_) {
            continue;
        }
        Sums& s = sums_[size_t(r.item)];
        const double x = r.correct ? 1 : 0;
        s.n += 1;
        s.x += x;
        s.X += X;
        s.XX += double(X) * X;
        s.xX += x * X;
        if (complete) {
            s.cx += x;
            s.cxX += x * X;
        }
        if (r.chosen) {
            s.kn += 1;
            s.kx += x;
            s.kX += X;
            s.kXX += double(X) * X;
            s.kxX += x * X;
            for (size_t c = 0; c < 5; ++c) {
                if (*r.chosen & (1u << c)) {
                    s.picked[c] += 1;
                    s.pickedX[c] += X;
                    s.pickedRight[c] += x;
                }
            }
        }
        if (r.seconds && *r.seconds >= 0) {
            if (s.seconds.empty()) {
                s.seconds.assign(kSecondBins, 0);
            }
            ++s.seconds[size_t(std::min(*r.seconds, kSecondBins - 1))];
            ++s.timed;
        }
    }
}

// The upper and lower 27 % by score; attempts tied at a border all go with it.
void ItemAnalysis::placeGroups() {
    std::vector<int> sorted = scores_;
    std::sort(sorted.begin(), sorted.end());
    const size_t group = std::max<size_t>(1, size_t(std::lround(0.27 * double(sorted.size()))));
    lowerTo_ = sorted.empty() ? 0 : sorted[group - 1];
    upperFrom_ = sorted.empty() ? 0 : sorted[sorted.size() - group];
    placed_ = true;
}

void ItemAnalysis::countGroups(const std::vector<ItemResponse>& attempt) {
    if (!placed_) {
        placeGroups();
    }
    const int X = scoreOf(attempt);
    // Scores all alike leave no one above or below anyone.
    if (upperFrom_ <= lowerTo_) {
        return;
    }
    const bool upper = X >= upperFrom_;
    const bool lower = X <= lowerTo_;
    if (!upper && !lower) {
        return;
    }
    for (const ItemResponse& r : attempt) {
        if (r.item < 0 || r.item >= questions_) {
            continue;
        }
        Sums& s = sums_[size_t(r.item)];
        if (lower) {
            s.lower += 1;
            s.lowerRight += r.correct ? 1 : 0;
            continue;
        }
        s.upper += 1;
        s.upperRight += r.correct ? 1 : 0;
        if (r.chosen) {
            s.upperKnown += 1;
            for (size_t c = 0; c < 5; ++c) {
                if (*r.chosen & (1u << c)) {
                    s.upperPicked[c] += 1;
                }
            }
        }
    }
}

ExamFigures ItemAnalysis::figures() const {
    ExamFigures exam;
    const double n = double(scores_.size());
    exam.attempts = int(scores_.size());
    if (n > 0) {
        exam.meanScore = sumX_ / n;
    }
    if (n > 1) {
        exam.sdScore = std::sqrt(std::max(0.0, (sumXX_ - sumX_ * sumX_ / n) / (n - 1)));
    }

    // KR-20 and alpha without each question, from population moments of the complete attempts
    // (the sample's n - 1 cancels out of every ratio).
    const double cn = complete_;
    const double k = questions_;
    double sumPQ = 0;
    double varX = 0;
    if (cn >= 2 && k >= 2) {
        const double meanX = completeX_ / cn;
        varX = completeXX_ / cn - meanX * meanX;
        for (const Sums& s : sums_) {
            const double p = s.cx / cn;
            sumPQ += p * (1 - p);
        }
        if (varX > 1e-12) {
            exam.kr20 = k / (k - 1) * (1 - sumPQ / varX);
            if (n > 1) {
                exam.sem = exam.sdScore * std::sqrt(std::max(0.0, 1 - *exam.kr20));
            }
        }
        for (const Sums& s : sums_) {
            const double p = s.cx / cn;
            const double covXi = s.cxX / cn - p * meanX;
            const double varRest = varX + p * (1 - p) - 2 * covXi;
            exam.alphaIfDropped.push_back(
                k > 2 && varRest > 1e-12
                    ? std::optional<double>((k - 1) / (k - 2) *
                                            (1 - (sumPQ - p * (1 - p)) / varRest))
                    : std::nullopt);
        }
    } else {
        exam.alphaIfDropped.assign(size_t(questions_), std::nullopt);
    }

    for (const Sums& s : sums_) {
        ItemFigures item;
        item.attempts = int(s.n);
        if (s.n > 0) {
            item.facility = s.x / s.n;
        }
        // The rest score y = X - x: sums of y, y² and x·y follow from those of x and X.
        item.pointBiserial =
            correlation(s.n, s.x, s.x, s.X - s.x, s.XX - 2 * s.xX + s.x, s.xX - s.x);
        if (s.upper > 0 && s.lower > 0) {
            item.discrimination = s.upperRight / s.upper - s.lowerRight / s.lower;
        }
        item.knownChoices = int(s.kn);
        const double ky = s.kX - s.kx;
        const double kyy = s.kXX - 2 * s.kxX + s.kx;
        for (size_t c = 0; c < 5; ++c) {
            if (s.kn > 0) {
                item.choiceShare[c] = s.picked[c] / s.kn;
            }
            item.choiceRestCorrelation[c] = correlation(s.kn, s.picked[c], s.picked[c], ky, kyy,
                                                        s.pickedX[c] - s.pickedRight[c]);
            if (s.upperKnown > 0) {
                item.upperChoiceShare[c] = s.upperPicked[c] / s.upperKnown;
            }
        }
        if (s.timed > 0) {
            // The middle one, or the mean of the middle two.
            const auto at = [&s](int rank) {
                int seen = 0;
                for (size_t second = 0; second < s.seconds.size(); ++second) {
                    seen += s.seconds[second];
                    if (seen > rank) {
                        return double(second);
                    }
                }
                return double(s.seconds.size() - 1);
            };
            item.medianSeconds = (at((s.timed - 1) / 2) + at(s.timed / 2)) / 2;
        }
        exam.items.push_back(item);
    }
    return exam;
}

}  // namespace bank
