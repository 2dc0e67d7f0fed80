#pragma once

#include <QString>

#include "import_model.h"

namespace bank {

// Reads a learning-platform XML question file. Multiple-choice questions are taken over; other
// kinds are skipped. A file that is no well-formed XML is refused with a SourceError.
ImportedFile importMoodleXml(const QString& file);

}  // namespace bank
