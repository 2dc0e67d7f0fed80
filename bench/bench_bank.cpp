#include "bench_bank.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace {
[[noreturn]] void fail(sqlite3* db, const char* what) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}
}  // namespace

void BenchBank::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

BenchBank::BenchBank(int questions, int idStep, int categories, const QString& fileName)
    : previousDir_(QDir::currentPath()), fileName_(fileName) {
    QFile schema(QStringLiteral(PRAXILO_SCHEMA_SQL));
    if (!dir_.isValid() || !schema.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot prepare a bank");
    }
    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path()).constData(), &raw,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    // The references write with the durability the program's own connections use.
    exec("PRAGMA synchronous = NORMAL");
    exec(schema.readAll().constData());
    exec("BEGIN");
    sqlite3_stmt* cat = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO cat (sl_no, cat_desc) VALUES (?, ?)", -1, &cat, nullptr);
    for (int i = 0; i < categories; ++i) {
        const QByteArray name = QStringLiteral("Category %1").arg(i).toUtf8();
        sqlite3_bind_int(cat, 1, i + 1);
        sqlite3_bind_text(cat, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(cat);
        sqlite3_reset(cat);
    }
    sqlite3_finalize(cat);
    sqlite3_stmt* exam = nullptr;
    sqlite3_stmt* key = nullptr;
    sqlite3_prepare_v2(
        raw,
        "INSERT INTO exam1 (ID, catID, cat_desc, question, answer1, answer2, answer3, answer4, "
        "explanation, question_type, diagram1) VALUES (?1, ?2, 'Category', 'Question ' || ?1 || "
        "' asks something reasonably long, as real questions do, to give the rows a realistic "
        "size.', "
        "'First answer', 'Second answer', 'Third answer', 'Fourth answer', "
        "'An explanation of a realistic length that says why the right answer is right.', "
        "'single_answer', '')",
        -1, &exam, nullptr);
    sqlite3_prepare_v2(
        raw,
        "INSERT INTO exam11 (ID, question, answer1, answer2, answer3, answer4, correctanswer1, "
        "explanation, question_type, diagram1) SELECT ID, question, answer1, answer2, answer3, "
        "answer4, 1, explanation, question_type, diagram1 FROM exam1 WHERE ID = ?1",
        -1, &key, nullptr);
    for (int i = 0; i < questions; ++i) {
        sqlite3_bind_int64(exam, 1, 1 + qint64(i) * idStep);
        sqlite3_bind_int(exam, 2, i % categories);
        if (sqlite3_step(exam) != SQLITE_DONE) {
            fail(raw, "insert question");
        }
        sqlite3_reset(exam);
        sqlite3_bind_int64(key, 1, 1 + qint64(i) * idStep);
        sqlite3_step(key);
        sqlite3_reset(key);
    }
    sqlite3_finalize(exam);
    sqlite3_finalize(key);
    exec("INSERT INTO \"Test Information\" VALUES ('Bench', '116', '', '', '2026', 'bench')");
    exec("COMMIT");
    // A bank arrives as one file: building it must not leave a journal for the first
    // measured write to fold back in.
    exec("PRAGMA wal_checkpoint(TRUNCATE)");
    QDir::setCurrent(dir_.path());
}

BenchBank::~BenchBank() {
    db_.reset();
    QDir::setCurrent(previousDir_);
}

QString BenchBank::path() const {
    return dir_.filePath(fileName_);
}

void BenchBank::exec(const char* sql) const {
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(db_.get(), sql);
    }
}
