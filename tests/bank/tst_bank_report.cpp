#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include "bank_check.h"
#include "bank_fixture.h"
#include "bank_report.h"
#include "input_file.h"
#include "source_fields.h"

using namespace bank_fixture;

namespace {

// A question as "choice|*right choice|choice", right ones starred; the stem is "Question N".
QByteArray examSource(const QStringList& questions) {
    QByteArray text;
    for (int n = 0; n < questions.size(); ++n) {
        text += QStringLiteral("== %1\ncategory: %2\nquestion: Question %1\n")
                    .arg(n + 1)
                    .arg(n % 2 == 0 ? QStringLiteral("Networking") : QStringLiteral("Security"))
                    .toUtf8();
        QStringList key;
        const QStringList choices = questions[n].split(QLatin1Char('|'));
        for (int i = 0; i < choices.size(); ++i) {
            QString choice = choices[i];
            if (choice.startsWith(QLatin1Char('*'))) {
                key << QString(QChar(u'A' + i));
                choice.remove(0, 1);
            }
            text += QStringLiteral("%1: %2\n").arg(QChar(u'A' + i)).arg(choice).toUtf8();
        }
        text += "answer: " + key.join(QLatin1String(", ")).toUtf8() + "\nexplanation: Why.\n\n";
    }
    return text;
}

// Exam 1 of a full bank built from the given questions; exams 2 and 3 hold the fixture's.
QString buildWithExam1(Bank& bank, const QStringList& questions) {
    bank.write(QStringLiteral("source/exam1.kvq"), examSource(questions));
    return bank::buildDatabase(bank.request());
}

bank::BankReport reportOnFile(const QString& database) {
    return bank::reportOn(bank::readBankExams(database));
}

QString runKvnBank(const QStringList& args, int* exitCode, QString* errors = nullptr) {
    QProcess process;
    process.start(QStringLiteral(KVN_BANK), args);
    process.waitForFinished(60000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errors) {
        // Qt's own notes about the environment are not the program's.
        QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
        lines.removeIf(
            [](const QString& l) { return l.startsWith(QLatin1String("QStandardPaths:")); });
        *errors = lines.join(u'\n');
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList warningsOf(const QString& output) {
    QStringList w;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("warning: "))) {
            w << line.mid(9);
        }
    }
    return w;
}

}  // namespace

class TestBankReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void figuresOfSmallBanks_data();
    void figuresOfSmallBanks();
    void faultyQuestionsAreCountedAndNamed();
    void stemEcho_data();
    void stemEcho();
    void alikeStems_data();
    void alikeStems();
    void alikeListingIsBounded();
    void refusesFilesThatAreNoBank_data();
    void refusesFilesThatAreNoBank();
    void commandLine();
};

void TestBankReport::figuresOfSmallBanks_data() {
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("guesser");
    QTest::addColumn<int>("chance");
    QTest::addColumn<int>("longestRight");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("right choice always longest")
        << QStringList{"*a long right one|b|c|d", "*the longest|b|c|d", "*wins by length|b|c|d",
                       "*longer than the rest|b|c|d"}
        << 1000 << 250 << 4
        << QStringList{"exam1: picking the longest choice scores 1000/1000, above 300",
                       "exam1: the right choice is the strictly longest in 100 % of "
                       "single-answer questions, above 35 %",
                       "exam1: A is right 4 time(s), more than twice its fair share of 1.0"};
    QTest::newRow("fair") << QStringList{"*medium|longest one|short|mid",
                                         "long choice|*short|a medium|a longer one",
                                         "much longer|bit longer|*middle|x", "aa|bbbbbb|cccc|*dd"}
                          << 0 << 250 << 0 << QStringList{};
    QTest::newRow("ties go to the earlier letter")
        << QStringList{"*aaa|bbb|ccc|ddd", "aaa|*bbb|ccc|ddd", "aaa|bbb|*ccc|ddd",
                       "aaa|bbb|ccc|*ddd"}
        << 250 << 250 << 0 << QStringList{};
    QTest::newRow("several right: the k longest must be exactly the key")
        << QStringList{"*long one|*longer one|c|d|e", "*long one|b|*c|dddddddddd|e",
                       "aa|bb|*cc|*dd|eeeeeeee", "a|*b|cccccc|*d|e"}
        << 250 << 100 << 0 << QStringList{};
    QTest::newRow("three choices")
        << QStringList{"*short|a longer one|mid", "long choice|*short|a medium|a longer one",
                       "much longer|bit longer|*middle|x", "aa|bbbbbb|cccc|*dd"}
        << 0 << 270 << 0 << QStringList{"exam1: 1 question(s) offer three choices or fewer"};
}

