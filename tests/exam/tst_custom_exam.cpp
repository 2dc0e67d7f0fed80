#include <QPushButton>
#include <QtTest>

#include "app/custom_exam.h"
#include "exam/resume_offer.h"
#include "exam_session.h"
#include "session/attempt_store.h"
#include "session/exam_session.h"

namespace {

// Ten questions in each of categories 0 to 2 (IDs 1-10, 11-20, 21-30), single answers, the key
// of question i at choice i % 5, with an explanation.
void addCategories(ExamSession& s) {
    s.db.addCategories(
        {QStringLiteral("Cabling"), QStringLiteral("Networking"), QStringLiteral("Security")});
    s.addBank(1, 30, [](testsupport::Question& q) {
        q.catId = int((q.id - 1) / 10);
        q.questionType = QStringLiteral("single_answer");
        q.explanation = QStringLiteral("Because of rule %1.").arg(q.id);
    });
}

session::CustomExam customOf(std::vector<int> categories, int questions, int minutes,
                             bool practice) {
    return {1, std::move(categories), questions, minutes, practice, {}};
}

QString letterOfKey(qint64 id) {
    return QString(QChar(u'A' + int(id % 5)));
}

QAbstractButton* optionFor(Form211& form, int n) {
    return control<QAbstractButton>(form, QStringLiteral("Option%1").arg(n));
}

QString verdictOf(Form211& form) {
    auto* verdict = control<QLabel>(form, QStringLiteral("lblVerdict"));
    return verdict->isVisibleTo(&form) ? verdict->text() : QString();
}

}  // namespace

class TestCustomExam : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void settingsText_data();
    void settingsText();
    void runsWithItsOwnCountAndClock_data();
    void runsWithItsOwnCountAndClock();
    void practiceChecksAtOnceAndLocks();
    void checkingNeedsAnAnswer();
    void practiceResumesChecked();
    void brokenSettingsAreNotResumed_data();
    void brokenSettingsAreNotResumed();
    void tooFewLeftDrawsNothingAndReturnsToTheMenu();
};

void TestCustomExam::cleanup() {
    flow::discard(win::Exam);
    probe::settleDeletions();
    resetExamSettings();
}

void TestCustomExam::settingsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::newRow("practice") << "exam=1 categories=0,3 questions=20 minutes=20 mode=practice"
                              << true;
    QTest::newRow("untimed") << "exam=3 categories=7 questions=1 minutes=0 mode=timed" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no categories")
        << "exam=1 categories= questions=2 minutes=2 mode=timed" << false;
    QTest::newRow("category twice")
        << "exam=1 categories=2,2 questions=2 minutes=2 mode=timed" << false;
    QTest::newRow("exam 4") << "exam=4 categories=0 questions=2 minutes=2 mode=timed" << false;
    QTest::newRow("no questions") << "exam=1 categories=0 questions=0 minutes=2 mode=timed"
                                  << false;
    QTest::newRow("minutes over") << "exam=1 categories=0 questions=2 minutes=541 mode=timed"
                                  << false;
    QTest::newRow("odd mode") << "exam=1 categories=0 questions=2 minutes=2 mode=fast" << false;
    QTest::newRow("key missing") << "exam=1 categories=0 questions=2 mode=timed" << false;
    QTest::newRow("key twice") << "exam=1 exam=1 categories=0 questions=2 minutes=2 mode=timed"
                               << false;
    QTest::newRow("markup") << "exam=<b>1</b> categories=0 questions=2 minutes=2 mode=timed"
                            << false;
    QTest::newRow("review of chosen questions")
        << "exam=2 categories= questions=2 minutes=0 mode=practice ids=57,3" << true;
    QTest::newRow("review, timed")
        << "exam=2 categories= questions=2 minutes=0 mode=timed ids=57,3" << false;
    QTest::newRow("review, count not its questions")
        << "exam=2 categories= questions=3 minutes=0 mode=practice ids=57,3" << false;
    QTest::newRow("review of nothing")
        << "exam=2 categories= questions=2 minutes=0 mode=practice ids=" << false;
    QTest::newRow("review, not a number")
        << "exam=2 categories= questions=2 minutes=0 mode=practice ids=57,x" << false;
}

void TestCustomExam::settingsText() {
    QFETCH(QString, text);
    QFETCH(bool, readable);
    const std::optional<session::CustomExam> custom = session::decodeCustom(text);
    QCOMPARE(custom.has_value(), readable);
    if (custom) {
        QCOMPARE(session::encodeCustom(*custom), text);
    }
}

void TestCustomExam::runsWithItsOwnCountAndClock_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("clockAfterTwo");
    QTest::newRow("full, 5 minutes") << "full" << 5 << "00:04:58";
    QTest::newRow("demo, 5 minutes") << "demo" << 5 << "00:04:58";
    QTest::newRow("full, untimed") << "full" << 0 << "00:00:02";
}

