// A second program on the database file one is already using is turned away before it shows
// a window, and a program that was killed leaves nothing that keeps the next one out. Installed
// programs on a user's copy: a new bank installed while one runs lets no second one in, and a
// damaged copy or a dead start's staging is mended at the next start.
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "app/database_lock.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "start/bank_folder.h"
#include "start/form1.h"

using testsupport::FixtureDatabase;

namespace {

const QString kBank = QStringLiteral("kvn09.mdb");

// The inode of a file; 0 when there is none.
quint64 inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

// Whether process pid holds a flock, on the file with that inode when one is given;
// /proc/locks lists every lock of the machine.
bool holdsFlock(qint64 pid, quint64 inode = 0) {
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray needle = " " + QByteArray::number(pid) + " ";
    const QByteArray file = ":" + QByteArray::number(inode) + " ";
    for (const QByteArray& line : locks.readAll().split('\n')) {
        if (line.contains("FLOCK") && line.contains(needle) &&
            (inode == 0 || line.contains(file))) {
            return true;
        }
    }
    return false;
}

// Whether process pid still has a file open that was deleted or renamed over: a bank renewed
// under it.
bool keepsDeletedBank(qint64 pid) {
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char target[4096];
        const ssize_t n = ::readlink(QFile::encodeName(fds + QLatin1Char('/') + fd).constData(),
                                     target, sizeof target - 1);
        const QByteArray link(target, n > 0 ? int(n) : 0);
        if (link.contains(kBank.toUtf8()) && link.endsWith(" (deleted)")) {
            return true;
        }
    }
    return false;
}

