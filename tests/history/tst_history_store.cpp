#include <sqlite3.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/prompts.h"
#include "examdb/error.h"
#include "examdb/sqlite_handles.h"
#include "history/history_access.h"
#include "history/history_store.h"

namespace {

history::AttemptRecord attemptAt(int exam, const QString& name, int score, int minutesAgo,
                                 const QList<qint64>& wrong = {}) {
    history::AttemptRecord a;
    a.edition = QStringLiteral("full");
    a.exam = exam;
    a.candidate = name;
    a.ended = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
    a.started = a.ended.addSecs(-1800);
    a.secondsUsed = 1800;
    a.score = score;
    a.passMark = 750;
    a.passed = score >= 750;
    a.categories = {{0, QStringLiteral("Networking"), 10, 7}, {1, QStringLiteral("Storage"), 6, 3}};
    for (int i = 1; i <= 6; ++i) {
        a.questions.push_back({i, qint64(i * 10), !wrong.contains(i * 10), {}, {}});
    }
    return a;
}

// The same settings but for the mode, and a third: none of them compares with another.
const QString kTimed = QStringLiteral("exam=1 categories=0,3 questions=20 minutes=20 mode=timed");
const QString kPractice =
    QStringLiteral("exam=1 categories=0,3 questions=20 minutes=20 mode=practice");
const QString kShort = QStringLiteral("exam=1 categories=0 questions=10 minutes=10 mode=timed");

history::AttemptRecord customAt(const QString& settings, const QString& name, int score,
                                int minutesAgo, const QList<qint64>& wrong = {}) {
    history::AttemptRecord a = attemptAt(1, name, score, minutesAgo, wrong);
    a.custom = settings;
    return a;
}

void sql(const QString& path, const char* statement) {
    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &raw);
    const examdb::ConnectionHandle db(raw);
    char* error = nullptr;
    const int rc = sqlite3_exec(db.get(), statement, nullptr, nullptr, &error);
    const QString why = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    QVERIFY2(rc == SQLITE_OK, qPrintable(why));
}

}  // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordsAndReadsBack();
    void upgradesLayoutOneInPlace();
    void lastScoreComparesLikeWithLike_data();
    void lastScoreComparesLikeWithLike();
    void missedQuestionsOfTheLastAttempts();
    void recordIsWholeOrNothing();
    void deletes();
    void faultsNeverBlockAndSayWhatHappened_data();
    void faultsNeverBlockAndSayWhatHappened();
    void failedWriteIsOneMessage();
    void lockedHistoryIsWaitedForBriefly();
    void movedAsideBoxFitsAScreen();
    void lastAttemptLine_data();
    void lastAttemptLine();

private:
    QTemporaryDir dir_;
};

void TestHistoryStore::recordsAndReadsBack() {
    const QString path = dir_.filePath(QStringLiteral("round.sqlite"));
    history::AttemptRecord a = attemptAt(2, QStringLiteral("Zoë \"<b>\""), 702, 5, {20, 40});
    a.custom = kPractice;
    a.key = QStringLiteral("attempt-1");
    // Letters chosen, none chosen, and unknown are three different things.
    a.questions[0].chosen = QStringLiteral("AC");
    a.questions[0].seconds = 95;
    a.questions[1].chosen = QString();
    a.questions[1].seconds = 0;
    {
        history::HistoryStore store(path);
        a.id = store.record(a);
        QVERIFY(a.id > 0);
        // Told twice, as after a kill between recording and clearing the resume record.
        QCOMPARE(store.record(a), a.id);
        QCOMPARE(store.attemptWithKey(a.key), a.id);
        QCOMPARE(store.attemptWithKey(QStringLiteral("attempt-2")), std::nullopt);
    }
    history::HistoryStore again(path);
    const auto read = again.attempts();
    QCOMPARE(read.size(), size_t(1));
    const history::AttemptRecord& r = read.front();
    QCOMPARE(r.id, a.id);
    QCOMPARE(r.edition, QStringLiteral("full"));
    QCOMPARE(r.exam, 2);
    QCOMPARE(r.custom, kPractice);
    QCOMPARE(r.candidate, a.candidate);
    QCOMPARE(r.ended.toSecsSinceEpoch(), a.ended.toSecsSinceEpoch());
    QCOMPARE(r.started.toSecsSinceEpoch(), a.started.toSecsSinceEpoch());
    QCOMPARE(r.secondsUsed, 1800);
    QCOMPARE(r.score, 702);
    QCOMPARE(r.passMark, 750);
    QVERIFY(!r.passed);
    QCOMPARE(r.categories.size(), size_t(2));
    QCOMPARE(r.categories[1].name, QStringLiteral("Storage"));
    QCOMPARE(r.categories[1].total, 6);
    QCOMPARE(r.categories[1].correct, 3);
    QCOMPARE(again.candidates(), std::vector<QString>{a.candidate});
    const std::vector<history::QuestionResult> questions = again.questionsOf(a.id);
    QCOMPARE(questions.size(), a.questions.size());
    QCOMPARE(questions[0].chosen, std::optional<QString>(QStringLiteral("AC")));
    QCOMPARE(questions[0].seconds, std::optional<int>(95));
    QCOMPARE(questions[1].chosen, std::optional<QString>(QString()));
    QCOMPARE(questions[1].seconds, std::optional<int>(0));
    QCOMPARE(questions[2].chosen, std::nullopt);
    QCOMPARE(questions[2].seconds, std::nullopt);
    QCOMPARE(questions[2].id, a.questions[2].id);
}

