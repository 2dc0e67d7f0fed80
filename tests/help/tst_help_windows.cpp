#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "help/help_windows.h"
#include "start/form1.h"

namespace {

const QString kWebHelp = QStringLiteral("https://praxilo.example.com/help/");
const QString kOrder = QStringLiteral("https://praxilo.example.com/order/");

void openByMenu(const QString& entry) {
    forms::get<Form1>().findChild<QAction*>(entry)->trigger();
}

QWidget& window(const QString& name) {
    QWidget* w = flow::existing(name);
    Q_ASSERT(w);
    return *w;
}

// Stands in for the desktop's browser: takes every address it is given.
class Browser : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url.toString(); }
};

}  // namespace

class TestHelpWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void definitions_data();
    void definitions();
    void returnKeepsTextAndScrollPosition_data();
    void returnKeepsTextAndScrollPosition();
    void everyWayOutShowsTheMenu_data();
    void everyWayOutShowsTheMenu();
    void linkWithoutBrowserShowsItsAddress_data();
    void linkWithoutBrowserShowsItsAddress();
};

void TestHelpWindows::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestHelpWindows::definitions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QStringList>("links");

    const QString webHelp = "Click Here for Web help|" + kWebHelp;
    QTest::newRow(win::HelpNavigation.name)
        << win::HelpNavigation.id()
        << "Different menu options are as explained below:" << QStringList{"HyperLink1|" + webHelp};
    QTest::newRow(win::HelpCertification.name)
        << win::HelpCertification.id()
        << "About Certification exams:" << QStringList{"HyperLink1|" + webHelp};
    QTest::newRow(win::HelpReadMe.name)
        << win::HelpReadMe.id() << "Welcome to Praxilo, the Korvane practice exams."
        << QStringList{"HyperLink1|" + webHelp};
    QTest::newRow(win::HelpOrdering.name)
        << win::HelpOrdering.id() << "Ordering:"
        << QStringList{"HyperLink2|" + kOrder + "|" + kOrder, "HyperLink3|" + webHelp};
    QTest::newRow(win::HelpKeys.name)
        << win::HelpKeys.id()
        << "Keys and features added to the practice exams:" << QStringList{"HyperLink1|" + webHelp};
}

void TestHelpWindows::definitions() {
    QFETCH(QString, name);
    QFETCH(QString, firstLine);
    QFETCH(QStringList, links);
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();

    QVERIFY(flow::open(name));
    QWidget& w = window(name);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    const QString text = w.findChild<QPlainTextEdit*>()->toPlainText();
    QCOMPARE(text.section(QLatin1Char('\n'), 0, 0), firstLine);

    QStringList shownLinks;
    for (QLabel* label : w.findChildren<QLabel*>()) {
        QVERIFY(label->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
        const QRegularExpressionMatch anchor =
            QRegularExpression(QStringLiteral("^<a href=\"([^\"]*)\">([^<]*)</a>$"))
                .match(label->text());
        QVERIFY2(anchor.hasMatch(), qPrintable(label->text()));
        shownLinks << label->objectName() + QLatin1Char('|') + anchor.captured(2) +
                          QLatin1Char('|') + anchor.captured(1);
    }
    QCOMPARE(shownLinks, links);
}

void TestHelpWindows::returnKeepsTextAndScrollPosition_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("locked");
    QTest::newRow("navigation, locked") << "mnuHelpsubNavigate" << win::HelpNavigation.id() << true;
    QTest::newRow("certification, locked")
        << "mnuHelpSubCer" << win::HelpCertification.id() << true;
    QTest::newRow("read-me") << "mnuhelpsubmnureadme" << win::HelpReadMe.id() << false;
    QTest::newRow("ordering, no scroll bar")
        << "mnuhelpsubmnuorder" << win::HelpOrdering.id() << false;
    QTest::newRow("keys and features, locked") << "mnuHelpKeys" << win::HelpKeys.id() << true;
}

