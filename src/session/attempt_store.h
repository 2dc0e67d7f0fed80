#pragma once

#include <QString>
#include <optional>

#include "session/attempt_marks.h"

namespace examdb {
class Database;
class Statement;
}  // namespace examdb

namespace exam {

// An exam drawn but not yet scored, as kept in the file: enough to take it up again after the
// program ended without its score sheet. The drawn questions and the answers stay where they
// always are (the draw table and the exam table); this adds what lives only in the window.
struct SavedAttempt {
    int exam = 0;
    QString candidate;
    int questions = 0;
    int elapsed = 0;   // seconds of the clock used
    int position = 0;  // question number on screen, from 1
    QString flags;     // flagged questions and struck choices, as stored (see encodeMarks)
    QString custom;    // a custom exam's settings (session::encodeCustom); empty for a fixed exam
    // The attempt's own key, which the history keeps too; empty in files of earlier versions.
    QString key;

    // The number fields as the file holds them, empty where it holds no whole number. The int
    // fields above carry them only where they fit (0 elsewhere), so a refusal names these.
    struct Stored {
        std::optional<qint64> exam;
        std::optional<qint64> questions;
        std::optional<qint64> elapsed;
        std::optional<qint64> position;
    } stored;
    qint64 rows = 1;  // attempts the file holds: more than one, and none can be trusted
};

// The program's own table for it, created on first use beside the bank's tables. It holds at
// most one row: one exam can be under way per file.
namespace attempt {

inline const QString kTable = QStringLiteral("tblAttempt");

// The statements a draw keeps prepared: the table made if missing; the row cleared; the row
// of a new exam (?1 exam, ?2 candidate, ?3 questions).
QString createSql();
QString clearSql();
QString beginSql();

bool tableExists(examdb::Database& db);
// Binds beginSql() for a fresh draw: its row replaced by one at the start of the exam.
void bindBegin(examdb::Statement& insert, int exam, const QString& candidate, int questions);
// Everything that changes while the exam goes on; run inside the transaction that writes the
// answers so both survive or neither does.
void saveProgress(examdb::Database& db, int elapsed, int position, const Marks& marks);
// A custom exam's settings beside its row; the column is added to a table made before
// custom exams were possible.
void saveCustom(examdb::Database& db, const QString& settings);
// The key that names this attempt in the history, so it is never recorded twice.
void saveKey(examdb::Database& db, const QString& key);
// The clock alone, between moves.
void saveElapsed(examdb::Database& db, int elapsed);
// The attempt was scored or abandoned. A file without the table is left as it is.
void forget(examdb::Database& db);
// A table whose layout the program cannot use goes, so that the next draw makes it afresh.
void drop(examdb::Database& db);
// A view or an index holding the table's name, which no draw could ever write to: throws
// examdb::Error naming fileLabel.
void requireTable(examdb::Database& db, const QString& fileLabel);
// The saved attempt, if any. Throws examdb::Error when the table cannot be read.
std::optional<SavedAttempt> load(examdb::Database& db);

}  // namespace attempt
}  // namespace exam
