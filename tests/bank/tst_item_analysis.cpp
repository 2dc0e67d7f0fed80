// Item analysis against figures worked out by hand (and checked with an independent script of
// the textbook formulas), and on data that has nothing to measure.
#include <QtTest>

#include "history/history_store.h"
#include "history_responses.h"
#include "item_analysis.h"
#include "items_report.h"

#include <random>
#include "source_fields.h"

namespace {

using Answers = std::vector<std::vector<int>>;

// Every attempt drew every question; letters and seconds only where given.
std::vector<std::vector<bank::ItemResponse>> attemptsOf(const Answers& right) {
    std::vector<std::vector<bank::ItemResponse>> attempts;
    for (const std::vector<int>& row : right) {
        std::vector<bank::ItemResponse> attempt;
        for (size_t i = 0; i < row.size(); ++i) {
            attempt.push_back({int(i), row[i] == 1, std::nullopt, std::nullopt});
        }
        attempts.push_back(attempt);
    }
    return attempts;
}

bank::ExamFigures analyse(const std::vector<std::vector<bank::ItemResponse>>& attempts,
                          int questions) {
    bank::ItemAnalysis analysis(questions);
    for (const auto& a : attempts) {
        analysis.count(a);
    }
    for (const auto& a : attempts) {
        analysis.countGroups(a);
    }
    return analysis.figures();
}

bool near(std::optional<double> got, double want) {
    return got && std::abs(*got - want) < 1e-9;
}

}  // namespace

class TestItemAnalysis : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sixCandidatesFourQuestions();
    void nothingToMeasure_data();
    void nothingToMeasure();
    void readsHistoriesOfEveryLayoutWithoutWriting();
    void refusesWhatIsNoHistory_data();
    void refusesWhatIsNoHistory();
    void flagsFindThePlantedItemsAndNothingElse();
    void aHundredThousandAttempts();
};

void TestItemAnalysis::sixCandidatesFourQuestions() {
    auto attempts = attemptsOf(
        {{1, 1, 1, 1}, {1, 1, 1, 0}, {1, 1, 0, 0}, {1, 0, 1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}});
    // Question 4 (key A): B draws the weak, A the strong; the last answer's letters are unknown.
    const char* letters[] = {"A", "B", "B", "C", "B"};
    for (size_t a = 0; a < 5; ++a) {
        attempts[a][3].chosen = bank::choiceLetters(letters[a]);
        attempts[a][0].seconds = int(a + 1) * 10;
    }
    attempts[5][0].seconds = 60;
    const bank::ExamFigures exam = analyse(attempts, 4);

    QCOMPARE(exam.attempts, 6);
    QVERIFY(near(exam.meanScore, 13.0 / 6));
    QVERIFY(near(exam.sdScore, 1.1690451944500122));
    QVERIFY(near(exam.kr20, 0.4552845528455284));
    QVERIFY(near(exam.sem, 0.8628119403696525));
    const double facility[] = {5.0 / 6, 4.0 / 6, 0.5, 1.0 / 6};
    const double pointBiserial[] = {0.158113883008419, 0.0, 0.4472135954999579, 0.5477225575051661};
    const double alphaIfDropped[] = {0.46875, 0.6363636363636362, 0.15, 0.125};
    // Upper group: the scores 4 and 3; lower: the two 1s.
    const double discrimination[] = {0.5, 0.5, 1.0, 0.5};
    for (size_t i = 0; i < 4; ++i) {
        const bank::ItemFigures& item = exam.items[i];
        QCOMPARE(item.attempts, 6);
        QVERIFY2(near(item.facility, facility[i]), qPrintable(QString::number(i)));
        QVERIFY2(near(item.pointBiserial, pointBiserial[i]), qPrintable(QString::number(i)));
        QVERIFY2(near(exam.alphaIfDropped[i], alphaIfDropped[i]), qPrintable(QString::number(i)));
        QVERIFY2(near(item.discrimination, discrimination[i]), qPrintable(QString::number(i)));
    }
    const bank::ItemFigures& fourth = exam.items[3];
    QCOMPARE(fourth.knownChoices, 5);
    QVERIFY(near(fourth.choiceShare[0], 0.2));
    QVERIFY(near(fourth.choiceShare[1], 0.6));
    QVERIFY(near(fourth.choiceRestCorrelation[0], 0.5345224838248488));
    QVERIFY(near(fourth.choiceRestCorrelation[1], -0.32732683535398854));
    QVERIFY(near(fourth.choiceRestCorrelation[2], -0.1336306209562122));
    QCOMPARE(fourth.choiceRestCorrelation[3], std::nullopt);  // nobody picked D
    QVERIFY(near(fourth.upperChoiceShare[0], 0.5));
    QVERIFY(near(fourth.upperChoiceShare[1], 0.5));
    QVERIFY(near(exam.items[0].medianSeconds, 35));
    QCOMPARE(exam.items[1].medianSeconds, std::nullopt);
}

