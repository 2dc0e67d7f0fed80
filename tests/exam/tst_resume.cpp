#include <QMessageBox>
#include <QtTest>

#include "app/start_offer.h"
#include "exam/resume_offer.h"
#include "exam/review_screen.h"
#include "exam_session.h"
#include "history/history_access.h"
#include "look/inks.h"
#include "session/attempt_store.h"
#include "start/form1.h"

namespace {

const QString kTitle = QStringLiteral("Resume Exam");

struct LeftExam {
    QList<qint64> drawn;
    qint64 answeredId = 0;
};

// An exam taken as far as question 3 (question 1 answered with B, question 2 flagged, the
// clock at 7 s, saved at 5 s), then lost as a killed program loses it: no End Exam.
LeftExam takeAndLose(ExamSession& s) {
    ExamSettings.CandidateName = QStringLiteral("Ann <b>Lee</b>");
    Form211& form = s.open();
    LeftExam left{s.drawOrder(), shownId(form)};
    clickMark(form, QStringLiteral("Option2"));
    form.CmdNextQ_Click();
    control<QAbstractButton>(form, QStringLiteral("chkFlag"))->click();
    // A struck choice comes back with the flags.
    Q_EMIT control<QPlainTextEdit>(form, QStringLiteral("Text2_4"))->customContextMenuRequested({});
    form.CmdNextQ_Click();
    tick(form, 7);
    flow::discard(win::Exam);
    probe::settleDeletions();
    const qint16 perExam = ExamSettings.QuestionsPerExam;
    resetExamSettings();
    ExamSettings.QuestionsPerExam = perExam;
    return left;
}

void addSingles(ExamSession& s, int count) {
    s.addBank(1, count,
              [](testsupport::Question& q) { q.questionType = QStringLiteral("single_answer"); });
}

int attemptRows(ExamSession& s) {
    return s.db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                      "'tblAttempt'"))
                       .toInt() == 0
               ? 0
               : s.db.scalar(QStringLiteral("SELECT count(*) FROM tblAttempt")).toInt();
}

}  // namespace

class TestResume : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void flagsText_data();
    void flagsText();
    void resumesWhereItStopped_data();
    void resumesWhereItStopped();
    void longNameKeepsTheQuestionOnScreen_data();
    void longNameKeepsTheQuestionOnScreen();
    void noClearsAsANewDrawWould();
    void timeOverGoesToTheScoreSheet();
    void resumedNearItsEndWarnsAtOnce();
    void recordedAttemptIsNeverOfferedAgain();
    void brokenAttemptIsClearedWithOneMessage_data();
    void brokenAttemptIsClearedWithOneMessage();
    void olderFileWithoutTheTable();
    void tableOfAnotherKindEndsWithOneMessage_data();
    void tableOfAnotherKindEndsWithOneMessage();
    void startUpAsksBeforeTheMenu_data();
    void startUpAsksBeforeTheMenu();
};

void TestResume::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestResume::flagsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("questions");
    // Per question: 0 or 1 for the flag, then the struck rows' letters; "-" when refused.
    QTest::addColumn<QString>("marks");
    QTest::newRow("none") << "" << 3 << "0 0 0";
    QTest::newRow("some flagged") << "1 3" << 3 << "1 0 1";
    QTest::newRow("extra spaces") << " 2  3 " << 3 << "0 1 1";
    QTest::newRow("struck choices") << "2:AE 3 3:C" << 3 << "0 0AE 1C";
    QTest::newRow("past the end") << "4" << 3 << "-";
    QTest::newRow("zero") << "0" << 3 << "-";
    QTest::newRow("twice") << "2 2" << 3 << "-";
    QTest::newRow("not a number") << "2 x" << 3 << "-";
    QTest::newRow("comma") << "1,2" << 3 << "-";
    QTest::newRow("struck twice") << "2:A 2:B" << 3 << "-";
    QTest::newRow("letter twice") << "2:AA" << 3 << "-";
    QTest::newRow("no sixth choice") << "2:F" << 3 << "-";
    QTest::newRow("no letters") << "2:" << 3 << "-";
    QTest::newRow("small letters") << "2:a" << 3 << "-";
}

