#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "app/custom_exam.h"
#include "app/prompts.h"
#include "app/time_limit.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "app_test_env.h"
#include "history/history_store.h"
#include "start/form1.h"
#include "start/startup.h"

namespace {

struct MenuEntry {
    QString name;
    QString text;
    bool enabled;
    bool separator;
};

QList<MenuEntry> entriesOf(const QList<QAction*>& actions) {
    QList<MenuEntry> out;
    for (QAction* a : actions) {
        out << MenuEntry{a->objectName(), a->text(), a->isEnabled(), a->isSeparator()};
    }
    return out;
}

}  // namespace

class TestStartupAndMenus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void startupSetsOnlyQuestionCount_data();
    void startupSetsOnlyQuestionCount();
    void menuFirstReachedAfterAResumedExamFillsTheScreen();
    void menuBar_data();
    void menuBar();
    void sharedNameGoesOnlyToTheEditionThatUsedIt_data();
    void sharedNameGoesOnlyToTheEditionThatUsedIt();
    void examEntryAsksNameAndOpensIntro_data();
    void examEntryAsksNameAndOpensIntro();
    void reviewEntrySetsStudyExam();
    void reviewEntryKeepsMenuWhenStudyWindowMissing();
    void demoDisablesOtherExams();
    void quitAsksAndEndsOnlyOnYes();
    void titleBarCloseAsksToo();
    void timeLimitOfEachEdition_data();
    void timeLimitOfEachEdition();
    void realMessageBoxButtons_data();
    void realMessageBoxButtons();
};

void TestStartupAndMenus::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestStartupAndMenus::startupSetsOnlyQuestionCount_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("questions");
    QTest::newRow("full") << "full" << 116;
    QTest::newRow("demo") << "demo" << 30;
}

void TestStartupAndMenus::startupSetsOnlyQuestionCount() {
    QFETCH(QString, edition);
    QFETCH(int, questions);
    AppTestEnv env(probe::editionNamed(edition));
    app::Main();

    QCOMPARE(ExamSettings.QuestionsPerExam, questions);
    QCOMPARE(ExamSettings.ActiveExam, 0);
    QCOMPARE(ExamSettings.QuestionNo, 0);
    QCOMPARE(ExamSettings.ReviewExam, 0);
    QCOMPARE(ExamSettings.PassingScore, 0);
    QCOMPARE(ExamSettings.TimeLimitMinutes, 0);
    QVERIFY(ExamSettings.CandidateName.isEmpty());
    QVERIFY(!hasCurrentExhibit());

    const QWidgetList shown = probe::visibleTopLevels();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->objectName(), win::MainMenu);
    QCOMPARE(shown.first()->windowTitle(), QStringLiteral("Praxilo"));
    QVERIFY(shown.first()->windowState() & Qt::WindowMaximized);

    // The slate fills the window below the bar; the bar keeps the style's own colour.
    const QColor slate(0x3a, 0x5f, 0x7d);
    auto& menu = static_cast<Form1&>(*shown.first());
    const QImage picture = menu.grab().toImage();
    QCOMPARE(picture.pixelColor(picture.rect().center()), slate);
    QCOMPARE(picture.pixelColor(picture.rect().bottomRight()), slate);
    QVERIFY(picture.pixelColor(menu.menuBar()->geometry().center()) != slate);
}

// A resumed exam skips the start that maximizes the menu; its end brings the menu up first.
void TestStartupAndMenus::menuFirstReachedAfterAResumedExamFillsTheScreen() {
    AppTestEnv env(app::fullEdition());
    QVERIFY(flow::showMainMenu());
    QWidget* menu = flow::existing(win::MainMenu);
    QVERIFY(menu && menu->isVisible());
    QVERIFY(menu->windowState() & Qt::WindowMaximized);
    menu->hide();
}

