#include "progress/category_figures.h"

#include <map>

#include "app/clock_display.h"
#include "app/custom_exam.h"

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
    std::vector<int> numbers;  // the latest's categories with questions, as in out
    for (const history::CategoryResult& c : attempts.front().categories) {
        if (c.total > 0) {
            out.push_back({c.name, percent(c.correct, c.total), -1});
            numbers.push_back(c.category);
        }
    }
    // Earlier attempts by category number; a category the latest lacks is left out.
    std::map<int, std::pair<int, int>> sums;  // category -> (sum of percentages, attempts)
    for (size_t i = 1; i < attempts.size(); ++i) {
        for (const history::CategoryResult& c : attempts[i].categories) {
            if (c.total > 0) {
                auto& [sum, count] = sums[c.category];
                sum += percent(c.correct, c.total);
                ++count;
            }
        }
    }
    for (size_t k = 0; k < out.size(); ++k) {
        const auto found = sums.find(numbers[k]);
        if (found != sums.end() && found->second.second > 0) {
            out[k].earlierAverage = found->second.first / found->second.second;
        }
    }
    return out;
}

QString timeUsedText(int seconds) {
    return app::clockText(seconds);
}

QString examOf(const history::AttemptRecord& attempt) {
    return attempt.edition == QLatin1String("demo") ? QStringLiteral("Demo exam")
                                                    : QStringLiteral("Exam #%1").arg(attempt.exam);
}

QString examText(const history::AttemptRecord& attempt) {
    if (!isCustom(attempt)) {
        return examOf(attempt);
    }
    const std::optional<session::CustomExam> custom = session::decodeCustom(attempt.custom);
    if (!custom) {
        return QStringLiteral("Custom exam");
    }
    if (!custom->ids.empty()) {
        return QStringLiteral("Review: %1 from %2").arg(custom->questions).arg(examOf(attempt));
    }
    return QStringLiteral("Custom: %1 from %2%3")
        .arg(custom->questions)
        .arg(examOf(attempt), custom->practice ? QStringLiteral(" (practice)") : QString());
}

QString examPhrase(const history::AttemptRecord& attempt) {
    if (!isCustom(attempt)) {
        return examOf(attempt);
    }
    const std::optional<session::CustomExam> custom = session::decodeCustom(attempt.custom);
    if (!custom) {
        return QStringLiteral("a custom exam");
    }
    return QStringLiteral("a custom exam of %1 from %2")
        .arg(session::questionCount(custom->questions), examOf(attempt));
}

QString customDetails(const history::AttemptRecord& attempt) {
    if (!isCustom(attempt)) {
        return {};
    }
    const std::optional<session::CustomExam> custom = session::decodeCustom(attempt.custom);
    if (!custom) {
        return QStringLiteral("Custom exam: %1").arg(attempt.custom);
    }
    const auto count = [](qsizetype n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return QStringLiteral("Custom exam: %1 from %2 of %3, %4%5")
        .arg(session::questionCount(custom->questions),
             count(qsizetype(custom->categories.size()), "category", "categories"), examOf(attempt),
             custom->untimed() ? QStringLiteral("no time limit")
                               : count(custom->minutes, "minute", "minutes"),
             custom->practice ? QStringLiteral(", practice mode") : QString());
}

bool sameKind(const history::AttemptRecord& a, const history::AttemptRecord& b) {
    return a.edition == b.edition && a.exam == b.exam && a.custom == b.custom;
}

}  // namespace progress
