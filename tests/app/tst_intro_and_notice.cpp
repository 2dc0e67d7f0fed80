#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "start/dialog.h"
#include "start/form1.h"
#include "start/frmsplash.h"
#include "start/startup.h"

using testsupport::FixtureDatabase;

namespace {

const QStringList kInfo{QStringLiteral("Korvane Practice Exam"),
                        QStringLiteral("116 questions"),
                        QStringLiteral("Not the real exam."),
                        QStringLiteral("Covers every area."),
                        QStringLiteral("2026"),
                        QStringLiteral("The authors")};

void chooseExam(const char* entry) {
    forms::get<Form1>().findChild<QAction*>(QLatin1String(entry))->trigger();
}

}  // namespace

class TestIntroAndNotice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void introShowsTheExamTexts_data();
    void introShowsTheExamTexts();
    void emptyInformationShowsNothing();
    void keyPressClosesAndNextEntryReloads();
    void frameClickCloses();
    void nextKeepsTheIntroLoaded();
    void okStartsTheExam_data();
    void okStartsTheExam();
    void cancelReturnsToTheMenu();
    void badDatabaseEndsAfterOneMessage_data();
    void badDatabaseEndsAfterOneMessage();
};

void TestIntroAndNotice::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestIntroAndNotice::introShowsTheExamTexts_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<QString>("agreement");
    QTest::newRow("full") << false << "Software Agreement(EULA) and  Disclaimer";
    QTest::newRow("demo") << true << "Software Agreement and Disclaimer";
}

void TestIntroAndNotice::introShowsTheExamTexts() {
    QFETCH(bool, demo);
    QFETCH(QString, agreement);
    FixtureDatabase db(demo ? QStringLiteral("kvn009.mdb") : QStringLiteral("kvn09.mdb"));
    QStringList info = kInfo;
    info[0] = QStringLiteral("<b>Zoë's</b> exam & more");
    db.setTestInformation(info);
    AppTestEnv env(demo ? app::demoEdition() : app::fullEdition());
    app::Main();
    prompts::Script script;

    chooseExam("mnuExamsub1");

    frmSplash& intro = forms::get<frmSplash>();
    QVERIFY(intro.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(probe::textOf(intro, "Text1"), info[0]);
    QCOMPARE(probe::textOf(intro, "Text6"), info[1]);
    QCOMPARE(probe::textOf(intro, "Text5"), info[2]);
    QCOMPARE(probe::textOf(intro, "Text4"), info[3]);
    QCOMPARE(probe::textOf(intro, "Text3"), info[4]);
    QCOMPARE(probe::textOf(intro, "Text2"), info[5]);
    QCOMPARE(probe::textOf(intro, "lblProductName"), info[0]);
    QCOMPARE(intro.findChild<QLabel*>(QStringLiteral("lblProductName"))->textFormat(),
             Qt::PlainText);
    QCOMPARE(probe::textOf(intro, "lblVersion"),
             QStringLiteral("Version " PRAXILO_PROJECT_VERSION));
    QCOMPARE(probe::textOf(intro, "lblCompanyProduct"), QStringLiteral("Praxilo"));
    QCOMPARE(probe::textOf(intro, "Label5"), agreement);
    QCOMPARE(intro.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
             QStringLiteral("&Next >>"));
    QVERIFY(intro.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(env.endings, 0);
}

void TestIntroAndNotice::emptyInformationShowsNothing() {
    FixtureDatabase db;
    AppTestEnv env(app::fullEdition());
    app::Main();
    chooseExam("mnuExamsub2");
    frmSplash& intro = forms::get<frmSplash>();
    for (const char* name : {"Text1", "Text6", "Text5", "Text4", "Text3", "Text2"}) {
        QCOMPARE(probe::textOf(intro, name), QString());
    }
    QCOMPARE(env.endings, 0);
}

void TestIntroAndNotice::keyPressClosesAndNextEntryReloads() {
    FixtureDatabase db;
    db.setTestInformation(kInfo);
    AppTestEnv env(app::fullEdition());
    int noticesOpened = 0;
    flow::registerWindow(win::Notice, AppTestEnv::fakeWindow([&] { ++noticesOpened; }));
    app::Main();

    chooseExam("mnuExamsub1");
    frmSplash& intro = forms::get<frmSplash>();
    auto* description = intro.findChild<QPlainTextEdit*>(QStringLiteral("Text4"));
    description->setFocus();
    QTest::keyClick(description, Qt::Key_Q);
    QVERIFY(!intro.isVisible());
    QVERIFY(!intro.isLoaded());
    QCOMPARE(noticesOpened, 0);
    QCOMPARE(description->toPlainText(), kInfo[3]);  // the key was not typed into the box
    QVERIFY(forms::get<Form1>().isVisible());

    QStringList changed = kInfo;
    changed[0] = QStringLiteral("Renamed exam");
    db.setTestInformation(changed);
    chooseExam("mnuExamsub1");
    QVERIFY(intro.isVisible());
    QCOMPARE(probe::textOf(intro, "Text1"), changed[0]);

    // A digit closes it as well; Tab only moves the focus.
    QTest::keyClick(description, Qt::Key_Tab);
    QVERIFY(intro.isVisible());
    QTest::keyClick(&intro, Qt::Key_7);
    QVERIFY(!intro.isVisible());
}

void TestIntroAndNotice::frameClickCloses() {
    FixtureDatabase db;
    db.setTestInformation(kInfo);
    AppTestEnv env(app::fullEdition());
    app::Main();
    chooseExam("mnuExamsub1");
    frmSplash& intro = forms::get<frmSplash>();
    QWidget* frame = intro.findChild<QWidget*>(QStringLiteral("Frame1"));
    QTest::mouseClick(intro.findChild<QWidget*>(QStringLiteral("lblCompanyProduct")),
                      Qt::LeftButton);
    QVERIFY(intro.isVisible());
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 4, frame->height() - 4));
    QVERIFY(!intro.isVisible());
}

