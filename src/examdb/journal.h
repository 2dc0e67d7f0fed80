#pragma once

#include <QString>

namespace examdb {

// Moves every committed change from the journal beside fileName into the file itself and
// empties the journal, so that the file alone holds the whole bank: copied or backed up it
// misses nothing, and a new bank copied over it meets no stale journal. Run when the program
// ends; connections left open must be idle. Where that cannot be done now it does nothing:
// the journal stays valid, and the next opening reads it.
void foldJournal(const QString& fileName) noexcept;

}  // namespace examdb
