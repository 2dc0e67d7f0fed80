#pragma once

#include <QStringList>

#include "history/attempt_record.h"

namespace examdb {
class Database;
}

namespace results {

// The scored exam as the progress history keeps it: the header's figures, each category's
// total and correct count (in the order of the bank's categories) and every drawn question.
history::AttemptRecord scoredAttempt(examdb::Database& db, int exam, int score,
                                     const QStringList& totals, const QStringList& correct);

}  // namespace results
