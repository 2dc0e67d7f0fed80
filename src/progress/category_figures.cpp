#include "progress/category_figures.h"

#include <map>

#include "app/clock_display.h"

namespace progress {
namespace {

int percent(int correct, int total) {
    return total > 0 ? correct * 100 / total : 0;
}

}  // namespace

std::vector<CategoryFigure> categoryFigures(const std::vector<history::AttemptRecord>& attempts) {
    std::vector<CategoryFigure> out;
    if (attempts.empty()) {
        return out;
    }
    for (const history::CategoryResult& c : attempts.front().categories) {
        out.push_back({c.name, percent(c.correct, c.total), -1});
    }
    // Earlier attempts by category number; a category the latest lacks is left out.
    std::map<int, std::pair<int, int>> sums;  // category -> (sum of percentages, attempts)
    for (size_t i = 1; i < attempts.size(); ++i) {
        for (const history::CategoryResult& c : attempts[i].categories) {
            auto& [sum, count] = sums[c.category];
            sum += percent(c.correct, c.total);
            ++count;
        }
    }
    const auto& latest = attempts.front().categories;
    for (size_t k = 0; k < latest.size(); ++k) {
        const auto found = sums.find(latest[k].category);
        if (found != sums.end() && found->second.second > 0) {
            out[k].earlierAverage = found->second.first / found->second.second;
        }
    }
    return out;
}

QString timeUsedText(int seconds) {
    return app::clockText(seconds);
}

QString examText(const history::AttemptRecord& attempt) {
    return attempt.edition == QLatin1String("demo") ? QStringLiteral("Demo exam")
                                                    : QStringLiteral("Exam #%1").arg(attempt.exam);
}

}  // namespace progress