// A history as the first program with one wrote it, with an attempt in every table.
void TestHistoryStore::upgradesLayoutOneInPlace() {
    const QString path = dir_.filePath(QStringLiteral("layout1.sqlite"));
    sql(path,
        "CREATE TABLE attempt (attempt_id INTEGER PRIMARY KEY, edition TEXT NOT NULL, "
        "exam INTEGER NOT NULL, candidate TEXT NOT NULL, started TEXT NOT NULL, "
        "ended TEXT NOT NULL, seconds_used INTEGER NOT NULL, score INTEGER NOT NULL, "
        "pass_mark INTEGER NOT NULL, passed INTEGER NOT NULL);"
        "CREATE TABLE attempt_category (attempt_id INTEGER NOT NULL, category INTEGER NOT NULL, "
        "name TEXT NOT NULL, total INTEGER NOT NULL, correct INTEGER NOT NULL, "
        "PRIMARY KEY (attempt_id, category));"
        "CREATE TABLE attempt_question (attempt_id INTEGER NOT NULL, position INTEGER NOT NULL, "
        "question_id INTEGER NOT NULL, correct INTEGER NOT NULL, "
        "PRIMARY KEY (attempt_id, position));"
        "INSERT INTO attempt VALUES (7, 'full', 1, 'Ann', '2026-03-01T09:00:00Z', "
        "'2026-03-01T10:00:00Z', 3600, 640, 750, 0);"
        "INSERT INTO attempt_category VALUES (7, 0, 'Networking', 10, 6);"
        "INSERT INTO attempt_question VALUES (7, 1, 33, 0);"
        "PRAGMA user_version = 1;");
    {
        history::HistoryStore store(path);
        const auto read = store.attempts();
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read.front().id, qint64(7));
        QCOMPARE(read.front().score, 640);
        QVERIFY(read.front().custom.isEmpty());
        QCOMPARE(read.front().categories.size(), size_t(1));
        // Its answer was wrong, but what was chosen is unknown, not nothing.
        const std::vector<history::QuestionResult> old = store.questionsOf(7);
        QCOMPARE(old.size(), size_t(1));
        QVERIFY(!old.front().correct);
        QCOMPARE(old.front().chosen, std::nullopt);
        QCOMPARE(old.front().seconds, std::nullopt);
        // The old attempt is a fixed exam's: it leads a fixed attempt, not a custom one.
        QCOMPARE(store.lastScore(attemptAt(1, QStringLiteral("Ann"), 0, 0)), 640);
        QCOMPARE(store.lastScore(customAt(kTimed, QStringLiteral("Ann"), 0, 0)), std::nullopt);
        store.record(customAt(kTimed, QStringLiteral("Ann"), 500, 0));
    }
    // Opened again, the file is of the new layout: upgrading it twice would fail.
    history::HistoryStore again(path);
    QCOMPARE(again.attempts().size(), size_t(2));
    QCOMPARE(again.attempts().front().custom, kTimed);
}

void TestHistoryStore::lastScoreComparesLikeWithLike_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("settings");  // empty: a fixed exam
    QTest::addColumn<int>("previous");      // -1: none
    QTest::newRow("fixed after fixed, custom ones between") << "full" << 1 << "Ann"
                                                            << "" << 650;
    QTest::newRow("custom after the same custom") << "full" << 1 << "Ann" << kTimed << 550;
    QTest::newRow("custom after the same custom, others between")
        << "full" << 1 << "Ann" << kPractice << 400;
    QTest::newRow("custom after other customs and fixed") << "full" << 1 << "Ann" << kShort << -1;
    QTest::newRow("fixed after custom only") << "full" << 1 << "Bo"
                                             << "" << -1;
    QTest::newRow("custom after another name's") << "full" << 1 << "Cy" << kTimed << -1;
    QTest::newRow("other exam") << "full" << 2 << "Ann"
                                << "" << 100;
    QTest::newRow("other edition") << "demo" << 1 << "Ann"
                                   << "" << -1;
}