void TestCustomExam::runsWithItsOwnCountAndClock() {
    QFETCH(QString, edition);
    QFETCH(int, minutes);
    QFETCH(QString, clockAfterTwo);
    ExamSession s(probe::editionNamed(edition));
    addCategories(s);
    ExamSettings.CandidateName = QStringLiteral("Ann");
    app::setCustomExam(customOf({1, 2}, 6, minutes, false));
    Form211& form = s.open();

    QCOMPARE(form.windowTitle(), QStringLiteral("Custom Exam"));
    const QList<qint64> drawn = s.drawOrder();
    QCOMPARE(drawn.size(), 6);
    for (qint64 id : drawn) {
        QVERIFY2(id > 10, "drawn from a category that was not chosen");
    }
    QCOMPARE(
        s.db.scalar(QStringLiteral("SELECT custom FROM tblAttempt")).toString(),
        QStringLiteral("exam=1 categories=1,2 questions=6 minutes=%1 mode=timed").arg(minutes));
    QVERIFY(!shown(form, QStringLiteral("cmdCheck")));
    QVERIFY(!shown(form, QStringLiteral("practiceFeedback")));

    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("1 of 6"));
    tick(form, 2);
    QCOMPARE(probe::textOf(form, "lblClock"), clockAfterTwo);
    for (int i = 1; i < 6; ++i) {
        form.CmdNextQ_Click();
    }
    QCOMPARE(ExamSettings.QuestionNo, 6);
    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("6 of 6"));
    QVERIFY(!control<QAbstractButton>(form, QStringLiteral("CmdNextQ"))->isEnabled());
    // An untimed exam never runs out nor warns; a timed one ends at its own minutes, with no
    // way to go on, and its time used is its minutes.
    prompts::Script script;
    script.answer(prompts::Answer::Cancel);
    tick(form, 5 * 60);
    session::ExamSession& exam = session::active();
    if (minutes == 0) {
        QVERIFY(script.shown().empty());
        QCOMPARE(s.scoreReports, 0);
        QCOMPARE(control<QLabel>(form, QStringLiteral("lblClock"))
                     ->palette()
                     .color(QPalette::WindowText),
                 QApplication::palette().color(QPalette::WindowText));
        QCOMPARE(exam.clock().secondsUsed, 5 * 60 + 2);
        return;
    }
    QCOMPARE(script.texts(), QStringList{"Time is up."});
    QCOMPARE(script.shown().front().buttons, prompts::Buttons::OkOnly);
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(exam.report().has_value());
    QCOMPARE(exam.clock().secondsUsed, 5 * 60);
    // Ticks that reach the session behind the notice are not time used.
    QVERIFY(exam.tick(5 * 60));
    QCOMPARE(exam.clock().secondsUsed, 5 * 60);
}

void TestCustomExam::practiceChecksAtOnceAndLocks() {
    ExamSession s(app::fullEdition());
    addCategories(s);
    app::setCustomExam(customOf({0}, 3, 3, true));
    Form211& form = s.open();
    QCOMPARE(form.windowTitle(), QStringLiteral("Custom Exam - Practice"));
    QVERIFY(shown(form, QStringLiteral("cmdCheck")));
    QVERIFY(verdictOf(form).isEmpty());

    // A wrong choice, checked by Enter from the question text.
    const qint64 first = shownId(form);
    const int wrong = int(first % 5) == 0 ? 2 : 1;
    clickMark(form, QStringLiteral("Option%1").arg(wrong));
    control<QWidget>(form, QStringLiteral("Text2_0"))->setFocus();
    QTest::keyClick(&form, Qt::Key_Return);
    QCOMPARE(verdictOf(form),
             QStringLiteral("Wrong. The right choice is %1.").arg(letterOfKey(first)));
    QCOMPARE(control<QPlainTextEdit>(form, QStringLiteral("txtExplanation"))->toPlainText(),
             QStringLiteral("Because of rule %1.").arg(first));
    // Fixed once checked: neither a click, on a selector or its words, nor a key changes it.
    QVERIFY(!optionFor(form, 5)->isEnabled());
    form.chooseByKey(int(first % 5) + 1);
    clickChoiceText(form, int(first % 5) + 1);
    QVERIFY(optionFor(form, wrong)->isChecked());
    QVERIFY(!control<QAbstractButton>(form, QStringLiteral("cmdCheck"))->isEnabled());
    // Saved at once, the answer with its lock.
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT flags FROM tblAttempt")).toString(),
             QStringLiteral("1!"));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), first)[size_t(wrong - 1)], 1);

    // The next question starts open; the right choice, checked by the button, is right.
    form.CmdNextQ_Click();
    QVERIFY(verdictOf(form).isEmpty());
    const qint64 second = shownId(form);
    form.chooseByKey(int(second % 5) + 1);
    pressButton(form, "cmdCheck");
    QCOMPARE(verdictOf(form), QStringLiteral("Right."));
    QVERIFY(control<QPlainTextEdit>(form, QStringLiteral("Text2_1"))->font().bold() ==
            (second % 5 == 0));

    // Back again: the first verdict is shown as it was.
    form.cmdPrevQ_Click();
    QCOMPARE(verdictOf(form),
             QStringLiteral("Wrong. The right choice is %1.").arg(letterOfKey(first)));
}

