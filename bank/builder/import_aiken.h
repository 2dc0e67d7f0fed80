#pragma once

#include <QString>

#include "import_model.h"

namespace bank {

// Reads the simple one-answer format: question lines, "A. choice" lines, "ANSWER: X". A question
// without its ANSWER: line, or an answer naming no choice, is refused with a SourceError.
ImportedFile importAiken(const QString& file);

}  // namespace bank