void TestResume::flagsText() {
    QFETCH(QString, text);
    QFETCH(int, questions);
    QFETCH(QString, marks);
    const auto decoded = exam::attempt::decodeMarks(text, questions);
    if (marks == QLatin1String("-")) {
        QVERIFY(!decoded);
        return;
    }
    QVERIFY(decoded);
    QStringList shown;
    for (size_t i = 0; i < decoded->flagged.size(); ++i) {
        QString one = decoded->flagged[i] ? QStringLiteral("1") : QStringLiteral("0");
        for (int row = 0; row < 5; ++row) {
            if (decoded->struck[i] & (1u << row)) {
                one += QChar(u'A' + row);
            }
        }
        shown << one;
    }
    QCOMPARE(shown.join(u' '), marks);
    QCOMPARE(exam::attempt::encodeMarks(*decoded), text.simplified());
}

void TestResume::resumesWhereItStopped_data() {
    probe::addEditionRows();
}

void TestResume::resumesWhereItStopped() {
    QFETCH(QString, edition);
    const app::Edition& e = probe::editionNamed(edition);
    ExamSession s(e);
    addSingles(s, e.drawCount + 10);
    const LeftExam left = takeAndLose(s);

    prompts::Script script;
    script.answer(prompts::Answer::Yes);
    QVERIFY(exam::offerInterruptedExam());
    QCOMPARE(script.shown().size(), size_t(1));
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.buttons, prompts::Buttons::YesNo);
    const QString exam = e.demo ? QStringLiteral("The demo exam") : QStringLiteral("Exam #1");
    const QString time = e.demo ? QStringLiteral("00:29:55") : QStringLiteral("01:59:55");
    QCOMPARE(box.text, QStringLiteral("%1, taken by Ann <b>Lee</b>, was interrupted before it "
                                      "was scored.\nAnswered: 1 of %2 questions. Time left: "
                                      "%3.\n\nResume it where it stopped?")
                           .arg(exam)
                           .arg(e.drawCount)
                           .arg(time));

    Form211& form = forms::get<Form211>();
    QVERIFY(form.isVisible());
    QVERIFY(examUnderWay());
    QCOMPARE(ExamSettings.ActiveExam, 1);
    QCOMPARE(ExamSettings.CandidateName, QStringLiteral("Ann <b>Lee</b>"));
    QCOMPARE(s.drawOrder(), left.drawn);
    QCOMPARE(ExamSettings.QuestionNo, 3);
    QCOMPARE(shownId(form), left.drawn.at(2));
    QCOMPARE(probe::textOf(form, "lblClock"), time);
    tick(form, 1);
    QCOMPARE(probe::textOf(form, "lblClock"),
             e.demo ? QStringLiteral("00:29:54") : QStringLiteral("01:59:54"));
    QCOMPARE(form.progress().unansweredCount(), e.drawCount - 1);
    QCOMPARE(form.progress().flaggedCount(), 1);

    form.cmdPrevQ_Click();
    QVERIFY(control<QAbstractButton>(form, QStringLiteral("chkFlag"))->isChecked());
    QVERIFY(shown(form, QStringLiteral("lblFlagged")));
    QVERIFY(control<QPlainTextEdit>(form, QStringLiteral("Text2_4"))->font().strikeOut());
    form.cmdPrevQ_Click();
    QVERIFY(control<QAbstractButton>(form, QStringLiteral("Option2"))->isChecked());
    QCOMPARE(shownId(form), left.answeredId);

    script.answer(prompts::Answer::Ok);
    form.cmdEndExam_Click();
    QCOMPARE(s.scoreReports, 1);
    QCOMPARE(attemptRows(s), 0);
}

// A name of any length leaves the question's buttons on a 1,024 x 768 screen.
void TestResume::longNameKeepsTheQuestionOnScreen_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("32,767 characters") << QString(32767, QLatin1Char('W'));
    QTest::newRow("1 MB of words") << QStringLiteral("Ann Lee ").repeated(131072);
}

