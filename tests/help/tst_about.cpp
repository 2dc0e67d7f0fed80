#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app_test_env.h"
#include "fake_key_reader.h"
#include "help/frmabout.h"
#include "help/help_windows.h"
#include "help/system_info.h"
#include "start/form1.h"

namespace {

frmAbout& openAbout() {
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuHelpsubCertification"))->trigger();
    frmAbout* about = forms::existing<frmAbout>();
    Q_ASSERT(about);
    return *about;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void loadShowsTitleVersionAndDescription_data();
    void loadShowsTitleVersionAndDescription();
    void everyWayOutUnloads_data();
    void everyWayOutUnloads();
    void systemInfoButton();
};

void TestAbout::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestAbout::loadShowsTitleVersionAndDescription_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("description");
    QTest::newRow("full") << "full"
                          << "Each Exam contains 120 questions and you have to answer in 120  "
                             "minutes or less. The Praxilo covers Korvane Exam Objectives.  ";
    QTest::newRow("demo") << "demo"
                          << "The Demo Exam contains 30 questions and you have to answer in 30 "
                             "minutes or less. Full version contains 3 individual tests with "
                             "atleast 80 questions each. The practice exams cover Velistra  "
                             "Exam Objectives.  ";
}

void TestAbout::loadShowsTitleVersionAndDescription() {
    QFETCH(QString, edition);
    QFETCH(QString, description);
    AppTestEnv env(probe::editionNamed(edition));
    help::registerWindows();
    app::Main();
    // The description is the window's own, whatever the settings say.
    ExamSettings.QuestionsPerExam = 7;
    ExamSettings.TimeLimitMinutes = 9;

    frmAbout& about = openAbout();

    QVERIFY(about.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(about.windowTitle(), QStringLiteral("About Praxilo"));
    QCOMPARE(probe::textOf(about, "lblTitle"), QStringLiteral("Praxilo"));
    QCOMPARE(probe::textOf(about, "lblVersion"),
             QStringLiteral("Version " PRAXILO_PROJECT_VERSION));
    QCOMPARE(probe::textOf(about, "lblDescription"), description);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblDescription"))->textFormat(),
             Qt::PlainText);
    // It fits any screen the program runs on.
    QVERIFY(about.width() <= 1024 && about.height() <= 768);
}

void TestAbout::everyWayOutUnloads_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("OK") << "ok";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("title bar close") << "close";
}

void TestAbout::everyWayOutUnloads() {
    QFETCH(QString, way);
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();
    frmAbout& about = openAbout();
    QVERIFY(about.isLoaded());
    // Something a load puts right again.
    about.findChild<QLabel*>(QStringLiteral("lblVersion"))->setText(QStringLiteral("stale"));

    if (way == QLatin1String("ok")) {
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    } else if (way == QLatin1String("enter")) {
        QTest::keyClick(&about, Qt::Key_Return);
    } else if (way == QLatin1String("escape")) {
        QTest::keyClick(&about, Qt::Key_Escape);
    } else {
        about.close();
    }

    QVERIFY(!about.isVisible());
    QVERIFY(!about.isLoaded());
    QCOMPARE(probe::visibleTopLevels(), QWidgetList{&forms::get<Form1>()});

    QCOMPARE(&openAbout(), &about);
    QVERIFY(about.isVisible());
    QCOMPARE(probe::textOf(about, "lblVersion"),
             QStringLiteral("Version " PRAXILO_PROJECT_VERSION));
    QCOMPARE(env.endings, 0);
}

void TestAbout::systemInfoButton() {
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();
    auto store = std::make_unique<FakeKeyReader>();
    FakeKeyReader& fake = *store;
    QStringList started;
    bool startSucceeds = true;
    const help::SystemInfoOverride seam(std::move(store), [&](const QString& program) {
        started << program;
        return startSucceeds;
    });
    frmAbout& about = openAbout();
    QPushButton* button = about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    prompts::Script script;

    QVERIFY(QTest::qWaitForWindowActive(&about));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    // An access key presses its button the way a click does, a moment later.
    QTRY_COMPARE(script.texts(), QStringList{help::kSysInfoUnavailable});
    QVERIFY(started.isEmpty());

    fake.setString(kMsinfoKey, QStringLiteral("PATH"), QStringLiteral("/opt/sys info/run"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(started, QStringList{QStringLiteral("/opt/sys info/run")});
    QCOMPARE(script.shown().size(), size_t(1));
    QVERIFY(about.isVisible());
    QCOMPARE(env.endings, 0);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
