#include "session/custom_categories.h"

#include <cmath>

#include "examdb/statement.h"
#include "examdb/statements.h"

namespace exam {
namespace {

// The category a catID value names, or -1. The draw matches catID = n, so a value counts only
// when it is that whole number: text and fractions are never drawn.
int categoryOf(const QVariant& value, size_t categories) {
    double n = 0;
    switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
            n = double(value.toLongLong());
            break;
        case QMetaType::Double:
            n = value.toDouble();
            break;
        default:
            return -1;
    }
    if (n < 0 || n >= double(categories) || n != std::floor(n)) {
        return -1;
    }
    return int(n);
}

}  // namespace

int ExamCategories::total() const {
    int sum = uncategorized;
    for (const CategoryCount& c : categories) {
        sum += c.questions;
    }
    return sum;
}

ExamCategories readCategories(examdb::Database& db, int exam) {
    ExamCategories result;
    examdb::Statement names = db.prepare(QStringLiteral("SELECT cat_desc FROM cat ORDER BY rowid"));
    while (names.step()) {
        const int category = int(result.categories.size());
        result.categories.push_back({category, names.value(0).toString(), 0});
    }
    // The catID index answers this without reading a question.
    examdb::Statement counts =
        db.prepare(QStringLiteral("SELECT catID, count(*) FROM %1 GROUP BY catID")
                       .arg(examdb::statements::examTable(exam)));
    while (counts.step()) {
        const int questions = int(counts.integer(1));
        const int category = categoryOf(counts.value(0), result.categories.size());
        if (category < 0) {
            result.uncategorized += questions;
        } else {
            result.categories[size_t(category)].questions += questions;
        }
    }
    return result;
}

}  // namespace exam
