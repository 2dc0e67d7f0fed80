#pragma once

#include <QString>

namespace exam {
class DrawConnection;
}

namespace session {

// Empties tblRandom and fills it with count distinct IDs of exam's table, drawn uniformly at
// random, sl_no numbering them in the order drawn; the resume record starts afresh. False, with
// tblRandom left empty, when the table has fewer rows than count.
bool drawFixed(exam::DrawConnection& connection, int exam, const QString& candidate, qint32 count);

}  // namespace session
