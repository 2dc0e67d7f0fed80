#pragma once

#include <QString>
#include <vector>

#include "session/score_report.h"
#include "xapi/statement_parts.h"

namespace xapi {

// Whose attempt at what, as every statement of it says.
struct AttemptFacts {
    enum class Kind { Fixed, Custom, Practice };

    QString homePage;      // the centre's address, the candidate account's home
    QString candidate;     // as typed
    QString registration;  // the attempt's key: one per attempt, shared by its statements
    QString bank;          // the bank's own name
    int exam = 0;          // whose tables, 1 to 3
    Kind kind = Kind::Fixed;
    int secondsUsed = 0;
};

// Where an exam's category counts go in its statement's result extensions.
inline constexpr char kCategoriesExtension[] = "urn:praxilo:xapi:extension:categories";

// An ended exam: one "answered" per drawn question and then "passed" or "failed" with the
// score; a practice run only "completed", its answers having been told at each check.
std::vector<Statement> examStatements(const AttemptFacts& attempt,
                                      const session::ScoreReport& report);

// A practice answer, checked.
Statement answeredStatement(const AttemptFacts& attempt, const session::QuestionScore& question);

}  // namespace xapi
