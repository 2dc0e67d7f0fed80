#pragma once

#include <QString>
#include <vector>

#include "examdb/database.h"

namespace exam {

// One category of the bank with how many questions of one exam carry it.
struct CategoryCount {
    int category = 0;  // catID: the category's position in the cat table, from 0
    QString name;
    int questions = 0;

    bool operator==(const CategoryCount&) const = default;
};

// What a custom exam can be drawn from: every category of the bank in order, those no
// question of the exam carries included, and the questions the draw can never reach.
struct ExamCategories {
    std::vector<CategoryCount> categories;
    int uncategorized = 0;  // catID empty or naming no category

    int total() const;
};

// Reads exam (1 to 3) with one grouped count. Throws examdb::Error on a bank without the
// tables or columns it needs.
ExamCategories readCategories(examdb::Database& db, int exam);

}  // namespace exam
