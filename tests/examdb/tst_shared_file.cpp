// The database file while another process opens it too (the sqlite3 shell, a backup, a second
// copy of the program being turned away): what our open connections write must stay in it.
#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "examdb/database.h"
#include "examdb/journal.h"
#include "fixture_database.h"

using examdb::Database;
using testsupport::FixtureDatabase;

namespace {

// How many rows of exam1 carry a mark, read by a fresh process of this program (a forked
// child would inherit SQLite's own idea of the locks its parent holds).
int markedRows(const char* path) {
    sqlite3* db = nullptr;
    int count = 255;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM exam1 WHERE correctanswer1 = 1", -1,
                           &statement, nullptr);
        count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 254;
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

int markedRowsInOtherProcess(const QString& path) {
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--marked-rows"), path});
    if (!other.waitForFinished(30000) || other.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return other.exitCode();
}

}  // namespace

class TestSharedFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answersSurviveAnotherProcessOpeningTheFile();
    void endingLeavesEveryAnswerInTheFileItself();
};

void TestSharedFile::answersSurviveAnotherProcessOpeningTheFile() {
    FixtureDatabase fixture;
    fixture.addCategories({QStringLiteral("One")});
    fixture.addQuestions(1, 3);
    Database exam = Database::open(fixture.fileName());
    exam.execute(QStringLiteral("UPDATE exam1 SET correctanswer1 = Yes WHERE ID = 1"));
    // Every window opens a connection of its own; opening one must not disturb the others.
    Database answerWindow = Database::open(fixture.fileName());

    QCOMPARE(markedRowsInOtherProcess(fixture.path()), 1);
    QVERIFY2(QFile::exists(fixture.path() + QStringLiteral("-wal")),
             "the journal our connections write to was deleted by the other process");

    exam.execute(QStringLiteral("UPDATE exam1 SET correctanswer1 = Yes WHERE ID = 2"));
    answerWindow.close();
    exam.close();
    QCOMPARE(markedRowsInOtherProcess(fixture.path()), 2);
}

// Copied alone when the program has ended (a backup, a bank moved to another machine), the
// file must hold every answer; and a new bank copied over it must meet no journal of the old.
void TestSharedFile::endingLeavesEveryAnswerInTheFileItself() {
    FixtureDatabase fixture;
    fixture.addCategories({QStringLiteral("One")});
    fixture.addQuestions(1, 3);
    {
        Database exam = Database::open(fixture.fileName());
        exam.execute(QStringLiteral("UPDATE exam1 SET correctanswer1 = Yes WHERE ID IN (1, 2)"));
    }
    const QString journal = fixture.path() + QStringLiteral("-wal");
    QVERIFY(QFileInfo(journal).size() > 0);

    examdb::foldJournal(fixture.fileName());
    QCOMPARE(QFileInfo(journal).size(), 0);  // emptied, or gone where no connection is left
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath(QStringLiteral("copy.mdb"));
    QVERIFY(QFile::copy(fixture.path(), copy));
    QCOMPARE(markedRows(QFile::encodeName(copy).constData()), 2);
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--marked-rows") == 0) {
        return markedRows(argv[2]);
    }
    QCoreApplication application(argc, argv);
    TestSharedFile test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_shared_file.moc"
