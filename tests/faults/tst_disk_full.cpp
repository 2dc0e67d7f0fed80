// Answers written while the disk holding the database is full: the candidate is told, the
// program ends after that one message, every answer saved before is still there, and once
// there is room again the next exam runs. The progress history and its export on a full disk
// say so once, and the program goes on; an attempt and the statements queued with it for a
// record store are both kept or both refused.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "fault_support.h"
#include "fixture_database.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "program_windows.h"
#include "progress/progress_window.h"
#include "progress/progress_windows.h"
#include "start/form1.h"
#include "xapi/exam_statements.h"
#include "xapi/outbox.h"

namespace {

constexpr int kQuestions = 116;
const QString kFile = QStringLiteral("kvn09.mdb");
QByteArray bank;

void press(const QString& window, const char* name) {
    QWidget* w = flow::existing(window);
    QVERIFY2(w, qPrintable(window));
    auto* button = w->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button && button->isVisible() && button->isEnabled(), name);
    button->click();
}

// Marks choice n of the question on show, with its option button or its check box.
void mark(int n) {
    QWidget* exam = flow::existing(win::Exam);
    QVERIFY(exam);
    const QByteArray option = "Option" + QByteArray::number(n);
    const bool single = exam->findChild<QWidget*>(QLatin1String(option))->isVisible();
    const QByteArray check = "Check" + QByteArray::number(n);
    press(win::Exam, single ? option.constData() : check.constData());
}

// Takes up every free byte of the file system holding dir.
void fill(const QString& dir) {
    QFile filler(QDir(dir).filePath(QStringLiteral("filler")));
    // Unbuffered: a buffer that failed to flush would keep the smaller writes from the disk.
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(64 * 1024, 'f');
    qint64 written = 0;
    while ((written = filler.write(block)) == block.size() && filler.flush()) {
    }
    for (int size = 4096; size > 0; size /= 2) {
        while (filler.write(block.left(size)) == size && filler.flush()) {
        }
    }
}

QString answersOf(const QString& id) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(kFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    QString out;
    sqlite3_prepare_v2(db,
                       "SELECT correctanswer1 || correctanswer2 || correctanswer3 || "
                       "correctanswer4 || correctanswer5 FROM exam1 WHERE ID = ?1",
                       -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, id.toLongLong());
    if (sqlite3_step(s) == SQLITE_ROW) {
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

QString integrity() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(kFile).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    const QString out =
        sqlite3_step(s) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)))
            : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

// Stops where the program ended, if it did.
void startExam(const AppTestEnv& env) {
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuExamsub1"))->trigger();
    if (env.endings == 0) {
        press(win::Intro, "Command1");
    }
    if (env.endings == 0) {
        press(win::Notice, "OKButton");
    }
}

history::AttemptRecord scored(int minutesAgo) {
    history::AttemptRecord a;
    a.edition = QStringLiteral("full");
    a.exam = 1;
    a.candidate = QStringLiteral("Ann");
    a.ended = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
    a.started = a.ended.addSecs(-3600);
    a.score = 640;
    a.passMark = 750;
    a.categories = {{0, QStringLiteral("One"), 58, 40}, {1, QStringLiteral("Two"), 58, 30}};
    for (int q = 1; q <= kQuestions; ++q) {
        a.questions.push_back({q, q, q % 3 != 0, {}, {}});
    }
    return a;
}

// An exam's 117 statements, queued with whatever attempt is recorded.
history::Alongside toldAlongside() {
    session::ScoreReport report;
    report.drawn.resize(kQuestions);
    const xapi::AttemptFacts facts{QStringLiteral("https://centre.example.org/"),
                                   QStringLiteral("Ann"),
                                   QUuid::createUuid().toString(QUuid::WithoutBraces),
                                   QStringLiteral("Korvane Practice Exam"), 1};
    return [told = xapi::examStatements(facts, report)](sqlite3* db) {
        xapi::outbox::queue(db, told);
    };
}

QLineEdit* shownId() {
    return flow::existing(win::Exam)->findChild<QLineEdit*>(QStringLiteral("Text1"));
}

}  // namespace

class TestDiskFull : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fullDisk_data();
    void fullDisk();
    void historyAndExportOnFullDisk();
};

void TestDiskFull::initTestCase() {
    testsupport::FixtureDatabase db;
    db.addCategories({QStringLiteral("One"), QStringLiteral("Two")});
    db.addQuestions(1, kQuestions, 2);
    db.setTestInformation(
        {QStringLiteral("Exam"), QStringLiteral("n"), QString(), QString(), QString(), QString()});
    db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    bank = faults::readAll(db.path());
}

void TestDiskFull::fullDisk_data() {
    QTest::addColumn<int>("answeredBefore");  // questions answered and moved past with room
    QTest::addColumn<QString>("fullAt");      // "answering", "draw", "scoring", "leaving"
    QTest::newRow("while answering") << 20 << "answering";
    QTest::newRow("at the draw") << 0 << "draw";
    QTest::newRow("at the score sheet") << 30 << "scoring";
    QTest::newRow("leaving the score sheet") << 30 << "leaving";
}

