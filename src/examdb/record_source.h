#pragma once

#include <QString>

#include "examdb/field_lookup.h"
#include "examdb/row_store.h"

namespace examdb {

class Connection;

// How a record set's source was run and how its rows map back to tables.
struct QueryPlan {
    QString sql;  // the SQLite text run, with the hidden rowid columns appended
    FieldLookup fields;
    int visibleCount = 0;
    QString table;  // where AddNew inserts: the table of a table or single-table set
};

// Runs source (a table name, or a SELECT in the Access dialect) and fills rows: whole rows up
// to the eager limit, keys alone after it where rows map back to tables.
QueryPlan runQuery(const Connection& connection, const QString& source, RowStore& rows);

inline constexpr int kDefaultEagerRows = 256;
// Tests lower it to run small record sets the way large ones run.
void setEagerRowLimit(int rows);

// Double-quoted for SQLite.
QString quoteName(const QString& name);

}  // namespace examdb