void TestResume::longNameKeepsTheQuestionOnScreen() {
    QFETCH(QString, name);
    exam::SavedAttempt saved;
    saved.exam = 1;
    saved.candidate = name;
    saved.questions = 116;
    const QString text = exam::resumeQuestion(saved, 3, 7200, false);
    QVERIFY(text.contains(QStringLiteral(", taken by ") + name.left(8)));
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    const QSize size = box.sizeHint();
    QVERIFY2(size.width() <= 1024 && size.height() <= 768,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

void TestResume::noClearsAsANewDrawWould() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    takeAndLose(s);
    prompts::Script script;
    script.answer(prompts::Answer::No);
    QVERIFY(!exam::offerInterruptedExam());
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
    QCOMPARE(
        s.db.scalar(QStringLiteral("SELECT count(*) FROM exam1 WHERE correctanswer2 = 1")).toInt(),
        0);
    QCOMPARE(attemptRows(s), 0);
    QVERIFY(!examUnderWay());
    QVERIFY(!forms::existing<Form211>());
    // Nothing is asked twice.
    QVERIFY(!exam::offerInterruptedExam());
    QCOMPARE(script.shown().size(), size_t(1));
}

void TestResume::timeOverGoesToTheScoreSheet() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    const LeftExam left = takeAndLose(s);
    s.db.exec(QStringLiteral("UPDATE tblAttempt SET elapsed = 7200"));
    prompts::Script script;
    script.answer(prompts::Answer::Yes);
    QVERIFY(exam::offerInterruptedExam());
    QVERIFY(script.shown().front().text.contains(
        u"Time left: none.\n\nResume it? Its time is over, so Yes goes straight to its score "
        u"sheet."));
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!forms::existing<Form211>());
    QCOMPARE(ExamSettings.ActiveExam, 1);
    // The score sheet reads the answers; only the record of the attempt goes.
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), left.answeredId),
             (std::array<int, 5>{0, 1, 0, 0, 0}));
    QCOMPARE(attemptRows(s), 0);
}

// Killed after the history kept the attempt and before its resume record was cleared.
void TestResume::resumedNearItsEndWarnsAtOnce() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    takeAndLose(s);
    s.db.exec(QStringLiteral("UPDATE tblAttempt SET elapsed = 7000"));
    prompts::Script script;
    script.answer(prompts::Answer::Yes);
    QVERIFY(exam::offerInterruptedExam());
    Form211& form = forms::get<Form211>();
    auto* clock = control<QLabel>(form, QStringLiteral("lblClock"));
    QCOMPARE(clock->text(), QStringLiteral("00:03:20"));
    QCOMPARE(clock->palette().color(QPalette::WindowText), look::ink(look::Ink::Warning));
    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("3 of 116"));
    script.answer(prompts::Answer::Ok);
    form.cmdEndExam_Click();
    QCOMPARE(s.scoreReports, 1);
}

void TestResume::recordedAttemptIsNeverOfferedAgain() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    takeAndLose(s);
    const QString key =
        s.db.scalar(QStringLiteral("SELECT attempt_key FROM tblAttempt")).toString();
    QVERIFY(!key.isEmpty());
    history::AttemptRecord kept;
    kept.edition = QStringLiteral("full");
    kept.exam = 1;
    kept.key = key;
    kept.started = kept.ended = QDateTime::currentDateTime();
    history::recordAttempt(kept);
    prompts::Script script;
    QVERIFY(!exam::offerInterruptedExam());
    QVERIFY(script.shown().empty());
    QCOMPARE(attemptRows(s), 0);
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
}

