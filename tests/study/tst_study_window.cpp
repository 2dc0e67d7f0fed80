// Clicks travel through the window system, so they land where a user's would.
#define QTEST_QPA_MOUSE_HANDLING

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/window_names.h"
#include "start/form1.h"
#include "study/form11.h"
#include "study/form2c.h"
#include "study_fixture.h"

using probe::click;
using probe::control;
using studytest::question;
using studytest::Started;
using testsupport::FixtureDatabase;

namespace {

// What a user sees of the five answer rows: "N (*)" for a selected option, "N [x]" for a
// ticked check box, "N -" for an answer shown without a selector; rows hidden whole are left
// out, and a selector shown beside a hidden answer reads "N stray".
QStringList shownRows(Form11& w) {
    static const int box[] = {1, 2, 4, 5, 3};
    QStringList rows;
    for (int n = 1; n <= 5; ++n) {
        auto* text = w.findChild<QPlainTextEdit*>(QStringLiteral("Text2_%1").arg(box[n - 1]));
        auto* option = w.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
        auto* check = w.findChild<QCheckBox*>(QStringLiteral("Check%1").arg(n));
        QString mark;
        if (!option->isHidden()) {
            mark += option->isChecked() ? QStringLiteral("(*)") : QStringLiteral("( )");
        }
        if (!check->isHidden()) {
            mark += check->isChecked() ? QStringLiteral("[x]") : QStringLiteral("[ ]");
        }
        if (text->isHidden()) {
            if (!mark.isEmpty()) {
                rows << QStringLiteral("%1 stray").arg(n);
            }
            continue;
        }
        rows << QStringLiteral("%1 %2").arg(n).arg(mark.isEmpty() ? QStringLiteral("-") : mark);
    }
    return rows;
}

// The study window as the menu opens it.
Form11& openStudy(qint16 exam) {
    const char* entry = exam == 22   ? "menuFileSubExam2"
                        : exam == 33 ? "menuFileSubExam3"
                                     : "menuFileSubExam1";
    forms::get<Form1>().findChild<QAction*>(QLatin1String(entry))->trigger();
    return forms::get<Form11>();
}

// Each shown selector carries its row's letter, A to E from the top.
void verifyLetters(Form11& w) {
    for (int n = 1; n <= 5; ++n) {
        for (const char* kind : {"Option", "Check"}) {
            auto* selector = control<QAbstractButton>(w, QStringLiteral("%1%2").arg(kind).arg(n));
            if (!selector->isHidden()) {
                QCOMPARE(selector->text(), QString(QChar(u'A' + n - 1)));
            }
        }
    }
    // A fifth answer whose selector is hidden (it is not a right one) keeps its letter.
    const auto shown = [&w](const char* name) {
        return !control<QWidget>(w, QString::fromLatin1(name))->isHidden();
    };
    auto* letter = control<QLabel>(w, QStringLiteral("lblLetter5"));
    QCOMPARE(letter->text(), QStringLiteral("E"));
    QCOMPARE(!letter->isHidden(), shown("Text2_3") && !shown("Option5") && !shown("Check5"));
}

// Position label and question ID together: where the window stands.
QString where(Form11& w) {
    return probe::textOf(w, "LblRec_Count11") + QLatin1Char('@') + probe::textOf(w, "Text1");
}

}  // namespace

class TestStudyWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void opensOnFirstRowOfChosenExam_data();
    void opensOnFirstRowOfChosenExam();
    void answerMarks_data();
    void answerMarks();
    void movesStayWithinRowsAndLimit_data();
    void movesStayWithinRowsAndLimit();
    void exhibitButtonFollowsRows_data();
    void exhibitButtonFollowsRows();
    void exhibitThereAndBack_data();
    void exhibitThereAndBack();
    void endAndReopenKeepsClock_data();
    void endAndReopenKeepsClock();
    void demoEndShowsFirstRowOwnMarks();
    void emptyKeyTable_data();
    void emptyKeyTable();
};

