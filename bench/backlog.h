#pragma once

#include <vector>

#include "history/attempt_record.h"
#include "session/score_report.h"
#include "xapi/exam_statements.h"
#include "xapi/lrs_settings.h"

class LocalLrs;

namespace history {
class HistoryStore;
}

// An ended exam of the full edition as the session scores it: 116 questions in 19
// categories, with texts as long as a real bank's.
session::ScoreReport scoredReport();

// The candidate's attempt at it, under a registration of its own.
xapi::AttemptFacts attemptFacts();

// The report as the history keeps it, under the attempt's registration as its key.
history::AttemptRecord attemptRecord(const session::ScoreReport& report,
                                     const xapi::AttemptFacts& facts);

// count statements of such exams, each exam under a registration of its own, queued into the
// history's outbox in one transaction. The registrations come back.
std::vector<QString> queueBacklog(history::HistoryStore& history, int count);

// The store on loopback, with credentials it lets in.
xapi::LrsSettings settingsFor(const LocalLrs& lrs);
