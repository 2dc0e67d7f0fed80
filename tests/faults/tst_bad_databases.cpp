// Broken, hand-edited, half-written, locked and read-only database files, met through the real
// windows as a candidate would meet them. Each case either runs a whole exam and scores it
// right, or ends after one message that names the file and the problem. Never a crash, a
// hang, a score higher than the answers earned, or a file made where there was none.
#include <signal.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <array>
#include <iostream>
#include <string>

#include "app/window_names.h"
#include "app_test_env.h"
#include "fault_support.h"
#include "fixture_database.h"
#include "program_windows.h"
#include "start/form1.h"

namespace {

bool mountsArePrivate = false;
const QString kFile = QStringLiteral("kvn09.mdb");
constexpr int kQuestions = 116;

// What the candidate saw.
struct Outcome {
    QString score;         // empty when the exam never reached its score sheet
    QStringList messages;  // every message box other than the exam's own questions
    int endings = 0;
    QString step;          // where it ended
    bool studied = false;  // the study window came up and went back to the menu
};

template <class T = QWidget>
T* control(const QString& window, const char* name) {
    QWidget* w = flow::existing(window);
    return w ? w->findChild<T*>(QLatin1String(name)) : nullptr;
}

// Each key choice as the file holds it; only the integer 1 is a Yes a candidate can match.
std::array<bool, 5> keyOf(const QString& id) {
    std::array<bool, 5> key{};
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(kFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT correctanswer1, correctanswer2, correctanswer3, "
                           "correctanswer4, correctanswer5 FROM exam11 WHERE ID = ?1",
                           -1, &s, nullptr) == SQLITE_OK) {
        sqlite3_bind_int64(s, 1, id.toLongLong());
        if (sqlite3_step(s) == SQLITE_ROW) {
            for (int n = 0; n < 5; ++n) {
                key[size_t(n)] =
                    sqlite3_column_type(s, n) == SQLITE_INTEGER && sqlite3_column_int64(s, n) == 1;
            }
        }
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return key;
}

// The whole exam, every shown question answered by its key, then the review and the study
// window. Stops at the first step after which the program has ended.
Outcome takeExam(AppTestEnv& env, int* answeredRight) {
    Outcome out;
    const auto ended = [&](const char* step) {
        if (env.endings == 0) {
            return false;
        }
        out.step = QLatin1String(step);
        return true;
    };
    const auto press = [&](const win::Window& window, const char* name) {
        auto* b = control<QAbstractButton>(window, name);
        if (!b || !b->isVisible() || !b->isEnabled()) {
            out.step = QStringLiteral("%1.%2 cannot be pressed").arg(window.id(), name);
            return false;
        }
        b->click();
        return true;
    };
    *answeredRight = 0;
    registerProgramWindows();
    app::Main();
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuExamsub1"))->trigger();
    if (ended("intro") || !press(win::Intro, "Command1") || ended("notice") ||
        !press(win::Notice, "OKButton") || ended("exam window")) {
        return out;
    }
    QSet<QString> seen;
    for (int q = 1; q <= kQuestions; ++q) {
        const QString id = control<QLineEdit>(win::Exam, "Text1")->text();
        const std::array<bool, 5> key = keyOf(id);
        const bool single = control<QRadioButton>(win::Exam, "Option1")->isVisible();
        for (int n = 1; n <= 5; ++n) {
            if (key[size_t(n - 1)]) {
                const QByteArray name = (single ? "Option" : "Check") + QByteArray::number(n);
                press(win::Exam, name.constData());
            }
        }
        if (!id.isEmpty() && !seen.contains(id)) {
            seen.insert(id);
            ++*answeredRight;
        }
        if (q < kQuestions) {
            if (!press(win::Exam, "CmdNextQ") || ended("moving on")) {
                return out;
            }
        }
    }
    env.prompts.answer(prompts::Answer::Ok);
    if (!press(win::Exam, "cmdEndExam") || ended("scoring")) {
        return out;
    }
    out.score = control<QLabel>(win::ScoreSheet, "lblScoreObtained")->text();
    if (!press(win::ScoreSheet, "CmdAnswers") || ended("review") ||
        !press(win::WrongAnswers, "cmdScoreRep") || !press(win::ScoreSheet, "CmdExit") ||
        ended("leaving the score sheet")) {
        return out;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam1"))->trigger();
    if (ended("study window")) {
        return out;
    }
    for (int q = 1; q < kQuestions; ++q) {
        if (!press(win::Study, "CmdNextQ") || ended("study window moving on")) {
            return out;
        }
    }
    out.studied = press(win::Study, "cmdEnd") && !ended("study window end") &&
                  forms::get<Form1>().isVisible();
    out.step = QStringLiteral("done");
    return out;
}

// A helper process working on the file the way another program would.
QProcess* helper(const QStringList& args) {
    auto* p = new QProcess;
    p->start(QCoreApplication::applicationFilePath(), args);
    return p;
}

int helperMain(const QStringList& args) {
    const QString file = args.value(1);
    const QString mode = args.value(2);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        return 3;
    }
    const auto run = [db](const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            std::cerr << sqlite3_errmsg(db) << '\n';
            std::exit(4);
        }
    };
    if (args[0] == QLatin1String("--hold")) {
        run(mode == QLatin1String("transaction") ? "BEGIN EXCLUSIVE; SELECT count(*) FROM cat;"
                                                 : "PRAGMA locking_mode = EXCLUSIVE; BEGIN "
                                                   "EXCLUSIVE; UPDATE cat SET sl_no = sl_no; "
                                                   "COMMIT;");
        std::cout << "held" << std::endl;
        std::string line;
        std::getline(std::cin, line);  // until the test lets go
        return 0;
    }
    // --die-mid-write: a writer killed with its work half done.
    run("PRAGMA wal_autocheckpoint = 0; PRAGMA cache_size = 10;");
    if (mode == QLatin1String("wal")) {
        run("BEGIN; UPDATE exam1 SET question = 'Rewritten ' || question; COMMIT;");
    } else {
        run("BEGIN; UPDATE exam11 SET correctanswer1 = 1 - correctanswer1, "
            "explanation = printf('%.3000c', 'x'); UPDATE exam1 SET explanation = "
            "printf('%.3000c', 'y');");
    }
    raise(SIGKILL);
    return 5;
}