void TestHistoryStore::lastScoreComparesLikeWithLike() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    QFETCH(QString, name);
    QFETCH(QString, settings);
    QFETCH(int, previous);
    QTemporaryDir dir;
    history::HistoryStore store(QDir(dir.path()).filePath(QStringLiteral("like.sqlite")));
    // Oldest first.
    store.record(attemptAt(1, QStringLiteral("Ann"), 600, 40));
    store.record(customAt(kTimed, QStringLiteral("Ann"), 500, 35));
    store.record(attemptAt(1, QStringLiteral("Ann"), 650, 30));
    store.record(customAt(kPractice, QStringLiteral("Ann"), 400, 25));
    store.record(customAt(kTimed, QStringLiteral("Ann"), 550, 20));
    store.record(customAt(kTimed, QStringLiteral("Bo"), 900, 15));
    store.record(attemptAt(2, QStringLiteral("Ann"), 100, 10));
    history::AttemptRecord now = attemptAt(exam, name, 0, 0);
    now.edition = edition;
    now.custom = settings;
    QCOMPARE(store.lastScore(now), previous < 0 ? std::nullopt : std::optional<int>(previous));
}

void TestHistoryStore::missedQuestionsOfTheLastAttempts() {
    history::HistoryStore store(dir_.filePath(QStringLiteral("trend.sqlite")));
    // Oldest first: four attempts of Ann at exam 1 (one custom), one of Bo, one of Ann at exam 2.
    store.record(attemptAt(1, QStringLiteral("Ann"), 500, 40, {60}));
    store.record(attemptAt(1, QStringLiteral("Ann"), 600, 30, {10}));
    store.record(attemptAt(1, QStringLiteral("Bo"), 900, 25, {50}));
    store.record(customAt(kShort, QStringLiteral("Ann"), 650, 20, {30, 10}));
    store.record(attemptAt(2, QStringLiteral("Ann"), 100, 15, {40}));
    store.record(attemptAt(1, QStringLiteral("Ann"), 702, 10, {20}));
    // The last three of Ann at exam 1 missed 10, 30 and 20; 60 is older, 50 is Bo's, 40 exam 2's.
    // The custom attempt's questions are exam 1's and count.
    QCOMPARE(store.missedQuestions(QStringLiteral("full"), 1, QStringLiteral("Ann")),
             (std::vector<qint64>{10, 20, 30}));
    QCOMPARE(store.attempts(QStringLiteral("Bo")).size(), size_t(1));
    QCOMPARE(store.attempts().front().score, 702);  // newest first
}

