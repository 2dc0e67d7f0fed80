#include "history_responses.h"

#include <QFileInfo>
#include <QUrl>

#include "examdb/error.h"
#include "examdb/sqlite_handles.h"
#include "examdb/statement.h"
#include "input_file.h"
#include "source_fields.h"

namespace bank {
namespace {

// The newest history layout this reader knows; from 4 on every answer keeps its letters.
constexpr qint64 kNewestLayout = 4;

examdb::ConnectionHandle openReadOnly(const QString& path) {
    if (const QString why = notAFile(path); !why.isEmpty()) {
        throw SourceError(path, 0, why);
    }
    const QFileInfo info(path);
    if (!info.isReadable()) {
        throw SourceError(path, 0, QStringLiteral("cannot be read"));
    }
    // With no -wal file beside it the main file holds everything: opened as immutable, nothing
    // is made next to a history collected from another PC.
    QByteArray name = QFile::encodeName(path);
    int flags = SQLITE_OPEN_READONLY;
    if (!QFileInfo::exists(path + QStringLiteral("-wal"))) {
        name = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded() + "?immutable=1";
        flags |= SQLITE_OPEN_URI;
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &raw, flags, nullptr);
    examdb::ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        throw SourceError(
            path, 0, QStringLiteral("cannot be opened: ") + QString::fromUtf8(sqlite3_errmsg(raw)));
    }
    return db;
}

}  // namespace

HistoryReading readHistoryAttempts(const QString& path, const QString& edition,
                                   const std::function<void(const SourcedAttempt&)>& take) {
    const examdb::ConnectionHandle db = openReadOnly(path);
    HistoryReading reading;
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
        examdb::Statement read(
            db.get(),
            QStringLiteral("SELECT a.attempt_id, %1, a.edition, a.exam, a.candidate, a.started, "
                           "q.question_id, q.correct, %2 FROM attempt AS a JOIN attempt_question "
                           "AS q ON q.attempt_id = a.attempt_id ORDER BY a.attempt_id, q.position")
                .arg(key, kept),
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
                wanted = read.value(2).toString() == edition;
                reading.otherEdition += wanted ? 0 : 1;
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

}  // namespace bank
