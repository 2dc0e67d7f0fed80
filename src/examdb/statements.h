#pragma once

#include <QString>
#include <vector>

// Every statement the program runs, in the Access dialect, exactly as the program issues it.
// Exam numbers are 1 to 3: exam n reads the exam table examN and the key table examNN.
// Statement text is built here only, from these texts and integers.
namespace examdb::statements {

QString examTable(int exam);  // "exam1"
QString keyTable(int exam);   // "exam11"

QString d1();                        // empties the draw
QString x1(int exam);                // drawn questions with all their columns
QString x2();                        // empties showans
QString a1(int exam);                // the key row of the question in showans
QString r1(int exam);                // every key row
QString s1();                        // empties cat_scores
QString s2(int exam);                // rows whose five responses equal the key
QString s5(int exam, int category);  // rows of a category
QString s6(int exam, int category);  // rows of a category answered correctly
QString s8(int exam);                // clears every response
QString w1(int exam);                // wrongly answered rows with key, responses, explanation

// The scoring statements restricted to the questions of the current draw (tblRandom), so that
// questions the bank holds but the exam did not ask never count for or against the candidate.
QString s2Drawn(int exam);                // drawn rows whose five responses equal the key
QString s5Drawn(int exam, int category);  // drawn rows of a category
QString s6Drawn(int exam, int category);  // drawn rows of a category answered correctly
QString w1Drawn(int exam);                // drawn rows answered wrongly, as w1
// Every drawn question in draw order: position, ID and 1 when its five responses equal the key
// (as s2 counts them), else 0.
QString drawResults(int exam);

// The draw's reads and writes, which touch only what they must on a large bank. They are
// prepared once per draw and run row by row with ?1 (and ?2) bound.
QString drawBounds(int exam);  // one row: lowest ID, highest ID
QString drawIds(int exam);     // every question's ID, in no particular order
QString drawHas(int exam);     // a row when a question carries ID ?1
QString drawInsert();          // the tblRandom row numbered ?1 for ID ?2
QString s8Marked(int exam);    // clears the responses of the rows holding any, as s8 does

}  // namespace examdb::statements