void TestHistoryStore::recordIsWholeOrNothing() {
    const QString path = dir_.filePath(QStringLiteral("whole.sqlite"));
    { history::HistoryStore create(path); }
    // A question row that cannot be stored fails the attempt after its first rows went in.
    sql(path,
        "CREATE TRIGGER refuse BEFORE INSERT ON attempt_question WHEN NEW.position = 4 "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    history::HistoryStore store(path);
    QVERIFY_THROWS_EXCEPTION(examdb::Error, store.record(attemptAt(1, QStringLiteral("A"), 1, 1)));
    QVERIFY(store.attempts().empty());
    sql(path, "DROP TRIGGER refuse");
    history::HistoryStore again(path);
    again.record(attemptAt(1, QStringLiteral("A"), 1, 1));
    QCOMPARE(again.attempts().size(), size_t(1));
}

void TestHistoryStore::deletes() {
    history::HistoryStore store(dir_.filePath(QStringLiteral("delete.sqlite")));
    const qint64 first = store.record(attemptAt(1, QStringLiteral("A"), 10, 3, {10}));
    store.record(attemptAt(1, QStringLiteral("A"), 20, 2, {20}));
    store.remove(first);
    QCOMPARE(store.attempts().size(), size_t(1));
    QCOMPARE(store.missedQuestions(QStringLiteral("full"), 1, QStringLiteral("A")),
             std::vector<qint64>{20});
    store.removeAll();
    QVERIFY(store.attempts().empty());
    QVERIFY(store.missedQuestions(QStringLiteral("full"), 1, QStringLiteral("A")).empty());
}

void TestHistoryStore::faultsNeverBlockAndSayWhatHappened_data() {
    QTest::addColumn<QByteArray>("content");  // what the file holds before; "-" for a folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<bool>("movedAside");
    QTest::newRow("no file yet") << QByteArray() << "" << true << false;
    QTest::newRow("text, not a database")
        << QByteArray("just some text, not a history\n") << "moved aside" << true << true;
    QTest::newRow("garbage after a database header")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x5a') << "moved aside" << true
        << true;
    QTest::newRow("another program's database")
        << QByteArray("foreign") << "moved aside" << true << true;
    QTest::newRow("layout 2 without tables")
        << QByteArray("bare layout") << "moved aside" << true << true;
    QTest::newRow("layout 1 of another program")
        << QByteArray("foreign layout 1") << "moved aside" << true << true;
    QTest::newRow("layout 1 that already has the custom column")
        << QByteArray("upgraded layout 1") << "moved aside" << true << true;
    QTest::newRow("newer layout") << QByteArray("newer") << "newer version" << false << false;
    QTest::newRow("cannot be made") << QByteArray("-") << "cannot be used" << false << false;
}

void TestHistoryStore::faultsNeverBlockAndSayWhatHappened() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(bool, recorded);
    QFETCH(bool, movedAside);
    QTemporaryDir dir;
    QString path = QDir(dir.path()).filePath(QStringLiteral("history.sqlite"));
    if (content == "newer") {
        sql(path, "PRAGMA user_version = 99");
    } else if (content == "foreign") {
        sql(path,
            "CREATE TABLE invoice (id INTEGER PRIMARY KEY, total REAL);"
            "INSERT INTO invoice VALUES (1, 9.5)");
    } else if (content == "foreign layout 1") {
        sql(path,
            "CREATE TABLE invoice (id INTEGER PRIMARY KEY, total REAL);"
            "INSERT INTO invoice VALUES (1, 9.5); PRAGMA user_version = 1");
    } else if (content == "bare layout") {
        sql(path, "PRAGMA user_version = 2");
    } else if (content == "upgraded layout 1") {
        sql(path,
            "CREATE TABLE attempt (attempt_id INTEGER PRIMARY KEY, edition TEXT, exam INTEGER, "
            "candidate TEXT, started TEXT, ended TEXT, seconds_used INTEGER, score INTEGER, "
            "pass_mark INTEGER, passed INTEGER, custom TEXT);"
            "CREATE TABLE attempt_category (attempt_id, category, name, total, correct);"
            "CREATE TABLE attempt_question (attempt_id, position, question_id, correct);"
            "PRAGMA user_version = 1");
    } else if (content == "-") {
        // A folder where the file should be: nothing can open it, not even as root.
        QVERIFY(QDir().mkpath(path));
    } else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    history::setLocation(path);
    prompts::Script script;
    const auto previous = history::recordAttempt(attemptAt(1, QStringLiteral("A"), 1, 1));
    QVERIFY(!previous);
    QCOMPARE(script.shown().size(), size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty()) {
        const prompts::Shown& shown = script.shown().front();
        QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
        QCOMPARE(shown.title, QStringLiteral("Progress History"));
        // Short enough for any screen: no statement, no list; what SQLite found of a file moved
        // aside goes to the details, and the box says the rest in one sentence.
        QVERIFY2(!shown.text.contains(u'\n'), qPrintable(shown.text));
        QVERIFY2(!movedAside || shown.text.count(QStringLiteral(". ")) == 0,
                 qPrintable(shown.text));
        for (const char* statement : {"PRAGMA", "SELECT", "ALTER", "CREATE", "INSERT"}) {
            QVERIFY2(!shown.text.contains(QLatin1String(statement)), qPrintable(shown.text));
        }
        QCOMPARE(shown.details.isEmpty(), !movedAside);
    }
    // The session asks no more once it has said what happened.
    history::recordAttempt(attemptAt(1, QStringLiteral("A"), 2, 0));
    QCOMPARE(script.shown().size(), size_t(message.isEmpty() ? 0 : 1));
    history::closeStore();
    const QStringList aside =
        QDir(dir.path()).entryList({QStringLiteral("history-unreadable-*.sqlite")});
    QCOMPARE(aside.size(), movedAside ? 1 : 0);
    if (content.startsWith("foreign")) {
        // The other program's file is moved whole and untouched: no table, no journal mode.
        const QString moved = QDir(dir.path()).filePath(aside.front());
        sqlite3* raw = nullptr;
        sqlite3_open_v2(QFile::encodeName(moved).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        const examdb::ConnectionHandle db(raw);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.get(),
                           "SELECT group_concat(name) FROM sqlite_master UNION ALL "
                           "SELECT journal_mode FROM pragma_journal_mode",
                           -1, &s, nullptr);
        const examdb::StatementHandle statement(s);
        QStringList found;
        while (sqlite3_step(s) == SQLITE_ROW) {
            found << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        }
        QCOMPARE(found, (QStringList{"invoice", "delete"}));
    }
    if (recorded) {
        history::HistoryStore store(path);
        QCOMPARE(store.attempts().size(), size_t(2));
    }
    if (content == "newer") {
        // Left exactly as it was.
        history::setLocation(path);
        QVERIFY(!history::store());
    }
    history::closeStore();
}