// The CPU time process pid has used, in clock ticks; -1 when it is gone.
qint64 cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    // After the command's closing parenthesis: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// The first question of a bank as it stands, read beside any program that has it open.
QString firstQuestion(const QString& bank) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(bank).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* statement = nullptr;
    QString question;
    if (sqlite3_prepare_v2(db, "SELECT question FROM exam1 ORDER BY ID LIMIT 1", -1, &statement,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        question =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return question;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The real program, started in a folder as a candidate would start it: by default the working
// directory, under the test's own home folder; with home, under that one.
class RunningProgram {
public:
    explicit RunningProgram(const QString& program, const QString& folder = QDir::currentPath(),
                            const QString& home = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!home.isEmpty()) {
            env.insert(QStringLiteral("HOME"), home);
            env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        }
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(folder);
        process_.start(program, {});
    }
    ~RunningProgram() { kill(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    qint64 pid() const { return process_.processId(); }
    bool running() const { return process_.state() == QProcess::Running; }

    // Waits until the program holds its lock: any, or the one on file; with renewed, the one
    // on file once it is no longer the file of that inode.
    bool waitForLock(const QString& file = QString(), quint64 renewed = 0) {
        if (!process_.waitForStarted(10000)) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000 && running()) {
            const quint64 inode = file.isEmpty() ? 0 : inodeOf(file);
            if ((file.isEmpty() || (inode != 0 && inode != renewed)) && holdsFlock(pid(), inode)) {
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
    // Waits until the program has come to rest (no CPU time used for a second: it waits for
    // the user), watching that it never takes a lock. False when it took one, ended, or never
    // came to rest.
    bool waitForRestHoldingNoLock() {
        if (!process_.waitForStarted(10000)) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        QElapsedTimer still;
        still.start();
        qint64 ticks = cpuTicks(pid());
        while (timer.elapsed() < 60000 && running() && !holdsFlock(pid())) {
            const qint64 now = cpuTicks(pid());
            if (now != ticks) {
                ticks = now;
                still.restart();
            } else if (still.elapsed() >= 1000) {
                return !holdsFlock(pid());
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

// The full edition installed in a prefix of its own, as cmake --install lays it out (the
// program, and the shipped bank with its pictures where the program looks for them), and the
// home folder of the user who starts it.
class Installation {
public:
    Installation() {
        const QString bin = root_.filePath(QStringLiteral("prefix/bin"));
        // As far from the program as the installed banks are from this test's own binary.
        installed_ =
            QDir::cleanPath(QDir(bin).filePath(QDir(QCoreApplication::applicationDirPath())
                                                   .relativeFilePath(app::installedBankFolder())));
        QDir().mkpath(bin);
        QDir().mkpath(installed_);
        QDir().mkpath(home());
        // A copy, not a link: the program finds the banks from where its file is.
        QFile::copy(QStringLiteral(PRAXILO_KVN_PRO), program());
        const QDir run(QStringLiteral(PRAXILO_RUN_DIR));
        QStringList files = run.entryList({QStringLiteral("*.png")}, QDir::Files);
        files << kBank;
        for (const QString& file : std::as_const(files)) {
            QFile::copy(run.filePath(file), QDir(installed_).filePath(file));
        }
    }

    bool ready() const {
        return QFileInfo(program()).isExecutable() && QFileInfo::exists(installedBank());
    }
    QString program() const { return root_.filePath(QStringLiteral("prefix/bin/kvn_pro")); }
    QString installedFolder() const { return installed_; }
    QString installedBank() const { return QDir(installed_).filePath(kBank); }
    QString home() const { return root_.filePath(QStringLiteral("home")); }
    QString userFolder() const {
        return root_.filePath(QStringLiteral("home/.local/share/Praxilo/full"));
    }
    QString copy() const { return QDir(userFolder()).filePath(kBank); }
    // An empty folder to start a program in.
    QString folder(const QString& name) const {
        const QString path = root_.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    // A new installation: the bank's first question reworded, in the exam and the key table.
    void renewBank() const {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(installedBank()).constData(), &db);
        sqlite3_exec(db,
                     "UPDATE exam1 SET question = question || ' (revised)' WHERE ID = "
                     "(SELECT min(ID) FROM exam1);"
                     "UPDATE exam11 SET question = question || ' (revised)' WHERE ID = "
                     "(SELECT min(ID) FROM exam1)",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

private:
    QTemporaryDir root_;
    QString installed_;
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
    void newBankWhileOneRunsLetsNoSecondIn();
    void damagedCopyIsMendedAtStart();
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

// Alice's program works on her copy at its menu when a new bank is installed; Bob's program,
// started from another folder under the same user, must neither renew the copy under Alice's
// program nor write into it beside her: it is turned away, and Alice's copy stays as it was.
void TestTwoPrograms::newBankWhileOneRunsLetsNoSecondIn() {
    Installation installation;
    QVERIFY(installation.ready());
    const QString copy = installation.copy();
    RunningProgram alice(installation.program(), installation.folder(QStringLiteral("alice")),
                         installation.home());
    QVERIFY(alice.waitForLock(copy));
    const quint64 aliceFile = inodeOf(copy);
    const QString question = firstQuestion(copy);
    QVERIFY(!question.isEmpty());
    const QByteArray stamp = bytesOf(copy + QStringLiteral(".source"));
    installation.renewBank();

    RunningProgram bob(installation.program(), installation.folder(QStringLiteral("bob")),
                       installation.home());
    QVERIFY(bob.waitForRestHoldingNoLock());
    QVERIFY(bob.running());  // at its message
    // The same start in this process, where its message can be read.
    app::DatabaseLock lock;
    QCOMPARE(
        app::openUserCopy(kBank, installation.installedFolder(), installation.userFolder(), lock),
        app::databaseInUseText(kBank, installation.userFolder()));
    QVERIFY(!lock.held());
    QVERIFY(!lock.folderHeld());

    // Alice's program works on the file in place, the bank it started with.
    QCOMPARE(inodeOf(copy), aliceFile);
    QVERIFY(holdsFlock(alice.pid(), aliceFile));
    QVERIFY(!keepsDeletedBank(alice.pid()));
    QCOMPARE(firstQuestion(copy), question);
    QCOMPARE(bytesOf(copy + QStringLiteral(".source")), stamp);

    // Once both have ended, the next start brings the new bank.
    alice.kill();
    bob.kill();
    RunningProgram carol(installation.program(), installation.folder(QStringLiteral("carol")),
                         installation.home());
    QVERIFY(carol.waitForLock(copy, aliceFile));
    QCOMPARE(firstQuestion(copy), question + QStringLiteral(" (revised)"));
}

// The user's copy damaged after a first start, and the staging folder of a start killed while
// copying: the next start makes the copy again and clears the staging.
void TestTwoPrograms::damagedCopyIsMendedAtStart() {
    Installation installation;
    QVERIFY(installation.ready());
    const QString copy = installation.copy();
    {
        app::DatabaseLock first;
        QCOMPARE(app::openUserCopy(kBank, installation.installedFolder(), installation.userFolder(),
                                   first),
                 QString());
    }
    const QString question = firstQuestion(copy);
    const quint64 damagedFile = inodeOf(copy);
    QFile damaged(copy);
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(8192, 'x'));
    damaged.close();
    const QString staging =
        QDir(installation.userFolder()).filePath(QStringLiteral(".incoming-q1W2e3"));
    QVERIFY(QDir().mkpath(staging));
    QVERIFY(QFile::copy(installation.installedBank(), QDir(staging).filePath(kBank)));

    RunningProgram next(installation.program(), installation.folder(QStringLiteral("next")),
                        installation.home());
    QVERIFY(next.waitForLock(copy, damagedFile));
    QCOMPARE(firstQuestion(copy), question);
    QVERIFY(!QFileInfo::exists(staging));
}

QTEST_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