QByteArray goodBank;

}  // namespace

class TestBadDatabases : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void eachFileWorksOrEndsWithOneMessage_data();
    void eachFileWorksOrEndsWithOneMessage();
};

void TestBadDatabases::initTestCase() {
    testsupport::FixtureDatabase db;
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        names << QStringLiteral("Area %1").arg(i);
    }
    db.addCategories(names);
    for (int id = 1; id <= kQuestions; ++id) {
        testsupport::Question q;
        q.id = id;
        q.catId = id % 4;
        q.catDesc = names[q.catId];
        q.question = QStringLiteral("Question %1").arg(id);
        q.answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d"), QStringLiteral("e")};
        if (id % 3 == 0) {
            q.key = {true, false, true, false, false};
        } else {
            q.key[size_t(id % 5)] = true;
            q.questionType = QStringLiteral("single_answer");
        }
        q.explanation = QStringLiteral("Because.");
        db.addQuestion(1, q);
    }
    db.setTestInformation(
        {QStringLiteral("Exam"), QStringLiteral("n"), QString(), QString(), QString(), QString()});
    db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    goodBank = faults::readAll(db.path());
    QVERIFY(goodBank.size() > 4096);
}

// How each file is spoilt, in a folder of its own with a sound bank in kvn09.mdb.
enum class Damage {
    None,
    Missing,
    ZeroBytes,
    Truncated,
    RandomBytes,
    TextFile,
    Sql,         // statements run on the sound file
    HotJournal,  // a rollback-journal writer killed mid-transaction
    HotWal,      // a WAL writer killed after its commit, before any checkpoint
    ReadOnlyFile,
    ReadOnlyFolder,
    ReadOnlyFolderOnly,  // the file itself stays writable
    LockedTransaction,
    LockedExclusively,
};
Q_DECLARE_METATYPE(Damage)

