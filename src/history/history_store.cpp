#include "history/history_store.h"

#include <QFile>
#include <array>
#include <iterator>

#include "examdb/error.h"
#include "examdb/statement.h"
#include "examdb/transaction.h"

namespace history {
namespace {

// Every question a candidate answered, with its memory model's state: the review queue.
const char* const kCardTable =
    "CREATE TABLE IF NOT EXISTS review_card ("
    "candidate TEXT NOT NULL, bank TEXT NOT NULL, exam INTEGER NOT NULL, "
    "question_id INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL, "
    "last_review INTEGER NOT NULL, due INTEGER NOT NULL, reviews INTEGER NOT NULL, "
    "lapses INTEGER NOT NULL, first_right INTEGER NOT NULL, "
    "PRIMARY KEY (candidate, bank, exam, question_id))";
const char* const kCardsByDue =
    "CREATE INDEX IF NOT EXISTS review_card_by_due ON review_card (candidate, bank, due)";

// A new file gets the whole layout at once.
const char* const kLayout[] = {
    "CREATE TABLE IF NOT EXISTS attempt ("
    "attempt_id INTEGER PRIMARY KEY, edition TEXT NOT NULL, exam INTEGER NOT NULL, "
    "candidate TEXT NOT NULL, started TEXT NOT NULL, ended TEXT NOT NULL, "
    "seconds_used INTEGER NOT NULL, score INTEGER NOT NULL, pass_mark INTEGER NOT NULL, "
    "passed INTEGER NOT NULL, custom TEXT NOT NULL DEFAULT '', attempt_key TEXT)",
    "CREATE INDEX IF NOT EXISTS attempt_by_exam ON attempt (edition, exam, candidate, ended)",
    "CREATE TABLE IF NOT EXISTS attempt_category ("
    "attempt_id INTEGER NOT NULL, category INTEGER NOT NULL, name TEXT NOT NULL, "
    "total INTEGER NOT NULL, correct INTEGER NOT NULL, PRIMARY KEY (attempt_id, category))",
    "CREATE TABLE IF NOT EXISTS attempt_question ("
    "attempt_id INTEGER NOT NULL, position INTEGER NOT NULL, question_id INTEGER NOT NULL, "
    "correct INTEGER NOT NULL, chosen TEXT, seconds INTEGER, PRIMARY KEY (attempt_id, position))",
    kCardTable,
    kCardsByDue,
};

// A file of an earlier layout is brought up to date in place: kUpgrades[n] takes layout n + 1
// to n + 2. Every attempt stays; what was not kept before reads as empty, or as unknown where
// empty would mean something (no choice made).
const std::array<const char*, 2> kUpgrades[] = {
    {"ALTER TABLE attempt ADD COLUMN custom TEXT NOT NULL DEFAULT ''", nullptr},
    {"ALTER TABLE attempt ADD COLUMN attempt_key TEXT", nullptr},
    {"ALTER TABLE attempt_question ADD COLUMN chosen TEXT",
     "ALTER TABLE attempt_question ADD COLUMN seconds INTEGER"},
    {kCardTable, kCardsByDue},
};

// Made with every layout change; keys of attempts from before keys are null, which never clash.
const char* const kKeyIndex =
    "CREATE UNIQUE INDEX IF NOT EXISTS attempt_by_key ON attempt (attempt_key)";
static_assert(std::size(kUpgrades) == size_t(HistoryStore::kVersion - 1));

// Every column this program reads and writes; a file of its layout without one is no history.
const char* const kColumns[] = {
    "SELECT attempt_id, edition, exam, candidate, started, ended, seconds_used, score, "
    "pass_mark, passed, custom, attempt_key FROM attempt LIMIT 0",
    "SELECT attempt_id, category, name, total, correct FROM attempt_category LIMIT 0",
    "SELECT attempt_id, position, question_id, correct, chosen, seconds FROM attempt_question "
    "LIMIT 0",
    "SELECT candidate, bank, exam, question_id, stability, difficulty, last_review, due, reviews, "
    "lapses, first_right FROM review_card LIMIT 0",
};

// A file that is no history of this program's is set aside like an unreadable one.
examdb::Error notAHistory(const QString& path, const QString& why) {
    return examdb::Error(SQLITE_NOTADB,
                         QStringLiteral("%1 is not a progress history: %2").arg(path, why));
}

bool isSqlError(const examdb::Error& e) {
    return (e.number & 0xff) == SQLITE_ERROR;
}

QString textOrEmpty(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QString isoText(const QDateTime& when) {
    return when.toUTC().toString(Qt::ISODate);
}

QDateTime fromIso(const QString& text) {
    QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    when.setTimeSpec(Qt::UTC);
    return when.toLocalTime();
}

}  // namespace

HistoryStore::HistoryStore(const QString& path) : path_(path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        examdb::throwSqliteError(db_.get(), path);
    }
    sqlite3_busy_timeout(db_.get(), 2000);
    createOrCheck();
}

void HistoryStore::createOrCheck() {
    examdb::Statement version(db_.get(), QStringLiteral("PRAGMA user_version"), path_);
    version.step();
    const qint64 found = version.integer(0);
    version.reset();
    const auto refuseNewer = [this](qint64 layout) {
        return examdb::Error(kTooNew, QStringLiteral("%1 holds a history of layout %2; this "
                                                     "program writes layout %3")
                                          .arg(path_)
                                          .arg(layout)
                                          .arg(kVersion));
    };
    if (found > kVersion) {
        throw refuseNewer(found);
    }
    // A file that is no database fails here, before anything is written to it.
    examdb::Statement check(db_.get(), QStringLiteral("PRAGMA quick_check"), path_);
    if (check.step() && check.value(0).toString() != QLatin1String("ok")) {
        throw examdb::Error(SQLITE_CORRUPT,
                            QStringLiteral("%1: %2").arg(path_, check.value(0).toString()));
    }
    check.reset();
    // Another program's database is never written into, not even its journal mode.
    if (found == 0 && !isEmpty()) {
        throw notAHistory(path_, QStringLiteral("it holds another program's tables"));
    }
    if (found == kVersion) {
        checkColumns();
    } else if (found > 0 && !hasTables()) {
        throw notAHistory(path_, QStringLiteral("it lacks the tables of layout %1").arg(found));
    }
    examdb::Statement(db_.get(), QStringLiteral("PRAGMA journal_mode = WAL"), path_).step();
    // Each attempt stays whole through a kill; a power cut may lose the newest one at most.
    examdb::Statement(db_.get(), QStringLiteral("PRAGMA synchronous = NORMAL"), path_).step();
    if (found == kVersion) {
        return;
    }
    examdb::Transaction change(db_.get());
    // The other program may have made or upgraded the file while this one waited for the lock.
    version.step();
    const qint64 now = version.integer(0);
    version.reset();
    if (now > kVersion) {
        throw refuseNewer(now);
    }
    if (now < 0) {
        throw notAHistory(path_, QStringLiteral("its layout %1 is unknown").arg(now));
    }
    if (now == kVersion) {
        checkColumns();
        return;
    }
    if (now == 0) {
        if (!isEmpty()) {
            throw notAHistory(path_, QStringLiteral("it holds another program's tables"));
        }
        for (const char* statement : kLayout) {
            examdb::Statement(db_.get(), QString::fromLatin1(statement), path_).step();
        }
    } else {
        for (qint64 from = now; from < kVersion; ++from) {
            try {
                for (const char* statement : kUpgrades[from - 1]) {
                    if (statement) {
                        examdb::Statement(db_.get(), QString::fromLatin1(statement), path_).step();
                    }
                }
            } catch (const examdb::Error& e) {
                if (!isSqlError(e)) {
                    throw;
                }
                throw notAHistory(path_,
                                  QStringLiteral("its tables do not match layout %1").arg(from));
            }
        }
    }
    checkColumns();
    examdb::Statement(db_.get(), QString::fromLatin1(kKeyIndex), path_).step();
    examdb::Statement(db_.get(), QStringLiteral("PRAGMA user_version = %1").arg(kVersion), path_)
        .step();
    change.commit();
}

bool HistoryStore::isEmpty() const {
    examdb::Statement objects(db_.get(), QStringLiteral("SELECT count(*) FROM sqlite_master"),
                              path_);
    objects.step();
    return objects.integer(0) == 0;
}

bool HistoryStore::hasTables() const {
    examdb::Statement tables(db_.get(),
                             QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                            "'table' AND name IN ('attempt', 'attempt_category', "
                                            "'attempt_question')"),
                             path_);
    tables.step();
    return tables.integer(0) == 3;
}