void TestStudyWindow::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestStudyWindow::opensOnFirstRowOfChosenExam_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<qint64>("firstId");
    QTest::addColumn<QStringList>("labels");

    const QStringList full{"Question ID:", "Explanation:", "Time Elapsed:"};
    QTest::newRow("full exam 1") << "full" << 11 << "Review Exam #1" << qint64(11) << full;
    QTest::newRow("full exam 2") << "full" << 22 << "Review Exam #2" << qint64(21) << full;
    QTest::newRow("full exam 3") << "full" << 33 << "Review Exam #3" << qint64(31) << full;
    QTest::newRow("demo") << "demo" << 11 << "Review - Demo Exam " << qint64(11)
                          << QStringList{"ID", "Explanation"};
}

void TestStudyWindow::opensOnFirstRowOfChosenExam() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    QFETCH(QString, caption);
    QFETCH(qint64, firstId);
    QFETCH(QStringList, labels);
    Started s(edition);
    for (int n = 1; n <= 3; ++n) {
        for (int i = 0; i < 3; ++i) {
            s.db.addQuestion(n, question(n * 10 + 1 + i, "single_answer", 4, "10000"));
        }
    }

    Form11& w = openStudy(qint16(exam));

    QCOMPARE(ExamSettings.ActiveExam, exam);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    QVERIFY(!forms::get<Form1>().isVisible());
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(where(w), QStringLiteral("1@%1").arg(firstId));
    QCOMPARE(probe::textOf(w, "Text2_0"), QStringLiteral("Question %1").arg(firstId));
    QCOMPARE(probe::textOf(w, "Text2_1"), QStringLiteral("Answer %1.1").arg(firstId));
    QCOMPARE(probe::textOf(w, "Text3"), QStringLiteral("Explanation %1").arg(firstId));
    QVERIFY(!control<QPushButton>(w, "cmdPrevQ")->isEnabled());
    QVERIFY(control<QPushButton>(w, "CmdNextQ")->isEnabled());
    QCOMPARE(probe::textOf(w, "lblClock"), QStringLiteral("ClockDisplay"));
    QStringList shownLabels{probe::textOf(w, "lblID"), probe::textOf(w, "Label1")};
    if (!w.findChild<QLabel*>(QStringLiteral("Label3"))->isHidden()) {
        shownLabels << probe::textOf(w, "Label3");
    }
    QCOMPARE(shownLabels, labels);

    w.Timer1_Timer();
    QCOMPARE(probe::textOf(w, "lblClock"), QStringLiteral("00:00:01"));
    click(w, "CmdNextQ");
    QCOMPARE(where(w), QStringLiteral("2@%1").arg(firstId + 1));
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(s.env.endings, 0);
}

void TestStudyWindow::answerMarks_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("rows");

    struct Case {
        const char* name;
        const char* type;
        int answers;
        const char* key;
        QStringList rows;
    };
    const QList<Case> cases = {
        {"single, one correct",
         "single_answer",
         5,
         "01000",
         {"1 ( )", "2 (*)", "3 ( )", "4 ( )", "5 -"}},
        {"single, two marked: the later stays selected",
         "single_answer",
         4,
         "01010",
         {"1 ( )", "2 ( )", "3 ( )", "4 (*)"}},
        {"single, none marked",
         "single_answer",
         5,
         "00000",
         {"1 ( )", "2 ( )", "3 ( )", "4 ( )", "5 -"}},
        {"single, fifth correct",
         "single_answer",
         5,
         "00001",
         {"1 ( )", "2 ( )", "3 ( )", "4 ( )", "5 (*)"}},
        {"multiple, fifth wrong",
         "multiple_answer",
         5,
         "10100",
         {"1 [x]", "2 [ ]", "3 [x]", "4 [ ]", "5 -"}},
        {"multiple, fifth correct",
         "multiple_answer",
         5,
         "01001",
         {"1 [ ]", "2 [x]", "3 [ ]", "4 [ ]", "5 [x]"}},
        {"four answers", "multiple_answer", 4, "00010", {"1 [ ]", "2 [ ]", "3 [ ]", "4 [x]"}},
        {"three answers", "single_answer", 3, "00100", {"1 ( )", "2 ( )", "3 (*)"}},
        {"key marks a missing fifth answer",
         "multiple_answer",
         3,
         "10001",
         {"1 [x]", "2 [ ]", "3 [ ]"}},
        {"type in other letter case",
         "Single_Answer",
         4,
         "01000",
         {"1 [ ]", "2 [x]", "3 [ ]", "4 [ ]"}},
        {"type with trailing blank", "single_answer ", 3, "10000", {"1 [x]", "2 [ ]", "3 [ ]"}},
        {"no type", "", 3, "00100", {"1 [ ]", "2 [ ]", "3 [x]"}},
    };
    for (const char* edition : {"full", "demo"}) {
        for (const Case& c : cases) {
            QTest::addRow("%s: %s", edition, c.name)
                << edition << c.type << c.answers << c.key << c.rows;
        }
    }
}

