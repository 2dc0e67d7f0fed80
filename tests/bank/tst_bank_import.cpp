#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include "bank_builder.h"
#include "bank_check.h"
#include "bank_fixture.h"
#include "bank_writer.h"
#include "export_moodle.h"
#include "html_text.h"
#include "import_aiken.h"
#include "import_gift.h"
#include "import_moodle.h"
#include "source_fields.h"
#include "text_input.h"

using namespace bank_fixture;

namespace {

QString sample(const QString& name) {
    return QStringLiteral(PRAXILO_IMPORT_SAMPLES "/") + name;
}

bank::ImportedFile importAs(const QString& format, const QString& file) {
    if (format == QLatin1String("moodle-xml")) {
        return bank::importMoodleXml(file);
    }
    if (format == QLatin1String("gift")) {
        return bank::importGift(file);
    }
    return bank::importAiken(file);
}

// One question on one line: category|question|choices, the right ones starred|explanation|
// picture name and size.
QString describe(const bank::ImportedQuestion& q) {
    QStringList choices;
    for (int i = 0; i < q.answers.size(); ++i) {
        choices << (q.correct.value(i) ? QStringLiteral("*") : QString()) + q.answers[i];
    }
    QString picture;
    if (!q.picture.png.isEmpty()) {
        const QImage image = QImage::fromData(q.picture.png, "PNG");
        picture =
            QStringLiteral("%1 %2x%3").arg(q.picture.name).arg(image.width()).arg(image.height());
    }
    return QStringList{q.category, q.question, choices.join(QLatin1Char(';')), q.explanation,
                       picture}
        .join(QLatin1Char('|'));
}

QStringList describeAll(const bank::ImportedFile& file) {
    QStringList out;
    for (const bank::ImportedQuestion& q : file.questions) {
        out << describe(q);
    }
    return out;
}

QStringList skipsOf(const bank::ImportedFile& file) {
    QStringList out;
    for (const bank::SkippedQuestion& s : file.skipped) {
        out << QStringLiteral("%1 %2").arg(s.line).arg(s.kind);
    }
    return out;
}

QImage asImage(const QByteArray& png) {
    return QImage::fromData(png).convertToFormat(QImage::Format_ARGB32);
}

bank::BuildRequest buildRequest(const QString& sourceDir, bool demo) {
    return {sourceDir, QStringLiteral(PRAXILO_SCHEMA_FILE), sourceDir + QStringLiteral("/run"),
            demo};
}

QStringList leftovers(const QString& parent) {
    return QDir(parent).entryList({QStringLiteral("*importing*")},
                                  QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class TestBankImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importsEachFormat_data();
    void importsEachFormat();
    void refusesMalformedInput_data();
    void refusesMalformedInput();
    void refusesWhatIsNoTextFile_data();
    void refusesWhatIsNoTextFile();
    void readsLinesUpToTheLimit();
    void controlCharactersGoEverywhere_data();
    void controlCharactersGoEverywhere();
    void everyQuestionSkippedSaysWhy();
    void outOfMemoryEndsCleanly();
    void htmlBecomesText_data();
    void htmlBecomesText();
    void textSurvivesHtml_data();
    void textSurvivesHtml();
    void fieldsReadBackExactly_data();
    void fieldsReadBackExactly();
    void categoryPaths_data();
    void categoryPaths();
    void importedBankBuildsAndChecks_data();
    void importedBankBuildsAndChecks();
    void roundTripKeepsTheBank();
    void writerRefusesAndLeavesNothing();
    void pictureNamesStayApart();
};

void TestBankImport::importsEachFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("skips");
    QTest::addColumn<QStringList>("leftOut");

    QTest::newRow("platform xml")
        << "moodle-xml" << "moodle-quiz.xml"
        << QStringList{
               "Networking|Which port does HTTPS use by default?|80;*443;22|HTTPS listens on "
               "443.\n\nPort 80 is plain HTTP & 22 is SSH.|",
               "Networking|Which two addresses are private?\nPick carefully. (Choose "
               "two.)|*10.1.2.3;8.8.8.8;*192.168.0.9;1.1.1.1||",
               "Networking|Which protocol resolves names?\nChoose the best one.|*DNS;mDNS;ARP|DNS "
               "resolves names.|",
               "Security / TLS/SSL|Refer to the exhibit.\n\n- first\n- second|*One key;Two "
               "keys;Three keys;Four keys;Five keys|R1# show keys\n  key-1   rsa|plan-one.png 6x4",
               "Security / TLS/SSL|Refer to the exhibit.|*Red;Green;Blue||dot.png 2x2"}
        << QStringList{"77 truefalse questions",
                       "84 essay questions",
                       "89 matching questions",
                       "94 shortanswer questions",
                       "99 numerical questions",
                       "104 multianswer questions",
                       "109 descriptions",
                       "114 more than five choices",
                       "125 no correct answer",
                       "133 fewer than three choices",
                       "140 several full-credit choices",
                       "149 several pictures",
                       "159 picture outside the file",
                       "167 picture missing from the file",
                       "175 unreadable picture",
                       "186 picture in a choice"}
        << QStringList{"\"(Choose n.)\" added to the question text",
                       "partial credit (now counted as wrong)", "per-choice feedback"};
    QTest::newRow("platform xml declared latin-1")
        << "moodle-xml"
        << "moodle-latin1-declared.xml" << QStringList{"|Qu\u00e9 port?|*443;80;22||"}
        << QStringList() << QStringList();
    QTest::newRow("brace format")
        << "gift" << "gift-quiz.gift"
        << QStringList{"Networking|Which port does HTTPS use by default?|80;*443;22|HTTPS listens "
                       "on 443; 80 is plain HTTP.|",
                       "Networking|Which two addresses are private? (Choose "
                       "two.)|*10.1.2.3;8.8.8.8;*192.168.0.9;1.1.1.1||",
                       "Networking|In a template, what does {name} mean: a ~ b, c = d # "
                       "e?\nSecond line.|*A placeholder = substitution;A comment # here;Nothing "
                       "at all|Braces { } mark it.|",
                       "Security / TLS/SSL|Which key signs?\n\nThink & answer.|*The private "
                       "key;The public key;The session key||",
                       "Security / TLS/SSL|The _____ brown fox jumps.|*quick;slow;lazy||"}
        << QStringList{"39 true/false questions", "41 essay questions",
                       "43 numerical questions",  "45 matching questions",
                       "51 short-answer questions", "53 descriptions",
                       "55 more than five choices", "57 no correct answer",
                       "59 fewer than three choices", "61 several answer blocks"}
        << QStringList{"\"(Choose n.)\" added to the question text", "per-choice feedback"};
    QTest::newRow("one-answer format")
        << "aiken"
        << "aiken-quiz.txt"
        << QStringList{"|Which port does HTTPS use by default?|80;*443;22||",
                       "|A Linux administrator runs \"chmod 754 backup.sh\".\nWhich permission "
                       "string does \"ls -l\" show "
                       "afterwards?|*rwxr-xr--;rwxrw-r--;rw-r-xr--;rwxr--r-x;rwx------||"}
        << QStringList{"15 more than five choices", "24 fewer than three choices"} << QStringList();
}

void TestBankImport::importsEachFormat() {
    QFETCH(QString, format);
    QFETCH(QString, file);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, skips);
    QFETCH(QStringList, leftOut);