void TestResume::brokenAttemptIsClearedWithOneMessage_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("drawn question gone")
        << "DELETE FROM exam1 WHERE ID = (SELECT ID FROM tblRandom WHERE sl_no = 5)"
        << "1 of its drawn questions is no longer in the bank";
    QTest::newRow("draw shorter than counted")
        << "DELETE FROM tblRandom WHERE sl_no > 100"
        << "100 questions are drawn for it, not the 116 it counts";
    QTest::newRow("count not an exam's") << "UPDATE tblAttempt SET questions = 50"
                                         << "it counts 50 questions where an exam has 116";
    QTest::newRow("negative time") << "UPDATE tblAttempt SET elapsed = -3"
                                   << "its time used, -3 seconds, is impossible";
    QTest::newRow("absurd time") << "UPDATE tblAttempt SET elapsed = 99999999999"
                                 << "its time used, 99999999999 seconds, is impossible";
    QTest::newRow("time in words") << "UPDATE tblAttempt SET elapsed = 'soon'"
                                   << "a number saved with it is not a whole number";
    QTest::newRow("question past the end")
        << "UPDATE tblAttempt SET position = 117"
        << "the question it was on, number 117, is not one of its 116";
    QTest::newRow("flags unreadable") << "UPDATE tblAttempt SET flags = '3 x'"
                                      << "its list of flagged questions cannot be read";
    QTest::newRow("no such exam") << "UPDATE tblAttempt SET exam = 9"
                                  << "its exam number, 9, is not one of this program's exams";
    QTest::newRow("exam number beyond any int")
        << "UPDATE tblAttempt SET exam = 9223372036854775807"
        << "its exam number, 9223372036854775807, is not one of this program's exams";
    QTest::newRow("two saved")
        << "CREATE TABLE t AS SELECT * FROM tblAttempt; DROP TABLE tblAttempt; "
           "CREATE TABLE tblAttempt AS SELECT * FROM t; INSERT INTO tblAttempt SELECT * FROM t; "
           "DROP TABLE t"
        << "2 exams are saved as interrupted, where one at most can be";
    QTest::newRow("one question drawn throughout") << "UPDATE tblRandom SET ID = 5"
                                                   << "question ID 5 is drawn 116 times for it";
    QTest::newRow("one question drawn twice")
        << "UPDATE tblRandom SET ID = sl_no; UPDATE tblRandom SET ID = 1 WHERE sl_no = 2"
        << "question ID 1 is drawn twice for it";
    QTest::newRow("text in a response column")
        << "UPDATE exam1 SET correctanswer2 = 'Yes' WHERE ID = (SELECT ID FROM tblRandom "
           "WHERE sl_no = 2)"
        << "the answer saved for its question 2 holds 'Yes' in correctanswer2, where the "
           "program writes only 0 or 1";
    QTest::newRow("numbers in response columns")
        << "UPDATE exam1 SET correctanswer5 = 2, correctanswer1 = 0.5 WHERE ID IN (SELECT ID "
           "FROM tblRandom WHERE sl_no IN (4, 9, 11))"
        << "the answer saved for its question 4 holds 0.5 in correctanswer1 and 2 in "
           "correctanswer5, where the program writes only 0 or 1; 2 more of its questions "
           "hold such values too";
    const QString oneCategory = QStringLiteral("INSERT INTO cat VALUES (1, 'Area 0'); ");
    const QString twoCategories = oneCategory + "INSERT INTO cat VALUES (2, 'Area 1'); ";
    QTest::newRow("custom category not in the bank")
        << oneCategory +
               "UPDATE tblAttempt SET custom = 'exam=1 categories=0,999999 questions=116 "
               "minutes=116 mode=timed'"
        << "its custom settings ask for category 999999, which the bank does not have";
    QTest::newRow("custom categories hold fewer")
        << twoCategories +
               "UPDATE exam1 SET catID = 1 WHERE ID > 100; UPDATE tblAttempt SET custom = "
               "'exam=1 categories=1 questions=116 minutes=116 mode=timed'"
        << "its custom settings ask for 116 questions from categories that hold 17";
    QTest::newRow("custom draw outside its categories")
        << twoCategories +
               "UPDATE exam1 SET catID = 1 WHERE ID = (SELECT ID FROM tblRandom WHERE sl_no = "
               "3); UPDATE tblAttempt SET custom = 'exam=1 categories=0 questions=116 "
               "minutes=116 mode=timed'"
        << "1 of its drawn questions is not from the categories of its custom settings";
    QTest::newRow("table of another layout")
        << "DROP TABLE tblAttempt; CREATE TABLE tblAttempt (attempt_no INTEGER); "
           "INSERT INTO tblAttempt VALUES (1)"
        << "what was saved of it cannot be read";
}

