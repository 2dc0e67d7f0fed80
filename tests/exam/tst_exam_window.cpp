#include <QtTest>

#include "app/window_names.h"
#include "exam/random_draw.h"
#include "exam_session.h"

namespace {

QStringList marksShown(Form211& form) {
    QStringList out;
    for (const char* kind : {"Option", "Check"}) {
        for (int n = 1; n <= 5; ++n) {
            const QString name = QLatin1String(kind) + QString::number(n);
            if (shown(form, name)) {
                out << name;
            }
        }
    }
    return out;
}

QList<int> answersShown(Form211& form) {
    QList<int> out;
    const char* boxes[] = {"Text2_1", "Text2_2", "Text2_4", "Text2_5", "Text2_3"};
    for (int n = 1; n <= 5; ++n) {
        if (shown(form, QLatin1String(boxes[n - 1]))) {
            out << n;
        }
    }
    return out;
}

QString buttons(Form211& form) {
    const auto state = [&](const char* name) {
        return control<QWidget>(form, QLatin1String(name))->isEnabled() ? '+' : '-';
    };
    return QStringLiteral("prev%1 next%2").arg(state("cmdPrevQ")).arg(state("CmdNextQ"));
}

bool ticked(Form211& form, int n) {
    return control<QAbstractButton>(form, QStringLiteral("Check%1").arg(n))->isChecked();
}

}  // namespace

class TestExamWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void opensOnFirstDrawnQuestion_data();
    void opensOnFirstDrawnQuestion();
    void presentsInDrawOrder();
    void presentationRules_data();
    void presentationRules();
    void exhibitButtonFollowsEachQuestion();
    void counterAndButtonsFollowMoves();
    void firstQuestionRuleWinsWithOneQuestionPerExam();
    void optionsWriteThroughCheckBoxes();
    void marksWrittenAsTheyChangeAndOnClose();
    void storedMarksShownOnReturn();
    void showAnswerKeepsOneRowAndHidesExam();
    void exhibitHidesExamInFullEditionOnly_data();
    void exhibitHidesExamInFullEditionOnly();
    void emptyDrawIsHarmless();
};

void TestExamWindow::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestExamWindow::opensOnFirstDrawnQuestion_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("exam");
    QTest::addColumn<QString>("caption");
    QTest::newRow("full, exam 2") << false << 2 << "Exam #2";
    QTest::newRow("full, exam 3") << false << 3 << "Exam #3";
    QTest::newRow("demo") << true << 1 << "Demo Exam";
}

void TestExamWindow::opensOnFirstDrawnQuestion() {
    QFETCH(bool, demo);
    QFETCH(int, exam);
    QFETCH(QString, caption);
    const app::Edition& edition = demo ? app::demoEdition() : app::fullEdition();
    ExamSession s(edition, qint16(exam));
    s.addBank(exam, edition.drawCount);
    Form211& form = s.open();

    QCOMPARE(form.windowTitle(), caption);
    QVERIFY(form.isVisible());
    QVERIFY(form.windowState() & Qt::WindowMaximized);
    QCOMPARE(ExamSettings.QuestionNo, 1);
    QCOMPARE(probe::textOf(form, "LblRec_Count"),
             QStringLiteral("1 of %1").arg(edition.questionsPerExam));
    QCOMPARE(probe::textOf(form, "lblClock"), QStringLiteral("ClockDisplay"));
    auto* timer = form.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QCOMPARE(s.drawOrder().size(), int(edition.drawCount));
    QCOMPARE(shownId(form), s.drawOrder().front());
    QCOMPARE(control<QPlainTextEdit>(form, QStringLiteral("Text2_0"))->toPlainText(),
             QStringLiteral("Question %1").arg(shownId(form)));
}

// The draw is random, so its order is almost never ascending; the window must follow it.
void TestExamWindow::presentsInDrawOrder() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 40);
    Form211& form = s.open();
    const QList<qint64> drawn = s.drawOrder();
    QVERIFY(!std::is_sorted(drawn.begin(), drawn.end()));
    QList<qint64> presented{shownId(form)};
    for (int i = 1; i < drawn.size(); ++i) {
        form.CmdNextQ_Click();
        presented << shownId(form);
    }
    QCOMPARE(presented, drawn);
}

