// Clicks travel through the window system, so they land where a user's would.
#define QTEST_QPA_MOUSE_HANDLING

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/window_names.h"
#include "start/form1.h"
#include "study/form11.h"
#include "study/form2c.h"
#include "study/form5.h"
#include "study_fixture.h"

using probe::click;
using probe::control;
using studytest::question;
using studytest::Started;

namespace {

// Exam 1 of the bank: a multiple-answer question, a single-answer one with two marks in its
// key, and one with four answers; the first asked for by the exam, and a picture.
void fillBank(const testsupport::FixtureDatabase& db) {
    db.addQuestion(1, question(1, "multiple_answer", 5, "10101"));
    db.addQuestion(1, question(2, "single_answer", 5, "01001"));
    db.addQuestion(1, question(3, "single_answer", 4, "00100"));
    db.exec(QStringLiteral("INSERT INTO showans (id) VALUES (1)"));
    QVERIFY(studytest::positionPicture(20, 20).save(QStringLiteral("pic.png")));
}

// Opens the window the way the program does: the answer window from the exam, the exhibit
// from the study window, the study window from the menu.
QWidget& open(const QString& window, studytest::FakeWindows& fakes) {
    if (window == win::Answer) {
        fakes.add(win::Exam);
        ExamSettings.ActiveExam = 1;
        flow::open(win::Answer, win::Exam);
        return forms::get<Form5>();
    }
    if (window == win::Exhibit) {
        // Every window it could return to is a stand-in; the real menu is put away, as it is
        // while a study session is under way.
        forms::get<Form1>().hide();
        for (const win::Window& opener :
             {win::MainMenu, win::Study, win::WrongAnswers, win::Exam}) {
            fakes.add(opener);
        }
        ExamSettings.ActiveExam = 22;
        ExamSettings.CurrentExhibit = QStringLiteral("pic.png");
        flow::open(win::Exhibit, win::Study);
        return forms::get<Form2C>();
    }
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam1"))->trigger();
    Form11& study = forms::get<Form11>();
    click(study, QStringLiteral("CmdNextQ"));
    return study;
}

// What a user could change: every mark's state and every text box's text.
QStringList marksAndTexts(QWidget& w) {
    QStringList out;
    for (QAbstractButton* mark : w.findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QPushButton*>(mark)) {
            out << mark->objectName() + (mark->isChecked() ? QStringLiteral("=1") : QString());
        }
    }
    for (QPlainTextEdit* box : w.findChildren<QPlainTextEdit*>()) {
        out << box->objectName() + QLatin1Char('=') + box->toPlainText();
    }
    return out;
}

}  // namespace

// What the answer, study and exhibit windows have in common.
class TestStudyWindowsCommon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void wayBack_data();
    void wayBack();
    void userCannotChangeDatabase_data();
    void userCannotChangeDatabase();
};

void TestStudyWindowsCommon::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestStudyWindowsCommon::wayBack_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("by");
    // The study window has no Escape of its own; its way back is End or the title bar.
    const std::pair<win::Window, const char*> windows[] = {
        {win::Answer, "answer window"}, {win::Study, "study window"}, {win::Exhibit, "exhibit"}};
    for (const auto& [w, label] : windows) {
        for (const char* edition : {"full", "demo"}) {
            for (const char* by : {"title bar", "Escape"}) {
                if (w.id() != win::Study || QLatin1String(by) != QLatin1String("Escape")) {
                    QTest::addRow("%s, %s, %s", label, edition, by) << w.id() << edition << by;
                }
            }
        }
    }
}