void HistoryStore::checkColumns() const {
    for (const char* columns : kColumns) {
        try {
            examdb::Statement(db_.get(), QString::fromLatin1(columns), path_);
        } catch (const examdb::Error& e) {
            if (!isSqlError(e)) {
                throw;
            }
            throw notAHistory(
                path_, QStringLiteral("its tables are not those of layout %1").arg(kVersion));
        }
    }
}

std::vector<QuestionResult> HistoryStore::questionsOf(qint64 attemptId) const {
    examdb::Statement read(db_.get(),
                           QStringLiteral("SELECT position, question_id, correct, chosen, seconds "
                                          "FROM attempt_question WHERE attempt_id = ?1 ORDER BY "
                                          "position"),
                           path_);
    read.bind(1, attemptId);
    std::vector<QuestionResult> questions;
    while (read.step()) {
        QuestionResult q{int(read.integer(0)), read.integer(1), read.integer(2) != 0, {}, {}};
        if (sqlite3_column_type(read.handle(), 3) != SQLITE_NULL) {
            q.chosen = read.value(3).toString();
        }
        if (sqlite3_column_type(read.handle(), 4) != SQLITE_NULL) {
            q.seconds = int(read.integer(4));
        }
        questions.push_back(std::move(q));
    }
    return questions;
}