void TestStudyWindow::answerMarks() {
    QFETCH(QString, edition);
    QFETCH(QString, type);
    QFETCH(int, answers);
    QFETCH(QString, key);
    QFETCH(QStringList, rows);
    Started s(edition);
    // The question under test comes first (shown by opening) and third (reached by moving),
    // after a question whose option marks must not linger.
    s.db.addQuestion(1, question(1, type, answers, key));
    s.db.addQuestion(1, question(2, "single_answer", 5, "11111"));
    s.db.addQuestion(1, question(3, type, answers, key));

    Form11& w = openStudy(11);
    QCOMPARE(shownRows(w), rows);
    verifyLetters(w);
    click(w, "CmdNextQ");
    click(w, "CmdNextQ");
    QCOMPARE(where(w), QStringLiteral("3@3"));
    QCOMPARE(shownRows(w), rows);
    click(w, "cmdPrevQ");
    click(w, "cmdPrevQ");
    QCOMPARE(where(w), QStringLiteral("1@1"));
    QCOMPARE(shownRows(w), rows);
}

void TestStudyWindow::movesStayWithinRowsAndLimit_data() {
    probe::addEditionRows();
}

void TestStudyWindow::movesStayWithinRowsAndLimit() {
    QFETCH(QString, edition);
    Started s(edition);
    s.db.addQuestions(1, 4);

    // Fewer rows than the exam has questions: Next on the last row goes nowhere.
    Form11& w = openStudy(11);
    QCOMPARE(ExamSettings.QuestionsPerExam, probe::editionNamed(edition).questionsPerExam);
    QCOMPARE(probe::textOf(w, "lblRecTotal"), QStringLiteral("of 4"));
    for (int i = 0; i < 3; ++i) {
        click(w, "CmdNextQ");
    }
    QCOMPARE(where(w), QStringLiteral("4@4"));
    QVERIFY(control<QPushButton>(w, "CmdNextQ")->isEnabled());
    click(w, "CmdNextQ");
    QCOMPARE(where(w), QStringLiteral("4@4"));
    QCOMPARE(probe::textOf(w, "Text2_0"), QStringLiteral("Question 4 of exam 1"));
    for (int i = 0; i < 3; ++i) {
        click(w, "cmdPrevQ");
    }
    QCOMPARE(where(w), QStringLiteral("1@1"));
    QVERIFY(!control<QPushButton>(w, "cmdPrevQ")->isEnabled());
    w.cmdPrevQ_Click();  // even if it were reached, the first row stays
    QCOMPARE(where(w), QStringLiteral("1@1"));
    QVERIFY(!control<QPushButton>(w, "cmdPrevQ")->isEnabled());
    click(w, "cmdEnd");

    // More rows than the exam has questions: the rows past the limit are never shown.
    ExamSettings.QuestionsPerExam = 3;
    Form11& again = openStudy(11);
    QCOMPARE(probe::textOf(again, "lblRecTotal"), QStringLiteral("of 3"));
    click(again, "CmdNextQ");
    QVERIFY(control<QPushButton>(again, "CmdNextQ")->isEnabled());
    QVERIFY(control<QPushButton>(again, "cmdPrevQ")->isEnabled());
    click(again, "CmdNextQ");
    QCOMPARE(where(again), QStringLiteral("3@3"));
    QVERIFY(!control<QPushButton>(again, "CmdNextQ")->isEnabled());
    click(again, "CmdNextQ");
    QCOMPARE(where(again), QStringLiteral("3@3"));
    click(again, "cmdPrevQ");
    QCOMPARE(where(again), QStringLiteral("2@2"));
    QVERIFY(control<QPushButton>(again, "CmdNextQ")->isEnabled());
    QCOMPARE(s.env.endings, 0);
}

