#pragma once

#include <QString>
#include <vector>

#include "examdb/database.h"

namespace exam {

// A custom exam's draw: count questions of one exam's table, from the chosen categories only,
// each category giving its share (see shareOut), uniformly at random within it and without
// repeats, the whole set in random order.
struct CustomDraw {
    int exam = 1;
    std::vector<int> categories;  // category numbers (catID) to draw from
    int count = 0;
    // Kept with the draw so that an interrupted custom exam can be taken up again.
    QString candidate;
    QString settings;
    // These questions in this order instead, when given: all must be in the exam's table.
    std::vector<qint64> ids;
};

// The questions each chosen category holds, in the order of draw.categories.
std::vector<int> categorySizes(examdb::Database& db, const CustomDraw& draw);

// Empties tblRandom and the exam's responses, fills tblRandom with the drawn IDs, sl_no from 1,
// and records the exam under way (see attempt_store.h), in one transaction. Returns how many were
// drawn: fewer than asked only when the chosen categories hold fewer, and then nothing is drawn at
// all and 0 is returned.
int drawCustom(examdb::Database& db, const CustomDraw& draw);

}  // namespace exam
