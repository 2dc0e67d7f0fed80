#pragma once

#include <QString>
#include <vector>

#include "xapi/lrs_settings.h"
#include "xapi/statement_parts.h"

namespace session {
struct ScoreReport;
class ExamSession;
}  // namespace session

namespace xapi {
class Sender;
}

// Results told to a training centre's record store, when its [xapi] preferences say where.
namespace results {

// The [xapi] group of the preferences; the home page falls back to the endpoint's site.
xapi::LrsSettings lrsSettings();

// The program's sender; nullptr when results are not sent (no endpoint, or a refused one).
xapi::Sender* resultsSender();

// Starts sending what earlier sessions left, once the main window shows. A refused endpoint is
// named in one message. Does nothing when no endpoint is set.
void startSendingResults();

// Forgets the sender, so the next use reads the preferences again (tests).
void stopSendingResults();

// What an ended exam tells the record store; empty when results are not sent.
std::vector<xapi::Statement> statementsFor(const session::ScoreReport& report);

// Every practice answer the session checks: on the candidate's review cards, and queued for
// the record store when results are sent, in one transaction.
void queueCheckedAnswers(session::ExamSession& session);

// The Progress window's one line about results; empty when they are not sent.
QString resultsLine();

}  // namespace results