    const bank::ImportedFile imported = importAs(format, sample(file));
    QCOMPARE(describeAll(imported), questions);
    QCOMPARE(skipsOf(imported), skips);
    QCOMPARE(imported.leftOut.keys(), leftOut);
    for (const bank::SkippedQuestion& s : imported.skipped) {
        QVERIFY2(!s.label.isEmpty() && !s.reason.isEmpty(), qPrintable(s.kind));
    }
}

void TestBankImport::refusesMalformedInput_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QTest::newRow("xml tag left open") << "moodle-xml"
                                       << "moodle-unclosed.xml" << 6 << "is not well-formed XML";
    QTest::newRow("xml cut off") << "moodle-xml"
                                 << "moodle-truncated.xml" << 6 << "is not well-formed XML";
    QTest::newRow("xml not utf-8") << "moodle-xml"
                                   << "moodle-latin1.xml" << 4 << "is not valid UTF-8 text";
    QTest::newRow("xml bad fraction")
        << "moodle-xml"
        << "moodle-bad-fraction.xml" << 6 << "answer fraction 'lots' is not a number";
    QTest::newRow("xml of another kind") << "moodle-xml"
                                         << "moodle-not-quiz.xml" << 2 << "is no question file";
    QTest::newRow("brace left open")
        << "gift"
        << "gift-open-brace.gift" << 3 << "the '{' opened here is never closed";
    QTest::newRow("closing brace alone")
        << "gift"
        << "gift-stray-brace.gift" << 3 << "'}' without a '{' before it";
    QTest::newRow("title left open")
        << "gift"
        << "gift-open-title.gift" << 3 << "the '::' title opened here is never closed";
    QTest::newRow("answer without marker")
        << "gift"
        << "gift-no-marker.gift" << 4 << "expected '=' or '~' to start an answer";
    QTest::newRow("weight not a number")
        << "gift"
        << "gift-bad-weight.gift" << 3 << "answer weight '%x%' is not a number";
    QTest::newRow("gift not utf-8") << "gift"
                                    << "gift-latin1.gift" << 3 << "is not valid UTF-8 text";
    QTest::newRow("no answer line before the next question")
        << "aiken"
        << "aiken-no-answer.txt" << 12 << "the question on line 7 has no 'ANSWER:' line";
    QTest::newRow("no answer line at the end")
        << "aiken"
        << "aiken-no-answer-at-end.txt" << 7 << "the question here has no 'ANSWER:' line";
    QTest::newRow("answer names no choice")
        << "aiken"
        << "aiken-bad-key.txt" << 5 << "'ANSWER: D' names none of the choices A to C";
    QTest::newRow("missing file") << "gift"
                                  << "no-such-file.gift" << 0 << "cannot be read";
}

