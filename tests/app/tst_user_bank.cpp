// An installed program's bank: the user's own copy of the installed one, made on first start,
// kept while current and sound or while an exam waits to be resumed, renewed when the
// installed bank changes or the copy is damaged, never half made, and never looked at, renewed
// or cleaned while another program holds it.
#include <sqlite3.h>

#include <QtTest>

#include "app/database_lock.h"
#include "bank_check.h"
#include "fault_support.h"
#include "fixture_database.h"
#include "start/bank_folder.h"

using testsupport::FixtureDatabase;

namespace {

bool mountsOfOurOwn = false;

const QString kBank = QStringLiteral("kvn09.mdb");

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Leftovers a failed or finished copy must not leave: staging folders and half files.
QStringList strays(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".incoming-*")},
                                  QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A sound bank of six questions with one exhibit, folded into its main file, in a folder of
// its own as an installation has it.
struct Installed {
    QTemporaryDir dir;
    FixtureDatabase db;

    Installed() {
        db.addCategories({QStringLiteral("Category 0"), QStringLiteral("Category 1")});
        db.addQuestions(1, 6, 2);
        db.exec(QStringLiteral("UPDATE exam1 SET diagram1 = 'e1-picture.png' WHERE ID = 2"));
        db.exec(QStringLiteral("UPDATE exam11 SET diagram1 = 'e1-picture.png' WHERE ID = 2"));
        db.setTestInformation({QStringLiteral("Exam"), QStringLiteral("6"), QString(), QString(),
                               QString(), QString()});
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        picture.save(dir.filePath(QStringLiteral("e1-picture.png")));
        publish();
    }

    // Puts the fixture's present content where the installation keeps it.
    void publish() {
        db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QFile::remove(bank());
        QVERIFY(QFile::copy(db.path(), bank()));
    }
    QString bank() const { return dir.filePath(kBank); }
};

// Straight through SQLite, as another program would touch the files.
void run(const QString& bank, const QString& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(bank).constData(), &db);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString why = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(why));
}

int rowsIn(const QString& bank, const QString& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(bank).constData(), &db);
    sqlite3_stmt* statement = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        count = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

// The copy's exam answers: one Yes marked by the user, and with examToResume an exam under way.
void useCopy(const QString& copy, bool examToResume) {
    run(copy, QStringLiteral("UPDATE exam1 SET correctanswer1 = 1 WHERE ID = 3"));
    if (examToResume) {
        run(copy,
            QStringLiteral(
                "CREATE TABLE tblAttempt (attempt_no INTEGER PRIMARY KEY, exam INTEGER, candidate "
                "TEXT, questions INTEGER, elapsed INTEGER, position INTEGER, flags TEXT);"
                "INSERT INTO tblAttempt VALUES (1, 1, 'Ann', 6, 30, 2, '')"));
    }
}

// Garbage over the first page of one table, as a failing disk or a stray write leaves it: the
// rest of the file, the record of an exam under way among it, still reads.
void spoilTable(const QString& copy, const QString& table) {
    const int page = rowsIn(copy, QStringLiteral("PRAGMA page_size"));
    const int root = rowsIn(
        copy, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(table));
    QVERIFY(page > 0 && root > 1);
    QFile f(copy);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(qint64(root - 1) * page));
    QCOMPARE(f.write(QByteArray(page, '\x5a')), qint64(page));
}

QString inUse(const QString& user) {
    return app::databaseInUseText(kBank, user);
}

}  // namespace

class TestUserBank : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartCopiesTheBankAndItsPictures();
    void renewal_data();
    void renewal();
    void faults_data();
    void faults();
    void fullDiskLeavesNothingHalfCopied();
    void damagedCopy_data();
    void damagedCopy();
    void copyInUseIsLeftAlone_data();
    void copyInUseIsLeftAlone();
    void staleStagingIsCleared();
};

