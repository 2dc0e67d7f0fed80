#include "fixture_database.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <memory>
#include <stdexcept>

namespace testsupport {
namespace {

struct Finalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, Finalizer>;

[[noreturn]] void fail(sqlite3* db, const QString& what) {
    const QString message = what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db));
    throw std::runtime_error(message.toStdString());
}

Stmt prepare(sqlite3* db, const QString& sql, const QVariantList& params) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, nullptr) != SQLITE_OK) {
        fail(db, sql);
    }
    Stmt stmt(raw);
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        if (v.isNull()) {
            sqlite3_bind_null(raw, i + 1);
        } else if (v.metaType().id() == QMetaType::QString) {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(raw, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else if (v.metaType().id() == QMetaType::Double) {
            sqlite3_bind_double(raw, i + 1, v.toDouble());
        } else {
            sqlite3_bind_int64(raw, i + 1, v.toLongLong());
        }
    }
    return stmt;
}

QVariant columnValue(sqlite3_stmt* s, int i) {
    switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(s, i));
        case SQLITE_FLOAT:
            return sqlite3_column_double(s, i);
        case SQLITE_NULL:
            return QVariant();
        default:
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
    }
}

}  // namespace

void FixtureDatabase::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

QString schemaPath() {
    return QStringLiteral(PRAXILO_SCHEMA_SQL);
}

FixtureDatabase::FixtureDatabase(const QString& fileName)
    : fileName_(fileName), previousDir_(QDir::currentPath()) {
    if (!dir_.isValid()) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + schemaPath().toStdString());
    }
    const QByteArray script = schema.readAll();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path()).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        fail(raw, QStringLiteral("create ") + path());
    }
    sqlite3_busy_timeout(raw, 5000);
    if (sqlite3_exec(raw, script.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(raw, schemaPath());
    }
    sqlite3_exec(raw, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    QDir::setCurrent(dir_.path());
}

FixtureDatabase::~FixtureDatabase() {
    QDir::setCurrent(previousDir_);
}

QString FixtureDatabase::path() const {
    return dir_.filePath(fileName_);
}

QList<QVariantList> FixtureDatabase::rows(const QString& sql, const QVariantList& params) const {
    sqlite3* db = db_.get();
    const Stmt stmt = prepare(db, sql, params);
    QList<QVariantList> result;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
            row << columnValue(stmt.get(), i);
        }
        result << row;
    }
    if (rc != SQLITE_DONE) {
        fail(db, sql);
    }
    return result;
}

void FixtureDatabase::exec(const QString& sql, const QVariantList& params) const {
    rows(sql, params);
}

QVariant FixtureDatabase::scalar(const QString& sql, const QVariantList& params) const {
    const QList<QVariantList> result = rows(sql, params);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

void FixtureDatabase::addCategories(const QStringList& names) const {
    for (int i = 0; i < names.size(); ++i) {
        exec(QStringLiteral("INSERT INTO cat (sl_no, cat_desc) VALUES (?, ?)"),
             {i + 1, names.at(i)});
    }
}

void FixtureDatabase::addQuestion(int exam, const Question& q, bool withKeyRow) const {
    const QString n = QString::number(exam);
    const auto& a = q.answers;
    exec(QStringLiteral("INSERT INTO exam%1 (ID, catID, cat_desc, question, answer1, answer2, "
                        "answer3, answer4, answer5, correctanswer1, correctanswer2, "
                        "correctanswer3, correctanswer4, correctanswer5, explanation, "
                        "question_type, diagram1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
             .arg(n),
         {q.id, q.catId, q.catDesc, q.question, a[0], a[1], a[2], a[3], a[4], int(q.responses[0]),
          int(q.responses[1]), int(q.responses[2]), int(q.responses[3]), int(q.responses[4]),
          q.explanation, q.questionType, q.diagram.isEmpty() ? QVariant() : QVariant(q.diagram)});
    if (!withKeyRow) {
        return;
    }
    exec(QStringLiteral("INSERT INTO exam%1%1 (ID, question, answer1, answer2, answer3, answer4, "
                        "answer5, correctanswer1, correctanswer2, correctanswer3, correctanswer4, "
                        "correctanswer5, explanation, diagram1, question_type) VALUES "
                        "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
             .arg(n),
         {q.id, q.question, a[0], a[1], a[2], a[3], a[4], int(q.key[0]), int(q.key[1]),
          int(q.key[2]), int(q.key[3]), int(q.key[4]), q.explanation,
          q.diagram.isEmpty() ? QVariant() : QVariant(q.diagram), q.questionType});
}

QList<Question> FixtureDatabase::addQuestions(int exam, int count, int categories,
                                              qint64 firstId) const {
    QList<Question> added;
    for (int i = 0; i < count; ++i) {
        Question q;
        q.id = firstId + i;
        q.catId = categories > 0 ? i % categories : 0;
        q.catDesc = QStringLiteral("Category %1").arg(q.catId);
        q.question = QStringLiteral("Question %1 of exam %2").arg(q.id).arg(exam);
        for (int c = 0; c < 5; ++c) {
            q.answers[size_t(c)] = QStringLiteral("Answer %1.%2").arg(q.id).arg(c + 1);
        }
        q.key[size_t(q.id % 5)] = true;
        q.explanation = QStringLiteral("Because %1").arg(q.id);
        q.questionType = QStringLiteral("single_answer");
        addQuestion(exam, q);
        added << q;
    }
    return added;
}

void FixtureDatabase::draw(const QList<qint64>& ids) const {
    for (int i = 0; i < ids.size(); ++i) {
        exec(QStringLiteral("INSERT INTO tblRandom (sl_no, ID) VALUES (?, ?)"), {i + 1, ids.at(i)});
    }
}

void FixtureDatabase::setTestInformation(const QStringList& sixTexts) const {
    QVariantList params;
    for (int i = 0; i < 6; ++i) {
        params << (i < sixTexts.size() ? QVariant(sixTexts.at(i)) : QVariant());
    }
    exec(QStringLiteral("DELETE FROM \"Test Information\""));
    exec(QStringLiteral("INSERT INTO \"Test Information\" (test_name, number_of_questions, "
                        "test_disclaimer, test_description, copyright_date, author_name) "
                        "VALUES (?,?,?,?,?,?)"),
         params);
}

std::array<int, 5> FixtureDatabase::answers(const QString& table, qint64 id) const {
    const QList<QVariantList> result = rows(
        QStringLiteral("SELECT correctanswer1, correctanswer2, correctanswer3, correctanswer4, "
                       "correctanswer5 FROM \"%1\" WHERE ID = ?")
            .arg(table),
        {id});
    std::array<int, 5> values{-1, -1, -1, -1, -1};
    if (!result.isEmpty()) {
        for (int i = 0; i < 5; ++i) {
            values[size_t(i)] = result.first().at(i).toInt();
        }
    }
    return values;
}

}  // namespace testsupport
