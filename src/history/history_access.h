#pragma once

#include <QString>
#include <optional>

#include "history/attempt_record.h"
#include "history/history_store.h"

namespace examdb {
class Error;
}

namespace history {

class HistoryStore;

// The history file: history.sqlite in the user's data folder, unless set otherwise.
QString location();
void setLocation(const QString& path);

// The history, opened when first needed and kept open. A file that cannot be used is named in
// one message and nullptr comes back; a corrupt one is first moved aside under a dated name
// and a new one started. Once refused, the session asks no more.
HistoryStore* store();
// Closes the file; the next store() opens it again (tests, and after its location changed).
void closeStore();

// Adds a scored attempt and returns the name's score before it at the same exam (for a custom
// exam: with the same settings), if any.
// Never throws and never stops the score sheet: a failure is one message.
// alongside is written in the same transaction, or refused with the attempt.
std::optional<int> recordAttempt(const AttemptRecord& attempt, const Alongside& alongside = {});
// alongside in a transaction of its own on the history's file; false, after one message naming
// what, when it failed.
bool writeAlongside(const Alongside& alongside, const QString& what);

// True when the history holds the attempt with this key. Quiet: a history that cannot be read
// holds nothing, and says so when an attempt is next recorded.
bool recorded(const QString& key);

// Why the history failed, to end a sentence: "the disk that holds it is full". No statement
// and no file name, which the sentence gives where it helps.
QString faultReason(const examdb::Error& e);

// "Last attempt: 702/1000 (+48)".
QString lastAttemptLine(int previous, int now);

}  // namespace history