void TestUserBank::firstStartCopiesTheBankAndItsPictures() {
    Installed installed;
    QVERIFY(bank::checkDatabase(installed.bank()).isEmpty());
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));

    QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
    QCOMPARE(bytesOf(QDir(user).filePath(kBank)), bytesOf(installed.bank()));
    QCOMPARE(bytesOf(QDir(user).filePath(QStringLiteral("e1-picture.png"))),
             bytesOf(installed.dir.filePath(QStringLiteral("e1-picture.png"))));
    QVERIFY(strays(user).isEmpty());
}

void TestUserBank::renewal_data() {
    QTest::addColumn<bool>("installedChanged");
    QTest::addColumn<bool>("examToResume");
    QTest::addColumn<bool>("renewed");
    QTest::newRow("same bank: the user's answers stay") << false << false << false;
    QTest::newRow("new bank: the copy is renewed") << true << false << true;
    QTest::newRow("new bank, exam to resume: kept for now") << true << true << false;
    QTest::newRow("same bank, exam to resume") << false << true << false;
}

void TestUserBank::renewal() {
    QFETCH(bool, installedChanged);
    QFETCH(bool, examToResume);
    QFETCH(bool, renewed);
    Installed installed;
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));
    QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
    const QString copy = QDir(user).filePath(kBank);
    // The user's answer, and beside the copy the user's history, which no renewal touches.
    useCopy(copy, examToResume);
    const QString history = home.filePath(QStringLiteral("Praxilo/history.sqlite"));
    QFile(history).open(QIODevice::WriteOnly);
    if (installedChanged) {
        installed.db.addQuestions(1, 2, 2, 7);
        installed.publish();
    }

    QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
    QCOMPARE(rowsIn(copy, QStringLiteral("SELECT count(*) FROM exam1")), renewed ? 8 : 6);
    QCOMPARE(rowsIn(copy, QStringLiteral("SELECT count(*) FROM exam1 WHERE correctanswer1")),
             renewed ? 0 : 1);
    QVERIFY(QFile::exists(history));
    QVERIFY(strays(user).isEmpty());
    // Once renewed, the copy is current: the next start keeps what the user does with it.
    run(copy, QStringLiteral("UPDATE exam1 SET correctanswer2 = 1 WHERE ID = 4"));
    if (!examToResume) {
        QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
        QCOMPARE(rowsIn(copy, QStringLiteral("SELECT count(*) FROM exam1 WHERE correctanswer2")),
                 1);
    }
}

void TestUserBank::faults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("named");  // "installed" or "user": the path the message names
    QTest::addColumn<QString>("words");
    QTest::newRow("installed bank missing") << "missing"
                                            << "installed"
                                            << "not installed";
    QTest::newRow("installed bank is not a database") << "text"
                                                      << "installed"
                                                      << "damaged";
    QTest::newRow("installed bank lacks a table") << "table"
                                                  << "installed"
                                                  << "damaged";
    QTest::newRow("installed picture missing") << "picture"
                                               << "installed"
                                               << "damaged";
    QTest::newRow("data folder cannot be made") << "blocked"
                                                << "user"
                                                << "cannot create";
}

void TestUserBank::faults() {
    QFETCH(QString, fault);
    QFETCH(QString, named);
    QFETCH(QString, words);
    Installed installed;
    QTemporaryDir home;
    QString user = home.filePath(QStringLiteral("Praxilo/full"));
    if (fault == QLatin1String("missing")) {
        QFile::remove(installed.bank());
    } else if (fault == QLatin1String("text")) {
        QFile text(installed.bank());
        QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
        text.write("not a database\n");
    } else if (fault == QLatin1String("table")) {
        run(installed.bank(), QStringLiteral("DROP TABLE exam11"));
    } else if (fault == QLatin1String("picture")) {
        QFile::remove(installed.dir.filePath(QStringLiteral("e1-picture.png")));
    } else if (fault == QLatin1String("blocked")) {
        // A file where the data folder's parent should be.
        QFile(home.filePath(QStringLiteral("Praxilo"))).open(QIODevice::WriteOnly);
    }

    const QString message = app::prepareUserCopy(kBank, installed.dir.path(), user);
    const QString path = named == QLatin1String("user") ? user : installed.bank();
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QVERIFY2(message.contains(words), qPrintable(message));
    // No bank, empty or half made, where the program would open one.
    QVERIFY(!QFile::exists(QDir(user).filePath(kBank)));
    if (QFileInfo(user).isDir()) {
        QVERIFY(strays(user).isEmpty());
    }
}

