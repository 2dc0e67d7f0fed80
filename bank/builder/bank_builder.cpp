#include "bank_builder.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>
#include <filesystem>
#include <memory>

#include "bank_model.h"
#include "diagram_renderer.h"
#include "dialog_renderer.h"
#include "exhibit_renderer.h"
#include "source_fields.h"

namespace bank {

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

[[noreturn]] void fail(sqlite3* db, const QString& path, const QString& what) {
    throw SourceError(path, 0, what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

void exec(sqlite3* db, const QString& path, const QString& sql) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(db, path, QStringLiteral("cannot run '%1'").arg(sql.left(60)));
    }
}

StmtHandle prepare(sqlite3* db, const QString& path, const QString& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK) {
        fail(db, path, QStringLiteral("cannot prepare '%1'").arg(sql.left(60)));
    }
    return StmtHandle(raw);
}

void bindText(sqlite3_stmt* stmt, int index, const QString& text) {
    if (text.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void step(sqlite3* db, const QString& path, sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        fail(db, path, QStringLiteral("cannot insert"));
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

void insertExam(sqlite3* db, const QString& path, int number, const Exam& exam,
                const QStringList& categories) {
    auto examRow = prepare(
        db, path,
        QStringLiteral("INSERT INTO exam%1 (ID, catID, cat_desc, question, answer1, answer2, "
                       "answer3, answer4, answer5, "
                       "explanation, question_type, diagram1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)")
            .arg(number));
    auto keyRow = prepare(db, path,
                          QStringLiteral("INSERT INTO exam%1 (ID, question, answer1, answer2, "
                                         "answer3, answer4, answer5, correctanswer1, "
                                         "correctanswer2, correctanswer3, correctanswer4, "
                                         "correctanswer5, explanation, diagram1, question_type) "
                                         "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                              .arg(number * 11));
    for (const Question& q : exam.questions) {
        const auto answer = [&](int i) {
            return i < q.answers.size() ? q.answers[i] : QStringLiteral("");
        };
        sqlite3_bind_int64(examRow.get(), 1, q.id);
        sqlite3_bind_int(examRow.get(), 2, q.category);
        bindText(examRow.get(), 3, categories[q.category]);
        bindText(examRow.get(), 4, q.question);
        for (int i = 0; i < 5; ++i) {
            bindText(examRow.get(), 5 + i, answer(i));
        }
        bindText(examRow.get(), 10, q.explanation);
        bindText(examRow.get(), 11, q.questionType());
        bindText(examRow.get(), 12, q.exhibit.isEmpty() ? QStringLiteral("") : q.exhibit);
        step(db, path, examRow.get());

        sqlite3_bind_int64(keyRow.get(), 1, q.id);
        bindText(keyRow.get(), 2, q.question);
        for (int i = 0; i < 5; ++i) {
            bindText(keyRow.get(), 3 + i, answer(i));
            sqlite3_bind_int(keyRow.get(), 8 + i, i < q.correct.size() && q.correct[i] ? 1 : 0);
        }
        bindText(keyRow.get(), 13, q.explanation);
        bindText(keyRow.get(), 14, q.exhibit.isEmpty() ? QStringLiteral("") : q.exhibit);
        bindText(keyRow.get(), 15, q.questionType());
        step(db, path, keyRow.get());
    }
}

void writeExhibit(const QString& sourceDir, const QString& outDir, const QString& picture,
                  const QString& questionFile) {
    if (picture.contains(QLatin1Char('/')) || picture.contains(QLatin1Char('\\')) ||
        !picture.endsWith(QLatin1String(".png"))) {
        throw SourceError(
            questionFile, 0,
            QStringLiteral("exhibit '%1' must be a bare .png file name").arg(picture));
    }
    // Text is drawn as text, a network as a Graphviz diagram, a dialog with real widgets.
    const QString base = sourceDir + QStringLiteral("/exhibits/") + picture.chopped(4);
    const QString description = base + QStringLiteral(".txt");
    const QString diagram = base + QStringLiteral(".dot");
    const QString dialog = base + QStringLiteral(".dialog");
    const QString committed = sourceDir + QStringLiteral("/exhibits/") + picture;
    QImage image;
    if (QFileInfo::exists(description)) {
        image = renderExhibit(description);
    } else if (QFileInfo::exists(diagram)) {
        image = renderDiagram(diagram);
    } else if (QFileInfo::exists(dialog)) {
        image = renderDialog(dialog);
    } else if (!image.load(committed)) {
        throw SourceError(questionFile, 0,
                          QStringLiteral("exhibit '%1' has no %2 (.dot, .dialog) nor a readable "
                                         "picture")
                              .arg(picture, description));
    }
    QSaveFile out(outDir + QLatin1Char('/') + picture);
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        throw SourceError(outDir + QLatin1Char('/') + picture, 0,
                          QStringLiteral("cannot be written"));
    }
}

}  // namespace

QString databaseFileName(bool demo) {
    return demo ? QStringLiteral("kvn009.mdb") : QStringLiteral("kvn09.mdb");
}

QString buildDatabase(const BuildRequest& request) {
    const QString source = request.sourceDir + QStringLiteral("/source/");
    const QStringList categories = parseCategories(source + QStringLiteral("categories.txt"));
    QList<Exam> exams;
    const QStringList examFiles =
        request.demo ? QStringList{QStringLiteral("demo.kvq")}
                     : QStringList{QStringLiteral("exam1.kvq"), QStringLiteral("exam2.kvq"),
                                   QStringLiteral("exam3.kvq")};
    for (const QString& name : examFiles) {
        exams << parseExam(source + name, categories);
    }
    const TestInformation info =
        parseTestInformation(source + (request.demo ? QStringLiteral("info-demo.kvq")
                                                    : QStringLiteral("info-full.kvq")));
    const QString schema = readUtf8File(request.schemaFile);

    if (!QDir().mkpath(request.outDir)) {
        throw SourceError(request.outDir, 0, QStringLiteral("cannot create the output folder"));
    }
    const QString target = QDir(request.outDir).filePath(databaseFileName(request.demo));
    const QString temporary = target + QStringLiteral(".building");
    QFile::remove(temporary);

    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(temporary.toUtf8().constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        DbHandle db(raw);
        if (rc != SQLITE_OK) {
            fail(raw, temporary, QStringLiteral("cannot create"));
        }
        try {
            // Built in rollback-journal mode so the file is complete on its own before the rename.
            exec(db.get(), temporary, schema);
            exec(db.get(), temporary, QStringLiteral("PRAGMA journal_mode = DELETE"));
            exec(db.get(), temporary, QStringLiteral("BEGIN"));
            auto cat = prepare(db.get(), temporary,
                               QStringLiteral("INSERT INTO cat (sl_no, cat_desc) VALUES (?, ?)"));
            for (int i = 0; i < categories.size(); ++i) {
                sqlite3_bind_int(cat.get(), 1, i + 1);
                bindText(cat.get(), 2, categories[i]);
                step(db.get(), temporary, cat.get());
            }
            for (int i = 0; i < exams.size(); ++i) {
                insertExam(db.get(), temporary, i + 1, exams[i], categories);
            }
            auto infoRow =
                prepare(db.get(), temporary,
                        QStringLiteral(
                            "INSERT INTO \"Test Information\" (test_name, number_of_questions, "
                            "test_disclaimer, "
                            "test_description, copyright_date, author_name) VALUES (?,?,?,?,?,?)"));
            const QStringList columns = testInformationColumns();
            for (int i = 0; i < columns.size(); ++i) {
                bindText(infoRow.get(), i + 1, info.value(columns[i]));
            }
            step(db.get(), temporary, infoRow.get());
            exec(db.get(), temporary, QStringLiteral("COMMIT"));
            exec(db.get(), temporary, QStringLiteral("PRAGMA journal_mode = WAL"));
        } catch (...) {
            db.reset();
            QFile::remove(temporary);
            throw;
        }
    }

    try {
        QSet<QString> done;
        for (const Exam& exam : exams) {
            for (const Question& q : exam.questions) {
                if (!q.exhibit.isEmpty() && !done.contains(q.exhibit)) {
                    writeExhibit(request.sourceDir, request.outDir, q.exhibit, exam.file);
                    done.insert(q.exhibit);
                }
            }
        }
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }

    // Old WAL files of a previous build belong to the old database, not the new one.
    QFile::remove(target + QStringLiteral("-wal"));
    QFile::remove(target + QStringLiteral("-shm"));
    std::error_code error;
    std::filesystem::rename(temporary.toStdString(), target.toStdString(), error);
    if (error) {
        QFile::remove(temporary);
        throw SourceError(
            target, 0,
            QStringLiteral("cannot be replaced: ") + QString::fromStdString(error.message()));
    }
    return target;
}

}  // namespace bank