void TestBankReport::figuresOfSmallBanks() {
    QFETCH(QStringList, questions);
    QFETCH(int, guesser);
    QFETCH(int, chance);
    QFETCH(int, longestRight);
    QFETCH(QStringList, warnings);

    Bank bank;
    const bank::BankReport report = reportOnFile(buildWithExam1(bank, questions));
    QCOMPARE(report.exams.size(), 3);
    const bank::ExamFairness& exam1 = report.exams.first();
    QCOMPARE(exam1.questions, int(questions.size()));
    QCOMPARE(exam1.guesserScore, guesser);
    QCOMPARE(exam1.chanceScore, chance);
    QCOMPARE(exam1.singleLongestRight, longestRight);
    QCOMPARE(bank::fairnessWarnings(exam1), warnings);
}

void TestBankReport::faultyQuestionsAreCountedAndNamed() {
    Bank bank;
    const QString file = bank::buildDatabase(bank.request());
    exec(file,
         "UPDATE exam11 SET correctanswer2 = 0 WHERE ID = 1; "
         "UPDATE exam11 SET answer3 = '' WHERE ID = 2; "
         "UPDATE exam33 SET answer1 = NULL, answer2 = NULL, answer3 = NULL, answer4 = NULL, "
         "answer5 = NULL WHERE ID = 2; "
         "DELETE FROM exam22");
    const bank::BankReport report = reportOnFile(file);
    const bank::ExamFairness& exam1 = report.exams[0];
    QCOMPARE(exam1.noKey, QList<qint64>{1});
    QCOMPARE(exam1.emptyChoices, QList<qint64>{2});
    QCOMPARE(exam1.questions, 2);
    QCOMPARE(report.exams[1].questions, 0);
    QCOMPARE(report.exams[2].emptyChoices, QList<qint64>{2});

    const QStringList lines = report.lines();
    QVERIFY(lines.contains(QStringLiteral("  no right choice: ID 1")));
    QVERIFY(lines.contains(QStringLiteral("  empty choice shown: ID 2")));
    QVERIFY(lines.contains(QStringLiteral("exam2: no questions")));
    QVERIFY(lines.contains(QStringLiteral("warning: exam1: 1 question(s) have no right choice")));
}

// One question among forty fillers, so that its words are rare in the exam.
void TestBankReport::stemEcho_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<QStringList>("choices");  // the first is the key
    QTest::addColumn<bool>("echo");
    const QString stem = QStringLiteral(
        "A new server will not boot and reports a CPU compatibility error. What comes next?");
    QTest::newRow("the key alone repeats a rare stem word")
        << stem
        << QStringList{"Check the motherboard's CPU compatibility list", "Reseat the memory",
                       "Replace the power supply", "Update the disk firmware"}
        << true;
    QTest::newRow("a wrong choice repeats it too")
        << stem
        << QStringList{"Check the motherboard's CPU compatibility list", "Reseat the memory",
                       "Ignore the compatibility warning", "Update the disk firmware"}
        << false;
    QTest::newRow("the key repeats an address")
        << QStringLiteral("Host 10.1.2.7 cannot reach the printer. Which host is at fault?")
        << QStringList{"10.1.2.7", "10.1.2.9", "10.1.3.7", "10.1.2.1"} << true;
    QTest::newRow("a word every question uses is no cue")
        << QStringLiteral("The filler server fails. Which filler action helps?")
        << QStringList{"Restart the filler", "Reseat the memory", "Replace the power supply",
                       "Update the disk firmware"}
        << false;
    QTest::newRow("case and plural aside")
        << QStringLiteral("Two SWITCHES drop frames. What is wrong?")
        << QStringList{"A loop between the switch ports", "A duplex mismatch on the router",
                       "A bad cable to the printer", "An expired certificate"}
        << true;
}

void TestBankReport::stemEcho() {
    QFETCH(QString, stem);
    QFETCH(QStringList, choices);
    QFETCH(bool, echo);
    bank::FairExam exam{QStringLiteral("exam1"), {}};
    for (int n = 1; n <= 40; ++n) {
        exam.questions << bank::FairQuestion{n,
                                             QStringLiteral("Filler question %1?").arg(n),
                                             QString(),
                                             {"alpha", "bravo", "charlie", "delta", ""},
                                             {true, false, false, false, false}};
    }
    choices << QString();
    exam.questions << bank::FairQuestion{
        41, stem, QString(), choices, {true, false, false, false, false}};
    const bank::ExamFairness f = bank::measureExam(exam);
    QCOMPARE(f.stemEchoes, echo ? QList<qint64>{41} : QList<qint64>{});
}

