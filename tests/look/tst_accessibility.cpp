// What a screen reader finds in every window: a name for each control a candidate can reach,
// choice names that follow the question shown, the score sheet's grids as tables, and a tab
// order that reads like the window.
#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QtTest>

#include "look/choice_names.h"
#include "window_tour.h"

namespace {

bool reachable(const QWidget& w, const QWidget& window) {
    return w.isVisibleTo(&window) && w.isEnabled() && (w.focusPolicy() & Qt::TabFocus) != 0;
}

QString accessibleName(QWidget& w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString describe(const QWidget& w) {
    return QStringLiteral("%1/%2 (%3)")
        .arg(w.window()->objectName(), w.objectName(),
             QString::fromLatin1(w.metaObject()->className()));
}

// Shown texts the candidate must hear even though the keyboard never lands on them.
const QStringList kNamedDisplays = {
    QStringLiteral("Form211/Text2_0"),       QStringLiteral("Form211/lblClock"),
    QStringLiteral("Form211/LblRec_Count"),  QStringLiteral("Form211/lblFlagged"),
    QStringLiteral("Form3/Label1"),          QStringLiteral("Form3/lblScoreObtained"),
    QStringLiteral("Form11/LblRec_Count11"), QStringLiteral("Form5/lblClock"),
    QStringLiteral("Form211/Text1"),         QStringLiteral("Form11/Text1"),
    QStringLiteral("Form5/Text2_1"),
};

// a before b in reading order: b on a later line, or on the same line further right.
bool readsBefore(const QRect& a, const QRect& b) {
    const bool sameLine = b.top() < a.bottom() - 2 && a.top() < b.bottom() - 2;
    return sameLine ? a.left() <= b.left() : a.top() < b.top();
}

// How the keys page writes a key: the choice keys as ranges, the keypad's as the others.
QString asWritten(const QKeySequence& keys) {
    const QString text = keys.toString(QKeySequence::PortableText).remove(QStringLiteral("Num+"));
    static const QRegularExpression choiceKey(QStringLiteral("^(Shift\\+)?([1-5]|[A-E])$"));
    if (const QRegularExpressionMatch m = choiceKey.match(text); m.hasMatch()) {
        return m.captured(1) + (m.captured(2).at(0).isDigit() ? QStringLiteral("1 to 5")
                                                              : QStringLiteral("A to E"));
    }
    return text == u"Esc" ? QStringLiteral("Escape") : text;
}

QString keysPage() {
    QFile file(QStringLiteral(":/help/texts/keys.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QAccessible::setActive(true); }
    void everyReachableControlHasAName_data() { probe::addEditionRows(); }
    void everyReachableControlHasAName();
    void tabOrderFollowsReadingOrder_data() { probe::addEditionRows(); }
    void tabOrderFollowsReadingOrder();
    void focusIsAlwaysVisible_data() { probe::addEditionRows(); }
    void focusIsAlwaysVisible();
    void choiceNamesFollowTheQuestionShown();
    void scoreSheetGridsAreTables();
    void choiceNameShape_data();
    void choiceNameShape();
    void f1OpensTheWindowsHelpPage();
    void keysPageNamesEveryShortcut();
};

void TestAccessibility::everyReachableControlHasAName() {
    QFETCH(QString, edition);
    QStringList unnamed;
    int seen = 0;
    tour::everyWindow(probe::editionNamed(edition), [&](QWidget& window) {
        QWidgetList widgets = window.findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            const QString path = window.objectName() + u'/' + w->objectName();
            if (!reachable(*w, window) && !kNamedDisplays.contains(path)) {
                continue;
            }
            if (w->window() != &window) {
                continue;  // a window inside this one is visited on its own
            }
            ++seen;
            if (accessibleName(*w).trimmed().isEmpty()) {
                unnamed << describe(*w);
            }
        }
    });
    QVERIFY(seen > 60);
    tour::report(unnamed);
}

void TestAccessibility::tabOrderFollowsReadingOrder() {
    QFETCH(QString, edition);
    QStringList outOfOrder;
    tour::everyWindow(probe::editionNamed(edition), [&](QWidget& window) {
        QWidgetList chain;
        QWidget* w = &window;
        for (int guard = 0; guard < 500; ++guard) {
            w = w->nextInFocusChain();
            if (w == &window) {
                break;
            }
            if (w->window() == &window && reachable(*w, window)) {
                chain << w;
            }
        }
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(&window, QPoint()), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(&window, QPoint()), chain[i]->size());
            if (!readsBefore(a, b)) {
                outOfOrder << describe(*chain[i - 1]) + QStringLiteral(" -> ") +
                                  describe(*chain[i]);
            }
        }
    });
    tour::report(outOfOrder);
}

// Each control draws itself differently with the keyboard's focus on it than without.
void TestAccessibility::focusIsAlwaysVisible() {
    QFETCH(QString, edition);
    QStringList unseen;
    tour::everyWindow(probe::editionNamed(edition), [&](QWidget& window) {
        window.activateWindow();
        // The test platform leaves a window-modal list's owner active; make the list so.
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window, 2000)) {
            unseen << window.objectName() + QStringLiteral(" never became active");
            return;
        }
        // As after a Tab: styles show the focus once the keyboard has moved it.
        window.setAttribute(Qt::WA_KeyboardFocusChange);
        for (QWidget* w : window.findChildren<QWidget*>()) {
            // A default button's frame already marks it; the focus adds nothing to see there.
            const auto* button = qobject_cast<QPushButton*>(w);
            if (w->window() != &window || !reachable(*w, window) ||
                (button && button->isDefault())) {
                continue;
            }
            w->clearFocus();
            const QImage without = w->grab().toImage();
            w->setFocus(Qt::TabFocusReason);
            const QImage with = w->grab().toImage();
            if (with == without) {
                unseen << describe(*w);
            }
        }
    });
    tour::report(unseen);
}

