// Clicks travel through the window system, so they land where a user's would.
#define QTEST_QPA_MOUSE_HANDLING

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/window_names.h"
#include "study/form5.h"
#include "study_fixture.h"

using probe::control;
using studytest::question;
using studytest::Started;

namespace {

// "N [x]" / "N [ ]" for each answer row shown; a check box beside a hidden answer reads
// "N stray".
QStringList shownRows(Form5& w) {
    QStringList rows;
    for (int n = 1; n <= 5; ++n) {
        auto* text = w.findChild<QPlainTextEdit*>(QStringLiteral("Text2_%1").arg(n + 1));
        auto* check = w.findChild<QCheckBox*>(QStringLiteral("Check%1").arg(n));
        if (text->isHidden()) {
            if (!check->isHidden()) {
                rows << QStringLiteral("%1 stray").arg(n);
            }
            continue;
        }
        rows << QStringLiteral("%1 %2").arg(n).arg(
            check->isHidden()
                ? QStringLiteral("-")
                : (check->isChecked() ? QStringLiteral("[x]") : QStringLiteral("[ ]")));
    }
    return rows;
}

// As the exam window's "Show Answer Now !" leaves things: one showans row, then the window.
Form5& showAnswer(const testsupport::FixtureDatabase& db, qint64 id) {
    db.exec(QStringLiteral("DELETE FROM showans"));
    db.exec(QStringLiteral("INSERT INTO showans (id) VALUES (?)"), {id});
    flow::open(win::Answer, win::Exam);
    return forms::get<Form5>();
}

}  // namespace

class TestAnswerWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void showsKeyRowNamedInShowans_data();
    void showsKeyRowNamedInShowans();
    void fifthAnswerRule_data();
    void fifthAnswerRule();
    void clockAndReturn_data();
    void clockAndReturn();
    void examEndingClearsItAway();
    void idMissingFromKeyShowsNothing();
};

void TestAnswerWindow::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestAnswerWindow::showsKeyRowNamedInShowans_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("keyOf");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("idLabel");
    QTest::newRow("full exam 1") << "full" << 1 << 1 << "Show Answer"
                                 << "Question ID:";
    QTest::newRow("full exam 2") << "full" << 2 << 2 << "Show Answer"
                                 << "Question ID:";
    QTest::newRow("full exam 3") << "full" << 3 << 3 << "Show Answer"
                                 << "Question ID:";
    QTest::newRow("demo") << "demo" << 1 << 1 << "Show Answer!"
                          << "ID";
    QTest::newRow("demo reads exam 1 whatever") << "demo" << 2 << 1 << "Show Answer!"
                                                << "ID";
}

void TestAnswerWindow::showsKeyRowNamedInShowans() {
    QFETCH(QString, edition);
    QFETCH(int, active);
    QFETCH(int, keyOf);
    QFETCH(QString, caption);
    QFETCH(QString, idLabel);
    Started s(edition);
    studytest::FakeWindows fakes;
    fakes.add(win::Exam);
    // The same IDs in every exam, told apart by their texts and keys.
    for (int exam = 1; exam <= 3; ++exam) {
        for (qint64 id = 5; id <= 7; ++id) {
            testsupport::Question q =
                question(id, "single_answer", 5, QStringLiteral("00000").replace(exam - 1, 1, "1"));
            q.question = QStringLiteral("Exam %1 question %2").arg(exam).arg(id);
            s.db.addQuestion(exam, q);
        }
    }
    ExamSettings.ActiveExam = qint16(active);

    Form5& w = showAnswer(s.db, 6);

    QVERIFY(w.isVisible());
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(probe::textOf(w, "lblID"), idLabel);
    QCOMPARE(probe::textOf(w, "Label2"),
             QStringLiteral("Click \"Return\" to close this Window and resume test."));
    QCOMPARE(probe::textOf(w, "Label1"), QStringLiteral("Explanation"));
    QCOMPARE(probe::textOf(w, "Text2_1"), QStringLiteral("6"));
    QVERIFY(!w.findChild<QLineEdit*>(QStringLiteral("Text2_1"))->isEnabled());
    QCOMPARE(probe::textOf(w, "Text2_0"), QStringLiteral("Exam %1 question 6").arg(keyOf));
    QCOMPARE(probe::textOf(w, "Text2_2"), QStringLiteral("Answer 6.1"));
    QCOMPARE(probe::textOf(w, "Text3"), QStringLiteral("Explanation 6"));
    // A single-answer question too shows check boxes, the correct one ticked.
    QVERIFY(w.findChildren<QRadioButton*>().isEmpty());
    QStringList expected{"1 [ ]", "2 [ ]", "3 [ ]", "4 [ ]", "5 -"};
    expected[keyOf - 1] = QStringLiteral("%1 [x]").arg(keyOf);
    if (keyOf != 5) {
        expected[4] = QStringLiteral("5 [ ]");
    }
    QCOMPARE(shownRows(w), expected);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(probe::control<QCheckBox>(w, QStringLiteral("Check%1").arg(n))->text(),
                 QString(QChar(u'A' + n - 1)));
    }
    QCOMPARE(s.env.endings, 0);
    QCOMPARE(fakes.total(), 0);
}

