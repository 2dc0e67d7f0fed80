#pragma once

#include <QString>

#include "exam/attempt_facts.h"
#include "session/attempt_store.h"

namespace exam {

// Why the attempt cannot be taken up again, as the end of a sentence; empty when it can.
QString resumeProblem(const SavedAttempt& saved, const AttemptFacts& facts);

// The question start-up asks: which exam, whose, how far it got and the time left.
QString resumeQuestion(const SavedAttempt& saved, int answered, int totalSeconds, bool demo);

// Start-up's offer of an exam drawn but never scored. Returns true when it opened the exam
// again (or, its time being over, its score sheet) instead of the main menu. An attempt that
// no longer fits the bank is cleared with one message saying why.
bool offerInterruptedExam();

}  // namespace exam
