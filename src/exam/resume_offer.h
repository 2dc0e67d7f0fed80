#pragma once

#include <QString>

#include "exam/attempt_store.h"

namespace exam {

// What the file says about a saved attempt besides the attempt itself.
struct AttemptFacts {
    int drawn = 0;             // rows of the draw table
    int missing = 0;           // drawn IDs no longer in the exam table
    int questionsPerExam = 0;  // what an exam of this program counts
    bool demo = false;
};

// Why the attempt cannot be taken up again, as the end of a sentence; empty when it can.
QString resumeProblem(const SavedAttempt& saved, const AttemptFacts& facts);

// The question start-up asks: which exam, whose, how far it got and the time left.
QString resumeQuestion(const SavedAttempt& saved, int answered, int totalSeconds, bool demo);

// Start-up's offer of an exam drawn but never scored. Returns true when it opened the exam
// again (or, its time being over, its score sheet) instead of the main menu. An attempt that
// no longer fits the bank is cleared with one message saying why.
bool offerInterruptedExam();

}  // namespace exam
