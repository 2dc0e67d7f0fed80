#pragma once

#include <QString>

namespace examdb {

// Translates a statement written in the Access SQL dialect into SQLite's:
//  - "DELETE * FROM t" and "DELETE t.* FROM t" become "DELETE FROM t";
//  - the bare literals Yes/True become 1 and No/False become 0;
//  - "UPDATE t SET t.c = ..." loses the qualifier SQLite does not accept in a SET list.
// Quoted texts ('...', "..."), [bracketed] and `quoted` names, comments and everything else
// pass through unchanged. Pure: the same text always gives the same result.
QString toSqlite(const QString& accessSql);

}  // namespace examdb