void TestAccessibility::choiceNamesFollowTheQuestionShown() {
    tour::Setting setting(app::fullEdition());
    app::Main();
    tour::trigger("mnuExamsub1");
    tour::press(win::Intro, "Command1");
    tour::press(win::Notice, "OKButton");
    QWidget& exam = tour::shown(win::Exam);
    // Reading starts at the question, though the tab order starts above it.
    QCOMPARE(exam.focusWidget(), probe::control(exam, QStringLiteral("Text2_0")));
    // Rows top down show answer1, answer2, answer3, answer4, answer5.
    const char* texts[] = {"Text2_1", "Text2_2", "Text2_4", "Text2_5", "Text2_3"};
    for (int move = 0; move < 3; ++move) {
        const bool single = probe::control(exam, QStringLiteral("Option1"))->isVisible();
        for (int row = 0; row < 5; ++row) {
            const QString text =
                probe::control<QPlainTextEdit>(exam, QLatin1String(texts[row]))->toPlainText();
            QVERIFY(text.startsWith(QStringLiteral("Answer %1 ").arg(QChar(u'A' + row))));
            const QString want =
                QStringLiteral("Choice %1: %2").arg(QChar(u'A' + row)).arg(text.simplified());
            const QString selector =
                (single ? QStringLiteral("Option%1") : QStringLiteral("Check%1")).arg(row + 1);
            QCOMPARE(accessibleName(*probe::control(exam, selector)), want);
        }
        tour::press(win::Exam, "CmdNextQ");
    }
    setting.env.prompts.answer(prompts::Answer::Ok);
    tour::press(win::Exam, "cmdEndExam");
    tour::press(win::ScoreSheet, "CmdExit");
}

void TestAccessibility::scoreSheetGridsAreTables() {
    bool checked = false;
    tour::everyWindow(app::fullEdition(), [&](QWidget& window) {
        if (window.objectName() != win::ScoreSheet.id()) {
            return;
        }
        for (const char* name : {"DBGrid1", "DBGrid2"}) {
            auto* grid = probe::control<QTableView>(window, QLatin1String(name));
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
            QVERIFY(iface);
            QVERIFY(!iface->text(QAccessible::Name).isEmpty());
            QAccessibleTableInterface* table = iface->tableInterface();
            QVERIFY2(table, name);
            const QAbstractItemModel* model = grid->model();
            QCOMPARE(table->rowCount(), model->rowCount());
            QCOMPARE(table->rowCount(), 10);
            for (int c = 0; c < model->columnCount(); ++c) {
                if (grid->isColumnHidden(c)) {
                    continue;
                }
                QAccessibleInterface* cell = table->cellAt(3, c);
                QVERIFY(cell);
                QCOMPARE(cell->text(QAccessible::Name), model->index(3, c).data().toString());
            }
        }
        checked = true;
    });
    QVERIFY(checked);
}