void TestBadDatabases::eachFileWorksOrEndsWithOneMessage_data() {
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("statements");
    // "1000/1000" and the like: the exam runs and scores right. Otherwise the words the one
    // message must hold besides the file's name.
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, Damage d, const QString& sql, const char* expected) {
        QTest::newRow(name) << d << sql << QString::fromUtf8(expected);
    };
    // A table rebuilt without its key and constraints, so the file can hold what the schema
    // would refuse.
    const auto loose = [](const QString& table, const QString& columns) {
        return QStringLiteral(
                   "CREATE TABLE t AS SELECT * FROM %1; DROP TABLE %1; "
                   "CREATE TABLE %1 (%2); INSERT INTO %1 SELECT * FROM t; "
                   "DROP TABLE t;")
            .arg(table, columns);
    };
    const QString examColumns = QStringLiteral(
        "ID, catID, cat_desc, question, answer1, answer2, answer3, answer4, answer5, "
        "correctanswer1, correctanswer2, correctanswer3, correctanswer4, correctanswer5, "
        "explanation, question_type, diagram1");
    const QString keyColumns = QStringLiteral(
        "ID, question, answer1, answer2, answer3, answer4, answer5, correctanswer1, "
        "correctanswer2, correctanswer3, correctanswer4, correctanswer5, explanation, "
        "diagram1, question_type");
    const QString bothLoose =
        loose(QStringLiteral("exam1"), examColumns) + loose(QStringLiteral("exam11"), keyColumns);

    row("sound file", Damage::None, {}, "1000/1000");
    row("missing", Damage::Missing, {}, "Could not find file");
    row("zero bytes", Damage::ZeroBytes, {}, "Unrecognized database format");
    row("truncated", Damage::Truncated, {}, "malformed");
    row("random bytes", Damage::RandomBytes, {}, "Unrecognized database format");
    row("text file", Damage::TextFile, {}, "Unrecognized database format");
    row("table missing", Damage::Sql, QStringLiteral("DROP TABLE exam11;"),
        "Cannot find the input table 'exam11'");
    row("column missing", Damage::Sql, QStringLiteral("ALTER TABLE exam1 DROP COLUMN answer5;"),
        "column 'answer5' of table 'exam1'");
    row("text in a key's Yes/No column", Damage::Sql,
        QStringLiteral("UPDATE exam11 SET correctanswer2 = 'Yes' WHERE ID = 7;"),
        "table 'exam11' column 'correctanswer2': ID 7 holds 'Yes'");
    row("text in a response column", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET correctanswer3 = 'ticked' WHERE ID = 8;"), "1000/1000");
    row("NULL in every column of a question", Damage::Sql,
        bothLoose + QStringLiteral("UPDATE exam1 SET ID = NULL, catID = NULL, cat_desc = NULL, "
                                   "question = NULL, answer1 = NULL, answer2 = NULL, answer3 = "
                                   "NULL, answer4 = NULL, answer5 = NULL, correctanswer1 = NULL, "
                                   "correctanswer2 = NULL, correctanswer3 = NULL, correctanswer4 "
                                   "= NULL, correctanswer5 = NULL, explanation = NULL, "
                                   "question_type = NULL, diagram1 = NULL WHERE ID = 5;"
                                   "UPDATE exam11 SET correctanswer1 = NULL, correctanswer2 = "
                                   "NULL, correctanswer3 = NULL, correctanswer4 = NULL, "
                                   "correctanswer5 = NULL, question = NULL, answer1 = NULL, "
                                   "explanation = NULL WHERE ID = 5;"),
        "table 'exam1' has a question without a whole-number ID");
    row("negative IDs", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET ID = -ID; UPDATE exam11 SET ID = -ID;"), "1000/1000");
    row("huge IDs", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET ID = 9223372036854775807 - ID; "
                       "UPDATE exam11 SET ID = 9223372036854775807 - ID;"),
        "1000/1000");
    row("duplicate IDs", Damage::Sql,
        bothLoose + QStringLiteral("UPDATE exam1 SET ID = 1 WHERE ID = 2; "
                                   "UPDATE exam11 SET ID = 1 WHERE ID = 2;"),
        "table 'exam1' has more than one question with ID 1");
    row("catID out of range", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET catID = 99 WHERE ID % 10 = 0; "
                       "UPDATE exam1 SET catID = -1 WHERE ID % 10 = 1;"),
        "1000/1000");
    row("empty cat table", Damage::Sql, QStringLiteral("DELETE FROM cat;"), "1000/1000");
    row("10 MB question", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET question = printf('%.10485760c', 'q') WHERE ID = 3; "
                       "UPDATE exam11 SET question = printf('%.10485760c', 'q') WHERE ID = 3;"),
        "table 'exam1' column 'question': row 3 holds 10485760 characters");
    row("64 KiB question, the most that is shown", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET question = printf('%.65535c', 'q') WHERE ID = 3; "
                       "UPDATE exam11 SET explanation = printf('%.65535c', 'e') WHERE ID = 3;"),
        "1000/1000");
    // More bytes than the limit, fewer characters: the size of a row alone must not condemn it.
    row("64 KiB of two-byte letters", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET question = replace(printf('%.40000c', 'x'), 'x', "
                       "char(233)) WHERE ID = 3;"),
        "1000/1000");
    row("a big blob in a column of the publisher's own", Damage::Sql,
        QStringLiteral("ALTER TABLE exam11 ADD COLUMN picture BLOB; "
                       "UPDATE exam11 SET picture = zeroblob(200000) WHERE ID = 3;"),
        "1000/1000");
    row("invalid UTF-8", Damage::Sql,
        QStringLiteral("UPDATE exam1 SET question = CAST(X'51C328FFFE' AS TEXT), answer1 = "
                       "CAST(X'80' AS TEXT) WHERE ID = 4; UPDATE exam11 SET explanation = "
                       "CAST(X'E282' AS TEXT) WHERE ID = 4; UPDATE cat SET cat_desc = "
                       "CAST(X'C0AF' AS TEXT);"),
        "1000/1000");
    row("hot journal of a killed writer", Damage::HotJournal, {}, "1000/1000");
    row("WAL of a killed writer", Damage::HotWal, {}, "1000/1000");
    row("read-only file", Damage::ReadOnlyFile, {}, "read-only");
    row("read-only folder", Damage::ReadOnlyFolder, {}, "read-only");
    row("read-only folder, writable file", Damage::ReadOnlyFolderOnly, {}, "folder is read-only");
    row("locked by a transaction elsewhere", Damage::LockedTransaction, {}, "database is locked");
    row("locked exclusively elsewhere", Damage::LockedExclusively, {}, "database is locked");
}

