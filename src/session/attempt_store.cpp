#include "session/attempt_store.h"

#include <QStringList>
#include <limits>

#include "examdb/database.h"
#include "examdb/error.h"
#include "examdb/statement.h"

namespace exam::attempt {
namespace {

// Only the row with key 1 may exist.
const QString kCreate = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS tblAttempt ("
    "attempt_no INTEGER PRIMARY KEY CHECK (attempt_no = 1), "
    "exam INTEGER NOT NULL, "
    "candidate TEXT NOT NULL, "
    "questions INTEGER NOT NULL, "
    "elapsed INTEGER NOT NULL, "
    "position INTEGER NOT NULL, "
    "flags TEXT NOT NULL DEFAULT '', "
    "custom TEXT NOT NULL DEFAULT '', "
    "attempt_key TEXT NOT NULL DEFAULT '')");

// Tables made by earlier versions lack the later columns.
bool hasColumn(examdb::Database& db, const QString& column) {
    examdb::Statement find = db.prepare(
        QStringLiteral("SELECT 1 FROM pragma_table_info('tblAttempt') WHERE name = ?1 COLLATE "
                       "NOCASE"));
    find.bind(1, QVariant(column));
    return find.step();
}

bool hasCustomColumn(examdb::Database& db) {
    return hasColumn(db, QStringLiteral("custom"));
}

void run(examdb::Statement&& statement) {
    while (statement.step()) {
    }
}

}  // namespace

QString createSql() {
    return kCreate;
}

QString clearSql() {
    return QStringLiteral("DELETE FROM tblAttempt");
}

QString beginSql() {
    return QStringLiteral(
        "INSERT OR REPLACE INTO tblAttempt (attempt_no, exam, candidate, questions, elapsed, "
        "position, flags) VALUES (1, ?1, ?2, ?3, 0, 1, '')");
}

bool tableExists(examdb::Database& db) {
    examdb::Statement find =
        db.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                  "name = 'tblAttempt' COLLATE NOCASE"));
    return find.step();
}

void bindBegin(examdb::Statement& insert, int exam, const QString& candidate, int questions) {
    insert.bind(1, qint64(exam));
    // Never null: a candidate may leave the name empty.
    insert.bind(2, QVariant(candidate.isNull() ? QStringLiteral("") : candidate));
    insert.bind(3, qint64(questions));
}

void saveProgress(examdb::Database& db, int elapsed, int position, const Marks& marks) {
    examdb::Statement update = db.prepare(QStringLiteral(
        "UPDATE tblAttempt SET elapsed = ?1, position = ?2, flags = ?3 WHERE attempt_no = 1"));
    update.bind(1, qint64(elapsed));
    update.bind(2, qint64(position));
    update.bind(3, QVariant(encodeMarks(marks)));
    run(std::move(update));
}

void saveCustom(examdb::Database& db, const QString& settings) {
    if (!hasCustomColumn(db)) {
        run(db.prepare(
            QStringLiteral("ALTER TABLE tblAttempt ADD COLUMN custom TEXT NOT NULL DEFAULT ''")));
    }
    examdb::Statement update =
        db.prepare(QStringLiteral("UPDATE tblAttempt SET custom = ?1 WHERE attempt_no = 1"));
    update.bind(1, QVariant(settings));
    run(std::move(update));
}

void saveKey(examdb::Database& db, const QString& key) {
    if (!tableExists(db)) {
        return;
    }
    if (!hasColumn(db, QStringLiteral("attempt_key"))) {
        run(db.prepare(QStringLiteral(
            "ALTER TABLE tblAttempt ADD COLUMN attempt_key TEXT NOT NULL DEFAULT ''")));
    }
    examdb::Statement update =
        db.prepare(QStringLiteral("UPDATE tblAttempt SET attempt_key = ?1 WHERE attempt_no = 1"));
    update.bind(1, QVariant(key));
    run(std::move(update));
}

void saveElapsed(examdb::Database& db, int elapsed) {
    examdb::Statement update =
        db.prepare(QStringLiteral("UPDATE tblAttempt SET elapsed = ?1 WHERE attempt_no = 1"));
    update.bind(1, qint64(elapsed));
    run(std::move(update));
}

void forget(examdb::Database& db) {
    if (tableExists(db)) {
        run(db.prepare(clearSql()));
    }
}

void drop(examdb::Database& db) {
    run(db.prepare(QStringLiteral("DROP TABLE IF EXISTS tblAttempt")));
}

void requireTable(examdb::Database& db, const QString& fileLabel) {
    examdb::Statement find = db.prepare(
        QStringLiteral("SELECT type FROM sqlite_master WHERE name = 'tblAttempt' COLLATE NOCASE "
                       "AND type IN ('view', 'index')"));
    if (!find.step()) {
        return;
    }
    const QString kind = find.value(0).toString() == QLatin1String("index")
                             ? QStringLiteral("an index")
                             : QStringLiteral("a view");
    throw examdb::Error(examdb::errc::TableNotFound,
                        QStringLiteral("The question bank in '%1' is damaged: '%2' is %3, not the "
                                       "table the program keeps an exam under way in.")
                            .arg(fileLabel, kTable, kind));
}

std::optional<SavedAttempt> load(examdb::Database& db) {
    if (!tableExists(db)) {
        return std::nullopt;
    }
    const QString custom = hasCustomColumn(db) ? QStringLiteral("custom") : QStringLiteral("''");
    const QString key = hasColumn(db, QStringLiteral("attempt_key")) ? QStringLiteral("attempt_key")
                                                                     : QStringLiteral("''");
    examdb::Statement read =
        db.prepare(QStringLiteral("SELECT exam, candidate, questions, elapsed, position, flags, "
                                  "(SELECT count(*) FROM tblAttempt), %1, %2 FROM tblAttempt "
                                  "ORDER BY attempt_no LIMIT 1")
                       .arg(custom, key));
    if (!read.step()) {
        return std::nullopt;
    }
    // A number column holding text or a fraction must not pass for a whole number.
    const auto whole = [&read](int column) -> std::optional<qint64> {
        const QVariant v = read.value(column);
        if (v.typeId() != QMetaType::LongLong) {
            return std::nullopt;
        }
        return v.toLongLong();
    };
    const auto fitted = [](std::optional<qint64> n) {
        return n && *n >= std::numeric_limits<int>::min() && *n <= std::numeric_limits<int>::max()
                   ? int(*n)
                   : 0;
    };
    SavedAttempt saved;
    saved.stored = {whole(0), whole(2), whole(3), whole(4)};
    saved.exam = fitted(saved.stored.exam);
    saved.candidate = read.value(1).toString();
    saved.questions = fitted(saved.stored.questions);
    saved.elapsed = fitted(saved.stored.elapsed);
    saved.position = fitted(saved.stored.position);
    saved.flags = read.value(5).toString();
    saved.custom = read.value(7).toString();
    saved.key = read.value(8).toString();
    saved.rows = read.integer(6);
    return saved;
}

}  // namespace exam::attempt
