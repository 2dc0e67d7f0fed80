#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace examdb {
class Database;
}

namespace session {

// One category of the bank as the scored draw left it.
struct CategoryScore {
    int category = 0;  // row of the bank's category table, from 0, which is the questions' catID
    QString name;
    int total = 0;  // drawn questions of the category; 0 for one the draw left out
    int correct = 0;
    int percent = 0;

    bool operator==(const CategoryScore&) const = default;
};

// One drawn question: what the candidate chose and whether it matches the key, with the
// texts the candidate saw, for whoever reports the answer elsewhere.
struct QuestionScore {
    int position = 0;  // in the draw, from 1
    qint64 id = 0;
    std::array<bool, 5> chosen{};
    bool correct = false;
    std::array<bool, 5> key{};  // all false when the key lacks the question
    QString question;
    std::array<QString, 5> choices;  // empty where the question has fewer
    int seconds = 0;                 // on screen with it; the session fills it in

    bool operator==(const QuestionScore&) const = default;
};

// An ended exam, scored: everything the score sheet shows, the history keeps and later
// observers are told.
struct ScoreReport {
    QString attempt;    // the attempt's key: one attempt is recorded once, however often told
    QString bank;       // the bank's own name, from its test information
    int exam = 0;       // whose tables: 1 to 3
    int questions = 0;  // the count the score divides by
    int correct = 0;
    int score = 0;  // of 1000
    int passMark = 0;
    bool passed = false;
    std::vector<CategoryScore> categories;  // every category of the bank, in its order
    std::vector<QuestionScore> drawn;       // in the order drawn

    bool operator==(const ScoreReport&) const = default;
};

// Scores the draw in exam's tables with one pass over the drawn questions joined to the key. A
// question the key lacks is wrong; a question the exam table lacks was never asked and counts
// nowhere. Throws examdb::Error when the bank cannot be read.
ScoreReport scoreExam(examdb::Database& db, int exam, int questions, int passMark);

// The bank's own name, from its test information; empty when it has none.
QString bankName(examdb::Database& db);

// The letters of the choices made, "AC"; empty when none was.
QString chosenLetters(const QuestionScore& q);

// One drawn question of exam's tables scored alone, as a practice check does; nothing when the
// exam table lacks it.
std::optional<QuestionScore> scoreQuestion(examdb::Database& db, int exam, qint64 id);

// cat_scores holds the report's categories and nothing else, in one transaction.
void writeCategoryScores(examdb::Database& db, const ScoreReport& report);

}  // namespace session