void TestStudyWindow::exhibitButtonFollowsRows_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<bool>("firstHasExhibit");
    QTest::addColumn<bool>("shownOnFirstRow");
    QTest::newRow("full, first row without") << "full" << false << true;
    QTest::newRow("full, first row with") << "full" << true << true;
    QTest::newRow("demo, first row without") << "demo" << false << false;
    QTest::newRow("demo, first row with") << "demo" << true << false;
}

void TestStudyWindow::exhibitButtonFollowsRows() {
    QFETCH(QString, edition);
    QFETCH(bool, firstHasExhibit);
    QFETCH(bool, shownOnFirstRow);
    Started s(edition);
    studytest::FakeWindows fakes;
    fakes.add(win::Exhibit);
    const bool demo = edition == QLatin1String("demo");
    s.db.addQuestion(1, question(1, "single_answer", 4, "10000",
                                 firstHasExhibit ? QStringLiteral("first.png") : QString()));
    s.db.addQuestion(1, question(2, "single_answer", 4, "10000", "second.png"));
    s.db.addQuestion(1, question(3, "single_answer", 4, "10000"));
    s.db.exec(QStringLiteral("UPDATE exam11 SET diagram1 = '' WHERE ID = 3"));

    Form11& w = openStudy(11);
    QPushButton* exhibit = control<QPushButton>(w, "Picture1");
    QCOMPARE(!exhibit->isHidden(), shownOnFirstRow);
    w.Picture1_Click();
    QCOMPARE(fakes.total(), firstHasExhibit ? 1 : 0);
    QCOMPARE(w.isVisible(), demo || !firstHasExhibit);
    w.Show();

    click(w, "CmdNextQ");
    QVERIFY(!exhibit->isHidden());
    QCOMPARE(ExamSettings.CurrentExhibit, QStringLiteral("second.png"));
    ExamSettings.CurrentExhibit.clear();
    click(w, "Picture1");
    QCOMPARE(ExamSettings.CurrentExhibit, QStringLiteral("second.png"));
    QCOMPARE(fakes.shown.value(win::Exhibit), firstHasExhibit ? 2 : 1);
    QCOMPARE(w.isVisible(), demo);

    w.Show();  // as the exhibit window's Return does
    QCOMPARE(where(w), QStringLiteral("2@2"));
    click(w, "CmdNextQ");
    QVERIFY(exhibit->isHidden());  // an empty text is no exhibit
    click(w, "cmdPrevQ");
    QVERIFY(!exhibit->isHidden());
    QCOMPARE(s.env.endings, 0);
}

void TestStudyWindow::exhibitThereAndBack_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::newRow("full exam 3") << "full" << 33;
    QTest::newRow("demo") << "demo" << 11;
}

void TestStudyWindow::exhibitThereAndBack() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    Started s(edition);
    const int n = exam / 11;
    s.db.addQuestion(n, question(1, "single_answer", 4, "10000"));
    s.db.addQuestion(n, question(2, "multiple_answer", 5, "01001", "chart.png"));
    s.db.addQuestion(n, question(3, "single_answer", 4, "10000"));
    QVERIFY(studytest::positionPicture(40, 30).save(QStringLiteral("chart.png")));

    Form11& w = openStudy(qint16(exam));
    click(w, "CmdNextQ");
    const QStringList rows = shownRows(w);
    click(w, "Picture1");
    Form2C* picture = forms::existing<Form2C>();
    QVERIFY(picture && picture->isVisible());
    QCOMPARE(picture->shownExhibit(), QStringLiteral("chart.png"));
    QCOMPARE(w.isVisible(), edition == QLatin1String("demo"));

    QTest::mouseClick(picture->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w.isVisible());
    QVERIFY(!forms::existing<Form2C>() || !forms::existing<Form2C>()->isVisible());
    QCOMPARE(where(w), QStringLiteral("2@2"));
    QCOMPARE(shownRows(w), rows);
    QVERIFY(control<QPushButton>(w, "cmdPrevQ")->isEnabled());
    QCOMPARE(s.env.endings, 0);
}

