// Whole exams through the real windows of every subsystem, as a candidate takes them: menu,
// intro, notice, exam, score sheet, review and back to the menu, exam after exam.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "exam/form211.h"
#include "fixture_database.h"
#include "program_windows.h"
#include "start/form1.h"
#include "whole_exam_steps.h"

namespace {

int responsesSet(const FixtureDatabase& db, int exam) {
    return db
        .scalar(
            QStringLiteral("SELECT count(*) FROM exam%1 WHERE correctanswer1 + correctanswer2 + "
                           "correctanswer3 + correctanswer4 + correctanswer5 > 0")
                .arg(exam))
        .toInt();
}

}  // namespace

class TestWholeExam : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void examAfterExam_data();
    void examAfterExam();
    void showAnswerAndExhibitComeBackToTheExam();
    void demoTimeOutEndsTheExam();
    void bankLargerThanTheExamScoresOnlyTheDraw();
    void studyChosenBehindTheNoticeStartsNoExam_data();
    void studyChosenBehindTheNoticeStartsNoExam();
    void noMenuEntryReachesARunningExam_data();
    void noMenuEntryReachesARunningExam();
};

void TestWholeExam::examAfterExam_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("exam");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("pass");
    QTest::newRow("full exam 2, 87 of 116") << false << 2 << 87 << "750/1000" << true;
    QTest::newRow("full exam 3, 86 of 116") << false << 3 << 86 << "741/1000" << false;
    QTest::newRow("demo, 23 of 30") << true << 1 << 23 << "766/1000" << true;
    QTest::newRow("demo, 22 of 30") << true << 1 << 22 << "733/1000" << false;
}