std::optional<qint64> HistoryStore::attemptWithKey(const QString& key) const {
    if (key.isEmpty()) {
        return std::nullopt;
    }
    examdb::Statement find(
        db_.get(), QStringLiteral("SELECT attempt_id FROM attempt WHERE attempt_key = ?1"), path_);
    find.bind(1, QVariant(key));
    return find.step() ? std::optional<qint64>(find.integer(0)) : std::nullopt;
}

void HistoryStore::change(const Alongside& alongside) {
    examdb::Transaction transaction(db_.get());
    alongside(db_.get());
    transaction.commit();
}

void HistoryStore::read(const Alongside& reader) const {
    reader(db_.get());
}

qint64 HistoryStore::record(const AttemptRecord& a, const Alongside& alongside) {
    examdb::Transaction transaction(db_.get());
    if (const std::optional<qint64> kept = attemptWithKey(a.key)) {
        return *kept;
    }
    examdb::Statement insert(
        db_.get(),
        QStringLiteral("INSERT INTO attempt (edition, exam, candidate, started, ended, "
                       "seconds_used, score, pass_mark, passed, custom, attempt_key) VALUES (?1, "
                       "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
        path_);
    insert.bind(1, QVariant(a.edition));
    insert.bind(2, qint64(a.exam));
    insert.bind(3, QVariant(textOrEmpty(a.candidate)));
    insert.bind(4, QVariant(isoText(a.started)));
    insert.bind(5, QVariant(isoText(a.ended)));
    insert.bind(6, qint64(a.secondsUsed));
    insert.bind(7, qint64(a.score));
    insert.bind(8, qint64(a.passMark));
    insert.bind(9, qint64(a.passed ? 1 : 0));
    insert.bind(10, QVariant(textOrEmpty(a.custom)));
    insert.bind(11, a.key.isEmpty() ? QVariant() : QVariant(a.key));
    insert.step();
    const qint64 id = sqlite3_last_insert_rowid(db_.get());

    examdb::Statement category(
        db_.get(),
        QStringLiteral("INSERT INTO attempt_category (attempt_id, category, name, total, correct) "
                       "VALUES (?1, ?2, ?3, ?4, ?5)"),
        path_);
    for (const CategoryResult& c : a.categories) {
        category.bind(1, id);
        category.bind(2, qint64(c.category));
        category.bind(3, QVariant(textOrEmpty(c.name)));
        category.bind(4, qint64(c.total));
        category.bind(5, qint64(c.correct));
        category.step();
        category.reset();
    }
    examdb::Statement question(
        db_.get(),
        QStringLiteral("INSERT INTO attempt_question (attempt_id, position, question_id, correct, "
                       "chosen, seconds) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        path_);
    for (const QuestionResult& q : a.questions) {
        question.bind(1, id);
        question.bind(2, qint64(q.position));
        question.bind(3, q.id);
        question.bind(4, qint64(q.correct ? 1 : 0));
        question.bind(5, q.chosen ? QVariant(textOrEmpty(*q.chosen)) : QVariant());
        question.bind(6, q.seconds ? QVariant(qint64(*q.seconds)) : QVariant());
        question.step();
        question.reset();
    }
    if (alongside) {
        alongside(db_.get());
    }
    transaction.commit();
    return id;
}

std::vector<AttemptRecord> HistoryStore::attempts(const QString& candidate) const {
    examdb::Statement read(
        db_.get(),
        QStringLiteral(
            "SELECT attempt_id, edition, exam, candidate, started, ended, seconds_used, "
            "score, pass_mark, passed, custom FROM attempt WHERE ?1 IS NULL OR candidate = ?1 "
            "ORDER BY ended DESC, attempt_id DESC"),
        path_);
    read.bind(1, candidate.isEmpty() ? QVariant() : QVariant(candidate));
    std::vector<AttemptRecord> out;
    while (read.step()) {
        AttemptRecord a;
        a.id = read.integer(0);
        a.edition = read.value(1).toString();
        a.exam = int(read.integer(2));
        a.candidate = read.value(3).toString();
        a.started = fromIso(read.value(4).toString());
        a.ended = fromIso(read.value(5).toString());
        a.secondsUsed = int(read.integer(6));
        a.score = int(read.integer(7));
        a.passMark = int(read.integer(8));
        a.passed = read.integer(9) != 0;
        a.custom = read.value(10).toString();
        out.push_back(std::move(a));
    }
    examdb::Statement categories(
        db_.get(),
        QStringLiteral("SELECT category, name, total, correct FROM attempt_category WHERE "
                       "attempt_id = ?1 ORDER BY category"),
        path_);
    for (AttemptRecord& a : out) {
        categories.bind(1, a.id);
        while (categories.step()) {
            a.categories.push_back({int(categories.integer(0)), categories.value(1).toString(),
                                    int(categories.integer(2)), int(categories.integer(3))});
        }
        categories.reset();
    }
    return out;
}

std::vector<QString> HistoryStore::candidates() const {
    examdb::Statement read(db_.get(),
                           QStringLiteral("SELECT DISTINCT candidate FROM attempt ORDER BY "
                                          "candidate COLLATE NOCASE"),
                           path_);
    std::vector<QString> out;
    while (read.step()) {
        out.push_back(read.value(0).toString());
    }
    return out;
}

std::optional<int> HistoryStore::lastScore(const AttemptRecord& like) const {
    examdb::Statement read(
        db_.get(),
        QStringLiteral("SELECT score FROM attempt WHERE edition = ?1 AND exam = ?2 AND "
                       "candidate = ?3 AND custom = ?4 ORDER BY ended DESC, attempt_id DESC "
                       "LIMIT 1"),
        path_);
    read.bind(1, QVariant(like.edition));
    read.bind(2, qint64(like.exam));
    read.bind(3, QVariant(textOrEmpty(like.candidate)));
    read.bind(4, QVariant(textOrEmpty(like.custom)));
    if (!read.step()) {
        return std::nullopt;
    }
    return int(read.integer(0));
}

std::vector<qint64> HistoryStore::missedQuestions(const QString& edition, int exam,
                                                  const QString& candidate, int attempts) const {
    examdb::Statement read(
        db_.get(),
        QStringLiteral("SELECT DISTINCT question_id FROM attempt_question WHERE correct = 0 AND "
                       "attempt_id IN (SELECT attempt_id FROM attempt WHERE edition = ?1 AND "
                       "exam = ?2 AND candidate = ?3 ORDER BY ended DESC, attempt_id DESC "
                       "LIMIT ?4) ORDER BY question_id"),
        path_);
    read.bind(1, QVariant(edition));
    read.bind(2, qint64(exam));
    read.bind(3, QVariant(textOrEmpty(candidate)));
    read.bind(4, qint64(attempts));
    std::vector<qint64> out;
    while (read.step()) {
        out.push_back(read.integer(0));
    }
    return out;
}

void HistoryStore::remove(qint64 attemptId) {
    examdb::Transaction transaction(db_.get());
    for (const char* table : {"attempt_question", "attempt_category", "attempt"}) {
        examdb::Statement del(
            db_.get(),
            QStringLiteral("DELETE FROM %1 WHERE attempt_id = ?1").arg(QLatin1String(table)),
            path_);
        del.bind(1, attemptId);
        del.step();
    }
    transaction.commit();
}

void HistoryStore::removeAll() {
    examdb::Transaction transaction(db_.get());
    for (const char* table : {"attempt_question", "attempt_category", "attempt"}) {
        examdb::Statement(db_.get(), QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)),
                          path_)
            .step();
    }
    transaction.commit();
}

}  // namespace history