void TestBankImport::refusesMalformedInput() {
    QFETCH(QString, format);
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(QString, reason);
    try {
        importAs(format, sample(file));
        QFAIL("accepted");
    } catch (const bank::SourceError& e) {
        QCOMPARE(e.file, sample(file));
        QCOMPARE(e.line, line);
        QVERIFY2(e.reason.startsWith(reason), qPrintable(e.reason));
    }
}

void TestBankImport::refusesWhatIsNoTextFile_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("input");  // "oversized": a sparse file just over the limit
    QTest::addColumn<QString>("reason");

    const QString tooLarge =
        QStringLiteral("holds more than 64 MB, the most kvn_bank reads from one file");
    for (const char* format : {"aiken", "gift", "moodle-xml"}) {
        QTest::addRow("%s: over the limit", format) << format << "oversized" << tooLarge;
        QTest::addRow("%s: endless device", format) << format << "/dev/zero" << tooLarge;
        QTest::addRow("%s: folder", format) << format << "folder"
                                            << "is a folder, not a file";
    }
}

void TestBankImport::refusesWhatIsNoTextFile() {
    QFETCH(QString, format);
    QFETCH(QString, input);
    QFETCH(QString, reason);
    QTemporaryDir temp;
    QString file = input;
    if (input == QLatin1String("oversized")) {
        file = temp.filePath(QStringLiteral("big.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(bank::kMaxInputBytes + 1));
    } else if (input == QLatin1String("folder")) {
        file = temp.path();
    } else if (!QFileInfo::exists(file)) {
        QSKIP("no such device here");
    }
    try {
        importAs(format, file);
        QFAIL("accepted");
    } catch (const bank::SourceError& e) {
        QCOMPARE(e.file, file);
        QCOMPARE(e.reason, reason);
    }
}

// Lines come as splitting the whole text would give them, and the limit counts every byte.
void TestBankImport::readsLinesUpToTheLimit() {
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("lines.txt"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBFone\r\n\ntw\xC3\xB6\n" + QByteArray(70000, 'x'));
    }
    QStringList lines;
    bank::Utf8Lines reader(file);
    for (QString line; reader.next(line);) {
        lines << line;
    }
    QCOMPARE(lines, (QStringList{"one\r", "", "tw\u00f6", QString(70000, u'x')}));
    QCOMPARE(reader.number(), 4);

    // A file is measured before it is read; a device counts the bytes it gave.
    QVERIFY_THROWS_EXCEPTION(bank::SourceError, bank::Utf8Lines(file, 70013));
    QVERIFY_THROWS_EXCEPTION(bank::SourceError, bank::readInputBytes(file, 70013));
    QCOMPARE(bank::readInputBytes(file, 70014).size(), 70014);
}

void TestBankImport::controlCharactersGoEverywhere_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("skips");

    const QByteArray nul(1, '\0');
    QTest::newRow("one-answer format")
        << "aiken"
        << "What is" + nul + " this?\nA. one" + nul + "x\nB. two\x01\nC. three\nANSWER: A\n"
        << QStringList{"|What is this?|*onex;two;three||"} << QStringList();
    QTest::newRow("one-answer format, a choice of NUL only")
        << "aiken"
        << "Which?\nA. " + nul + "\nB. two\nC. three\nANSWER: B\n"
        << QStringList() << QStringList{"1 empty choice"};
    QTest::newRow("brace format") << "gift"
                                  << "::t" + nul + "x:: What is" + nul + " this? {=one" + nul +
                                         "x ~two ~three####w" + nul + "hy}\n"
                                  << QStringList{"|What is this?|*onex;two;three|why|"}
                                  << QStringList();
}

void TestBankImport::controlCharactersGoEverywhere() {
    QFETCH(QString, format);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, skips);
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("quiz.txt"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const bank::ImportedFile imported = importAs(format, file);
    QCOMPARE(describeAll(imported), questions);
    QCOMPARE(skipsOf(imported), skips);
    for (const bank::ImportedQuestion& q : imported.questions) {
        QVERIFY(!q.title.contains(QChar(0)));
    }
}

void TestBankImport::everyQuestionSkippedSaysWhy() {
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("quiz.gift"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("::sky:: Is the sky blue? {T}\n\n::dns:: Describe DNS. {}\n");
    }
    const QString out = temp.filePath(QStringLiteral("bank"));
    QProcess process;
    process.start(QStringLiteral(KVN_BANK), {QStringLiteral("import"), QStringLiteral("gift"), file,
                                             QStringLiteral("--out"), out});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QStringList errors = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    errors.removeIf([](const QString& l) {
        return l.isEmpty() || l.startsWith(QLatin1String("QStandardPaths:"));
    });
    QCOMPARE(errors,
             (QStringList{file + ":1: skipped 'sky': is a true/false question; only "
                                 "multiple-choice questions can be presented",
                          file + ":3: skipped 'dns': is an essay question; only multiple-choice "
                                 "questions can be presented",
                          "kvn_bank: " + file +
                              ":0: holds no question the program can present (2 skipped)"}));
    QVERIFY(!QFileInfo::exists(out));
}

void TestBankImport::outOfMemoryEndsCleanly() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer reserves more address space than the limit leaves");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    QSKIP("the sanitizer reserves more address space than the limit leaves");
#endif
#endif
    // About 10 MB of questions: well under the size limit, well over 200 MB of memory.
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("big.txt"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int n = 1; n <= 35000; ++n) {
            f.write(QStringLiteral("Which port does service %1 use by default on the host named "
                                   "server-%1 in the lab network?\n")
                        .arg(n)
                        .toUtf8());
            for (const char letter : {'A', 'B', 'C', 'D'}) {
                f.write(QStringLiteral("%1. choice %1 for question %2 with a little text\n")
                            .arg(QLatin1Char(letter))
                            .arg(n)
                            .toUtf8());
            }
            f.write("ANSWER: B\n\n");
        }
    }
    const QString out = temp.filePath(QStringLiteral("bank"));
    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{200 << 20, 200 << 20};
        setrlimit(RLIMIT_AS, &limit);
    });
    process.start(QStringLiteral(KVN_BANK), {QStringLiteral("import"), QStringLiteral("aiken"),
                                             file, QStringLiteral("--out"), out});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().endsWith("kvn_bank: out of memory\n"));
    QVERIFY(!QFileInfo::exists(out));
    QCOMPARE(leftovers(temp.path()), QStringList());
}