void TestUserBank::fullDiskLeavesNothingHalfCopied() {
    if (!mountsOfOurOwn) {
        QSKIP("a full disk of our own needs root and a private mount namespace");
    }
    Installed installed;
    QTemporaryDir home;
    const QByteArray disk = QFile::encodeName(home.path());
    QVERIFY(mount("praxilo-full", disk.constData(), "tmpfs", 0, "size=1m") == 0);
    const auto unmount = qScopeGuard([&] { umount2(disk.constData(), MNT_DETACH); });
    // Room for the folders and the picture, not for the bank.
    const qint64 bankSize = QFileInfo(installed.bank()).size();
    QFile filler(home.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    QVERIFY(filler.resize(filler.size() - std::max<qint64>(16384, bankSize / 2)));
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));

    const QString message = app::prepareUserCopy(kBank, installed.dir.path(), user);
    QVERIFY2(message.contains(QDir::toNativeSeparators(user)), qPrintable(message));
    QVERIFY2(message.contains(QLatin1String("full")), qPrintable(message));
    QVERIFY(!QFile::exists(QDir(user).filePath(kBank)));
    QVERIFY(strays(user).isEmpty());
}

void TestUserBank::damagedCopy_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("examToResume");
    QTest::addColumn<QString>("why");  // in the message when an exam waits in the copy
    QTest::newRow("not a database any more: renewed") << "text" << false << QString();
    QTest::newRow("emptied: renewed") << "empty" << false << QString();
    QTest::newRow("a page unreadable: renewed") << "page" << false << QString();
    QTest::newRow("a table gone: renewed") << "table" << false << QString();
    QTest::newRow("a page unreadable, exam to resume: named") << "page" << true << "malformed";
    QTest::newRow("a table gone, exam to resume: named") << "table" << true << "exam11";
}

// The copy's stamp still matches the installed bank; what is in the file no longer works.
void TestUserBank::damagedCopy() {
    QFETCH(QString, damage);
    QFETCH(bool, examToResume);
    QFETCH(QString, why);
    Installed installed;
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));
    QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
    const QString copy = QDir(user).filePath(kBank);
    useCopy(copy, examToResume);
    if (damage == QLatin1String("text")) {
        QVERIFY(faults::writeAll(copy, "not a database\n"));
    } else if (damage == QLatin1String("empty")) {
        QVERIFY(faults::writeAll(copy, QByteArray()));
    } else if (damage == QLatin1String("page")) {
        spoilTable(copy, QStringLiteral("exam11"));
    } else if (damage == QLatin1String("table")) {
        run(copy, QStringLiteral("DROP TABLE exam11"));
    }
    const QByteArray damaged = bytesOf(copy);

    const QString message = app::prepareUserCopy(kBank, installed.dir.path(), user);
    if (examToResume) {
        // The unfinished exam is the user's to give up: one message names the copy and its
        // folder, and nothing is touched.
        QVERIFY2(message.contains(QDir::toNativeSeparators(user)), qPrintable(message));
        QVERIFY2(message.contains(kBank), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("damaged")), qPrintable(message));
        QVERIFY2(message.contains(why, Qt::CaseInsensitive), qPrintable(message));
        QCOMPARE(bytesOf(copy), damaged);
    } else {
        QCOMPARE(message, QString());
        QCOMPARE(bytesOf(copy), bytesOf(installed.bank()));
        QVERIFY(bank::checkDatabase(copy).isEmpty());
        // Sound again, and current: the next start keeps it.
        useCopy(copy, false);
        QCOMPARE(app::prepareUserCopy(kBank, installed.dir.path(), user), QString());
        QCOMPARE(rowsIn(copy, QStringLiteral("SELECT count(*) FROM exam1 WHERE correctanswer1")),
                 1);
    }
    QVERIFY(strays(user).isEmpty());
}