void TestExamWindow::presentationRules_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("answer4");
    QTest::addColumn<QString>("answer5");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<QList<int>>("answers");
    const QStringList options{"Option1", "Option2", "Option3", "Option4", "Option5"};
    const QStringList checks{"Check1", "Check2", "Check3", "Check4", "Check5"};
    QTest::newRow("single, five answers") << "single_answer"
                                          << "d"
                                          << "e" << options << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("single, four answers") << "single_answer"
                                          << "d"
                                          << "" << options.mid(0, 4) << QList<int>{1, 2, 3, 4};
    QTest::newRow("multiple, no fifth") << "multiple_answer"
                                        << "d"
                                        << "" << checks.mid(0, 4) << QList<int>{1, 2, 3, 4};
    QTest::newRow("multiple, no fourth")
        << "multiple_answer"
        << ""
        << "e" << QStringList{"Check1", "Check2", "Check3", "Check5"} << QList<int>{1, 2, 3, 5};
    QTest::newRow("type in other case") << "Single_Answer"
                                        << "d"
                                        << "e" << checks << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("no type") << ""
                             << ""
                             << "" << checks.mid(0, 3) << QList<int>{1, 2, 3};
}

void TestExamWindow::presentationRules() {
    QFETCH(QString, type);
    QFETCH(QString, answer4);
    QFETCH(QString, answer5);
    QFETCH(QStringList, marks);
    QFETCH(QList<int>, answers);
    ExamSession s(app::demoEdition());
    s.addBank(1, 30, [&](testsupport::Question& q) {
        q.questionType = type;
        q.answers[3] = answer4;
        q.answers[4] = answer5;
    });
    Form211& form = s.open();
    for (int step = 0; step < 2; ++step) {
        QCOMPARE(marksShown(form), marks);
        QCOMPARE(answersShown(form), answers);
        form.CmdNextQ_Click();
    }
}

void TestExamWindow::exhibitButtonFollowsEachQuestion() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30, [](testsupport::Question& q) {
        if (q.id % 2 == 0) {
            q.diagram = QStringLiteral("exhibit%1.png").arg(q.id);
        }
    });
    Form211& form = s.open();
    for (int i = 0; i < 30; ++i) {
        const qint64 id = shownId(form);
        QCOMPARE(shown(form, QStringLiteral("Picture1")), id % 2 == 0);
        QCOMPARE(ExamSettings.CurrentExhibit,
                 id % 2 == 0 ? QStringLiteral("exhibit%1.png").arg(id) : QString());
        form.CmdNextQ_Click();
    }
    // On the last question Next is refused and the exhibit still matches the question shown.
    QCOMPARE(shown(form, QStringLiteral("Picture1")), shownId(form) % 2 == 0);
}

void TestExamWindow::counterAndButtonsFollowMoves() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30);
    Form211& form = s.open();
    QCOMPARE(buttons(form), QStringLiteral("prev- next+"));
    form.cmdPrevQ_Click();
    QCOMPARE(ExamSettings.QuestionNo, 1);

    const QList<qint64> drawn = s.drawOrder();
    for (int n = 2; n <= 30; ++n) {
        pressButton(form, "CmdNextQ");
        QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("%1 of 30").arg(n));
        QCOMPARE(shownId(form), drawn[n - 1]);
    }
    QCOMPARE(buttons(form), QStringLiteral("prev+ next-"));
    form.CmdNextQ_Click();
    QCOMPARE(ExamSettings.QuestionNo, 30);
    QCOMPARE(shownId(form), drawn.last());
    QCOMPARE(answersShown(form), (QList<int>{1, 2, 3, 4, 5}));

    pressButton(form, "cmdPrevQ");
    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("29 of 30"));
    QCOMPARE(buttons(form), QStringLiteral("prev+ next+"));
}

void TestExamWindow::firstQuestionRuleWinsWithOneQuestionPerExam() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30);
    ExamSettings.QuestionsPerExam = 1;
    Form211& form = s.open();
    QCOMPARE(buttons(form), QStringLiteral("prev- next+"));
}

