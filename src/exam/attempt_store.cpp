#include "exam/attempt_store.h"

#include <QStringList>
#include <algorithm>

#include "examdb/database.h"
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
    "custom TEXT NOT NULL DEFAULT '')");

bool hasCustomColumn(examdb::Database& db) {
    examdb::Statement find = db.prepare(QStringLiteral(
        "SELECT 1 FROM pragma_table_info('tblAttempt') WHERE name = 'custom' COLLATE NOCASE"));
    return find.step();
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

std::optional<SavedAttempt> load(examdb::Database& db) {
    if (!tableExists(db)) {
        return std::nullopt;
    }
    const QString custom = hasCustomColumn(db) ? QStringLiteral("custom") : QStringLiteral("''");
    examdb::Statement read =
        db.prepare(QStringLiteral("SELECT exam, candidate, questions, elapsed, position, flags, "
                                  "(SELECT count(*) FROM tblAttempt), %1 FROM tblAttempt "
                                  "ORDER BY attempt_no LIMIT 1")
                       .arg(custom));
    if (!read.step()) {
        return std::nullopt;
    }
    // A number column holding text or an out-of-range number must not pass for a small value.
    const auto whole = [&read](int column) {
        const QVariant v = read.value(column);
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        const bool integral =
            v.metaType().id() == QMetaType::LongLong || v.metaType().id() == QMetaType::Int;
        if (!integral || !ok) {
            return SavedAttempt::kUnreadable;
        }
        // Far beyond any exam either way, and still an int.
        return int(std::clamp<qlonglong>(n, -1000000000, 1000000000));
    };
    SavedAttempt saved;
    saved.exam = whole(0);
    saved.candidate = read.value(1).toString();
    saved.questions = whole(2);
    saved.elapsed = whole(3);
    saved.position = whole(4);
    saved.flags = read.value(5).toString();
    saved.custom = read.value(7).toString();
    if (whole(6) != 1) {
        saved.exam = SavedAttempt::kUnreadable;  // several in one file: none can be trusted
    }
    return saved;
}

}  // namespace exam::attempt