// Nobody took it, all scored alike, one attempt, one question drawn by one attempt: no figure
// divides by zero or shows what it cannot support.
void TestItemAnalysis::nothingToMeasure_data() {
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("questionsDrawn");
    QTest::addColumn<bool>("allRight");
    QTest::newRow("an exam nobody took") << 0 << 3 << false;
    QTest::newRow("one attempt") << 1 << 3 << true;
    QTest::newRow("every answer blank") << 5 << 3 << false;
    QTest::newRow("all right") << 5 << 3 << true;
    QTest::newRow("one question drawn each") << 4 << 1 << true;
}

void TestItemAnalysis::nothingToMeasure() {
    QFETCH(int, attempts);
    QFETCH(int, questionsDrawn);
    QFETCH(bool, allRight);
    bank::ItemAnalysis analysis(3);
    std::vector<std::vector<bank::ItemResponse>> all;
    for (int a = 0; a < attempts; ++a) {
        std::vector<bank::ItemResponse> attempt;
        for (int i = 0; i < questionsDrawn; ++i) {
            attempt.push_back({i, allRight, bank::ChoiceLetters(0), 0});
        }
        all.push_back(attempt);
    }
    for (const auto& a : all) {
        analysis.count(a);
    }
    for (const auto& a : all) {
        analysis.countGroups(a);
    }
    const bank::ExamFigures exam = analysis.figures();
    QCOMPARE(exam.attempts, attempts);
    QCOMPARE(exam.kr20, std::nullopt);
    QCOMPARE(exam.sem, std::nullopt);
    QCOMPARE(exam.items.size(), size_t(3));
    for (const bank::ItemFigures& item : exam.items) {
        QCOMPARE(item.pointBiserial, std::nullopt);
        QCOMPARE(item.discrimination, std::nullopt);
        QVERIFY(std::isfinite(item.facility));
        for (const std::optional<double>& r : item.choiceRestCorrelation) {
            QCOMPARE(r, std::nullopt);
        }
    }
}