void TestStudyWindow::endAndReopenKeepsClock_data() {
    probe::addEditionRows();
}

void TestStudyWindow::endAndReopenKeepsClock() {
    QFETCH(QString, edition);
    const bool demo = edition == QLatin1String("demo");
    Started s(edition);
    s.db.addQuestions(1, 3);
    s.db.addQuestions(2, 3, 1, 21);

    Form11& w = openStudy(11);
    click(w, "CmdNextQ");
    click(w, "CmdNextQ");
    for (int i = 0; i < 5; ++i) {
        w.Timer1_Timer();
    }
    QCOMPARE(probe::textOf(w, "lblClock"), QStringLiteral("00:00:05"));

    click(w, "cmdEnd");
    QVERIFY(!w.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(w.isLoaded(), demo);
    // The demo's clock keeps running behind the menu; the full edition's stops.
    QCOMPARE(studytest::clockOf(w)->isActive(), demo);
    QCOMPARE(probe::textOf(w, "LblRec_Count11"), demo ? QStringLiteral("1") : QStringLiteral("0"));
    if (demo) {
        w.Timer1_Timer();
    }

    Form11& again = openStudy(demo ? 11 : 22);
    QCOMPARE(&again, &w);
    QVERIFY(again.isVisible());
    QCOMPARE(where(again), demo ? QStringLiteral("1@1") : QStringLiteral("1@21"));
    QVERIFY(!control<QPushButton>(again, "cmdPrevQ")->isEnabled());
    QVERIFY(studytest::clockOf(again)->isActive());
    QCOMPARE(probe::textOf(again, "lblClock"),
             demo ? QStringLiteral("00:00:06") : QStringLiteral("ClockDisplay"));
    again.Timer1_Timer();
    QCOMPARE(probe::textOf(again, "lblClock"),
             demo ? QStringLiteral("00:00:07") : QStringLiteral("00:00:06"));
}

void TestStudyWindow::demoEndShowsFirstRowOwnMarks() {
    Started s(QStringLiteral("demo"));
    s.db.addQuestion(1, question(1, "single_answer", 4, "10000"));
    s.db.addQuestion(1, question(2, "single_answer", 4, "00100"));
    s.db.addQuestion(1, question(3, "multiple_answer", 4, "01100"));

    Form11& w = openStudy(11);
    QCOMPARE(shownRows(w), (QStringList{"1 (*)", "2 ( )", "3 ( )", "4 ( )"}));
    click(w, "CmdNextQ");
    QCOMPARE(shownRows(w), (QStringList{"1 ( )", "2 ( )", "3 (*)", "4 ( )"}));
    click(w, "cmdEnd");
    openStudy(11);
    QCOMPARE(where(w), QStringLiteral("1@1"));
    QCOMPARE(shownRows(w), (QStringList{"1 (*)", "2 ( )", "3 ( )", "4 ( )"}));
}

void TestStudyWindow::emptyKeyTable_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::newRow("full exam 2") << "full" << 22;
    QTest::newRow("demo") << "demo" << 11;
}

void TestStudyWindow::emptyKeyTable() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    Started s(edition);
    studytest::FakeWindows fakes;
    fakes.add(win::Exhibit);

    Form11& w = openStudy(qint16(exam));
    QVERIFY(w.isVisible());
    QVERIFY(!control<QPushButton>(w, "CmdNextQ")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "cmdPrevQ")->isEnabled());
    QVERIFY(control<QPushButton>(w, "Picture1")->isHidden());
    QCOMPARE(probe::textOf(w, "Text2_0"), QString());
    QCOMPARE(probe::textOf(w, "lblRecTotal"), QString());
    w.CmdNextQ_Click();
    w.cmdPrevQ_Click();
    w.Picture1_Click();
    w.Timer1_Timer();
    QVERIFY(!control<QPushButton>(w, "CmdNextQ")->isEnabled());
    QCOMPARE(fakes.total(), 0);
    click(w, "cmdEnd");
    QVERIFY(forms::get<Form1>().isVisible());
    openStudy(qint16(exam));
    QVERIFY(w.isVisible());
    QCOMPARE(s.env.endings, 0);
}

QTEST_MAIN(TestStudyWindow)
#include "tst_study_window.moc"
