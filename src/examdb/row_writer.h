#pragma once

#include <QVariant>
#include <map>

#include "examdb/record_source.h"

namespace examdb {

class Connection;

// Field index -> new value, as collected between Edit/AddNew and Update.
using FieldChanges = std::map<int, QVariant>;

// Writes changes of row to the tables its columns come from, each by its own rowid, in one
// transaction, then reads the written columns back into row.
void writeChanges(const Connection& connection, const QueryPlan& plan, RowStore::Row& row,
                  const FieldChanges& changes);

// Inserts a row into plan.table (unset columns take the table's defaults) and returns it as the
// set would show it, hidden rowid included.
RowStore::Row insertRow(const Connection& connection, const QueryPlan& plan,
                        const FieldChanges& values);

}  // namespace examdb