void TestUserBank::copyInUseIsLeftAlone_data() {
    QTest::addColumn<bool>("startedInTheFolder");
    // A program started elsewhere holds the user's folder; one started in the folder itself,
    // which works there as in a run folder, holds only the file.
    QTest::newRow("another program on the user's copy") << false;
    QTest::newRow("another program started in the user's folder") << true;
}

// A new bank is installed while another program works on the copy: a second start must
// neither renew the copy under it nor run beside it.
void TestUserBank::copyInUseIsLeftAlone() {
    QFETCH(bool, startedInTheFolder);
    Installed installed;
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));
    const QString copy = QDir(user).filePath(kBank);
    {
        app::DatabaseLock first;
        QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, first), QString());
        QVERIFY(first.held());
        QVERIFY(first.holds(copy));
        QVERIFY(first.folderHeld());
    }
    useCopy(copy, false);
    const QByteArray before = bytesOf(copy);
    const QByteArray stamp = bytesOf(copy + QStringLiteral(".source"));
    installed.db.addQuestions(1, 2, 2, 7);
    installed.publish();

    app::DatabaseLock other;
    if (startedInTheFolder) {
        QVERIFY(other.claim(copy));
        QVERIFY(other.held());
    } else {
        QVERIFY(other.claimFolder(user));
        QVERIFY(other.claim(copy));
    }
    app::DatabaseLock second;
    QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, second), inUse(user));
    QVERIFY(!second.held());
    QVERIFY(!second.folderHeld());
    QCOMPARE(bytesOf(copy), before);
    QCOMPARE(bytesOf(copy + QStringLiteral(".source")), stamp);
    QVERIFY(strays(user).isEmpty());

    // Once the other program has ended, the next start renews the copy.
    other.release();
    QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, second), QString());
    QVERIFY(second.held());
    QVERIFY(second.holds(copy));
    QCOMPARE(rowsIn(copy, QStringLiteral("SELECT count(*) FROM exam1")), 8);
    // And holds the new file: a program started in the folder is turned away from it.
    app::DatabaseLock third;
    QVERIFY(!third.claim(copy));
}

// A start killed while copying leaves its staging folder; the next start that holds the folder
// clears it, and one that is turned away leaves the folder as it is.
void TestUserBank::staleStagingIsCleared() {
    Installed installed;
    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral("Praxilo/full"));
    const QString copy = QDir(user).filePath(kBank);
    for (const bool firstStart : {true, false}) {
        if (!firstStart) {
            app::DatabaseLock first;
            QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, first), QString());
        }
        QVERIFY(QDir().mkpath(QDir(user).filePath(QStringLiteral(".incoming-a1B2c3"))));
        QVERIFY(QFile::copy(installed.bank(),
                            QDir(user).filePath(QStringLiteral(".incoming-a1B2c3/") + kBank)));
        QVERIFY(QDir().mkpath(QDir(user).filePath(QStringLiteral(".incoming-Zz9Yy8/empty"))));
        QCOMPARE(strays(user).size(), 2);

        app::DatabaseLock running;
        QVERIFY(running.claimFolder(user));
        app::DatabaseLock refused;
        QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, refused), inUse(user));
        QCOMPARE(strays(user).size(), 2);
        running.release();

        app::DatabaseLock next;
        QCOMPARE(app::openUserCopy(kBank, installed.dir.path(), user, next), QString());
        QVERIFY(strays(user).isEmpty());
        QCOMPARE(bytesOf(copy), bytesOf(installed.bank()));
    }
}

int main(int argc, char** argv) {
    // Before any thread exists: the full disk is a tmpfs in a mount namespace of our own.
    mountsOfOurOwn = faults::privateMounts();
    QApplication app(argc, argv);
    TestUserBank test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_user_bank.moc"
