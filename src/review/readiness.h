#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// How likely the candidate is to pass the exam on a new draw, from the first answer they gave
// to each question: each category's share right as a Beta posterior, the number right of the
// category's questions in a draw as Beta-Binomial, the categories independent, their sum exact.
// The prior of a category is worth two answers, as a flat one is, but centred on the
// candidate's share right in the other categories (one category alone: flat).
namespace review {

struct CategoryRecord {
    QString name;
    int blueprint = 0;  // questions of the category in the exam's draw
    int answered = 0;   // first answers to its questions
    int right = 0;      // of those, right
};

struct Readiness {
    bool enough = false;
    double chance = 0;  // of passing a new draw, 0..1
    int lowScore = 0;   // 10th percentile of the score on a new draw
    int highScore = 0;  // 90th percentile
    int firstAnswers = 0;
    int moreAnswersNeeded = 0;  // when there are too few
    QStringList unanswered;     // categories of the blueprint with no first answer
};

// No number without minimumAnswers first answers in the draw's categories and at least one in
// each of them. Categories not in the draw (blueprint 0 or less) are left out, answers and
// all. Counts below 0 are read as 0 and right as at most answered; the pass mark is held to
// 0..1000 and minimumAnswers to 0 or more. A draw of no questions, or of more than
// maxQuestions, is not enough with nothing named, since no answer would help.
Readiness estimateReadiness(const std::vector<CategoryRecord>& categories, int passMark,
                            int minimumAnswers = 40);

inline constexpr int maxQuestions = 2000;

// The chance as the candidate reads it: "64 %"; never "0 %" or "100 %" for an estimate that is
// merely very low or very high ("under 1 %", "over 99 %"). Exactly 1 is "100 %": every score
// passes.
QString chanceText(double chance);

}  // namespace review