void TestBankImport::htmlBecomesText_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pictures");

    QTest::newRow("paragraphs and breaks") << "<p>a</p>\n<p>b<br>c</p><p>d<br><br><br>e</p>"
                                           << "a\n\nb\nc\n\nd\n\n\ne" << QStringList();
    QTest::newRow("blanks fold") << " a  \n  b\t c "
                                 << "a b c" << QStringList();
    QTest::newRow("entities")
        << "&lt;x&gt; &amp; &quot;q&quot; &#233;&#x41;&eacute; &nbsp;&nbsp;x &bogus; & alone"
        << "<x> & \"q\" \u00e9A\u00e9   x &bogus; & alone" << QStringList();
    QTest::newRow("lists") << "<ul><li> one</li><li>two</li></ul>after"
                           << "- one\n- two\n\nafter" << QStringList();
    QTest::newRow("preformatted keeps blanks") << "<pre>\nR1# show\n  a  b\n</pre>x"
                                               << "R1# show\n  a  b\n\nx" << QStringList();
    QTest::newRow("scripts, comments and other tags")
        << "<script>var x = '<p>';</script><!-- a <p> note --><span class=\"x\">kept</span> a < "
           "b"
        << "kept a < b" << QStringList();
    QTest::newRow("pictures listed")
        << "<img src='@@PLUGINFILE@@/a%20b.png' alt=\"x > y\"> and <IMG SRC=\"c.png\"/>"
        << "and" << QStringList{"@@PLUGINFILE@@/a%20b.png", "c.png"};
}

