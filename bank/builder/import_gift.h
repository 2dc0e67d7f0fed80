#pragma once

#include <QString>

#include "import_model.h"

namespace bank {

// Reads a plain-text question file with {=right ~wrong} answer blocks. Multiple-choice questions
// are taken over; other kinds are skipped. Malformed text (a brace left open, a title never
// closed, invalid UTF-8) is refused with a SourceError naming the line.
ImportedFile importGift(const QString& file);

}  // namespace bank
