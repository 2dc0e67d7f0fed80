#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "review/card_store.h"

namespace standing {

// The candidate's cards at the open bank: how many are due now and when the next comes.
// Nothing when the history or the bank cannot be read.
std::optional<review::DueSummary> dueNow(const QString& candidate);

// The Review menu's entry: "Due &Questions (12)...", with none due "Due &Questions (next on
// 14 Dec)...", and "Due &Questions..." before any card exists.
QString dueMenuText(const std::optional<review::DueSummary>& due);

// When a card falls due, to end a sentence: "today at 14:05", "tomorrow", "on 14/12/2026".
QString dueDayText(qint64 when);

// A practice run over the candidate's cards due now, most overdue first: up to 20 (the
// preference review/questions), all of the exam of the most overdue one. With none due, one
// message says when the next is. returnTo: the window its end goes back to, empty for the menu.
bool startDueReview(const QString& candidate, const QString& returnTo = QString());

// A practice run over these questions of exam, in this order; those the bank no longer holds
// are left out (their cards stay). False when none is left or no run can start.
bool startQuestionReview(const QString& candidate, int exam, const std::vector<qint64>& ids,
                         const QString& returnTo = QString());

}  // namespace standing