void TestCustomExam::checkingNeedsAnAnswer() {
    ExamSession s(app::demoEdition());
    addCategories(s);
    app::setCustomExam(customOf({0, 1, 2}, 2, 2, true));
    Form211& form = s.open();
    pressButton(form, "cmdCheck");
    QCOMPARE(verdictOf(form), QStringLiteral("Choose an answer first, then check it."));
    QVERIFY(optionFor(form, 1)->isEnabled());
    QVERIFY(!form.progress().isChecked(0));
}

void TestCustomExam::practiceResumesChecked() {
    ExamSession s(app::fullEdition());
    addCategories(s);
    ExamSettings.CandidateName = QStringLiteral("Ann");
    app::setCustomExam(customOf({1}, 4, 0, true));
    Form211& form = s.open();
    const qint64 first = shownId(form);
    form.chooseByKey(int(first % 5) + 1);
    pressButton(form, "cmdCheck");
    form.CmdNextQ_Click();
    tick(form, 9);
    flow::discard(win::Exam);
    probe::settleDeletions();
    resetExamSettings();
    ExamSettings.QuestionsPerExam = app::fullEdition().questionsPerExam;

    prompts::Script script;
    script.answer(prompts::Answer::Yes);
    QVERIFY(exam::offerInterruptedExam());
    QVERIFY2(script.shown().front().text.startsWith(
                 u"The custom exam of 4 questions from Exam #1, taken by Ann, was interrupted"),
             qPrintable(script.shown().front().text));
    QVERIFY(script.shown().front().text.contains(u"Time used: 00:00:05."));
    QVERIFY(app::isCustomExam());
    QCOMPARE(ExamSettings.QuestionsPerExam, 4);
    Form211& again = forms::get<Form211>();
    QCOMPARE(again.windowTitle(), QStringLiteral("Custom Exam - Practice"));
    QCOMPARE(probe::textOf(again, "lblClock"), QStringLiteral("00:00:05"));
    again.cmdPrevQ_Click();
    QCOMPARE(shownId(again), first);
    QCOMPARE(verdictOf(again), QStringLiteral("Right."));
    QVERIFY(!optionFor(again, 1)->isEnabled());
}

void TestCustomExam::brokenSettingsAreNotResumed_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unreadable") << "UPDATE tblAttempt SET custom = 'exam=1 mode=odd'"
                                << "its custom settings cannot be read";
    QTest::newRow("another exam")
        << "UPDATE tblAttempt SET custom = 'exam=2 categories=1 questions=4 minutes=4 mode=timed'"
        << "its custom settings cannot be read";
    QTest::newRow("count not its own")
        << "UPDATE tblAttempt SET custom = 'exam=1 categories=1 questions=5 minutes=4 mode=timed'"
        << "it counts 4 questions where its settings ask for 5";
}

void TestCustomExam::brokenSettingsAreNotResumed() {
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    ExamSession s(app::fullEdition());
    addCategories(s);
    app::setCustomExam(customOf({1}, 4, 4, false));
    s.open();
    flow::discard(win::Exam);
    probe::settleDeletions();
    resetExamSettings();
    ExamSettings.QuestionsPerExam = app::fullEdition().questionsPerExam;
    s.db.exec(damage);

    prompts::Script script;
    QVERIFY(!exam::offerInterruptedExam());
    QCOMPARE(script.shown().size(), size_t(1));
    QVERIFY2(script.shown().front().text.contains(u"cannot be resumed: " + reason),
             qPrintable(script.shown().front().text));
    QVERIFY(!app::isCustomExam());
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
    QCOMPARE(s.scoreReports, 0);
}

void TestCustomExam::tooFewLeftDrawsNothingAndReturnsToTheMenu() {
    ExamSession s(app::fullEdition());
    addCategories(s);
    int menus = 0;
    flow::registerWindow(win::MainMenu, AppTestEnv::fakeWindow([&menus] { ++menus; }));
    // The bank lost questions after the categories were counted.
    s.db.exec(QStringLiteral("DELETE FROM exam1 WHERE catID = 2 AND ID > 25"));
    app::setCustomExam(customOf({2}, 8, 8, false));
    beginExam();
    prompts::Script script;
    s.open();
    QCOMPARE(script.texts(),
             QStringList{QStringLiteral("The chosen categories now hold 5 questions, fewer than "
                                        "the 8 asked for. Nothing was drawn.")});
    QTRY_COMPARE(menus, 1);
    QVERIFY(!examUnderWay());
    QVERIFY(!app::isCustomExam());
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 0);
    QCOMPARE(s.scoreReports, 0);
}

QTEST_MAIN(TestCustomExam)
#include "tst_custom_exam.moc"
