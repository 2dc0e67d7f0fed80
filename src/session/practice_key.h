#pragma once

#include <QString>
#include <array>
#include <optional>

namespace examdb {
class Database;
}

namespace session {

// A question's key as a practice run shows it once the answer is checked.
struct KeyAnswer {
    std::array<bool, 5> right{};  // answer n (1 to 5) at index n - 1
    QString explanation;
};

// The key of question id of exam's key table; empty when the key holds no such question.
std::optional<KeyAnswer> keyOf(examdb::Database& db, int exam, qint64 id);

// "Right." or "Wrong. The right choice is B.": the letter beside each choice, A for answer 1.
QString verdictText(const std::array<bool, 5>& chosen, const KeyAnswer& key);

}  // namespace session
