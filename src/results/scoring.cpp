#include "results/scoring.h"

#include <cmath>

#include "examdb/data_source.h"

namespace results {

double examScore(int correct, int questions) {
    if (questions <= 0) {
        return 0.0;
    }
    const double quotient = double(correct) / double(questions);
    return std::floor(quotient * 1000.0);
}

int categoryPercent(int correct, int total) {
    if (total <= 0) {
        return 0;
    }
    const double quotient = double(correct) / double(total);
    return int(std::floor(quotient * 100.0));
}

int countRows(examdb::DataSource& source, const QString& statement) {
    source.setRecordSource(statement);
    source.refresh();
    examdb::Recordset& set = source.recordset();
    if (set.recordCount() == 0) {
        return 0;
    }
    set.moveFirst();
    set.moveLast();
    return set.recordCount();
}

}  // namespace results
