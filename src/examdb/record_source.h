#pragma once

#include <QString>

#include "examdb/field_lookup.h"
#include "examdb/recordset.h"
#include "examdb/row_store.h"

namespace examdb {

class Connection;

// How a record set's source was run and how its rows map back to tables.
struct QueryPlan {
    QString sql;  // the SQLite text run, with the hidden rowid columns appended
    FieldLookup fields;
    int visibleCount = 0;
    QString table;       // where AddNew inserts: the table of a table or single-table set
    QString primaryKey;  // table kind: its INTEGER PRIMARY KEY column, if it has one
};

// Runs source (a table name, or a SELECT in the Access dialect) and loads every row into rows.
QueryPlan runQuery(const Connection& connection, const QString& source, RecordsetType type,
                   RowStore& rows);

// Double-quoted for SQLite.
QString quoteName(const QString& name);

}  // namespace examdb