void TestStartupAndMenus::menuBar_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QStringList>("topLevel");
    QTest::addColumn<QStringList>("examMenu");
    QTest::addColumn<QStringList>("reviewMenu");
    QTest::addColumn<QStringList>("helpMenu");

    QTest::newRow("full")
        << "full" << QStringList{"&Exam", "&Review", "&Help"}
        << QStringList{"mnuExamsub1=Korvane E&xam #1",
                       "mnuExamsub2=Korvane E&xam #2",
                       "mnuExamsub3=Korvane Ex&am #3",
                       "mnuCustomExam=&Custom Exam...",
                       "-",
                       "mnuFileSubExit=&Exit"}
        << QStringList{"menuFileSubExam1=Re&view Exam #1", "menuFileSubExam2=Rev&iew Exam #2",
                       "menuFileSubExam3=Revi&ew Exam #3", "mnuProgress=&Progress...",
                       "mnuDueQuestions=Due &Questions..."}
        << QStringList{"mnuHelpsubNavigate=&Navigation",  "mnuHelpSubCer=&Certification",
                       "mnuhelpsubmnureadme=&Read Me",    "mnuhelpsubmnuorder=&Ordering",
                       "mnuHelpsubCertification=&About ", "mnuHelpKeys=&Keys and Features"};
    QTest::newRow("demo")
        << "demo" << QStringList{"&Exam", "&Review", "&Help", "&Order Full Version"}
        << QStringList{"mnuExamsub1=Korvane &Exam #1 Demo",
                       "mnuExamsub2=Korvane E&xam #2",
                       "mnuExamsub3=Korvane Ex&am #3",
                       "mnuCustomExam=&Custom Exam...",
                       "-",
                       "mnuFileSubExit=&Exit"}
        << QStringList{"menuFileSubExam1=&Review Exam #1 Demo", "menuFileSubExam2=Rev&iew Exam #2",
                       "menuFileSubExam3=Revi&ew Exam #3", "mnuProgress=&Progress...",
                       "mnuDueQuestions=Due &Questions..."}
        << QStringList{"mnuHelpsubNavigate=&Navigation", "mnuHelpSubCer=&Certification",
                       "mnuhelpsubmnureadme=&Read Me", "mnuHelpsubCertification=&About ",
                       "mnuHelpKeys=&Keys and Features"};
}

void TestStartupAndMenus::menuBar() {
    QFETCH(QString, edition);
    QFETCH(QStringList, topLevel);
    QFETCH(QStringList, examMenu);
    QFETCH(QStringList, reviewMenu);
    QFETCH(QStringList, helpMenu);
    AppTestEnv env(probe::editionNamed(edition));
    int keysPages = 0;
    flow::registerWindow(win::HelpKeys, AppTestEnv::fakeWindow([&] { ++keysPages; }));
    Form1& form = forms::get<Form1>();

    QStringList shownTop;
    for (QAction* a : form.menuBar()->actions()) {
        shownTop << a->text();
        if (a->menu() == nullptr) {
            // A top-level entry without a drop-down acts when clicked on the bar itself.
            QCOMPARE(a->objectName(), QStringLiteral("mnuhelpsubmnuorder"));
        }
    }
    QCOMPARE(shownTop, topLevel);

    const auto describe = [&](const char* menuName) -> QStringList {
        auto* menu = form.findChild<QMenu*>(QLatin1String(menuName));
        QStringList out;
        for (const MenuEntry& e : entriesOf(menu->actions())) {
            out << (e.separator ? QStringLiteral("-") : e.name + QLatin1Char('=') + e.text);
            if (!e.enabled && edition != QLatin1String("demo")) {
                return {QStringLiteral("disabled: ") + e.name};
            }
        }
        return out;
    };
    QCOMPARE(describe("mnuExam"), examMenu);
    QCOMPARE(describe("mnuFile"), reviewMenu);
    QCOMPARE(describe("mnuhelp"), helpMenu);
    // The menus keep their own keys; only the review of due questions has a shortcut.
    for (QAction* a : form.findChildren<QAction*>()) {
        QCOMPARE(a->shortcut(), a->objectName() == u"mnuDueQuestions"
                                    ? QKeySequence(Qt::CTRL | Qt::Key_D)
                                    : QKeySequence());
        QVERIFY(!a->isChecked());
    }
    form.findChild<QAction*>(QStringLiteral("mnuHelpKeys"))->trigger();
    QCOMPARE(keysPages, 1);
}

void TestStartupAndMenus::sharedNameGoesOnlyToTheEditionThatUsedIt_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("shared");     // the one name both programs once kept
    QTest::addColumn<QString>("ownName");    // this edition's own, if it has one already
    QTest::addColumn<QString>("attemptBy");  // "edition:name" of the one recorded attempt
    QTest::addColumn<QString>("expected");
    QTest::newRow("used here") << "full"
                               << "Ann" << QString() << "full:Ann"
                               << "Ann";
    QTest::newRow("used only by the other program") << "demo"
                                                    << "Ann" << QString() << "full:Ann"
                                                    << "Candidate's Name Here";
    QTest::newRow("an empty name is no name at all") << "demo"
                                                     << "" << QString() << "demo:Bo"
                                                     << "Candidate's Name Here";
    QTest::newRow("its own name already") << "full"
                                          << "Ann"
                                          << "Cy"
                                          << "full:Ann"
                                          << "Cy";
}