void TestExamWindow::optionsWriteThroughCheckBoxes() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30, [](testsupport::Question& q) { q.questionType = "single_answer"; });
    Form211& form = s.open();
    const qint64 id = shownId(form);
    clickMark(form, QStringLiteral("Option3"));
    QVERIFY(ticked(form, 3));
    clickMark(form, QStringLiteral("Option1"));
    clickMark(form, QStringLiteral("Option1"));  // a second click keeps the choice
    QVERIFY(ticked(form, 1) && !ticked(form, 3));
    QVERIFY(control<QRadioButton>(form, QStringLiteral("Option1"))->isChecked());
    QVERIFY(!control<QRadioButton>(form, QStringLiteral("Option3"))->isChecked());
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{1, 0, 0, 0, 0}));
    form.CmdNextQ_Click();
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{1, 0, 0, 0, 0}));
}

void TestExamWindow::marksWrittenAsTheyChangeAndOnClose() {
    ExamSession s(app::fullEdition(), 2);
    s.addBank(2, 116);
    Form211& form = s.open();
    const qint64 first = shownId(form);
    clickMark(form, QStringLiteral("Check2"));
    clickMark(form, QStringLiteral("Check5"));
    pressButton(form, "CmdNextQ");
    const qint64 second = shownId(form);
    clickMark(form, QStringLiteral("Check4"));
    QCOMPARE(s.db.answers(QStringLiteral("exam2"), first), (std::array<int, 5>{0, 1, 0, 0, 1}));
    QCOMPARE(s.db.answers(QStringLiteral("exam2"), second), (std::array<int, 5>{0, 0, 0, 1, 0}));
    // A mark set by the window's own code, not a click, waits for the close.
    control<QCheckBox>(form, QStringLiteral("Check1"))->setChecked(true);
    form.hide();
    QCOMPARE(s.db.answers(QStringLiteral("exam2"), second), (std::array<int, 5>{0, 0, 0, 1, 0}));
    form.Unload();
    QCOMPARE(s.db.answers(QStringLiteral("exam2"), second), (std::array<int, 5>{1, 0, 0, 1, 0}));
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT SUM(correctanswer1 + correctanswer2 + "
                                        "correctanswer3 + correctanswer4 + correctanswer5) "
                                        "FROM exam2"))
                 .toInt(),
             4);
}

void TestExamWindow::storedMarksShownOnReturn() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30, [](testsupport::Question& q) {
        q.questionType = q.id % 2 ? "single_answer" : "multiple_answer";
    });
    Form211& form = s.open();
    const auto single = [&] { return shownId(form) % 2 == 1; };
    const auto mark = [&] {
        if (single()) {
            clickMark(form, QStringLiteral("Option2"));
        } else {
            clickMark(form, QStringLiteral("Check2"));
            clickMark(form, QStringLiteral("Check4"));
        }
    };
    mark();
    form.CmdNextQ_Click();
    mark();
    form.CmdNextQ_Click();
    for (int n : {2, 1}) {
        form.cmdPrevQ_Click();
        QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("%1 of 30").arg(n));
        QVERIFY(ticked(form, 2));
        QCOMPARE(ticked(form, 4), !single());
        if (single()) {
            QVERIFY(control<QRadioButton>(form, QStringLiteral("Option2"))->isChecked());
        }
    }

    // Two stored marks on a single-answer question: the lower one survives and is written.
    form.CmdNextQ_Click();
    form.CmdNextQ_Click();  // past the questions marked above
    while (!single() && ExamSettings.QuestionNo < 30) {
        form.CmdNextQ_Click();
    }
    QVERIFY(single());
    const qint64 id = shownId(form);
    control<QCheckBox>(form, QStringLiteral("Check3"))->setChecked(true);
    control<QCheckBox>(form, QStringLiteral("Check5"))->setChecked(true);
    form.ShowAnswerMode();
    QVERIFY(control<QRadioButton>(form, QStringLiteral("Option3"))->isChecked());
    QVERIFY(!control<QRadioButton>(form, QStringLiteral("Option5"))->isChecked());
    form.Unload();
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{0, 0, 1, 0, 0}));
}

