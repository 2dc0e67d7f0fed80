#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "examdb/sqlite_handles.h"
#include "history/attempt_record.h"

namespace history {

// Writes of another part of the program that belong in the same transaction as the history's
// own: they throw examdb::Error to undo both.
using Alongside = std::function<void(sqlite3*)>;

// The user's record of scored attempts: an SQLite file of its own, never the bank. Every
// failure throws examdb::Error.
class HistoryStore {
public:
    // The layout this program writes; a file of a higher one is left alone.
    // 2 keeps a custom exam's settings with its attempt, 3 the attempt's key, 4 the letters
    // chosen and the seconds spent on each question, 5 the review cards; a file of an earlier
    // layout is upgraded when opened.
    static constexpr int kVersion = 5;

    // Opens or creates path. Throws examdb::Error; its number is SQLITE_NOTADB or
    // SQLITE_CORRUPT for a file that is no history (another program's database, or one whose
    // tables do not match its layout), and kTooNew for a newer layout.
    static constexpr int kTooNew = 9001;
    explicit HistoryStore(const QString& path);

    QString path() const { return path_; }

    // One transaction: the attempt with its categories and questions, and alongside, or
    // nothing. An attempt whose key the history holds already is not added again, nor is
    // alongside run; its ID comes back.
    qint64 record(const AttemptRecord& attempt, const Alongside& alongside = {});
    // alongside in a transaction of its own on the history's file.
    void change(const Alongside& alongside);
    // reader on the history's file, outside any transaction of this program's.
    void read(const Alongside& reader) const;
    std::optional<qint64> attemptWithKey(const QString& key) const;
    // The attempt's drawn questions in draw order.
    std::vector<QuestionResult> questionsOf(qint64 attemptId) const;
    // Newest first; candidate empty for every name. Categories included, questions not.
    std::vector<AttemptRecord> attempts(const QString& candidate = QString()) const;
    std::vector<QString> candidates() const;
    // The score of the name's latest attempt like `like`: the same exam of the same edition, and
    // for a custom exam the very same settings; a fixed exam never follows a custom one.
    std::optional<int> lastScore(const AttemptRecord& like) const;
    // IDs answered wrongly in any of the name's last `attempts` attempts at the exam, ascending.
    // Custom attempts count: their questions are the exam's.
    std::vector<qint64> missedQuestions(const QString& edition, int exam, const QString& candidate,
                                        int attempts = 3) const;
    void remove(qint64 attemptId);
    void removeAll();

private:
    void createOrCheck();
    bool isEmpty() const;       // no table, index or view at all
    bool hasTables() const;     // every table of the layout, whatever their columns
    void checkColumns() const;  // throws SQLITE_NOTADB for a file of other tables

    QString path_;
    examdb::ConnectionHandle db_;
};

}  // namespace history