void TestBankImport::htmlBecomesText() {
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QStringList, pictures);
    const bank::HtmlText converted = bank::htmlToPlainText(html);
    QCOMPARE(converted.text, text);
    QCOMPARE(converted.pictures, pictures);
}

void TestBankImport::textSurvivesHtml_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("one line") << "Which port does HTTPS use?";
    QTest::newRow("paragraphs and lines") << "a\n\nb\nc";
    QTest::newRow("several blank lines") << "a\n\n\n\nb\n\n\nc";
    QTest::newRow("indented command output") << "R1# show\n  Gi0/0   10.1.4.1   up\n\tnext";
    QTest::newRow("markup characters") << "if a < b && c > d then <p> &amp;";
}

void TestBankImport::textSurvivesHtml() {
    QFETCH(QString, text);
    QCOMPARE(bank::htmlToPlainText(bank::plainTextToHtml(text)).text, text);
}

void TestBankImport::fieldsReadBackExactly_data() {
    QTest::addColumn<QString>("value");
    const QString words = QStringLiteral(
        "The transport layer uses source and destination port numbers to hand "
        "each segment to the right application process, while the network layer "
        "moves packets between hosts using addresses");
    QTest::newRow("short") << "A short value.";
    QTest::newRow("long prose") << words;
    QTest::newRow("long prose with pipes and dots")
        << words + QStringLiteral(" | a |pipe . and a dot . |x ") + words;
    QTest::newRow("long prose with double blanks") << words + QStringLiteral("  two  ") + words;
    QTest::newRow("paragraphs") << "First.\n\nSecond " + words;
    QTest::newRow("line after a line") << "First.\n" + words + "\nThird.";
    QTest::newRow("indented code") << "Look:\n  R1# show\n    Gi0/0 up\nafter";
    QTest::newRow("lines that look like markup") << "x\n|y\n.\n| z\n#w\n== 3";
    QTest::newRow("many blank lines") << "a\n\n\n\nb";
}