void TestBankReport::alikeStems_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("secondExhibit");
    QTest::addColumn<int>("percent");  // -1: not alike

    const QString stem = QStringLiteral(
        "Which command lists the block devices of a Linux host with their sizes and mount points?");
    QTest::newRow("the same, case and punctuation aside")
        << stem
        << QStringLiteral(
               "which COMMAND lists the block devices of a Linux host, with "
               "their sizes and mount points")
        << QString() << 100;
    QTest::newRow("one word changed")
        << stem
        << QStringLiteral(
               "Which command lists the block devices of a Linux server with their "
               "sizes and mount points?")
        << QString() << 88;
    QTest::newRow("same words, other order")
        << QStringLiteral("Is port 22 open on the host?")
        << QStringLiteral("Is the host open on port 22?") << QString() << 99;
    QTest::newRow("another question")
        << stem << QStringLiteral("Which command shows the free memory?") << QString() << -1;
    QTest::newRow("same stem over another exhibit")
        << stem << stem << QStringLiteral("other.png") << -1;
}

void TestBankReport::alikeStems() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, secondExhibit);
    QFETCH(int, percent);

    const QStringList answers{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                              QStringLiteral("d")};
    const QList<bool> key{true, false, false, false};
    const bank::FairExam one{
        QStringLiteral("exam1"),
        {{7, first, QString(), answers, key},
         {8, QStringLiteral("Unrelated filler text"), QString(), answers, key}}};
    const bank::FairExam two{QStringLiteral("exam2"), {{3, second, secondExhibit, answers, key}}};
    const QList<bank::AlikeStems> found = bank::findAlikeStems({one, two}).first;
    if (percent < 0) {
        QVERIFY(found.isEmpty());
        return;
    }
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].examA + QString::number(found[0].idA), QStringLiteral("exam17"));
    QCOMPARE(found[0].examB + QString::number(found[0].idB), QStringLiteral("exam23"));
    QCOMPARE(found[0].percentAlike, percent);
}

// Templated stems that differ only in a number are all alike: n(n-1)/2 pairs.
void TestBankReport::alikeListingIsBounded() {
    QList<bank::FairExam> exams;
    for (int e = 1; e <= 3; ++e) {
        bank::FairExam exam{QStringLiteral("exam%1").arg(e), {}};
        for (int id = 1; id <= 500; ++id) {
            exam.questions << bank::FairQuestion{
                id,
                QStringLiteral("Which port does service %1 use by default on the host named "
                               "server-%1 in the lab network?")
                    .arg(e * 1000 + id),
                QString(),
                {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                 QStringLiteral("d")},
                {true, false, false, false}};
        }
        exams << exam;
    }
    const qint64 pairs = 1500 * 1499 / 2;
    const bank::BankReport report = bank::reportOn(exams);
    const QStringList lines = report.lines();
    const QStringList listed = lines.filter(QStringLiteral(" % alike"));
    QCOMPARE(listed.size(), 50);
    QCOMPARE(listed.first(), QStringLiteral("  exam1 ID 1 and exam1 ID 2: 88 % alike"));
    QCOMPARE(listed.last(), QStringLiteral("  exam1 ID 1 and exam1 ID 51: 88 % alike"));
    QVERIFY(lines.contains(
        QStringLiteral("same or nearly the same stems: %1 pair(s), the first 50:").arg(pairs)));
    QVERIFY(report.warnings().contains(
        QStringLiteral("%1 pair(s) of questions ask the same or nearly the same").arg(pairs)));

    // Out of comparisons, the search says that its count is a lower bound.
    bank::BankReport partial;
    partial.alike = bank::findAlikeStems(exams, 80, 3, 1000);
    QVERIFY(partial.alike.stopped);
    QCOMPARE(partial.alike.comparisons, 1000);
    QVERIFY(partial.alike.count > 3 && partial.alike.count <= 1000);
    QCOMPARE(partial.alike.first.size(), 3);
    QVERIFY(partial.lines().contains(
        QStringLiteral("same or nearly the same stems: at least %1 pair(s) (the search stopped "
                       "after 1000 comparisons), the first 3:")
            .arg(partial.alike.count)));
    QVERIFY(partial.warnings().contains(
        QStringLiteral("at least %1 pair(s) of questions ask the same or nearly the same")
            .arg(partial.alike.count)));
}

