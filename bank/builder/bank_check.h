#pragma once

#include <QString>
#include <QStringList>

namespace bank {

// Tests a database file against everything the program relies on and returns one line per
// violation, naming table and ID; an empty list means the file is sound.
QStringList checkDatabase(const QString& file);

}  // namespace bank
