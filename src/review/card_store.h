#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "examdb/sqlite_handles.h"
#include "review/fsrs.h"

namespace review {

// Whose cards: one candidate at one bank. Every function here works on the history file's
// connection inside the caller's transaction, and throws examdb::Error.
struct CardOwner {
    QString candidate;  // as typed; see candidateKey
    QString bank;       // the bank's own name
};

// The name the cards are kept under: "  ann  Lee " and "Ann Lee" are one candidate.
QString candidateKey(const QString& name);

// One scored answer to a question of one exam.
struct ScoredAnswer {
    int exam = 0;
    qint64 question = 0;
    bool correct = false;
    int seconds = 0;  // on screen with it
};

// Wrong is a lapse; right in under a third of the average seconds a question gets is easy;
// any other right answer good. No average (0): never easy.
Grade gradeOf(bool correct, int seconds, double averageSeconds);

// Each answer's card made (a first answer) or brought forward to now (seconds since the epoch):
// its memory state, its next due time and its counts. A clock set back since the last review
// counts as no time passed.
void scheduleAnswers(sqlite3* db, const CardOwner& owner, const std::vector<ScoredAnswer>& answers,
                     double averageSeconds, qint64 now);

struct DueCard {
    int exam = 0;
    qint64 question = 0;
    qint64 due = 0;
};

// Cards due at now, most overdue first, at most limit; only exam's when exam is not 0.
std::vector<DueCard> dueCards(sqlite3* db, const CardOwner& owner, qint64 now, int limit,
                              int exam = 0);

struct DueSummary {
    int due = 0;                 // due at now
    std::optional<qint64> next;  // when the next card not yet due is, if any
};
DueSummary dueSummary(sqlite3* db, const CardOwner& owner, qint64 now);

struct FirstAnswer {
    qint64 question = 0;
    bool right = false;
};
// The first answer to each of exam's questions the candidate has answered.
std::vector<FirstAnswer> firstAnswers(sqlite3* db, const CardOwner& owner, int exam);

}  // namespace review