void TestBankReport::refusesFilesThatAreNoBank_data() {
    QTest::addColumn<QByteArray>("damage");  // SQL on a built bank; "garbage": not SQLite
    QTest::addColumn<QString>("reason");

    QTest::newRow("no such file") << QByteArray("remove") << QStringLiteral("no such file");
    QTest::newRow("folder") << QByteArray("folder") << QStringLiteral("is a folder, not a file");
    QTest::newRow("named pipe") << QByteArray("fifo")
                                << QStringLiteral("is a named pipe (FIFO), not a file");
    QTest::newRow("over the limit")
        << QByteArray("oversized")
        << QStringLiteral("holds more than 256 MB, the most kvn_bank reads from one file");
    QTest::newRow("not a database")
        << QByteArray("garbage") << QStringLiteral("file is not a database");
    QTest::newRow("key table missing")
        << QByteArray("DROP TABLE exam22")
        << QStringLiteral("is not a question bank: table exam22 is missing");
    QTest::newRow("key column missing")
        << QByteArray("ALTER TABLE exam33 DROP COLUMN answer5")
        << QStringLiteral("is not a question bank: exam33 has no column answer5");
}

void TestBankReport::refusesFilesThatAreNoBank() {
    QFETCH(QByteArray, damage);
    QFETCH(QString, reason);

    Bank bank;
    const QString file = bank::buildDatabase(bank.request());
    if (damage == "remove") {
        QVERIFY(QFile::remove(file));
    } else if (damage == "folder" || damage == "fifo") {
        QVERIFY(QFile::remove(file));
        QVERIFY(damage == "folder" ? QDir().mkdir(file)
                                   : ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        // check says what the file is too.
        QCOMPARE(bank::checkDatabase(file), QStringList{file + QStringLiteral(": ") + reason});
    } else if (damage == "oversized") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(bank::kMaxDatabaseBytes + 1));
    } else if (damage == "garbage") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    } else {
        exec(file, damage.constData());
    }
    try {
        bank::readBankExams(file);
        QFAIL("read a file that is no bank");
    } catch (const bank::SourceError& e) {
        QCOMPARE(e.file, file);
        QVERIFY2(e.reason.contains(reason), qPrintable(e.reason));
    }
}

void TestBankReport::commandLine() {
    Bank bank;
    int exitCode = 0;
    QString errors;

    // build warns about what it built: the fixture's first question has three choices.
    const QString out = bank.dir.filePath(QStringLiteral("out"));
    const QString built =
        runKvnBank({QStringLiteral("build"), QStringLiteral("--edition"), QStringLiteral("full"),
                    QStringLiteral("--source"), bank.dir.path(), QStringLiteral("--out"), out},
                   &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY(warningsOf(built).contains(
        QStringLiteral("exam1: 1 question(s) offer three choices or fewer")));

    // report warns but exits 0, and leaves the folder as it was.
    const QString database = QDir(out).filePath(QStringLiteral("kvn09.mdb"));
    const QStringList before = QDir(out).entryList(QDir::Files);
    const QDateTime modified = QFileInfo(database).lastModified();
    const QString report = runKvnBank({QStringLiteral("report"), database}, &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY(report.startsWith(database + QLatin1Char('\n')));
    QCOMPARE(warningsOf(report), warningsOf(built));
    QCOMPARE(QDir(out).entryList(QDir::Files), before);
    QCOMPARE(QFileInfo(database).lastModified(), modified);

    // A file that is no bank: one line on standard error, exit 2, nothing on standard output.
    const QString missing = bank.dir.filePath(QStringLiteral("none.mdb"));
    QCOMPARE(runKvnBank({QStringLiteral("report"), missing}, &exitCode, &errors), QString());
    QCOMPARE(exitCode, 2);
    QCOMPARE(errors, QStringLiteral("kvn_bank: %1: no such file\n").arg(missing));

    // import warns about the questions it took.
    const QString imported =
        runKvnBank({QStringLiteral("import"), QStringLiteral("aiken"),
                    QStringLiteral(PRAXILO_IMPORT_SAMPLES "/aiken-quiz.txt"),
                    QStringLiteral("--out"), bank.dir.filePath(QStringLiteral("imported"))},
                   &exitCode, &errors);
    QCOMPARE(exitCode, 0);
    QVERIFY2(warningsOf(imported).contains(
                 QStringLiteral("exam1: 1 question(s) offer three choices or fewer")),
             qPrintable(imported + errors));
}

QTEST_MAIN(TestBankReport)
#include "tst_bank_report.moc"
