#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace history {

struct CategoryResult {
    int category = 0;  // row of the bank's category table, from 0
    QString name;
    int total = 0;
    int correct = 0;
};

struct QuestionResult {
    int position = 0;  // in the draw, from 1
    qint64 id = 0;
    bool correct = false;
    // The letters chosen, "AC"; empty when none was. Unknown for attempts recorded before the
    // history kept them, which is not the same as no choice.
    std::optional<QString> chosen;
    std::optional<int> seconds;  // on screen with it; unknown likewise
};

// One scored exam as the history keeps it.
struct AttemptRecord {
    qint64 id = 0;  // given by the history
    // The exam's own key, as its resume record held it: an attempt told twice is kept once.
    // Empty for attempts recorded before there were keys.
    QString key;
    QString edition;  // "full" or "demo"
    int exam = 0;
    // A custom exam's settings as session::encodeCustom writes them; empty for the fixed exams.
    QString custom;
    QString candidate;
    QDateTime started;
    QDateTime ended;
    int secondsUsed = 0;
    int score = 0;
    int passMark = 0;
    bool passed = false;
    std::vector<CategoryResult> categories;
    std::vector<QuestionResult> questions;  // left empty when attempts are listed
};

}  // namespace history
