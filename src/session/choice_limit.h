#pragma once

#include <QString>

namespace session {

// How many choices a question's stem asks for: 2 for "(Choose two.)", 3 for "(Choose three.)",
// any letter case, number words or digits from one to five. 0 when it names no number: then
// nothing is limited.
int choiceLimit(const QString& stem);

// "Choose two: untick one first." for a limit of 2.
QString choiceLimitNote(int limit);

}  // namespace session