// A write refused after the file opened (a full or read-only disk does the same): one message,
// nothing half recorded, and the score sheet goes on.
void TestHistoryStore::failedWriteIsOneMessage() {
    const QString path = dir_.filePath(QStringLiteral("refusing.sqlite"));
    { history::HistoryStore create(path); }
    sql(path,
        "CREATE TRIGGER full BEFORE INSERT ON attempt_category "
        "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    history::setLocation(path);
    prompts::Script script;
    QVERIFY(!history::recordAttempt(attemptAt(1, QStringLiteral("A"), 1, 1)));
    QVERIFY(!history::recordAttempt(attemptAt(1, QStringLiteral("A"), 1, 1)));
    QCOMPARE(script.shown().size(), size_t(1));
    QVERIFY(script.shown().front().text.startsWith(
        u"This attempt could not be added to the progress history"));
    QVERIFY(script.shown().front().text.contains(u"database or disk is full"));
    history::closeStore();
    QVERIFY(history::HistoryStore(path).attempts().empty());
}

// Another program writing to the history: a short write is waited for, a long one is one message
// that says so in words, and the score sheet goes on either way.
void TestHistoryStore::lockedHistoryIsWaitedForBriefly() {
    const QString path = dir_.filePath(QStringLiteral("locked.sqlite"));
    { history::HistoryStore create(path); }
    history::setLocation(path);
    prompts::Script script;
    std::atomic<bool> locked{false};
    std::thread other([&] {
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &raw);
        const examdb::ConnectionHandle db(raw);
        sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        locked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
    });
    while (!locked) {
        std::this_thread::yield();
    }
    history::recordAttempt(attemptAt(1, QStringLiteral("A"), 1, 1));
    other.join();
    QVERIFY2(script.shown().empty(), qPrintable(script.texts().join(u'|')));

    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &raw);
    const examdb::ConnectionHandle holder(raw);
    QCOMPARE(sqlite3_exec(holder.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(!history::recordAttempt(attemptAt(1, QStringLiteral("A"), 2, 0)));
    sqlite3_exec(holder.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    QCOMPARE(script.shown().size(), size_t(1));
    const QString text = script.shown().front().text;
    QVERIFY2(text.contains(u"locked by another program") && !text.contains(u"INSERT"),
             qPrintable(text));
    history::closeStore();
    QCOMPARE(history::HistoryStore(path).attempts().size(), size_t(1));
}

// The real box, unscripted: SQLite's findings wait behind Show Details, so however long they are
// the box and its OK button stay on a small screen.
void TestHistoryStore::movedAsideBoxFitsAScreen() {
    const QString path = dir_.filePath(QStringLiteral("damaged.sqlite"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("SQLite format 3\0", 16) + QByteArray(8000, '\x5a'));
    file.close();
    history::setLocation(path);
    QString text;
    QString details;
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        details = box->detailedText();
        width = box->sizeHint().width();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(history::store());
    QVERIFY2(text.contains(u"moved aside") && !text.contains(u'\n'), qPrintable(text));
    QVERIFY(!details.isEmpty());
    QVERIFY2(width <= 1024, qPrintable(QString::number(width)));
    history::closeStore();
}

void TestHistoryStore::lastAttemptLine_data() {
    QTest::addColumn<int>("previous");
    QTest::addColumn<int>("now");
    QTest::addColumn<QString>("line");
    QTest::newRow("better") << 702 << 750 << "Last attempt: 702/1000 (+48)";
    QTest::newRow("worse") << 750 << 741 << "Last attempt: 750/1000 (-9)";
    QTest::newRow("same") << 500 << 500 << "Last attempt: 500/1000 (+0)";
    QTest::newRow("negative") << -35 << 0 << "Last attempt: -35/1000 (+35)";
}

void TestHistoryStore::lastAttemptLine() {
    QFETCH(int, previous);
    QFETCH(int, now);
    QFETCH(QString, line);
    QCOMPARE(history::lastAttemptLine(previous, now), line);
}

QTEST_MAIN(TestHistoryStore)
#include "tst_history_store.moc"