void TestIntroAndNotice::nextKeepsTheIntroLoaded() {
    FixtureDatabase db;
    db.setTestInformation(kInfo);
    AppTestEnv env(app::fullEdition());
    app::Main();
    chooseExam("mnuExamsub3");
    frmSplash& intro = forms::get<frmSplash>();
    auto* name = intro.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));

    QTest::keyClick(intro.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::Key_Return);
    Dialog& notice = forms::get<Dialog>();
    QVERIFY(notice.isVisible());
    QVERIFY(!intro.isVisible());
    QCOMPARE(notice.windowTitle(), QStringLiteral("Please Note..."));

    QStringList changed = kInfo;
    changed[0] = QStringLiteral("Not read again");
    db.setTestInformation(changed);
    chooseExam("mnuExamsub3");
    QVERIFY(intro.isVisible());
    QCOMPARE(name->toPlainText(), kInfo[0]);
}

void TestIntroAndNotice::okStartsTheExam_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("exam");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("notice");
    const QString full =
        QStringLiteral("You will have 116 questions and have to answer in 120 minutes or less. ");
    const QString demo =
        QStringLiteral("You will have 30 questions and have to answer in 30 minutes or less. ");
    QTest::newRow("full exam 2") << false << 2 << true << full;
    QTest::newRow("demo exam 1") << true << 1 << true << demo;
    QTest::newRow("demo other exam") << true << 2 << false << demo;
}

