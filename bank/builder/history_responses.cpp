#include "history_responses.h"

#include "examdb/error.h"
#include "examdb/statement.h"
#include "read_only_database.h"
#include "source_fields.h"

namespace bank {

// The newest history layout this reader knows; from 4 on every answer keeps its letters.
constexpr qint64 kNewestLayout = 4;

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
            layout >= 4 ? QStringLiteral("q.chosen, q.seconds") : QStringLiteral("NULL, NULL");
        const QString key = layout >= 3 ? QStringLiteral("a.attempt_key") : QStringLiteral("NULL");
        const QString custom = layout >= 2 ? QStringLiteral("a.custom") : QStringLiteral("''");
        examdb::Statement read(
            db.get(),
            QStringLiteral(
                "SELECT a.attempt_id, %1, a.edition, a.exam, a.candidate, a.started, "
                "q.question_id, q.correct, %2, %3 FROM attempt AS a JOIN attempt_question "
                "AS q ON q.attempt_id = a.attempt_id ORDER BY a.attempt_id, q.position")
                .arg(key, kept, custom),
            path);
        SourcedAttempt attempt;
        qint64 current = -1;
        bool wanted = false;
        const auto handOn = [&] {
            if (current >= 0 && wanted) {
                take(attempt);
                ++reading.attempts;
            }
        };
        while (read.step()) {
            const qint64 id = read.integer(0);
            if (id != current) {
                handOn();
                current = id;
                const bool ours = read.value(2).toString() == edition;
                const bool drawn = read.value(10).toString().isEmpty();
                wanted = ours && drawn;
                if (!ours) {
                    ++reading.leftOut[QStringLiteral("attempt(s) of the other edition than ") +
                                      edition];
                } else if (!drawn) {
                    ++reading.leftOut[QStringLiteral(
                        "attempt(s) of a custom exam or practice run, not the exam as set")];
                }
                attempt = SourcedAttempt{};
                attempt.exam = int(read.integer(3));
                const QString attemptKey = read.value(1).toString();
                // Before keys: what the history kept of the attempt tells it apart.
                attempt.identity =
                    !attemptKey.isEmpty()
                        ? attemptKey
                        : QStringLiteral("%1|%2|%3|%4")
                              .arg(read.value(2).toString(), read.value(3).toString(),
                                   read.value(4).toString(), read.value(5).toString());
            }
            SourcedAnswer answer{read.integer(6), read.integer(7) != 0, std::nullopt, std::nullopt};
            if (sqlite3_column_type(read.handle(), 8) != SQLITE_NULL) {
                answer.chosen = read.value(8).toString();
            }
            if (sqlite3_column_type(read.handle(), 9) != SQLITE_NULL) {
                answer.seconds = int(read.integer(9));
            }
            attempt.answers.push_back(std::move(answer));
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
