#include "history_responses.h"

#include "examdb/error.h"
#include "examdb/statement.h"
#include "read_only_database.h"
#include "source_fields.h"

namespace bank {

// The newest history layout this reader knows; from 4 on every answer keeps its letters.
constexpr qint64 kNewestLayout = 5;

SourceReading readHistoryAttempts(const QString& path, const QString& edition,
                                  const TakeAttempt& take) {
    const examdb::ConnectionHandle db = openReadOnly(path);
    SourceReading reading;
    try {
        examdb::Statement version(db.get(), QStringLiteral("PRAGMA user_version"), path);
        version.step();
        const qint64 layout = version.integer(0);
        if (layout < 1) {
            throw SourceError(path, 0, QStringLiteral("is not a progress history"));
        }
        if (layout > kNewestLayout) {
            throw SourceError(path, 0,
                              QStringLiteral("is a progress history of layout %1, newer than "
                                             "this program reads (%2)")
                                  .arg(layout)
                                  .arg(kNewestLayout));
        }
        const QString kept =
            layout >= 4 ? QStringLiteral("chosen, seconds") : QStringLiteral("NULL, NULL");
        const QString key = layout >= 3 ? QStringLiteral("attempt_key") : QStringLiteral("NULL");
        const QString custom = layout >= 2 ? QStringLiteral("custom") : QStringLiteral("''");
        // Two walks in step by attempt: the attempt's own columns once, not on each answer.
        examdb::Statement attempts(
            db.get(),
            QStringLiteral("SELECT attempt_id, %1, edition, exam, candidate, started, %2 FROM "
                           "attempt ORDER BY attempt_id")
                .arg(key, custom),
            path);
        examdb::Statement answers(db.get(),
                                  QStringLiteral("SELECT attempt_id, question_id, correct, %1 "
                                                 "FROM attempt_question ORDER BY attempt_id, "
                                                 "position")
                                      .arg(kept),
                                  path);
        sqlite3_stmt* const row = answers.handle();
        SourcedAttempt attempt;
        qint64 current = -1;  // the attempt the answers are of
        qint64 found = -1;    // the attempt the first walk stands on
        bool more = true;
        bool wanted = false;
        const auto handOn = [&] {
            if (wanted && !attempt.answers.empty()) {
                take(attempt);
                ++reading.attempts;
            }
        };
        // The attempt id's row, or false for answers whose attempt is gone.
        const auto seek = [&](qint64 id) {
            while (more && found < id) {
                more = attempts.step();
                found = more ? attempts.integer(0) : -1;
            }
            return more && found == id;
        };
        while (answers.step()) {
            const qint64 id = sqlite3_column_int64(row, 0);
            if (id != current) {
                handOn();
                current = id;
                attempt.answers.clear();
                wanted = seek(id);
                if (!wanted) {
                    continue;
                }
                const bool ours = attempts.value(2).toString() == edition;
                const bool drawn = attempts.value(6).toString().isEmpty();
                wanted = ours && drawn;
                if (!ours) {
                    ++reading.leftOut[QStringLiteral("attempt(s) of the other edition than ") +
                                      edition];
                } else if (!drawn) {
                    ++reading.leftOut[QStringLiteral(
                        "attempt(s) of a custom exam or practice run, not the exam as set")];
                }
                attempt.exam = int(attempts.integer(3));
                const QString attemptKey = attempts.value(1).toString();
                // Before keys: what the history kept of the attempt tells it apart.
                attempt.identity =
                    !attemptKey.isEmpty()
                        ? attemptKey
                        : QStringLiteral("%1|%2|%3|%4")
                              .arg(attempts.value(2).toString(), attempts.value(3).toString(),
                                   attempts.value(4).toString(), attempts.value(5).toString());
            }
            if (!wanted) {
                continue;
            }
            SourcedAnswer answer{sqlite3_column_int64(row, 1), sqlite3_column_int64(row, 2) != 0,
                                 std::nullopt, std::nullopt};
            if (sqlite3_column_type(row, 3) != SQLITE_NULL) {
                answer.chosen =
                    choiceLetters(reinterpret_cast<const char*>(sqlite3_column_text(row, 3)));
            }
            if (sqlite3_column_type(row, 4) != SQLITE_NULL) {
                answer.seconds = int(sqlite3_column_int64(row, 4));
            }
            attempt.answers.push_back(answer);
        }
        handOn();
    } catch (const examdb::Error& e) {
        throw SourceError(path, 0, e.text);
    }
    return reading;
}

ResponseSource historySource(const QString& path, const QString& edition) {
    return {path, [path, edition](const TakeAttempt& take) {
                return readHistoryAttempts(path, edition, take);
            }};
}

}  // namespace bank
