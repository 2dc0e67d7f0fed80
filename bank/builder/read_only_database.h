#pragma once

#include <QString>

#include "examdb/sqlite_handles.h"

namespace bank {

// Opens the SQLite file at path for reading only, leaving nothing beside it: with no -wal file
// the main file holds everything and is opened as immutable, so a bank or a history collected
// from another PC stays as it came. A path that is no readable database file throws SourceError.
examdb::ConnectionHandle openReadOnly(const QString& path);

}  // namespace bank