void TestBankImport::fieldsReadBackExactly() {
    QFETCH(QString, value);
    const QString source = bank::sourceField(QStringLiteral("question"), value);
    const bank::ParsedText parsed = bank::parseFields(QStringLiteral("t.kvq"), source);
    QCOMPARE(parsed.entries.size(), 1);
    QCOMPARE(parsed.entries.first().field.value, value);
    for (const QString& line : source.split(QLatin1Char('\n'))) {
        // Prose is wrapped wherever wrapping keeps the text; "|" lines stay as they are.
        QVERIFY2(line.size() <= 96 || line.startsWith(QLatin1String("  |")) ||
                     value.contains(QLatin1String("  ")),
                 qPrintable(line));
    }
}

void TestBankImport::categoryPaths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("category");
    QTest::newRow("course category") << "$course$/top/Networking"
                                     << "Networking";
    QTest::newRow("nested, with a slash in a name") << "$course$/top/Security/TLS//SSL"
                                                    << "Security / TLS/SSL";
    QTest::newRow("older path without top") << "$system$/Default for System"
                                            << "Default for System";
    QTest::newRow("bare path") << " Plain / Name "
                               << "Plain / Name";
    QTest::newRow("only the top") << "$course$/top"
                                  << "";
}

void TestBankImport::categoryPaths() {
    QFETCH(QString, path);
    QFETCH(QString, category);
    QCOMPARE(bank::categoryFromPath(path), category);
    if (!category.isEmpty()) {
        QCOMPARE(bank::categoryFromPath(bank::categoryToPath(category)), category);
    }
}

void TestBankImport::importedBankBuildsAndChecks_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("total");
    QTest::newRow("platform xml") << "moodle-xml" << QStringList{"moodle-quiz.xml"}
                                  << "imported 5 question(s), skipped 16";
    QTest::newRow("brace format") << "gift" << QStringList{"gift-quiz.gift"}
                                  << "imported 5 question(s), skipped 10";
    QTest::newRow("one-answer format, three exams")
        << "aiken" << QStringList{"aiken-quiz.txt", "aiken-quiz.txt", "aiken-quiz.txt"}
        << "imported 6 question(s), skipped 6";
}

void TestBankImport::importedBankBuildsAndChecks() {
    QFETCH(QString, format);
    QFETCH(QStringList, files);
    QFETCH(QString, total);
    QTemporaryDir temp;
    const QString out = temp.filePath(QStringLiteral("bank"));
    QList<bank::ImportedFile> imported;
    for (const QString& f : files) {
        imported << importAs(format, sample(f));
    }
    const QStringList summary = bank::writeImportedBank(imported, out);
    QVERIFY2(std::any_of(summary.begin(), summary.end(),
                         [&](const QString& l) { return l.startsWith(total); }),
             qPrintable(summary.join(QLatin1Char('\n'))));
    QCOMPARE(leftovers(temp.path()), QStringList());

    for (const bool demo : {false, true}) {
        const QString database = bank::buildDatabase(buildRequest(out, demo));
        QCOMPARE(bank::checkDatabase(database), QStringList());
        QCOMPARE(query(database, "SELECT count(*) FROM exam11"),
                 QStringList{QString::number(imported.first().questions.size())});
    }
}

void TestBankImport::roundTripKeepsTheBank() {
    QTemporaryDir temp;
    const bank::ImportedFile first =
        bank::importMoodleXml(sample(QStringLiteral("moodle-quiz.xml")));
    const QString out = temp.filePath(QStringLiteral("bank"));
    bank::writeImportedBank({first}, out);
    const QString database = bank::buildDatabase(buildRequest(out, false));
    QCOMPARE(bank::checkDatabase(database), QStringList());

    const QString exported = temp.filePath(QStringLiteral("exam1.xml"));
    {
        QFile f(exported);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bank::exportMoodleXml(database, 1));
    }
    const bank::ImportedFile again = bank::importMoodleXml(exported);
    QCOMPARE(skipsOf(again), QStringList());
    QStringList expected = describeAll(first);
    for (QString& line : expected) {
        line.replace(
            QStringLiteral("||"),
            QStringLiteral("|") + QLatin1String(bank::kDefaultExplanation) + QStringLiteral("|"));
    }
    QCOMPARE(describeAll(again), expected);
    for (int i = 0; i < first.questions.size(); ++i) {
        // The builder writes pictures anew; what must survive is every pixel.
        QCOMPARE(asImage(again.questions[i].picture.png), asImage(first.questions[i].picture.png));
    }

    // Every exam at once: the copies made for exams 2 and 3 come along, named by exam.
    const bank::ImportedFile all = [&] {
        QFile f(exported);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bank::exportMoodleXml(database));
        f.close();
        return bank::importMoodleXml(exported);
    }();
    QCOMPARE(all.questions.size(), 3 * first.questions.size());
    QCOMPARE(all.questions.last().title, QStringLiteral("Exam 3, question 5"));

    QVERIFY(QFile::remove(temp.filePath(QStringLiteral("bank/run/plan-one.png"))));
    try {
        bank::exportMoodleXml(database, 1);
        QFAIL("exported without its exhibit");
    } catch (const bank::SourceError& e) {
        QVERIFY2(e.reason.contains(QLatin1String("exam11 ID 4: exhibit 'plan-one.png'")),
                 qPrintable(e.reason));
    }
}

