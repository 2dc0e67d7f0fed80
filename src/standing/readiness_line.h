#pragma once

#include <QString>
#include <optional>

#include "review/readiness.h"

namespace standing {

// A candidate's estimate of passing one exam of the open bank.
struct ExamReadiness {
    int exam = 0;
    int attempts = 0;  // the candidate's recorded attempts at it, custom and practice included,
                       // reviews of chosen questions not
    review::Readiness figures;
};

// Nothing when the candidate has no attempt at the exam, or the bank or history cannot be read.
// The candidate is matched whatever the case and spacing of the name.
std::optional<ExamReadiness> readinessFor(const QString& candidate, int exam);

// "Estimated chance to pass Exam #1: 64 % (from 3 attempts; 210 first answers)", or "Not enough
// answers yet to estimate Exam #1: 12 more answers needed; none yet in Storage." With the
// interval: "...; a new draw would likely score 690–810".
QString readinessLine(const ExamReadiness& readiness, bool withInterval = false);

// "Exam #1", or "Exam #1 Demo" in the demo.
QString examName(int exam);

}  // namespace standing
