#pragma once

#include <QString>

namespace session {
struct CustomExam;
}
namespace examdb {
class Database;
}

namespace exam {

// What the file says about a saved attempt besides the attempt itself.
struct AttemptFacts {
    int drawn = 0;    // rows of the draw table
    int missing = 0;  // drawn IDs no longer in the exam table
    // The ID drawn most often, when one is drawn more than once, and how often.
    QString repeatedId;
    qint64 repeatedTimes = 0;
    // The first drawn question whose answer columns hold what the program never writes: its
    // number in the draw, those columns with their values ("'Yes' in correctanswer2"), and how
    // many later questions hold such values too.
    qint64 oddAnswerAt = 0;
    QString oddAnswers;
    qint64 oddAnswersAfter = 0;
    // A custom exam against the bank: the categories the bank has, the questions of the
    // exam its settings' categories hold, and the drawn questions that carry none of them.
    qint64 bankCategories = 0;
    qint64 inCategories = 0;
    qint64 outsideCategories = 0;
    int questionsPerExam = 0;  // what an exam of this program counts
    bool demo = false;
};

// The draw's facts for an attempt of exam (1 to 3; 0 when the attempt has no such number) and,
// for a custom exam, its settings. Leaves questionsPerExam and demo to the caller.
AttemptFacts readFacts(examdb::Database& db, int exam, const session::CustomExam* custom);

}  // namespace exam