void TestWholeExam::examAfterExam() {
    QFETCH(bool, demo);
    QFETCH(int, exam);
    QFETCH(int, right);
    QFETCH(QString, score);
    QFETCH(bool, pass);
    const int questions = demo ? 30 : 116;
    FixtureDatabase db(demo ? QStringLiteral("kvn009.mdb") : QStringLiteral("kvn09.mdb"));
    fillBank(db, exam, questions, 10);
    AppTestEnv env(demo ? app::demoEdition() : app::fullEdition());
    registerProgramWindows();
    app::Main();
    const QByteArray entry = "mnuExamsub" + QByteArray::number(exam);

    startExam(entry.constData());
    answerAll(db, exam, questions, right);
    // Back to the first question: its stored mark is still there.
    for (int i = 1; i < questions; ++i) {
        click(win::Exam, "cmdPrevQ");
    }
    QCOMPARE(ExamSettings.QuestionNo, 1);
    env.prompts.answer(prompts::Answer::Ok);
    click(win::Exam, "cmdEndExam");

    QVERIFY(flow::existing(win::ScoreSheet)->isVisible());
    QCOMPARE(scoreText(), score);
    QCOMPARE(verdictText(), pass ? QStringLiteral("Congratulations!")
                                 : QStringLiteral("Sorry, please try again!"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM cat_scores")).toInt(), 10);

    click(win::ScoreSheet, "CmdAnswers");
    QVERIFY(flow::existing(win::WrongAnswers)->isVisible());
    click(win::WrongAnswers, "cmdScoreRep");
    QCOMPARE(scoreText(), score);
    QVERIFY(responsesSet(db, exam) > 0);

    click(win::ScoreSheet, "CmdExit");
    QCOMPARE(responsesSet(db, exam), 0);
    QCOMPARE(ExamSettings.ActiveExam, 0);
    QCOMPARE(ExamSettings.QuestionNo, 0);
    QCOMPARE(probe::visibleTopLevels(), QWidgetList{&forms::get<Form1>()});

    // The next exam starts at question 1 and scores only its own answers.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    startExam(entry.constData());
    QCOMPARE(ExamSettings.QuestionNo, 1);
    answerAll(db, exam, 3, 3);
    env.prompts.answer(prompts::Answer::Ok);
    click(win::Exam, "cmdEndExam");
    QCOMPARE(scoreText(), QStringLiteral("%1/1000").arg(3 * 1000 / questions));
    QCOMPARE(env.endings, 0);
}

void TestWholeExam::showAnswerAndExhibitComeBackToTheExam() {
    FixtureDatabase db;
    fillBank(db, 1, 116, 10);
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    app::Main();
    startExam("mnuExamsub1");
    QWidget* exam = flow::existing(win::Exam);

    click(win::Exam, "Command1");
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM showans")).toInt(), 1);
    QVERIFY(flow::existing(win::Answer)->isVisible());
    QVERIFY(!exam->isVisible());
    flow::existing(win::Answer)->close();
    QVERIFY(exam->isVisible());
    QCOMPARE(ExamSettings.QuestionNo, 1);

    // Question 1 carries the exhibit; find it among the drawn questions.
    while (control<QLineEdit>(win::Exam, "Text1")->text() != QLatin1String("1")) {
        click(win::Exam, "CmdNextQ");
    }
    const int at = ExamSettings.QuestionNo;
    click(win::Exam, "Picture1");
    QWidget* exhibit = flow::existing(win::Exhibit);
    QVERIFY(exhibit->isVisible());
    QVERIFY(!exam->isVisible());
    exhibit->close();
    QVERIFY(exam->isVisible());
    QCOMPARE(ExamSettings.QuestionNo, at);
    QCOMPARE(env.endings, 0);
}

void TestWholeExam::demoTimeOutEndsTheExam() {
    FixtureDatabase db(QStringLiteral("kvn009.mdb"));
    fillBank(db, 1, 30, 10);
    AppTestEnv env(app::demoEdition());
    registerProgramWindows();
    app::Main();
    startExam("mnuExamsub1");
    answerAll(db, 1, 30, 30);
    auto& exam = static_cast<Form211&>(*flow::existing(win::Exam));
    for (int tick = 0; tick < 1800 && exam.isVisible(); ++tick) {
        exam.Timer1_Timer();
    }
    QVERIFY(!exam.isVisible());
    QVERIFY(flow::existing(win::ScoreSheet)->isVisible());
    QCOMPARE(scoreText(), QStringLiteral("1000/1000"));
    exam.Timer1_Timer();                              // a late tick ends nothing twice
    QCOMPARE(env.prompts.shown().size(), size_t(2));  // the name prompt and the time-out notice
}

void TestWholeExam::bankLargerThanTheExamScoresOnlyTheDraw() {
    FixtureDatabase db(QStringLiteral("kvn009.mdb"));
    fillBank(db, 1, 200, 10);
    AppTestEnv env(app::demoEdition());
    registerProgramWindows();
    app::Main();
    startExam("mnuExamsub1");
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tblRandom")).toInt(), 30);
    answerAll(db, 1, 30, 30);
    env.prompts.answer(prompts::Answer::Ok);
    click(win::Exam, "cmdEndExam");
    QCOMPARE(scoreText(), QStringLiteral("1000/1000"));
}

void TestWholeExam::studyChosenBehindTheNoticeStartsNoExam_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("studied");
    QTest::newRow("full, study exam 1") << false << 1;
    QTest::newRow("full, study exam 3") << false << 3;
    QTest::newRow("demo, study exam 1") << true << 1;
}

void TestWholeExam::studyChosenBehindTheNoticeStartsNoExam() {
    QFETCH(bool, demo);
    QFETCH(int, studied);
    FixtureDatabase db(demo ? QStringLiteral("kvn009.mdb") : QStringLiteral("kvn09.mdb"));
    for (int exam = 1; exam <= (demo ? 1 : 3); ++exam) {
        fillBank(db, exam, demo ? 30 : 116, 10);
    }
    AppTestEnv env(demo ? app::demoEdition() : app::fullEdition());
    registerProgramWindows();
    app::Main();
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuExamsub1"))->trigger();
    click(win::Intro, "Command1");
    QWidget* notice = flow::existing(win::Notice);
    QVERIFY(notice->isVisible());

    // The menu is still there beside the notice; a study choice there wins.
    const QByteArray entry = "menuFileSubExam" + QByteArray::number(studied);
    forms::get<Form1>().findChild<QAction*>(QLatin1String(entry))->trigger();
    QVERIFY(flow::existing(win::Study)->isVisible());
    QVERIFY(!notice->isVisible());
    QVERIFY(!flow::existing(win::Intro)->isVisible());

    // Even pressed, the notice's OK starts nothing now.
    control<QAbstractButton>(win::Notice, "OKButton")->click();
    QVERIFY(!flow::existing(win::Exam) || !flow::existing(win::Exam)->isVisible());
    QVERIFY(flow::existing(win::Study)->isVisible());
    QCOMPARE(ExamSettings.ActiveExam, qint16(studied * 11));
    QCOMPARE(env.endings, 0);
}

void TestWholeExam::noMenuEntryReachesARunningExam_data() {
    QTest::addColumn<QString>("at");  // the window in front while the menu entries are tried
    QTest::addColumn<QString>("help");
    const QStringList helps{win::HelpNavigation, win::HelpCertification, win::HelpReadMe,
                            win::HelpOrdering, win::About};
    const QStringList fronts{win::Exam, win::Answer, win::Exhibit, win::ScoreSheet,
                             win::WrongAnswers};
    for (int i = 0; i < fronts.size(); ++i) {
        // Every reachable window, each with a help window left open from before the exam.
        const QString& help = helps[i % helps.size()];
        QTest::addRow("%s, %s left open", qPrintable(fronts[i]), qPrintable(help))
            << fronts[i] << help;
    }
}

void TestWholeExam::noMenuEntryReachesARunningExam() {
    QFETCH(QString, at);
    QFETCH(QString, help);
    FixtureDatabase db;
    fillBank(db, 1, 116, 10);
    fillBank(db, 2, 116, 10);
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    app::Main();
    Form1& menu = forms::get<Form1>();
    const QMap<QString, const char*> helpEntries{{win::HelpNavigation, "mnuHelpsubNavigate"},
                                                 {win::HelpCertification, "mnuHelpSubCer"},
                                                 {win::HelpReadMe, "mnuhelpsubmnureadme"},
                                                 {win::HelpOrdering, "mnuhelpsubmnuorder"},
                                                 {win::About, "mnuHelpsubCertification"}};
    menu.findChild<QAction*>(QLatin1String(helpEntries.value(help)))->trigger();
    QVERIFY(flow::existing(help)->isVisible());

    env.prompts.type(QStringLiteral("Ada"));
    startExam("mnuExamsub1");
    answerAll(db, 1, 116, 116);
    if (at == win::Answer) {
        click(win::Exam, "Command1");
    } else if (at == win::Exhibit) {
        while (control<QLineEdit>(win::Exam, "Text1")->text() != QLatin1String("1")) {
            click(win::Exam, "cmdPrevQ");
        }
        click(win::Exam, "Picture1");
    } else if (at == win::ScoreSheet || at == win::WrongAnswers) {
        env.prompts.answer(prompts::Answer::Ok);
        click(win::Exam, "cmdEndExam");
        if (at == win::WrongAnswers) {
            click(win::ScoreSheet, "CmdAnswers");
        }
    }
    QVERIFY(flow::existing(at)->isVisible());

    // The help window's way back must not bring the menu up over the exam.
    QAbstractButton* back = help == win::About.id() ? control<QAbstractButton>(help, "cmdOK")
                                                    : control<QAbstractButton>(help, "Command1");
    back->click();
    QVERIFY(!menu.isVisible());

    // Every entry of the menu, however it might be reached, leaves the exam alone.
    env.prompts.answer(prompts::Answer::No);  // to Exit's question
    for (QAction* entry : menu.findChildren<QAction*>()) {
        if (entry->menu() || entry->isSeparator()) {
            continue;
        }
        entry->trigger();
        QVERIFY2(!menu.isVisible(), qPrintable(entry->objectName()));
        QCOMPARE(ExamSettings.ActiveExam, qint16(1));
        QCOMPARE(ExamSettings.CandidateName, QStringLiteral("Ada"));
        QVERIFY(flow::existing(at)->isVisible());
        QVERIFY(!flow::existing(win::Study) || !flow::existing(win::Study)->isVisible());
        QVERIFY(!flow::existing(win::Intro) || !flow::existing(win::Intro)->isVisible());
    }

    // Back to the exam, and it scores as exam 1.
    if (at == win::Answer || at == win::Exhibit) {
        flow::existing(at)->close();
    }
    if (at == win::WrongAnswers) {
        click(win::WrongAnswers, "cmdScoreRep");
    }
    if (at != win::ScoreSheet && at != win::WrongAnswers) {
        env.prompts.answer(prompts::Answer::Ok);
        click(win::Exam, "cmdEndExam");
    }
    QCOMPARE(scoreText(), QStringLiteral("1000/1000"));
    click(win::ScoreSheet, "CmdExit");
    QVERIFY(menu.isVisible());
    QCOMPARE(env.endings, 0);
}

QTEST_MAIN(TestWholeExam)
#include "tst_whole_exam.moc"