void TestHelpWindows::returnKeepsTextAndScrollPosition() {
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(bool, locked);
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();

    openByMenu(entry);
    QWidget& w = window(name);
    auto* text = w.findChild<QPlainTextEdit*>();
    // Small enough that the texts need scrolling.
    w.showNormal();
    w.resize(w.minimumSize());
    QCoreApplication::processEvents();
    const QString original = text->toPlainText();
    text->moveCursor(QTextCursor::End);
    for (int line = 0; line < 30; ++line) {
        QTest::keyClick(text, Qt::Key_Return);
    }
    QTest::keyClicks(text, QStringLiteral("my note"));
    const QString before = text->toPlainText();
    QCOMPARE(before, locked ? original : original + QString(30, QLatin1Char('\n')) + "my note");
    QScrollBar* bar = text->verticalScrollBar();
    QVERIFY2(bar->maximum() > 0, qPrintable(name));
    bar->setValue(bar->maximum() / 2);
    const int position = bar->value();
    QVERIFY(position > 0);

    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());

    openByMenu(entry);
    QCOMPARE(&window(name), &w);
    QVERIFY(w.isVisible());
    QCOMPARE(text->toPlainText(), before);
    QCOMPARE(bar->value(), position);
}

void TestHelpWindows::everyWayOutShowsTheMenu_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("return button") << "button";
    QTest::newRow("access key") << "alt-r";
    QTest::newRow("escape") << "escape";
    QTest::newRow("title bar close") << "close";
}

void TestHelpWindows::everyWayOutShowsTheMenu() {
    QFETCH(QString, way);
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();
    // The menu may have been hidden by something else; Return still brings it back.
    forms::get<Form1>().hide();
    QVERIFY(flow::open(win::HelpCertification));
    QWidget& w = window(win::HelpCertification);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    if (way == QLatin1String("button")) {
        w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    } else if (way == QLatin1String("alt-r")) {
        QTest::keyClick(w.findChild<QPlainTextEdit*>(), Qt::Key_R, Qt::AltModifier);
        // An access key presses its button the way a click does, a moment later.
        QTRY_VERIFY(!w.isVisible());
    } else if (way == QLatin1String("escape")) {
        QTest::keyClick(w.findChild<QPlainTextEdit*>(), Qt::Key_Escape);
    } else {
        QVERIFY(!w.close());
    }

    QVERIFY(!w.isVisible());
    QCOMPARE(probe::visibleTopLevels(), QWidgetList{&forms::get<Form1>()});
    QCOMPARE(env.endings, 0);
}

void TestHelpWindows::linkWithoutBrowserShowsItsAddress_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("browser");
    QTest::newRow("web help, a browser")
        << win::HelpNavigation.id() << "HyperLink1" << kWebHelp << true;
    QTest::newRow("web help, no browser")
        << win::HelpNavigation.id() << "HyperLink1" << kWebHelp << false;
    QTest::newRow("order page, no browser")
        << win::HelpOrdering.id() << "HyperLink2" << kOrder << false;
    QTest::newRow("keys page, no browser")
        << win::HelpKeys.id() << "HyperLink1" << kWebHelp << false;
}

// A link opens its address in the browser; with none to open it, one message gives the address
// to type, and the page stays.
void TestHelpWindows::linkWithoutBrowserShowsItsAddress() {
    QFETCH(QString, name);
    QFETCH(QString, link);
    QFETCH(QString, url);
    QFETCH(bool, browser);
    if (!browser && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QSKIP("only the offscreen platform is sure to have no browser");
    }
    AppTestEnv env(app::fullEdition());
    help::registerWindows();
    app::Main();
    Browser stand;
    if (browser) {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &stand, "open");
    }
    QVERIFY(flow::open(name));
    QWidget& w = window(name);

    Q_EMIT w.findChild<QLabel*>(link)->linkActivated(url);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(stand.opened, browser ? QStringList{url} : QStringList{});
    QCOMPARE(env.prompts.shown().size(), size_t(browser ? 0 : 1));
    if (!browser) {
        QVERIFY(env.prompts.shown().front().text.contains(url));
    }
    QVERIFY(w.isVisible());
    QCOMPARE(env.endings, 0);
    w.close();
}

QTEST_MAIN(TestHelpWindows)
#include "tst_help_windows.moc"
