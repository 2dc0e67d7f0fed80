#pragma once

#include "response_source.h"

namespace bank {

// Hands every attempt of edition ("full" or "demo") in the progress history at path to take,
// reading the file without writing to it or beside it. A file that is no readable history of a
// layout this program knows is refused with a SourceError naming the reason.
// Custom exams and practice runs are left out: their questions were picked, or checked one by
// one, so their answers are no draw of the exam.
SourceReading readHistoryAttempts(const QString& path, const QString& edition,
                                  const TakeAttempt& take);

// The history at path as a source of the attempts of edition.
ResponseSource historySource(const QString& path, const QString& edition);

}  // namespace bank