void TestExamWindow::showAnswerKeepsOneRowAndHidesExam() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30);
    s.db.exec(QStringLiteral("INSERT INTO showans (id) VALUES (7), (8)"));
    Form211& form = s.open();
    const QList<qint64> drawn = s.drawOrder();
    for (int i = 0; i < 3; ++i) {
        clickMark(form, QStringLiteral("Option2"));
        pressButton(form, "Command1");
        QVERIFY(!form.isVisible());
        QCOMPARE(s.db.rows(QStringLiteral("SELECT id FROM showans")),
                 (QList<QVariantList>{{shownId(form)}}));
        // The answer window's Return shows the exam again without loading it anew.
        flow::open(win::Exam);
        QVERIFY(form.isVisible());
        QCOMPARE(ExamSettings.QuestionNo, i + 1);
        QCOMPARE(s.drawOrder(), drawn);
        QVERIFY(ticked(form, 2));
        form.CmdNextQ_Click();
    }
    QCOMPARE(s.answerWindows, 3);
    QCOMPARE(ExamSettings.QuestionNo, 4);
    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("4 of 30"));
}

void TestExamWindow::exhibitHidesExamInFullEditionOnly_data() {
    QTest::addColumn<bool>("demo");
    QTest::newRow("full") << false;
    QTest::newRow("demo") << true;
}

void TestExamWindow::exhibitHidesExamInFullEditionOnly() {
    QFETCH(bool, demo);
    const app::Edition& edition = demo ? app::demoEdition() : app::fullEdition();
    ExamSession s(edition);
    s.addBank(1, edition.drawCount, [](testsupport::Question& q) {
        q.diagram = q.id % 2 ? QStringLiteral("fig%1.png").arg(q.id) : QString();
    });
    Form211& form = s.open();
    while (shownId(form) % 2 == 1) {
        form.CmdNextQ_Click();
    }
    form.Picture1_Click();  // the button is hidden here; a stray click does nothing
    QCOMPARE(s.exhibitWindows, 0);
    while (shownId(form) % 2 == 0) {
        form.CmdNextQ_Click();
    }
    pressButton(form, "Picture1");
    QCOMPARE(s.exhibitWindows, 1);
    QCOMPARE(ExamSettings.CurrentExhibit, QStringLiteral("fig%1.png").arg(shownId(form)));
    QCOMPARE(form.isVisible(), demo);
}

void TestExamWindow::emptyDrawIsHarmless() {
    ExamSession s(app::fullEdition(), 3);
    s.addBank(3, 115, [](testsupport::Question& q) {
        q.responses = {true, true, false, false, false};
    });
    prompts::Script script;
    script.answer(prompts::Answer::Ok);  // the draw's notice
    Form211& form = s.open();

    QCOMPARE(script.texts(), QStringList{"Request is greated than the total number of records."});
    QVERIFY(form.isVisible());
    QCOMPARE(control<QLineEdit>(form, QStringLiteral("Text1"))->text(), QString());
    QCOMPARE(control<QPlainTextEdit>(form, QStringLiteral("Text2_0"))->toPlainText(), QString());
    QVERIFY(marksShown(form).isEmpty());
    QVERIFY(answersShown(form).isEmpty());
    QCOMPARE(buttons(form), QStringLiteral("prev- next-"));

    form.CmdNextQ_Click();
    form.cmdPrevQ_Click();
    form.Option2_Click();
    form.Command1_Click();
    form.Picture1_Click();
    QCOMPARE(ExamSettings.QuestionNo, 1);
    QCOMPARE(s.answerWindows + s.exhibitWindows, 0);
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT COUNT(*) FROM showans")).toInt(), 0);

    script.answer(prompts::Answer::Ok);
    pressButton(form, "cmdEndExam");
    QCOMPARE(s.scoreReports, 1);
    QCOMPARE(s.env.endings, 0);
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT SUM(correctanswer1 + correctanswer2) FROM exam3"))
                 .toInt(),
             0);
}

QTEST_MAIN(TestExamWindow)
#include "tst_exam_window.moc"
