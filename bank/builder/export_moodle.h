#pragma once

#include <QByteArray>
#include <QString>

namespace bank {

// The key table of exam `exam` (1 to 3, or 0 for every exam that holds questions) of a built
// database as a learning-platform XML question file: one multiple-choice question per row, its
// category from the category list, its exhibit embedded from the database's folder. Refuses a
// database it cannot read, or a missing exhibit, with a SourceError.
QByteArray exportMoodleXml(const QString& database, int exam = 0);

}  // namespace bank