// A history as this program writes it and one as the first program with one wrote it, read
// side by side: letters where they were kept, unknown where not, the other edition left out.
void TestItemAnalysis::readsHistoriesOfEveryLayoutWithoutWriting() {
    QTemporaryDir dir;
    const QString now = dir.filePath(QStringLiteral("now.sqlite"));
    {
        history::HistoryStore store(now);
        history::AttemptRecord a;
        a.key = QStringLiteral("k-1");
        a.edition = QStringLiteral("full");
        a.exam = 2;
        a.candidate = QStringLiteral("Ann");
        a.ended = QDateTime::currentDateTime();
        a.started = a.ended.addSecs(-60);
        a.questions = {{1, 30, true, QStringLiteral("B"), 12}, {2, 31, false, QString(), 3}};
        store.record(a);
        a.key = QStringLiteral("k-2");
        a.edition = QStringLiteral("demo");
        store.record(a);
        a.key = QStringLiteral("k-3");
        a.edition = QStringLiteral("full");
        a.custom = QStringLiteral("practice");
        store.record(a);
    }
    const QString old = dir.filePath(QStringLiteral("old.sqlite"));
    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(old).constData(), &raw);
    sqlite3_exec(raw,
                 "CREATE TABLE attempt (attempt_id INTEGER PRIMARY KEY, edition TEXT, exam "
                 "INTEGER, candidate TEXT, started TEXT, ended TEXT, seconds_used INTEGER, score "
                 "INTEGER, pass_mark INTEGER, passed INTEGER);"
                 "CREATE TABLE attempt_question (attempt_id INTEGER, position INTEGER, "
                 "question_id INTEGER, correct INTEGER);"
                 "INSERT INTO attempt VALUES (7, 'full', 1, 'Bo', '2026-03-01T09:00:00Z', "
                 "'2026-03-01T10:00:00Z', 3600, 640, 750, 0);"
                 "INSERT INTO attempt_question VALUES (7, 1, 5, 0);"
                 "PRAGMA user_version = 1;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    std::vector<bank::SourcedAttempt> read;
    const auto take = [&read](const bank::SourcedAttempt& a) { read.push_back(a); };
    const bank::SourceReading fromNow =
        bank::readHistoryAttempts(now, QStringLiteral("full"), take);
    QCOMPARE(fromNow.attempts, 1);
    QCOMPARE(fromNow.leftOut, (std::map<QString, int>{
                                  {QStringLiteral("attempt(s) of the other edition than full"), 1},
                                  {QStringLiteral("attempt(s) of a custom exam or practice "
                                                  "run, not the exam as set"),
                                   1}}));
    QCOMPARE(bank::readHistoryAttempts(old, QStringLiteral("full"), take).attempts, 1);
    QCOMPARE(read.size(), size_t(2));
    QCOMPARE(read[0].identity, QStringLiteral("k-1"));
    QCOMPARE(read[0].exam, 2);
    QCOMPARE(read[0].answers.size(), size_t(2));
    QCOMPARE(read[0].answers[0].chosen, std::optional<bank::ChoiceLetters>(0b10));
    QCOMPARE(read[0].answers[0].seconds, std::optional<int>(12));
    QCOMPARE(read[0].answers[1].chosen, std::optional<bank::ChoiceLetters>(0));
    QVERIFY(!read[0].answers[1].correct);
    QCOMPARE(read[1].answers.front().question, qint64(5));
    QCOMPARE(read[1].answers.front().chosen, std::nullopt);
    QVERIFY(!read[1].identity.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
}

void TestItemAnalysis::refusesWhatIsNoHistory_data() {
    QTest::addColumn<QByteArray>("sql");    // empty: the file holds text
    QTest::addColumn<bool>("halfWritten");  // a history with sql run in it, then cut in half
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a database") << QByteArray() << false << "file is not a database";
    QTest::newRow("another program's database")
        << QByteArray("CREATE TABLE t (x);") << false << "is not a progress history";
    QTest::newRow("a newer layout")
        << QByteArray("CREATE TABLE attempt (x); PRAGMA user_version = 9;") << false
        << "layout 9, newer";
    QTest::newRow("layout without its tables")
        << QByteArray("PRAGMA user_version = 4;") << false << "no such table";
    QTest::newRow("half-written")
        << QByteArray(
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
               "3000) INSERT INTO attempt_question SELECT i / 100, i, i, 1, 'A', 10 FROM n;")
        << true << "malformed";
}

void TestItemAnalysis::refusesWhatIsNoHistory() {
    QFETCH(QByteArray, sql);
    QFETCH(bool, halfWritten);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.sqlite"));
    if (halfWritten) {
        history::HistoryStore create(path);
    }
    if (sql.isEmpty()) {
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
    } else {
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &raw);
        sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    if (halfWritten) {
        QVERIFY(QFile::resize(path, QFileInfo(path).size() / 2));
    }
    try {
        bank::readHistoryAttempts(path, QStringLiteral("full"), [](const bank::SourcedAttempt&) {});
        QFAIL("read");
    } catch (const bank::SourceError& e) {
        QVERIFY2(e.reason.contains(reason), qPrintable(e.reason));
    }
}

// 400 simulated candidates of known ability answer 20 questions of known difficulty, with three
// bad ones planted: question 3's key is wrong (the strong pick B), nobody picks question 7's D,
// and everyone gets question 12 right. Half the attempts are in a second history as well.
void TestItemAnalysis::flagsFindThePlantedItemsAndNothingElse() {
    constexpr int kQuestions = 20;
    bank::FairExam exam{QStringLiteral("exam1"), {}};
    for (int id = 1; id <= kQuestions; ++id) {
        exam.questions << bank::FairQuestion{id,
                                             QStringLiteral("Question %1?").arg(id),
                                             QString(),
                                             {"one", "two", "three", "four", ""},
                                             {true, false, false, false, false}};
    }
    std::mt19937 random(2026);
    std::normal_distribution<double> ability;
    std::uniform_real_distribution<double> chance;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("pc1.sqlite"));
    const QString second = dir.filePath(QStringLiteral("pc2.sqlite"));
    {
        history::HistoryStore one(first);
        history::HistoryStore two(second);
        for (int a = 0; a < 400; ++a) {
            const double theta = ability(random);
            history::AttemptRecord attempt;
            attempt.key = QStringLiteral("attempt-%1").arg(a);
            attempt.edition = QStringLiteral("full");
            attempt.exam = 1;
            attempt.candidate = QStringLiteral("C%1").arg(a);
            attempt.ended = QDateTime::currentDateTime();
            attempt.started = attempt.ended.addSecs(-600);
            for (int id = 1; id <= kQuestions; ++id) {
                const double difficulty = id == 12 ? -9 : -0.8 + 1.6 * (id % 7) / 6.0;
                const bool knows = chance(random) < 1 / (1 + std::exp(-1.7 * (theta - difficulty)));
                QString chosen;
                if (id == 3) {
                    chosen = knows ? QStringLiteral("B")
                                   : QString(QChar(u"ACD"[int(chance(random) * 3)]));
                } else if (knows) {
                    chosen = QStringLiteral("A");
                } else {
                    const QString wrong = id == 7 ? QStringLiteral("BC") : QStringLiteral("BCD");
                    chosen = wrong[int(chance(random) * double(wrong.size()))];
                }
                attempt.questions.push_back({id, id, chosen == u"A", chosen, 30 + id});
            }
            one.record(attempt);
            if (a % 2 == 0) {
                two.record(attempt);
            }
        }
    }
    const bank::ItemsReport report =
        bank::itemsReport(QStringLiteral("kvn09.mdb"), {exam},
                          {bank::historySource(first, QStringLiteral("full")),
                           bank::historySource(second, QStringLiteral("full"))},
                          {});
    QMap<QString, QStringList> flagged;
    for (const QString& line : report.lines) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^  question (\\d+): (.*)$")).match(line);
        if (m.hasMatch()) {
            flagged[m.captured(1)] << m.captured(2);
        }
    }
    QCOMPARE(flagged.keys(), (QStringList{"12", "3", "7"}));
    QVERIFY2(flagged["3"]
                     .filter(QStringLiteral("choice B draws the upper group more than the key"))
                     .size() == 1,
             qPrintable(flagged["3"].join(u'|')));
    QCOMPARE(flagged["7"], QStringList{"choice D is picked by nobody (a dead distractor)"});
    QVERIFY2(flagged["12"].filter(QStringLiteral("too easy")).size() == 1,
             qPrintable(flagged["12"].join(u'|')));
    QVERIFY(report.lines[1].startsWith(u"Exam #1 (exam1): 400 attempt(s); score mean"));
    QCOMPARE(report.skipped,
             QStringList{"200 attempt(s) held by more than one source, counted once"});
    QCOMPARE(report.csv.size(), kQuestions + 1);
    QVERIFY(report.csv[3].startsWith(u"1,3,400,"));
}