void TestAnswerWindow::fifthAnswerRule_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("rows");
    for (const char* edition : {"full", "demo"}) {
        QTest::addRow("%s: five answers", edition)
            << edition << QStringList{"a", "b", "c", "d", "e"} << "00001"
            << QStringList{"1 [ ]", "2 [ ]", "3 [ ]", "4 [ ]", "5 [x]"};
        QTest::addRow("%s: four answers", edition)
            << edition << QStringList{"a", "b", "c", "d", ""} << "10010"
            << QStringList{"1 [x]", "2 [ ]", "3 [ ]", "4 [x]"};
        QTest::addRow("%s: empty fourth answer still shown", edition)
            << edition << QStringList{"a", "b", "c", "", "e"} << "01000"
            << QStringList{"1 [ ]", "2 [x]", "3 [ ]", "4 [ ]", "5 [ ]"};
        QTest::addRow("%s: three answers", edition)
            << edition << QStringList{"a", "b", "c", "", ""} << "00100"
            << QStringList{"1 [ ]", "2 [ ]", "3 [x]", "4 [ ]"};
    }
}

void TestAnswerWindow::fifthAnswerRule() {
    QFETCH(QString, edition);
    QFETCH(QStringList, answers);
    QFETCH(QString, key);
    QFETCH(QStringList, rows);
    Started s(edition);
    studytest::FakeWindows fakes;
    fakes.add(win::Exam);
    ExamSettings.ActiveExam = 1;
    testsupport::Question q = question(1, "multiple_answer", 0, key);
    for (int i = 0; i < 5; ++i) {
        q.answers[size_t(i)] = answers.at(i);
    }
    s.db.addQuestion(1, q);
    s.db.addQuestion(1, question(2, "multiple_answer", 5, "11111"));
    s.db.addQuestion(1, question(3, "multiple_answer", 3, "00000"));

    // Shown after questions that had more and fewer answers than this one.
    for (qint64 before : {2, 3}) {
        Form5& first = showAnswer(s.db, before);
        first.cmdEnd_Click();
        probe::settleDeletions();
    }
    Form5& w = showAnswer(s.db, 1);
    QCOMPARE(shownRows(w), rows);
}

void TestAnswerWindow::clockAndReturn_data() {
    probe::addEditionRows();
}

void TestAnswerWindow::clockAndReturn() {
    QFETCH(QString, edition);
    const bool demo = edition == QLatin1String("demo");
    Started s(edition);
    studytest::FakeWindows fakes;
    fakes.add(win::Exam);
    ExamSettings.ActiveExam = 1;
    s.db.addQuestions(1, 3);

    Form5& w = showAnswer(s.db, 2);
    QCOMPARE(probe::textOf(w, "lblClock"), QStringLiteral("ClockDisplay"));
    QVERIFY(studytest::clockOf(w)->isActive());
    QCOMPARE(studytest::clockOf(w)->interval(), 1000);
    w.Timer1_Timer();
    QCOMPARE(probe::textOf(w, "lblClock"), QStringLiteral("00:00:01"));
    w.Timer1_Timer();

    QTest::mouseClick(control<QPushButton>(w, QStringLiteral("cmdEnd")),
                      Qt::LeftButton);  // the full edition's w is gone now
    QCOMPARE(fakes.shown.value(win::Exam), 1);
    probe::settleDeletions();
    QCOMPARE(forms::existing<Form5>() != nullptr, demo);
    if (demo) {
        QVERIFY(!w.isVisible());
        QVERIFY(!studytest::clockOf(w)->isActive());
    }

    Form5& again = showAnswer(s.db, 3);
    QCOMPARE(probe::textOf(again, "Text2_1"), QStringLiteral("3"));
    QCOMPARE(probe::textOf(again, "lblClock"), QStringLiteral("ClockDisplay"));
    again.Timer1_Timer();
    // The demo's clock goes on from where it stopped; the full edition's starts afresh.
    QCOMPARE(probe::textOf(again, "lblClock"),
             demo ? QStringLiteral("00:00:03") : QStringLiteral("00:00:01"));
    QCOMPARE(s.env.endings, 0);
}

void TestAnswerWindow::examEndingClearsItAway() {
    Started s(QStringLiteral("full"));
    studytest::FakeWindows fakes;
    fakes.add(win::Exam);
    ExamSettings.ActiveExam = 2;
    s.db.addQuestions(2, 2);
    Form5& w = showAnswer(s.db, 1);

    // What the exam window does when its time runs out behind this window.
    flow::unload(win::Answer);
    QVERIFY(!w.isVisible());
    QVERIFY(!studytest::clockOf(w)->isActive());
    flow::discard(win::Answer);
    probe::settleDeletions();
    QVERIFY(!forms::existing<Form5>());
    QCOMPARE(fakes.total(), 0);
    QCOMPARE(s.env.endings, 0);
}

void TestAnswerWindow::idMissingFromKeyShowsNothing() {
    Started s(QStringLiteral("full"));
    studytest::FakeWindows fakes;
    fakes.add(win::Exam);
    ExamSettings.ActiveExam = 1;
    s.db.addQuestions(1, 2);
    Form5& w = showAnswer(s.db, 99);

    QVERIFY(w.isVisible());
    QCOMPARE(probe::textOf(w, "Text2_1"), QString());
    QCOMPARE(probe::textOf(w, "Text2_0"), QString());
    QCOMPARE(shownRows(w), (QStringList{"1 [ ]", "2 [ ]", "3 [ ]", "4 [ ]"}));
    QTest::mouseClick(control<QPushButton>(w, QStringLiteral("cmdEnd")), Qt::LeftButton);
    QCOMPARE(fakes.shown.value(win::Exam), 1);
    QCOMPARE(s.env.endings, 0);
}

QTEST_MAIN(TestAnswerWindow)
#include "tst_answer_window.moc"