void TestStudyWindowsCommon::wayBack() {
    QFETCH(QString, window);
    QFETCH(QString, edition);
    QFETCH(QString, by);
    const bool demo = edition == QLatin1String("demo");
    Started s(edition);
    studytest::FakeWindows fakes;
    fillBank(s.db);
    if (QTest::currentTestFailed()) {
        return;
    }
    QPointer<QWidget> w = &open(window, fakes);
    QVERIFY(w->isVisible());

    if (by == QLatin1String("Escape")) {
        QTest::keyClick(w.data(), Qt::Key_Escape);
    } else {
        QVERIFY(w->close() || !w->isVisible());
    }
    QVERIFY(!w || !w->isVisible());

    if (window == win::Answer) {
        QCOMPARE(fakes.shown, (QMap<QString, int>{{win::Exam, 1}}));
        probe::settleDeletions();
        // The demo keeps its answer window, clock stopped, for the next question.
        QCOMPARE(forms::existing<Form5>() != nullptr, demo);
        if (demo) {
            QVERIFY(!studytest::clockOf(*w)->isActive());
        }
    } else if (window == win::Exhibit) {
        QVERIFY(!w || !static_cast<Form2C*>(w.data())->isLoaded());
        QCOMPARE(fakes.shown, (QMap<QString, int>{{win::Study, 1}}));
        probe::settleDeletions();
        QVERIFY(!forms::existing<Form2C>() || !forms::existing<Form2C>()->isVisible());
    } else {
        auto& study = static_cast<Form11&>(*w);
        QVERIFY(forms::get<Form1>().isVisible());
        QCOMPARE(study.isLoaded(), demo);
        QCOMPARE(fakes.total(), 0);
        // Reopened, it starts from the first row again.
        forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam1"))->trigger();
        QCOMPARE(probe::textOf(study, QStringLiteral("LblRec_Count11")), QStringLiteral("1"));
        QCOMPARE(probe::textOf(study, QStringLiteral("Text1")), QStringLiteral("1"));
    }
    QCOMPARE(s.env.endings, 0);
}

void TestStudyWindowsCommon::userCannotChangeDatabase_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("rows");  // how many questions the window walks through
    for (const char* edition : {"full", "demo"}) {
        QTest::addRow("answer window, %s", edition) << win::Answer.id() << edition << 1;
        QTest::addRow("study window, %s", edition) << win::Study.id() << edition << 3;
    }
}

void TestStudyWindowsCommon::userCannotChangeDatabase() {
    QFETCH(QString, window);
    QFETCH(QString, edition);
    QFETCH(int, rows);
    Started s(edition);
    studytest::FakeWindows fakes;
    fillBank(s.db);
    if (QTest::currentTestFailed()) {
        return;
    }
    const auto before = studytest::snapshot(s.db);

    QWidget& w = open(window, fakes);
    if (window == win::Study) {
        click(w, QStringLiteral("cmdPrevQ"));
    }
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int row = 0; row < rows; ++row) {
        const QStringList shown = marksAndTexts(w);
        for (QAbstractButton* mark : w.findChildren<QAbstractButton*>()) {
            if (!qobject_cast<QPushButton*>(mark) && !mark->isHidden()) {
                QTest::mouseClick(mark, Qt::LeftButton, {}, QPoint(8, mark->height() / 2));
            }
        }
        for (QPlainTextEdit* box : w.findChildren<QPlainTextEdit*>()) {
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("typed over"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClick(box, Qt::Key_Delete);
        }
        QCOMPARE(marksAndTexts(w), shown);
        if (row + 1 < rows) {
            click(w, QStringLiteral("CmdNextQ"));
        }
    }
    // The keyboard reaches no mark either.
    for (QWidget* next = w.nextInFocusChain(); next != &w; next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus) {
            QVERIFY2(!qobject_cast<QCheckBox*>(next) && !qobject_cast<QRadioButton*>(next),
                     qPrintable(next->objectName()));
        }
    }
    // Moving back, leaving, reopening and closing are where a bound window would write.
    if (window == win::Study) {
        click(w, QStringLiteral("cmdPrevQ"));
        click(w, QStringLiteral("cmdEnd"));
        forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam1"))->trigger();
        w.close();
        forms::discard<Form11>();
    } else {
        click(w, QStringLiteral("cmdEnd"));
    }
    probe::settleDeletions();

    QCOMPARE(studytest::snapshot(s.db), before);
    QCOMPARE(s.env.endings, 0);
}

QTEST_MAIN(TestStudyWindowsCommon)
#include "tst_study_windows_common.moc"