// A classroom's years of attempts at two questions: figures, not a crash or a division by zero.
void TestItemAnalysis::aHundredThousandAttempts() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.sqlite"));
    { history::HistoryStore create(path); }
    sqlite3* raw = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &raw);
    QCOMPARE(
        sqlite3_exec(raw,
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "100000) INSERT INTO attempt (attempt_id, edition, exam, candidate, "
                     "started, ended, seconds_used, score, pass_mark, passed, attempt_key) "
                     "SELECT i, 'full', 1, 'C', '', '', 60, 0, 750, 0, 'k' || i FROM n;"
                     "INSERT INTO attempt_question SELECT attempt_id, q.p, q.p, "
                     "(attempt_id % (q.p + 2)) != 0, CASE (attempt_id % (q.p + 2)) WHEN 0 "
                     "THEN 'B' ELSE 'A' END, attempt_id % 90 FROM attempt, (SELECT 1 AS p "
                     "UNION ALL SELECT 2) AS q;",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(raw);
    bank::FairExam exam{QStringLiteral("exam1"), {}};
    for (int id = 1; id <= 2; ++id) {
        exam.questions << bank::FairQuestion{
            id, QString(), QString(), {"a", "b", "", "", ""}, {true, false, false, false, false}};
    }
    const bank::ItemsReport report =
        bank::itemsReport(QStringLiteral("kvn09.mdb"), {exam},
                          {bank::historySource(path, QStringLiteral("full"))}, {});
    QVERIFY2(report.lines[1].startsWith(u"Exam #1 (exam1): 100000 attempt(s); score mean 1.4, sd "
                                        u"0.6 (questions right); KR-20 0.00"),
             qPrintable(report.lines[1]));
    QVERIFY2(report.csv[1].startsWith(u"1,1,100000,0.6667,"), qPrintable(report.csv[1]));
    QVERIFY(!report.csv.join(u'\n').contains(u"nan"));
}

QTEST_GUILESS_MAIN(TestItemAnalysis)
#include "tst_item_analysis.moc"