void TestStartupAndMenus::sharedNameGoesOnlyToTheEditionThatUsedIt() {
    QFETCH(QString, edition);
    QFETCH(QString, shared);
    QFETCH(QString, ownName);
    QFETCH(QString, attemptBy);
    QFETCH(QString, expected);
    AppTestEnv env(probe::editionNamed(edition));
    look::setPreference(QStringLiteral("exam/candidate"), shared);
    if (!ownName.isNull()) {
        app::rememberCandidateName(ownName);
    }
    history::AttemptRecord a;
    a.edition = attemptBy.section(u':', 0, 0);
    a.candidate = attemptBy.section(u':', 1);
    a.exam = 1;
    a.ended = QDateTime::currentDateTime();
    a.started = a.ended.addSecs(-60);
    history::store()->record(a);

    app::Main();
    // The history is read once the menu is up.
    QTRY_VERIFY(!app::sharedCandidateName());
    QCOMPARE(app::lastCandidateName(), expected);
    forms::get<Form1>().hide();
}

void TestStartupAndMenus::examEntryAsksNameAndOpensIntro_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("exam");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expectedName");

    QTest::newRow("full exam 2 typed") << "full"
                                       << "mnuExamsub2" << 2 << false << "  Ada  "
                                       << "  Ada  ";
    QTest::newRow("full exam 3 cancelled") << "full"
                                           << "mnuExamsub3" << 3 << true << ""
                                           << "";
    QTest::newRow("full default kept")
        << "full"
        << "mnuExamsub1" << 1 << false << QString() << "Candidate's name";
    QTest::newRow("demo default kept")
        << "demo"
        << "mnuExamsub1" << 1 << false << QString() << "Candidate's Name Here";
    QTest::newRow("non-ASCII name") << "full"
                                    << "mnuExamsub1" << 1 << false << "Zoë Ñúñez 李"
                                    << "Zoë Ñúñez 李";
}

void TestStartupAndMenus::examEntryAsksNameAndOpensIntro() {
    QFETCH(QString, edition);
    QFETCH(QString, entry);
    QFETCH(int, exam);
    QFETCH(bool, cancel);
    QFETCH(QString, typed);
    QFETCH(QString, expectedName);
    AppTestEnv env(probe::editionNamed(edition));
    int introOpened = 0;
    flow::registerWindow(win::Intro, AppTestEnv::fakeWindow([&] { ++introOpened; }));
    app::Main();
    prompts::Script script;
    if (cancel) {
        script.type(std::nullopt);
    } else if (!typed.isNull()) {
        script.type(typed);
    }

    forms::get<Form1>().findChild<QAction*>(entry)->trigger();

    QCOMPARE(ExamSettings.ActiveExam, exam);
    QCOMPARE(ExamSettings.CandidateName, expectedName);
    QCOMPARE(introOpened, 1);
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(script.shown().size(), size_t(1));
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.kind, prompts::Shown::Kind::Input);
    QCOMPARE(box.title, QStringLiteral("Name"));
    QCOMPARE(box.text, app::edition().namePrompt);
    QCOMPARE(box.defaultText, app::edition().nameDefault);
    QCOMPARE(app::edition().namePrompt, edition == QLatin1String("demo")
                                            ? QStringLiteral("Please enter your name:")
                                            : QStringLiteral("Please enter your name"));
}

void TestStartupAndMenus::reviewEntrySetsStudyExam() {
    AppTestEnv env(app::fullEdition());
    QWidget study;
    flow::registerWindow(win::Study, AppTestEnv::fakeWindow([&] { study.show(); }));
    app::Main();
    ExamSettings.CandidateName = QStringLiteral("kept");

    forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam2"))->trigger();

    QCOMPARE(ExamSettings.ActiveExam, 22);
    QCOMPARE(ExamSettings.CandidateName, QStringLiteral("kept"));
    QVERIFY(!forms::get<Form1>().isVisible());
    QVERIFY(study.isVisible());
}

void TestStartupAndMenus::reviewEntryKeepsMenuWhenStudyWindowMissing() {
    AppTestEnv env(app::fullEdition());
    app::Main();
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam3"))->trigger();
    QCOMPARE(ExamSettings.ActiveExam, 33);
    QVERIFY(forms::get<Form1>().isVisible());
}