void TestAccessibility::choiceNameShape_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << 1 << "Record the cable replacement in the ticket"
                           << "Choice B: Record the cable replacement in the ticket";
    QTest::newRow("empty") << 4 << ""
                           << "Choice E";
    QTest::newRow("lines and runs of spaces") << 0 << "  ls -l\n   /etc  "
                                              << "Choice A: ls -l /etc";
    QTest::newRow("markup stays text") << 2 << "<b>x</b>"
                                       << "Choice C: <b>x</b>";
}

void TestAccessibility::choiceNameShape() {
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(look::choiceName(QStringLiteral("Choice"), row, text), name);
}

// F1 anywhere opens the page that helps there, and the page's Return goes back to that window.
void TestAccessibility::f1OpensTheWindowsHelpPage() {
    // A help page itself opens nothing more.
    const QHash<QString, QString> pageOf{
        {win::MainMenu, win::HelpNavigation},
        {win::Intro, win::HelpCertification},
        {win::Notice, win::HelpCertification},
        {win::Exam, win::HelpNavigation},
        {QStringLiteral("ReviewScreen"), win::HelpNavigation},
        {win::Answer, win::HelpNavigation},
        {win::Exhibit, win::HelpNavigation},
        {win::ScoreSheet, win::HelpCertification},
        {win::WrongAnswers, win::HelpNavigation},
        {win::Study, win::HelpNavigation},
        {win::About, win::HelpReadMe},
        {win::Progress, win::HelpKeys},
        {win::CustomExam, win::HelpKeys},
        {win::HelpNavigation, QString()},
        {win::HelpCertification, QString()},
        {win::HelpReadMe, QString()},
        {win::HelpOrdering, QString()},
    };
    QStringList problems;
    QSet<QString> seen;
    tour::everyWindow(app::fullEdition(), [&](QWidget& window) {
        const QString name = window.objectName();
        seen.insert(name);
        if (!pageOf.contains(name)) {
            problems << name + QStringLiteral(": no page expected");
            return;
        }
        const QWidgetList before = probe::visibleTopLevels();
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_F1);
        const QString page = pageOf.value(name);
        QWidget* help = page.isEmpty() ? nullptr : flow::existing(page);
        if (page.isEmpty()) {
            if (probe::visibleTopLevels() != before) {
                problems << name + QStringLiteral(": F1 opened a window");
            }
            return;
        }
        if (!help || !help->isVisible()) {
            problems << name + QStringLiteral(": F1 did not open ") + page;
            return;
        }
        probe::control<QAbstractButton>(*help, QStringLiteral("Command1"))->click();
        // Back to where F1 was pressed, with nothing else brought up (the menu least of all).
        QWidgetList after = probe::visibleTopLevels();
        std::sort(after.begin(), after.end());
        QWidgetList was = before;
        std::sort(was.begin(), was.end());
        if (after != was) {
            problems << name + QStringLiteral(": Return did not go back from ") + page;
        }
    });
    QCOMPARE(seen.size(), pageOf.size());
    tour::report(problems);
}

// Every shortcut of every window, and the keys that work everywhere, are on the keys page.
void TestAccessibility::keysPageNamesEveryShortcut() {
    QStringList keys{QStringLiteral("F1"), QStringLiteral("Ctrl+Plus"),
                     QStringLiteral("Ctrl+Minus"), QStringLiteral("Ctrl+0")};
    tour::everyWindow(app::fullEdition(), [&](QWidget& window) {
        for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
            keys << asWritten(shortcut->key());
        }
        for (const QAction* action : window.findChildren<QAction*>()) {
            if (!action->shortcut().isEmpty()) {
                keys << asWritten(action->shortcut());
            }
        }
    });
    keys.removeDuplicates();
    const QString page = keysPage();
    QVERIFY(!page.isEmpty());
    QStringList missing;
    for (const QString& key : std::as_const(keys)) {
        const QRegularExpression word(
            QStringLiteral("(^|[\\s(,])%1($|[\\s),.:;])").arg(QRegularExpression::escape(key)));
        if (!page.contains(word)) {
            missing << key;
        }
    }
    QVERIFY(keys.size() > 10);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
