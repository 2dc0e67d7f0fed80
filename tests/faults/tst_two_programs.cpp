// A second program on the database file one is already using is turned away before it shows
// a window, and a program that was killed leaves nothing that keeps the next one out.
#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "app/database_lock.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "start/form1.h"

using testsupport::FixtureDatabase;

namespace {

// Whether process pid holds a flock; /proc/locks lists every lock of the machine.
bool holdsFlock(qint64 pid) {
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray needle = " " + QByteArray::number(pid) + " ";
    for (const QByteArray& line : locks.readAll().split('\n')) {
        if (line.contains("FLOCK") && line.contains(needle)) {
            return true;
        }
    }
    return false;
}

// The real program, started in the working directory as a candidate would start it.
class RunningProgram {
public:
    explicit RunningProgram(const QString& program) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(QDir::currentPath());
        process_.start(program, {});
    }
    ~RunningProgram() { kill(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Waits until the program holds its lock.
    bool waitForLock() {
        if (!process_.waitForStarted(10000)) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000 && process_.state() == QProcess::Running) {
            if (holdsFlock(process_.processId())) {
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
    void kill() {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(pid_t(process_.processId()), SIGKILL);
            process_.waitForFinished(10000);
        }
    }

private:
    QProcess process_;
};

}  // namespace

class TestTwoPrograms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void secondProgramIsTurnedAway();
    void killedProgramLeavesNoLockBehind();
    void editionsInOneFolderUseTheirOwnFiles();
    void missingFileIsLeftToTheDatabase();
};

void TestTwoPrograms::initTestCase() {
    if (!QFile::exists(QStringLiteral("/proc/locks"))) {
        QSKIP("/proc/locks is needed to see when the first program holds its lock");
    }
}

void TestTwoPrograms::secondProgramIsTurnedAway() {
    FixtureDatabase db;
    db.addQuestions(1, 5);
    RunningProgram first(QStringLiteral(PRAXILO_KVN_PRO));
    QVERIFY(first.waitForLock());

    AppTestEnv env(app::fullEdition());
    const int code = app::run(*qApp, app::fullEdition());
    QCOMPARE(code, 1);
    QCOMPARE(env.prompts.shown().size(), size_t(1));
    const prompts::Shown& shown = env.prompts.shown().front();
    QCOMPARE(shown.icon, prompts::Icon::Critical);
    QVERIFY2(shown.text.contains(QLatin1String("'kvn09.mdb'")), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(QLatin1String("in use")), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(QDir::toNativeSeparators(QDir::currentPath())),
             qPrintable(shown.text));
    QVERIFY(forms::existing<Form1>() == nullptr);
    QVERIFY(probe::visibleTopLevels().isEmpty());
    // The first candidate's draw is untouched.
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
}

void TestTwoPrograms::killedProgramLeavesNoLockBehind() {
    FixtureDatabase db;
    db.addQuestions(1, 5);
    RunningProgram first(QStringLiteral(PRAXILO_KVN_PRO));
    QVERIFY(first.waitForLock());
    app::DatabaseLock lock;
    QVERIFY(!lock.claim(db.fileName()));
    first.kill();
    QVERIFY(lock.claim(db.fileName()));
    QVERIFY(lock.held());
    // And a program started after it runs.
    RunningProgram next(QStringLiteral(PRAXILO_KVN_PRO));
    lock.release();
    QVERIFY(next.waitForLock());
    const QStringList files = QDir::current().entryList(QDir::Files);
    QVERIFY2(!files.join(QLatin1Char(' ')).contains(QLatin1String(".lock")),
             qPrintable(files.join(QLatin1Char(' '))));
}

void TestTwoPrograms::editionsInOneFolderUseTheirOwnFiles() {
    FixtureDatabase full;
    QVERIFY(QFile::copy(full.path(), QStringLiteral("kvn009.mdb")));
    RunningProgram fullProgram(QStringLiteral(PRAXILO_KVN_PRO));
    QVERIFY(fullProgram.waitForLock());
    RunningProgram demoProgram(QStringLiteral(PRAXILO_KVN_DEMO));
    QVERIFY(demoProgram.waitForLock());
    app::DatabaseLock fullLock;
    app::DatabaseLock demoLock;
    QVERIFY(!fullLock.claim(QStringLiteral("kvn09.mdb")));
    QVERIFY(!demoLock.claim(QStringLiteral("kvn009.mdb")));
}

void TestTwoPrograms::missingFileIsLeftToTheDatabase() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    app::DatabaseLock lock;
    const bool claimed = lock.claim(QStringLiteral("kvn09.mdb"));
    const QStringList files = QDir::current().entryList(QDir::Files | QDir::Hidden);
    QDir::setCurrent(previous);
    QVERIFY(claimed);
    QVERIFY(!lock.held());
    QVERIFY2(files.isEmpty(), qPrintable(files.join(QLatin1Char(' '))));
}

QTEST_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