void TestResume::brokenAttemptIsClearedWithOneMessage() {
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    ExamSession s(app::fullEdition());
    addSingles(s, 117);  // one to spare, so that the bank still gives a whole exam after damage
    takeAndLose(s);
    for (const QString& statement : damage.split(QLatin1String("; "))) {
        s.db.exec(statement);
    }
    prompts::Script script;
    QVERIFY(!exam::offerInterruptedExam());
    QCOMPARE(script.shown().size(), size_t(1));
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.title, kTitle);
    QVERIFY2(
        box.text.startsWith(QStringLiteral("The interrupted exam cannot be resumed: ") + reason),
        qPrintable(box.text));
    QVERIFY(box.text.endsWith(u". It has been cleared."));
    QCOMPARE(s.scoreReports, 0);
    QVERIFY(!examUnderWay());
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
    QCOMPARE(attemptRows(s), 0);
    QVERIFY(!exam::offerInterruptedExam());
    QCOMPARE(script.shown().size(), size_t(1));

    // The next exam draws and is saved as usual.
    ExamSettings.ActiveExam = 1;
    Form211& form = s.open();
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT position FROM tblAttempt")).toInt(), 1);
    form.CmdNextQ_Click();
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT position FROM tblAttempt")).toInt(), 2);
    flow::discard(win::Exam);
}

void TestResume::olderFileWithoutTheTable() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    QCOMPARE(attemptRows(s), 0);
    prompts::Script script;
    QVERIFY(!exam::offerInterruptedExam());
    QVERIFY(script.shown().empty());
    ExamSettings.ActiveExam = 2;
    s.addBank(2, 116);
    s.open();
    QCOMPARE(
        s.db.scalar(QStringLiteral("SELECT exam || '/' || questions FROM tblAttempt")).toString(),
        QStringLiteral("2/116"));
    flow::discard(win::Exam);
}

void TestResume::tableOfAnotherKindEndsWithOneMessage_data() {
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("kind");
    QTest::newRow("view") << "CREATE VIEW tblAttempt AS SELECT 1 AS attempt_no, 1 AS exam, "
                             "'Ann' AS candidate, 116 AS questions, 0 AS elapsed, 1 AS "
                             "position, '' AS flags"
                          << "a view";
    QTest::newRow("index") << "CREATE INDEX tblAttempt ON cat (sl_no)"
                           << "an index";
}

// The draw could never write its record: the program ends at start-up, naming the file.
void TestResume::tableOfAnotherKindEndsWithOneMessage() {
    QFETCH(QString, replacement);
    QFETCH(QString, kind);
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    takeAndLose(s);
    s.db.exec(QStringLiteral("DROP TABLE tblAttempt"));
    s.db.exec(replacement);
    prompts::Script script;
    app::guarded([] { app::Main(); });
    QCOMPARE(s.env.endings, 1);
    QCOMPARE(script.shown().size(), size_t(1));
    QVERIFY2(script.shown().front().text.endsWith(
                 QStringLiteral("The question bank in 'kvn09.mdb' is damaged: 'tblAttempt' is %1, "
                                "not the table the program keeps an exam under way in.")
                     .arg(kind)),
             qPrintable(script.shown().front().text));
    QVERIFY(!forms::existing<Form1>());
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 116);
}

void TestResume::startUpAsksBeforeTheMenu_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestResume::startUpAsksBeforeTheMenu() {
    QFETCH(bool, yes);
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    takeAndLose(s);
    prompts::Script script;
    script.answer(yes ? prompts::Answer::Yes : prompts::Answer::No);
    app::Main();
    QCOMPARE(script.shown().size(), size_t(1));
    QCOMPARE(script.shown().front().title, kTitle);
    QCOMPARE(forms::get<Form211>().isVisible(), yes);
    QCOMPARE(forms::get<Form1>().isVisible(), !yes);
    forms::get<Form1>().hide();
    flow::discard(win::Exam);
}

QTEST_MAIN(TestResume)
#include "tst_resume.moc"
