#include "review/readiness.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "session/score_rules.h"

namespace review {

namespace {

// The score as the score sheet computes it: the order of operations matters at the pass mark.
int scoreOf(int correct, int questions) {
    return int(session::examScore(correct, questions));
}

// As many answers as the flat prior is worth, so one category alone gets exactly Beta(1, 1).
constexpr double priorWeight = 2.0;

double logBeta(double a, double b) {
    return std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b);
}

// P(k right of n) for k = 0..n when the share right is Beta(a, b); in logs so a category
// answered thousands of times neither overflows nor loses its tail.
std::vector<double> betaBinomial(int n, double a, double b) {
    std::vector<double> p(size_t(n) + 1);
    const double base = std::lgamma(n + 1.0) - logBeta(a, b);
    double top = -std::numeric_limits<double>::infinity();
    for (int k = 0; k <= n; ++k) {
        p[size_t(k)] =
            base - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) + logBeta(k + a, n - k + b);
        top = std::max(top, p[size_t(k)]);
    }
    // Scaled by the largest term, so at least one is 1 and the sum is never 0.
    double sum = 0;
    for (double& v : p) {
        v = std::exp(v - top);
        sum += v;
    }
    for (double& v : p) {
        v /= sum;
    }
    return p;
}

std::vector<double> convolve(const std::vector<double>& x, const std::vector<double>& y) {
    std::vector<double> z(x.size() + y.size() - 1, 0.0);
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i] == 0) {
            continue;
        }
        for (size_t j = 0; j < y.size(); ++j) {
            z[i + j] += x[i] * y[j];
        }
    }
    return z;
}

// The score at or below which a new draw lands with probability at least q.
int percentileScore(const std::vector<double>& total, int questions, double q) {
    double below = 0;
    for (int t = 0; t <= questions; ++t) {
        below += total[size_t(t)];
        if (below >= q) {
            return scoreOf(t, questions);
        }
    }
    return 1000;
}

}  // namespace

Readiness estimateReadiness(const std::vector<CategoryRecord>& categories, int passMark,
                            int minimumAnswers) {
    passMark = std::clamp(passMark, 0, 1000);
    minimumAnswers = std::max(minimumAnswers, 0);

    struct Counted {
        int blueprint;
        int right;
        int wrong;
    };
    std::vector<Counted> drawn;
    Readiness r;
    long long questions = 0;
    long long answers = 0;
    for (const CategoryRecord& c : categories) {
        if (c.blueprint <= 0) {
            continue;
        }
        const int answered = std::max(c.answered, 0);
        const int right = std::clamp(c.right, 0, answered);
        questions += c.blueprint;
        answers += answered;
        if (answered == 0) {
            r.unanswered << c.name;
        }
        drawn.push_back({c.blueprint, right, answered - right});
    }
    r.firstAnswers = int(std::min<long long>(answers, std::numeric_limits<int>::max()));
    if (questions == 0 || questions > maxQuestions) {
        r.unanswered.clear();
        return r;
    }
    r.moreAnswersNeeded = std::max(minimumAnswers - r.firstAnswers, 0);
    if (r.moreAnswersNeeded > 0 || !r.unanswered.isEmpty()) {
        return r;
    }

    const int n = int(questions);
    std::vector<double> total{1.0};
    long long allRight = 0;
    for (const Counted& c : drawn) {
        allRight += c.right;
    }
    for (const Counted& c : drawn) {
        // A flat prior pulls each thinly answered category toward half right, well below any
        // pass mark, and the chance reads far too low; the candidate's record in the other
        // categories is the better first guess.
        const double others = double(answers - c.right - c.wrong);
        const double share = (double(allRight - c.right) + 1.0) / (others + 2.0);
        const double a0 = priorWeight * share;
        const double b0 = priorWeight * (1.0 - share);
        total = convolve(total, betaBinomial(c.blueprint, c.right + a0, c.wrong + b0));
    }

    int passFrom = 0;
    while (scoreOf(passFrom, n) < passMark) {
        ++passFrom;
    }
    // Summed from the top, not as 1 minus the rest, so a slim chance keeps its digits.
    double chance = 0;
    for (int t = n; t >= passFrom; --t) {
        chance += total[size_t(t)];
    }
    r.enough = true;
    r.chance = passFrom == 0 ? 1.0 : std::clamp(chance, 0.0, 1.0);
    r.lowScore = percentileScore(total, n, 0.1);
    r.highScore = percentileScore(total, n, 0.9);
    return r;
}

QString chanceText(double chance) {
    if (chance >= 1.0) {
        return QStringLiteral("100 %");
    }
    // Also NaN: never a figure that claims more than it knows.
    if (!(chance > 0.0)) {
        return QStringLiteral("under 1 %");
    }
    const long percent = std::lround(chance * 100.0);
    if (percent < 1) {
        return QStringLiteral("under 1 %");
    }
    if (percent > 99) {
        return QStringLiteral("over 99 %");
    }
    return QStringLiteral("%1 %").arg(percent);
}

}  // namespace review
