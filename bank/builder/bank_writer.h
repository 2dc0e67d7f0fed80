#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "import_model.h"

namespace bank {

// What a question gets when its file carries no explanation or no category.
inline constexpr const char* kDefaultExplanation = "No explanation was given in the imported file.";
inline constexpr const char* kDefaultCategory = "Imported";

// One `name: value` field as source lines (ending in a newline), written so that the source
// parser reads back exactly `value`; long prose lines are wrapped for review.
QString sourceField(const QString& name, const QString& value);

// One line per question the file skipped, naming its line, its label and why.
QStringList skippedLines(const ImportedFile& file);

// Writes one to three imported files as a new bank folder (source/ and exhibits/) that the bank
// builder builds: the files become exam1.kvq to exam3.kvq in order. Everything is written to a
// temporary folder beside outDir and moved into place only when complete; an existing outDir
// that is not empty is refused. Returns the summary for the author: skipped questions, defaults
// to edit and what still stands between the sources and a bank that can be taken.
QStringList writeImportedBank(QList<ImportedFile> files, const QString& outDir);

}  // namespace bank
