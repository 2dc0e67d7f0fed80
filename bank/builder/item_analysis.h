#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>
#include "response_source.h"

namespace bank {

// One attempt's answer to one drawn question, as a history or a record store kept it.
struct ItemResponse {
    int item = 0;  // the question's place among the exam's questions, from 0
    bool correct = false;
    std::optional<ChoiceLetters> chosen;  // unknown for answers kept before letters were
    std::optional<int> seconds;
};

// One question's figures, as classical test theory defines them.
struct ItemFigures {
    int attempts = 0;  // that drew it
    double facility = 0;
    // Against the score on the other questions drawn with it (corrected item-rest).
    std::optional<double> pointBiserial;
    // Facility in the upper 27 % by score minus facility in the lower 27 %.
    std::optional<double> discrimination;
    int knownChoices = 0;                 // responses whose letters are known
    std::array<double, 5> choiceShare{};  // of those
    std::array<std::optional<double>, 5> choiceRestCorrelation;
    std::array<double, 5> upperChoiceShare{};  // the same within the upper group
    std::optional<double> medianSeconds;
};

struct ExamFigures {
    int attempts = 0;
    double meanScore = 0;  // questions right
    double sdScore = 0;    // sample standard deviation
    // From the attempts that drew every question; none when fewer than two did.
    std::optional<double> kr20;
    std::vector<std::optional<double>> alphaIfDropped;
    std::optional<double> sem;  // in questions right
    std::vector<ItemFigures> items;
};

// The attempts of one exam, taken in two passes: each attempt's responses once to count, then
// once more in the same order to place it in the upper or lower group. What is kept grows with
// the questions (and one score per attempt), never with the responses.
class ItemAnalysis {
public:
    explicit ItemAnalysis(int questions);
    ~ItemAnalysis();

    void count(const std::vector<ItemResponse>& attempt);
    void countGroups(const std::vector<ItemResponse>& attempt);
    ExamFigures figures() const;

private:
    struct Sums;
    void placeGroups();

    int questions_;
    std::vector<Sums> sums_;
    std::vector<int> scores_;
    bool placed_ = false;
    int upperFrom_ = 0;
    int lowerTo_ = 0;
    double sumX_ = 0;
    double sumXX_ = 0;
    int complete_ = 0;
    double completeX_ = 0;
    double completeXX_ = 0;
};

}  // namespace bank