void TestBankImport::writerRefusesAndLeavesNothing() {
    QTemporaryDir temp;
    const bank::ImportedFile good = bank::importAiken(sample(QStringLiteral("aiken-quiz.txt")));
    bank::ImportedFile nothing;
    nothing.file = QStringLiteral("empty.txt");
    nothing.skip(3, QStringLiteral("q"), QStringLiteral("no correct answer"), QStringLiteral("r"));

    const QString taken = temp.filePath(QStringLiteral("taken"));
    QDir().mkpath(taken);
    {
        QFile f(taken + QStringLiteral("/notes.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    const QString fresh = temp.filePath(QStringLiteral("fresh"));
    const QList<QPair<QList<bank::ImportedFile>, QString>> refused{
        {{good}, taken},
        {{good, nothing}, fresh},
        {{good, good, good, good}, fresh},
    };
    for (const auto& [files, out] : refused) {
        QVERIFY_THROWS_EXCEPTION(bank::SourceError, bank::writeImportedBank(files, out));
    }
    QCOMPARE(QDir(taken).entryList(QDir::Files), QStringList{"notes.txt"});
    QVERIFY(!QFileInfo::exists(fresh));
    QCOMPARE(leftovers(temp.path()), QStringList());

    // An empty folder is as good as a new one.
    const QString empty = temp.filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);
    bank::writeImportedBank({good}, empty);
    QVERIFY(QFileInfo::exists(empty + QStringLiteral("/source/exam3.kvq")));
}

void TestBankImport::pictureNamesStayApart() {
    const auto picture = [](QRgb colour) {
        QImage image(3, 3, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    };
    const auto question = [](const QString& name, const QByteArray& png) {
        bank::ImportedQuestion q;
        q.question = QStringLiteral("Which colour?");
        q.answers = QStringList{"red", "green", "blue"};
        q.correct = {true, false, false};
        q.picture = {name, png};
        return q;
    };
    bank::ImportedFile one;
    one.file = QStringLiteral("one.xml");
    one.accept(question(QStringLiteral("image.png"), picture(qRgb(255, 0, 0))));
    one.accept(question(QStringLiteral("image.png"), picture(qRgb(0, 255, 0))));
    bank::ImportedFile two = one;
    two.file = QStringLiteral("two.xml");
    two.questions.removeLast();

    QTemporaryDir temp;
    const QString out = temp.filePath(QStringLiteral("bank"));
    bank::writeImportedBank({one, two}, out);
    QCOMPARE(QDir(out + QStringLiteral("/exhibits")).entryList(QDir::Files),
             (QStringList{"image-2.png", "image.png"}));
    QCOMPARE(QImage(out + QStringLiteral("/exhibits/image-2.png")).pixel(1, 1), qRgb(0, 255, 0));
    const QString exam2 = bank::readUtf8File(out + QStringLiteral("/source/exam2.kvq"));
    QVERIFY(exam2.contains(QLatin1String("exhibit: image.png\n")));
    QVERIFY(!exam2.contains(QLatin1String("image-2.png")));
}

QTEST_MAIN(TestBankImport)
#include "tst_bank_import.moc"