void TestStartupAndMenus::demoDisablesOtherExams() {
    AppTestEnv env(app::demoEdition());
    int opened = 0;
    flow::registerWindow(win::HelpOrdering, AppTestEnv::fakeWindow([&] { ++opened; }));
    app::Main();
    Form1& form = forms::get<Form1>();
    for (const char* name :
         {"mnuExamsub2", "mnuExamsub3", "menuFileSubExam2", "menuFileSubExam3"}) {
        QAction* a = form.findChild<QAction*>(QLatin1String(name));
        QVERIFY(!a->isEnabled());
        a->activate(
            QAction::Trigger);  // a disabled action ignores this, as a greyed entry ignores clicks
    }
    QCOMPARE(ExamSettings.ActiveExam, 0);

    QAction* order = form.findChild<QAction*>(QStringLiteral("mnuhelpsubmnuorder"));
    order->trigger();
    QCOMPARE(opened, 1);
}

void TestStartupAndMenus::quitAsksAndEndsOnlyOnYes() {
    AppTestEnv env(app::fullEdition());
    app::Main();
    ExamSettings.ActiveExam = 2;
    prompts::Script script;
    script.answer(prompts::Answer::No);
    script.answer(prompts::Answer::Yes);
    QAction* exitEntry = forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuFileSubExit"));

    exitEntry->trigger();
    QCOMPARE(env.endings, 0);
    QCOMPARE(ExamSettings.ActiveExam, 2);
    QVERIFY(forms::get<Form1>().isVisible());

    exitEntry->trigger();
    QCOMPARE(env.endings, 1);
    QCOMPARE(env.lastExitCode, 0);

    QCOMPARE(script.shown().size(), size_t(2));
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.text, QStringLiteral("Do you really want to Quit?"));
    QCOMPARE(box.title, QStringLiteral("Praxilo"));
    QCOMPARE(box.buttons, prompts::Buttons::YesNo);
    QCOMPARE(box.icon, prompts::Icon::Exclamation);
}

void TestStartupAndMenus::titleBarCloseAsksToo() {
    AppTestEnv env(app::fullEdition());
    app::Main();
    prompts::Script script;
    script.answer(prompts::Answer::No);
    QVERIFY(!forms::get<Form1>().close());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(script.texts(), QStringList{QStringLiteral("Do you really want to Quit?")});
    QCOMPARE(env.endings, 0);
}

void TestStartupAndMenus::timeLimitOfEachEdition_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("minutes");
    QTest::newRow("full") << "full" << 120;
    QTest::newRow("demo") << "demo" << 30;
}

void TestStartupAndMenus::timeLimitOfEachEdition() {
    QFETCH(QString, edition);
    QFETCH(int, minutes);
    AppTestEnv env(probe::editionNamed(edition));
    QCOMPARE(ExamSettings.TimeLimitMinutes, 0);
    SetTimeLimit();
    QCOMPARE(ExamSettings.TimeLimitMinutes, minutes);
}

void TestStartupAndMenus::realMessageBoxButtons_data() {
    QTest::addColumn<prompts::Buttons>("buttons");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<prompts::Answer>("answer");
    QTest::newRow("OK of OK/Cancel")
        << prompts::Buttons::OkCancel << int(QMessageBox::Ok) << prompts::Answer::Ok;
    QTest::newRow("Cancel of OK/Cancel")
        << prompts::Buttons::OkCancel << int(QMessageBox::Cancel) << prompts::Answer::Cancel;
    QTest::newRow("Yes of Yes/No")
        << prompts::Buttons::YesNo << int(QMessageBox::Yes) << prompts::Answer::Yes;
    QTest::newRow("No of Yes/No") << prompts::Buttons::YesNo << int(QMessageBox::No)
                                  << prompts::Answer::No;
    QTest::newRow("OK alone") << prompts::Buttons::OkOnly << int(QMessageBox::Ok)
                              << prompts::Answer::Ok;
    // -1: Enter takes the default button.
    QTest::newRow("Enter on Yes/No") << prompts::Buttons::YesNo << -1 << prompts::Answer::Yes;
    QTest::newRow("Enter on a question that loses data")
        << prompts::Buttons::YesNoSafe << -1 << prompts::Answer::No;
    QTest::newRow("Yes of a question that loses data")
        << prompts::Buttons::YesNoSafe << int(QMessageBox::Yes) << prompts::Answer::Yes;
}

// The real boxes, unscripted: each button must come back as its own answer.
void TestStartupAndMenus::realMessageBoxButtons() {
    QFETCH(prompts::Buttons, buttons);
    QFETCH(int, pressed);
    QFETCH(prompts::Answer, answer);
    QTimer::singleShot(0, [pressed] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        if (pressed < 0) {
            QTest::keyClick(box, Qt::Key_Return);
        } else {
            box->button(QMessageBox::StandardButton(pressed))->click();
        }
    });
    QCOMPARE(prompts::MsgBox(QStringLiteral("Sure?"), buttons), answer);
}

QTEST_MAIN(TestStartupAndMenus)
#include "tst_startup_and_menus.moc"
