#pragma once

#include "response_source.h"
#include "xapi/lrs_settings.h"

namespace bank {

// The answers a record store holds for a bank's fixed exams: every "answered" statement whose
// parent is one of the exams, read through GET statements and its pages at the first reading,
// kept in a temporary file for the next, and handed on an attempt (registration) at a time.
// Statements that are not this bank's answers, lack a response or a verdict, or belong to a
// custom exam or practice run are left out and counted. A store that cannot be reached, refuses
// the credentials or answers with something other than statements throws SourceError; the
// password is never part of a message.
ResponseSource lrsSource(const xapi::LrsSettings& store, const QString& bankName, int exams);

}  // namespace bank