void TestIntroAndNotice::okStartsTheExam() {
    QFETCH(bool, demo);
    QFETCH(int, exam);
    QFETCH(bool, starts);
    QFETCH(QString, notice);
    FixtureDatabase db(demo ? QStringLiteral("kvn009.mdb") : QStringLiteral("kvn09.mdb"));
    db.setTestInformation(kInfo);
    AppTestEnv env(demo ? app::demoEdition() : app::fullEdition());
    QWidget examWindow;
    flow::registerWindow(win::Exam, AppTestEnv::fakeWindow([&] { examWindow.show(); }));
    app::Main();
    chooseExam("mnuExamsub1");
    ExamSettings.ActiveExam = qint16(exam);
    forms::get<frmSplash>().findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    Dialog& dialog = forms::get<Dialog>();
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(), notice);

    dialog.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();

    QCOMPARE(examWindow.isVisible(), starts);
    QCOMPARE(dialog.isVisible(), !starts);
    QCOMPARE(forms::get<Form1>().isVisible(), !starts);
    if (starts) {
        QCOMPARE(probe::visibleTopLevels(), QWidgetList{&examWindow});
    }
}

void TestIntroAndNotice::cancelReturnsToTheMenu() {
    FixtureDatabase db;
    db.setTestInformation(kInfo);
    AppTestEnv env(app::fullEdition());
    int examsStarted = 0;
    flow::registerWindow(win::Exam, AppTestEnv::fakeWindow([&] { ++examsStarted; }));
    app::Main();
    prompts::Script script;
    script.type(QStringLiteral("Ada"));
    chooseExam("mnuExamsub2");
    forms::get<frmSplash>().findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    Dialog& dialog = forms::get<Dialog>();

    dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(ExamSettings.ActiveExam, 2);
    QCOMPARE(ExamSettings.CandidateName, QStringLiteral("Ada"));

    // Escape is Cancel too.
    dialog.Show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(examsStarted, 0);
    QCOMPARE(probe::visibleTopLevels(), QWidgetList{&forms::get<Form1>()});
}

void TestIntroAndNotice::badDatabaseEndsAfterOneMessage_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing file") << "remove" << 3024 << "kvn09.mdb";
    QTest::newRow("text file") << "text" << 3343 << "kvn09.mdb";
    QTest::newRow("zero bytes") << "empty" << 3343 << "kvn09.mdb";
    QTest::newRow("missing table")
        << "DROP TABLE \"Test Information\"" << 3078 << "Test Information";
    QTest::newRow("missing column")
        << "ALTER TABLE exam22 DROP COLUMN explanation" << 3265 << "explanation";
}

void TestIntroAndNotice::badDatabaseEndsAfterOneMessage() {
    QFETCH(QString, damage);
    QFETCH(int, number);
    QFETCH(QString, named);
    FixtureDatabase db;
    db.setTestInformation(kInfo);
    if (damage == QLatin1String("remove") || damage == QLatin1String("text") ||
        damage == QLatin1String("empty")) {
        QVERIFY(QFile::remove(db.path()));
        QFile::remove(db.path() + QStringLiteral("-wal"));
        QFile::remove(db.path() + QStringLiteral("-shm"));
        if (damage != QLatin1String("remove")) {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damage == QLatin1String("text") ? "these are notes, not questions\n" : "");
        }
    } else {
        db.exec(damage);
    }
    const QStringList before = QDir(db.dir()).entryList(QDir::Files);
    AppTestEnv env(app::fullEdition());
    app::Main();
    prompts::Script script;
    script.type(QStringLiteral("Ada"));

    chooseExam("mnuExamsub2");

    QCOMPARE(env.endings, 1);
    QCOMPARE(env.lastExitCode, 1);
    QCOMPARE(script.shown().size(), size_t(2));  // the name prompt, then one message
    const prompts::Shown& message = script.shown().back();
    QCOMPARE(message.icon, prompts::Icon::Critical);
    QCOMPARE(message.title, QStringLiteral("Praxilo"));
    QVERIFY2(message.text.startsWith(QStringLiteral("Error %1").arg(number)),
             qPrintable(message.text));
    QVERIFY2(message.text.contains(named), qPrintable(message.text));
    QCOMPARE(QDir(db.dir()).entryList(QDir::Files), before);
}

QTEST_MAIN(TestIntroAndNotice)
#include "tst_intro_and_notice.moc"
