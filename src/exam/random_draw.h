#pragma once

#include <QtGlobal>

// Empties tblRandom and fills it with count distinct IDs of the active exam table, drawn
// uniformly at random, sl_no numbering them in the order drawn. When the table has fewer rows
// than count, the candidate is told and tblRandom stays empty.
void DrawRandomQuestions(qint32 count);