void TestBadDatabases::eachFileWorksOrEndsWithOneMessage() {
    QFETCH(Damage, damage);
    QFETCH(QString, statements);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QTemporaryDir spare;
    const auto goodCopy = [&](const QString&) {
        const QString copy = spare.filePath(kFile);
        faults::writeAll(copy, goodBank);
        return copy;
    };
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
    const QString path = dir.filePath(kFile);
    if (damage != Damage::Missing) {
        QVERIFY(faults::writeAll(path, goodBank));
    }
    std::unique_ptr<QProcess> holder;
    QStringList mounted;
    const auto unmount = qScopeGuard([&] {
        for (const QString& m : mounted) {
            umount2(QFile::encodeName(m).constData(), MNT_DETACH);
        }
        // Without root the folder was made read-only by its permissions; give them back so
        // the folder can be removed.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (holder) {
            holder->closeWriteChannel();
            holder->waitForFinished(5000);
        }
    });
    const auto readOnly = [&](const QString& target) {
        if (geteuid() != 0) {
            return QFile::setPermissions(target, QFileInfo(target).isDir()
                                                     ? QFile::ReadOwner | QFile::ExeOwner
                                                     : QFile::ReadOwner);
        }
        // Permission bits do not stop root: a read-only bind mount does.
        const QByteArray t = QFile::encodeName(target);
        if (!mountsArePrivate || mount(t.constData(), t.constData(), nullptr, MS_BIND, nullptr)) {
            return false;
        }
        mounted << target;
        return mount(nullptr, t.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
    };

    switch (damage) {
        case Damage::None:
        case Damage::Missing:
            break;
        case Damage::ZeroBytes:
            QVERIFY(faults::writeAll(path, {}));
            break;
        case Damage::Truncated:
            QVERIFY(faults::writeAll(path, goodBank.left(goodBank.size() / 3)));
            break;
        case Damage::RandomBytes: {
            QByteArray noise(int(goodBank.size()), '\0');
            for (char& c : noise) {
                c = char(QRandomGenerator::global()->bounded(256));
            }
            QVERIFY(faults::writeAll(path, noise));
            break;
        }
        case Damage::TextFile:
            QVERIFY(faults::writeAll(path, "ID,question\n1,What is a bank?\n"));
            break;
        case Damage::Sql:
            faults::sql(path, statements);
            break;
        case Damage::HotJournal:
        case Damage::HotWal: {
            const bool wal = damage == Damage::HotWal;
            if (!wal) {
                faults::sql(path, QStringLiteral("PRAGMA journal_mode = DELETE;"));
            }
            std::unique_ptr<QProcess> writer(
                helper({QStringLiteral("--die-mid-write"), path,
                        wal ? QStringLiteral("wal") : QStringLiteral("rollback")}));
            QVERIFY(writer->waitForFinished(30000));
            QCOMPARE(writer->exitStatus(), QProcess::CrashExit);
            const QString left = path + (wal ? QStringLiteral("-wal") : QStringLiteral("-journal"));
            QVERIFY2(QFileInfo(left).size() > 0, "the killed writer left no journal");
            break;
        }
        case Damage::ReadOnlyFile:
            if (!readOnly(path)) {
                QSKIP("cannot make the file read-only here (root without a private mount)");
            }
            break;
        case Damage::ReadOnlyFolderOnly:
            // Bind the file writable again over the read-only folder.
            if (!readOnly(dir.path()) ||
                (geteuid() == 0 &&
                 mount(QFile::encodeName(goodCopy(dir.path())).constData(),
                       QFile::encodeName(path).constData(), nullptr, MS_BIND, nullptr) != 0)) {
                QSKIP("cannot make the folder read-only here (root without a private mount)");
            }
            if (geteuid() == 0) {
                mounted.prepend(path);
            }
            break;
        case Damage::ReadOnlyFolder:
            if (!readOnly(dir.path())) {
                QSKIP("cannot make the folder read-only here (root without a private mount)");
            }
            break;
        case Damage::LockedTransaction:
        case Damage::LockedExclusively:
            holder.reset(
                helper({QStringLiteral("--hold"), path,
                        damage == Damage::LockedTransaction ? QStringLiteral("transaction")
                                                            : QStringLiteral("exclusive")}));
            QVERIFY(holder->waitForReadyRead(10000));
            QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
            break;
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    QElapsedTimer clock;
    clock.start();
    int answeredRight = 0;
    Outcome out;
    QStringList shown;
    {
        AppTestEnv env(app::fullEdition());
        out = takeExam(env, &answeredRight);
        out.endings = env.endings;
        for (const prompts::Shown& s : env.prompts.shown()) {
            if (s.kind == prompts::Shown::Kind::Message &&
                !s.text.startsWith(QLatin1String("Do you really wish to end the test?"))) {
                shown << s.text;
            }
        }
    }
    const qint64 took = clock.elapsed();
    const QString report =
        QStringLiteral("step: %1; score: %2; messages: %3; %4 ms")
            .arg(out.step, out.score,
                 shown.join(QStringLiteral(" | ")).replace(QLatin1Char('\n'), QLatin1Char(' ')))
            .arg(took);
    qInfo().noquote() << report;

    QVERIFY2(took < 60000, qPrintable(report));
    if (expected.endsWith(QLatin1String("/1000"))) {
        QVERIFY2(shown.isEmpty() && out.endings == 0, qPrintable(report));
        QCOMPARE(out.score, expected);
        QCOMPARE(out.score, QStringLiteral("%1/1000").arg(answeredRight * 1000 / kQuestions));
        QVERIFY2(out.studied, qPrintable(report));
    } else {
        QVERIFY2(shown.size() == 1 && out.endings == 1, qPrintable(report));
        QVERIFY2(shown.front().contains(expected, Qt::CaseInsensitive), qPrintable(report));
        QVERIFY2(shown.front().contains(kFile), qPrintable(report));
        QVERIFY2(out.score.isEmpty() || out.score == QLatin1String("0/1000"), qPrintable(report));
    }
    // Only SQLite's own companions may appear beside the file; nothing where there was none.
    QStringList after = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    after.removeAll(kFile + QStringLiteral("-wal"));
    after.removeAll(kFile + QStringLiteral("-shm"));
    for (const QString& name : before) {
        after.removeAll(name);
    }
    QVERIFY2(after.isEmpty(), qPrintable(after.join(QLatin1Char(' '))));
}

int main(int argc, char** argv) {
    // The test starts itself again to play the other program that holds or half-writes a file.
    if (argc > 2 && (QByteArray(argv[1]) == "--hold" || QByteArray(argv[1]) == "--die-mid-write")) {
        QCoreApplication app(argc, argv);
        return helperMain(QCoreApplication::arguments().mid(1));
    }
    mountsArePrivate = faults::privateMounts();
    QApplication app(argc, argv);
    TestBadDatabases test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_bad_databases.moc"