void TestDiskFull::fullDisk() {
    QFETCH(int, answeredBefore);
    QFETCH(QString, fullAt);
    QTemporaryDir base;
    const QByteArray disk = QFile::encodeName(base.path());
    QVERIFY2(mount("praxilo-full", disk.constData(), "tmpfs", 0, "size=4m") == 0,
             "cannot mount a small tmpfs");
    const auto unmount = qScopeGuard([&] { umount2(disk.constData(), MNT_DETACH); });
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(base.path()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
    QVERIFY(faults::writeAll(kFile, bank));

    QMap<QString, QString> saved;
    {
        AppTestEnv env(app::fullEdition());
        registerProgramWindows();
        app::Main();
        if (fullAt == QLatin1String("draw")) {
            fill(base.path());
        }
        startExam(env);
        for (int q = 0; q < answeredBefore && env.endings == 0; ++q) {
            const QString id = shownId()->text();
            mark(q % 2 ? 2 : 1);
            press(win::Exam, "CmdNextQ");
            QVERIFY(!QTest::currentTestFailed());
            saved[id] = q % 2 ? QStringLiteral("01000") : QStringLiteral("10000");
        }
        if (fullAt == QLatin1String("answering")) {
            fill(base.path());
            for (int q = answeredBefore; q < kQuestions && env.endings == 0; ++q) {
                mark(3);
                press(win::Exam, "CmdNextQ");
                QVERIFY(!QTest::currentTestFailed());
            }
        }
        if (fullAt == QLatin1String("scoring")) {
            fill(base.path());
        }
        if (env.endings == 0 && flow::existing(win::Exam) &&
            flow::existing(win::Exam)->isVisible()) {
            env.prompts.answer(prompts::Answer::Ok);
            press(win::Exam, "cmdEndExam");
        }
        if (fullAt == QLatin1String("leaving") && env.endings == 0) {
            fill(base.path());
            press(win::ScoreSheet, "CmdExit");
        }

        QStringList messages;
        for (const prompts::Shown& s : env.prompts.shown()) {
            if (s.kind == prompts::Shown::Kind::Message &&
                !s.text.startsWith(QLatin1String("Do you really wish to end the test?"))) {
                messages << s.text;
            }
        }
        const QString report = messages.join(QStringLiteral(" | "));
        qInfo().noquote() << fullAt << "->"
                          << QString(report).replace(QLatin1Char('\n'), QLatin1Char(' '));
        // A write that still found room in the journal is no failure; one that found none ends
        // the program after one message saying so.
        if (env.endings != 0 || !messages.isEmpty()) {
            QCOMPARE(env.endings, 1);
            QCOMPARE(messages.size(), 1);
            QVERIFY2(report.contains(QLatin1String("disk is full")), qPrintable(report));
            QVERIFY2(report.contains(kFile), qPrintable(report));
        } else {
            QVERIFY2(fullAt != QLatin1String("answering"),
                     "answers to 116 questions never hit "
                     "the full disk");
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(QFile::remove(QStringLiteral("filler")));
    QCOMPARE(integrity(), QStringLiteral("ok"));
    if (fullAt != QLatin1String("leaving")) {
        for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
            QCOMPARE(answersOf(it.key()), it.value());
        }
    }

    // With room again the next exam starts clean and runs to its score sheet.
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    app::Main();
    startExam(env);
    QCOMPARE(env.endings, 0);
    QCOMPARE(answersOf(shownId()->text()), QStringLiteral("00000"));
    env.prompts.answer(prompts::Answer::Ok);
    press(win::Exam, "cmdEndExam");
    QCOMPARE(env.endings, 0);
    QVERIFY(flow::existing(win::ScoreSheet)->isVisible());
}

void TestDiskFull::historyAndExportOnFullDisk() {
    QTemporaryDir base;
    const QByteArray disk = QFile::encodeName(base.path());
    QVERIFY2(mount("praxilo-full", disk.constData(), "tmpfs", 0, "size=4m") == 0,
             "cannot mount a small tmpfs");
    const auto unmount = qScopeGuard([&] { umount2(disk.constData(), MNT_DETACH); });
    AppTestEnv env(app::fullEdition());
    const QDir folder(base.path());
    history::setLocation(folder.filePath(QStringLiteral("history.sqlite")));
    for (int n = 0; n < 39; ++n) {
        history::recordAttempt(scored(200 - n));
    }
    // The last one with the statements a training centre's record store is told.
    QVERIFY(history::recordAttempt(scored(100), toldAlongside()));
    // Closed, the history leaves no journal whose room a new attempt could reuse.
    history::closeStore();
    const QString csv = folder.filePath(QStringLiteral("progress.csv"));
    const QByteArray earlier("earlier export\r\n");
    QVERIFY(faults::writeAll(csv, earlier));
    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    QCOMPARE(w.shownAttempts().size(), size_t(40));

    fill(base.path());
    QVERIFY(!w.exportCsv(csv));
    QCOMPARE(faults::readAll(csv), earlier);
    QCOMPARE(folder.entryList(QDir::Files),
             (QStringList{"filler", "history.sqlite", "history.sqlite-shm", "history.sqlite-wal",
                          "progress.csv"}));

    // Refused whole: neither the attempt nor its statements.
    QVERIFY(!history::recordAttempt(scored(0), toldAlongside()));
    QCOMPARE(env.endings, 0);
    QCOMPARE(env.prompts.shown().size(), size_t(1));
    const QString text = env.prompts.shown().front().text;
    QVERIFY2(text.contains(QLatin1String("the disk that holds it is full")) &&
                 text.count(QLatin1String("is full")) == 1 &&
                 !text.contains(QLatin1String("exam database")) &&
                 !text.contains(QLatin1String("..")),
             qPrintable(text));
    w.Unload();
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("filler"))));
    history::closeStore();
    QCOMPARE(history::HistoryStore(history::location()).attempts().size(), size_t(40));
    QCOMPARE(xapi::Outbox(history::location()).counts().waiting, kQuestions + 1);
}

int main(int argc, char** argv) {
    // A tmpfs of our own needs root and a mount namespace of our own.
    if (!faults::privateMounts()) {
        std::puts("SKIP: mounting a small tmpfs needs root and a private mount namespace");
        return 77;
    }
    QApplication app(argc, argv);
    TestDiskFull test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_disk_full.moc"
