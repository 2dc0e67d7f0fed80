#pragma once

#include <QString>

#include "examdb/sqlite_handles.h"

namespace session {
class ExamSession;
struct QuestionScore;
struct ScoreReport;
}  // namespace session

namespace results {

// Every answered question of an ended exam or custom exam on the candidate's review cards, in
// the caller's transaction (the one that records the attempt). A practice run's answers went on
// them as each was checked, so its end adds nothing.
void scheduleCards(sqlite3* db, const session::ExamSession& exam,
                   const session::ScoreReport& report);

// One practice answer just checked; an unanswered question is no answer to remember.
void scheduleCheckedCard(sqlite3* db, const session::ExamSession& exam,
                         const session::QuestionScore& scored, const QString& bank);

}  // namespace results
