#include <QMouseEvent>
#include <QTextCursor>
#include <QTreeView>
#include <QtTest>

#include "exam/review_screen.h"
#include "exam_session.h"
#include "look/look.h"
#include "look/text_zoom.h"
#include "session/choice_limit.h"
#include "session/exam_progress.h"

namespace {

const QString kConfirm = QStringLiteral("Do you really wish to end the test?");

// Every question single-answer with five choices, except those shape changes.
void addSingles(ExamSession& s, int count,
                const std::function<void(testsupport::Question&)>& shape = {}) {
    s.addBank(1, count, [&](testsupport::Question& q) {
        q.questionType = QStringLiteral("single_answer");
        if (shape) {
            shape(q);
        }
    });
}

Form211& openActive(ExamSession& s) {
    Form211& form = s.open();
    QApplication::setActiveWindow(&form);
    return form;
}

void key(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

QString ticked(Form211& form) {
    QString out;
    for (int n = 1; n <= 5; ++n) {
        out += control<QAbstractButton>(form, QStringLiteral("Check%1").arg(n))->isChecked()
                   ? QLatin1Char('1')
                   : QLatin1Char('0');
    }
    return out;
}

// Moves on until the question on screen is of the kind asked for.
void showKind(Form211& form, bool single) {
    while ((control<QLineEdit>(form, QStringLiteral("Text3"))->text() == "single_answer") !=
           single) {
        form.CmdNextQ_Click();
    }
}

// Presses on a choice's text, moves with the button down and lets go: selecting, not clicking.
void dragAcross(QWidget* area, QPoint from, QPoint to) {
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, area->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(area, &move);
    QTest::mouseRelease(area, Qt::LeftButton, {}, to);
    QCoreApplication::processEvents();
}

// How far the middle of answer n's shown selector is from the middle of its first text line.
int selectorMisfit(Form211& form, int n) {
    QPlainTextEdit* text = choiceText(form, n);
    const QRect line = text->cursorRect(QTextCursor(text->document()));
    const int lineMiddle = text->viewport()->mapTo(&form, line.center()).y();
    for (const char* kind : {"Option", "Check"}) {
        auto* mark = control<QAbstractButton>(form, QLatin1String(kind) + QString::number(n));
        if (mark->isVisibleTo(&form)) {
            return mark->mapTo(&form, QPoint(0, mark->height() / 2)).y() - lineMiddle;
        }
    }
    return 1000;
}

exam::ReviewScreen* reviewOf(Form211& form) {
    return form.findChild<exam::ReviewScreen*>();
}

QStringList reviewRows(Form211& form) {
    auto* list = control<QTreeView>(*reviewOf(form), QStringLiteral("lstQuestions"));
    QStringList rows;
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 3; ++c) {
            cells << list->model()->index(r, c).data().toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

}  // namespace

class TestExamRoom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void leftToDoLine_data();
    void leftToDoLine();
    void choiceLimit_data();
    void choiceLimit();
    void choiceTextsAreTargetsAndChooseTwoMeansTwo();
    void selectorsSitOnTheFirstLineInEveryLookAndZoom();
    void flagShowsAndIsSavedWithTheAnswers();
    void struckChoicesAreMarksNotAnswers();
    void keysChooseTheirLetteredChoice_data();
    void keysChooseTheirLetteredChoice();
    void keysReachShowAnswerExhibitAndPause();
    void reviewListsFiltersAndGoes();
    void reviewKeepsTheClockAndClosesAtTimeOut_data();
    void reviewKeepsTheClockAndClosesAtTimeOut();
    void endExamNamesWhatIsLeft();
};

void TestExamRoom::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestExamRoom::leftToDoLine_data() {
    QTest::addColumn<int>("unanswered");
    QTest::addColumn<int>("flagged");
    QTest::addColumn<QString>("line");
    QTest::newRow("nothing left") << 0 << 0 << "";
    QTest::newRow("both") << 12 << 3 << "12 questions are unanswered and 3 are flagged.";
    QTest::newRow("one of each") << 1 << 1 << "1 question is unanswered and 1 is flagged.";
    QTest::newRow("unanswered only") << 116 << 0 << "116 questions are unanswered.";
    QTest::newRow("flagged only") << 0 << 1 << "1 question is flagged.";
}

void TestExamRoom::leftToDoLine() {
    QFETCH(int, unanswered);
    QFETCH(int, flagged);
    QFETCH(QString, line);
    QCOMPARE(exam::leftToDoLine(unanswered, flagged), line);
}

void TestExamRoom::choiceLimit_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<int>("limit");
    QTest::newRow("two") << "Which two carry voice? (Choose two.)" << 2;
    QTest::newRow("three, capitals") << "Which are true? (CHOOSE THREE.)" << 3;
    QTest::newRow("no full stop") << "(Choose two) Which carry voice?" << 2;
    QTest::newRow("a word more") << "Which? ( choose  four answers. )" << 4;
    QTest::newRow("digit") << "Which? (Choose 5.)" << 5;
    QTest::newRow("one") << "Which? (Choose one.)" << 1;
    QTest::newRow("six is no limit") << "Which? (Choose six.)" << 0;
    QTest::newRow("no brackets") << "Choose two of these. Which?" << 0;
    QTest::newRow("placeholder") << "Which? (Choose n.)" << 0;
    QTest::newRow("run together") << "Which? (Choosetwo.)" << 0;
    QTest::newRow("a longer word") << "Which? (Choose twofold.)" << 0;
    QTest::newRow("unclosed") << "Which? (Choose two." << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestExamRoom::choiceLimit() {
    QFETCH(QString, stem);
    QFETCH(int, limit);
    QCOMPARE(session::choiceLimit(stem), limit);
}

// A click on a choice's words is a click on its selector, struck or not, written at once; a
// drag that selects is not. "(Choose two.)" refuses a third tick however it is tried, and the
// line under the question says why until a tick goes or the question changes.
void TestExamRoom::choiceTextsAreTargetsAndChooseTwoMeansTwo() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116, [](testsupport::Question& q) {
        q.question += QStringLiteral(" (Choose two.)");
        q.questionType =
            q.id % 2 ? QStringLiteral("multiple_answer") : QStringLiteral("single_answer");
    });
    Form211& form = openActive(s);
    auto* line = control<QLabel>(form, QStringLiteral("lblBestChoice"));
    const QString instruction = line->text();
    for (int n = 1; n <= 5; ++n) {
        for (const char* kind : {"Option", "Check"}) {
            auto* mark = control<QAbstractButton>(form, QLatin1String(kind) + QString::number(n));
            QCOMPARE(mark->text(), QString(QChar(u'A' + n - 1)));
        }
    }

    showKind(form, false);
    const qint64 id = shownId(form);
    clickChoiceText(form, 1);
    QCOMPARE(ticked(form), QStringLiteral("10000"));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(form, QStringLiteral("Check1")));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{1, 0, 0, 0, 0}));
    clickChoiceText(form, 3);
    clickChoiceText(form, 4);
    key(form, Qt::Key_E);
    clickMark(form, QStringLiteral("Check5"));
    QCOMPARE(ticked(form), QStringLiteral("10100"));
    QCOMPARE(line->text(), QStringLiteral("Choose two: untick one first."));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{1, 0, 1, 0, 0}));

    key(form, Qt::Key_B, Qt::ShiftModifier);
    clickChoiceText(form, 1);
    QCOMPARE(line->text(), instruction);
    clickChoiceText(form, 2);  // struck through, still a choice
    QCOMPARE(ticked(form), QStringLiteral("01100"));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{0, 1, 1, 0, 0}));
    key(form, Qt::Key_C);
    QWidget* fourth = choiceText(form, 4)->viewport();
    dragAcross(fourth, QPoint(4, 6), QPoint(fourth->width() / 2, 6));
    QVERIFY(choiceText(form, 4)->textCursor().hasSelection());
    QCOMPARE(ticked(form), QStringLiteral("01000"));
    clickChoiceText(form, 4);
    clickChoiceText(form, 5);
    QCOMPARE(ticked(form), QStringLiteral("01010"));
    QCOMPARE(line->text(), QStringLiteral("Choose two: untick one first."));
    form.CmdNextQ_Click();
    QCOMPARE(line->text(), instruction);

    // A single answer's words select its option button.
    showKind(form, true);
    clickChoiceText(form, 3);
    clickChoiceText(form, 5);
    QCOMPARE(ticked(form), QStringLiteral("00001"));
    QVERIFY(control<QAbstractButton>(form, QStringLiteral("Option5"))->isChecked());
    QCOMPARE(line->text(), instruction);
}

// The middle of each selector on the middle of its text's first line and the texts in one column,
// in every look, at the text's own size and at its largest; the top band's texts grow with it.
void TestExamRoom::selectorsSitOnTheFirstLineInEveryLookAndZoom() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116, [](testsupport::Question& q) {
        q.questionType =
            q.id % 2 ? QStringLiteral("multiple_answer") : QStringLiteral("single_answer");
        q.answers[2] = QStringLiteral("A long answer that wraps. ").repeated(20);
    });
    Form211& form = openActive(s);
    // The test platform's screen is smaller than a candidate's; size the window by hand.
    form.setWindowState(Qt::WindowNoState);
    form.resize(1280, 1024);
    const QStringList grown{"lblClock", "LblRec_Count", "Label2", "lblBestChoice"};
    QList<qreal> sizes;
    for (const QString& name : grown) {
        sizes << control<QWidget>(form, name)->font().pointSizeF();
    }
    QStringList misfits;
    for (const look::Look l : {look::Look::Standard, look::Look::Dark, look::Look::HighContrast}) {
        look::apply(l);
        for (const int zoom : {100, look::kLargestZoom}) {
            look::setZoomPercent(zoom);
            for (qsizetype i = 0; i < grown.size(); ++i) {
                QCOMPARE(control<QWidget>(form, grown[i])->font().pointSizeF(),
                         sizes[i] * zoom / 100);
            }
            for (const bool single : {false, true}) {
                showKind(form, single);
                QCoreApplication::processEvents();
                QSet<int> textsStart;
                for (int n = 1; n <= 5; ++n) {
                    textsStart << choiceText(form, n)->x();
                    if (const int misfit = selectorMisfit(form, n); std::abs(misfit) > 2) {
                        misfits << QStringLiteral("%1 %2% single=%3 row %4: %5 px")
                                       .arg(look::nameOf(l), QString::number(zoom))
                                       .arg(single)
                                       .arg(n)
                                       .arg(misfit);
                    }
                }
                QCOMPARE(textsStart.size(), 1);
            }
        }
        look::setZoomPercent(100);
    }
    look::apply(look::Look::Standard);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(u"; ")));
}

void TestExamRoom::flagShowsAndIsSavedWithTheAnswers() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    Form211& form = openActive(s);
    auto* flag = control<QCheckBox>(form, QStringLiteral("chkFlag"));
    QCOMPARE(flag->text(), QStringLiteral("&Flag for review"));
    QVERIFY(!shown(form, QStringLiteral("lblFlagged")));

    key(form, Qt::Key_F);
    QVERIFY(flag->isChecked());
    QVERIFY(shown(form, QStringLiteral("lblFlagged")));
    // Flag and answer are written as they change, before any move: a kill now loses neither.
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT flags FROM tblAttempt")).toString(),
             QStringLiteral("1"));
    clickMark(form, QStringLiteral("Option2"));
    const qint64 first = shownId(form);
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), first), (std::array<int, 5>{0, 1, 0, 0, 0}));
    clickMark(form, QStringLiteral("Option3"));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), first), (std::array<int, 5>{0, 0, 1, 0, 0}));
    clickMark(form, QStringLiteral("Option2"));

    form.CmdNextQ_Click();
    QVERIFY(!flag->isChecked());
    QVERIFY(!shown(form, QStringLiteral("lblFlagged")));
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT flags FROM tblAttempt")).toString(),
             QStringLiteral("1"));
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT position FROM tblAttempt")).toInt(), 2);
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), first), (std::array<int, 5>{0, 1, 0, 0, 0}));

    flag->click();
    form.cmdPrevQ_Click();
    QVERIFY(flag->isChecked());
    key(form, Qt::Key_F);
    form.CmdNextQ_Click();
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT flags FROM tblAttempt")).toString(),
             QStringLiteral("2"));
    QCOMPARE(form.progress().flaggedCount(), 1);
}

// Shift with a choice's key, or a right click, strikes it through and back; never an answer,
// saved with the flags at once, back when the question comes back.
void TestExamRoom::struckChoicesAreMarksNotAnswers() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    Form211& form = openActive(s);
    auto* second = control<QPlainTextEdit>(form, QStringLiteral("Text2_2"));
    auto* fourth = control<QPlainTextEdit>(form, QStringLiteral("Text2_5"));
    const qint64 first = shownId(form);

    key(form, Qt::Key_2, Qt::ShiftModifier);
    QVERIFY(second->font().strikeOut());
    QCOMPARE(second->accessibleDescription(), QStringLiteral("Struck out"));
    key(form, Qt::Key_D, Qt::ShiftModifier);
    QVERIFY(fourth->font().strikeOut());
    Q_EMIT fourth->customContextMenuRequested(QPoint(2, 2));
    QVERIFY(!fourth->font().strikeOut());
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), first), (std::array<int, 5>{0, 0, 0, 0, 0}));
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT flags FROM tblAttempt")).toString(),
             QStringLiteral("1:B"));

    form.CmdNextQ_Click();
    QVERIFY(!second->font().strikeOut());
    form.cmdPrevQ_Click();
    QVERIFY(second->font().strikeOut());
    QVERIFY(!fourth->font().strikeOut());
}

void TestExamRoom::keysChooseTheirLetteredChoice_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("empty");  // answers left empty
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("marks");
    const QList<int> none;
    QTest::newRow("single, digit") << "single_answer" << none << QList<int>{Qt::Key_3} << "00100";
    QTest::newRow("single, letter") << "single_answer" << none << QList<int>{Qt::Key_E} << "00001";
    QTest::newRow("single, last key wins")
        << "single_answer" << none << QList<int>{Qt::Key_1, Qt::Key_B} << "01000";
    QTest::newRow("single, hidden fifth never chosen")
        << "single_answer" << QList<int>{5} << QList<int>{Qt::Key_2, Qt::Key_5, Qt::Key_E}
        << "01000";
    QTest::newRow("multiple, keys tick")
        << "multiple_answer" << none << QList<int>{Qt::Key_1, Qt::Key_D} << "10010";
    QTest::newRow("multiple, again unticks")
        << "multiple_answer" << none << QList<int>{Qt::Key_2, Qt::Key_C, Qt::Key_B} << "00100";
    QTest::newRow("multiple, three choices")
        << "multiple_answer" << QList<int>{4, 5} << QList<int>{Qt::Key_4, Qt::Key_3, Qt::Key_D}
        << "00100";
    // The keys follow the letters shown, not the count of choices above.
    QTest::newRow("multiple, no fourth") << "multiple_answer" << QList<int>{4}
                                         << QList<int>{Qt::Key_D, Qt::Key_E, Qt::Key_4} << "00001";
    QTest::newRow("single, no fourth")
        << "single_answer" << QList<int>{4} << QList<int>{Qt::Key_5, Qt::Key_4} << "00001";
}

void TestExamRoom::keysChooseTheirLetteredChoice() {
    QFETCH(QString, type);
    QFETCH(QList<int>, empty);
    QFETCH(QList<int>, keys);
    QFETCH(QString, marks);
    ExamSession s(app::fullEdition());
    s.addBank(1, 116, [&](testsupport::Question& q) {
        q.questionType = type;
        for (const int n : empty) {
            q.answers[size_t(n - 1)].clear();
        }
    });
    Form211& form = openActive(s);
    const qint64 id = shownId(form);
    for (const int k : keys) {
        key(form, k);
    }
    QCOMPARE(ticked(form), marks);
    // In the file as soon as chosen, without a move.
    std::array<int, 5> stored{};
    for (int n = 0; n < 5; ++n) {
        stored[size_t(n)] = marks[n] == QLatin1Char('1') ? 1 : 0;
    }
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), stored);
    form.CmdNextQ_Click();
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), stored);
    // The keypad's digits choose too.
    form.cmdPrevQ_Click();
    if (type == QLatin1String("single_answer")) {
        key(form, Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(ticked(form), QStringLiteral("10000"));
    }
}

void TestExamRoom::keysReachShowAnswerExhibitAndPause() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116, [](testsupport::Question& q) { q.diagram = QStringLiteral("e.png"); });
    Form211& form = openActive(s);
    for (const char* name : {"Command1", "Picture1", "LblPause", "chkFlag", "cmdReview"}) {
        QVERIFY2(control<QWidget>(form, QLatin1String(name))->toolTip().contains(u"Ctrl") ||
                     QLatin1String(name) == QLatin1String("chkFlag"),
                 name);
    }
    key(form, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(probe::textOf(form, "LblPause"), QStringLiteral("Restart Timer"));
    key(form, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(probe::textOf(form, "LblPause"), QStringLiteral("Pause Timer"));

    key(form, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(s.exhibitWindows, 1);
    form.Show();
    QApplication::setActiveWindow(&form);
    key(form, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(s.answerWindows, 1);
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT id FROM showans")).toLongLong(), shownId(form));
    form.Show();
}

void TestExamRoom::reviewListsFiltersAndGoes() {
    ExamSession s(app::fullEdition());
    addSingles(s, 116);
    Form211& form = openActive(s);
    const QList<qint64> drawn = s.drawOrder();
    key(form, Qt::Key_A);  // question 1 answered
    form.CmdNextQ_Click();
    key(form, Qt::Key_F);  // question 2 flagged, unanswered
    form.CmdNextQ_Click();
    key(form, Qt::Key_C);  // question 3 answered and flagged, its marks not yet written
    key(form, Qt::Key_F);

    key(form, Qt::Key_R, Qt::ControlModifier);
    exam::ReviewScreen* review = reviewOf(form);
    QVERIFY(review && review->isVisible());
    QCOMPARE(probe::textOf(*review, "lblSummary"),
             QStringLiteral("116 questions: 114 unanswered, 2 flagged."));
    const QStringList all = reviewRows(form);
    QCOMPARE(all.size(), 116);
    QCOMPARE(all.mid(0, 4), (QStringList{"1|Answered|", "2|Unanswered|Flagged",
                                         "3|Answered|Flagged", "4|Unanswered|"}));
    auto* list = control<QTreeView>(*review, QStringLiteral("lstQuestions"));
    QCOMPARE(list->currentIndex().row(), 2);
    QCOMPARE(probe::textOf(*review, "lblPosition"), QStringLiteral("Question 3 of 116"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(probe::textOf(*review, "lblPosition"), QStringLiteral("Question 4 of 116"));
    QCOMPARE(list->accessibleDescription(), QStringLiteral("Question 4 of 116"));

    control<QAbstractButton>(*review, QStringLiteral("optFlagged"))->click();
    QCOMPARE(reviewRows(form), (QStringList{"2|Unanswered|Flagged", "3|Answered|Flagged"}));
    QCOMPARE(probe::textOf(*review, "lblPosition"), QStringLiteral("Question 2 of 116"));
    control<QAbstractButton>(*review, QStringLiteral("optUnanswered"))->click();
    QCOMPARE(reviewRows(form).size(), 114);
    QCOMPARE(reviewRows(form).first(), QStringLiteral("2|Unanswered|Flagged"));

    // Enter on the chosen row goes there and closes the list; the marks left are written.
    list->setCurrentIndex(list->model()->index(1, 0));  // question 4
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!review->isVisible());
    QCOMPARE(ExamSettings.QuestionNo, 4);
    QCOMPARE(shownId(form), drawn.at(3));
    QCOMPARE(probe::textOf(form, "LblRec_Count"), QStringLiteral("4 of 116"));
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), drawn.at(2)),
             (std::array<int, 5>{0, 0, 1, 0, 0}));
    QCOMPARE(
        s.db.scalar(QStringLiteral("SELECT flags || '/' || position FROM tblAttempt")).toString(),
        QStringLiteral("2 3/4"));

    // A double click chooses too, and the list opens on the question on screen.
    form.cmdReview_Click();
    QCOMPARE(list->currentIndex().row(), 3);
    const QModelIndex last = list->model()->index(115, 0);
    list->scrollTo(last);
    QApplication::processEvents();  // the scroll is laid out before the click finds the row
    QVERIFY(list->viewport()->rect().contains(list->visualRect(last).center()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
    QCOMPARE(ExamSettings.QuestionNo, 116);
    QVERIFY(!control<QWidget>(form, QStringLiteral("CmdNextQ"))->isEnabled());
    QVERIFY(control<QWidget>(form, QStringLiteral("cmdPrevQ"))->isEnabled());

    // Escape closes it where it is.
    form.cmdReview_Click();
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!review->isVisible());
    QCOMPARE(ExamSettings.QuestionNo, 116);
}

void TestExamRoom::reviewKeepsTheClockAndClosesAtTimeOut_data() {
    QTest::addColumn<bool>("demo");
    QTest::newRow("full") << false;
    QTest::newRow("demo") << true;
}

void TestExamRoom::reviewKeepsTheClockAndClosesAtTimeOut() {
    QFETCH(bool, demo);
    const app::Edition& edition = demo ? app::demoEdition() : app::fullEdition();
    ExamSession s(edition);
    addSingles(s, edition.drawCount);
    Form211& form = openActive(s);
    form.cmdReview_Click();
    exam::ReviewScreen* review = reviewOf(form);
    QVERIFY(review->isVisible());
    QVERIFY(form.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    tick(form, 10);
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT elapsed FROM tblAttempt")).toInt(), 10);
    prompts::Script script;
    script.answer(prompts::Answer::Ok);
    tick(form, edition.timeLimitMinutes * 60 - 10);
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!review->isVisible());
    QVERIFY(!form.isVisible());
    // Scored: nothing is left to resume.
    QCOMPARE(s.db.scalar(QStringLiteral("SELECT count(*) FROM tblAttempt")).toInt(), 0);
}

void TestExamRoom::endExamNamesWhatIsLeft() {
    ExamSession s(app::demoEdition());
    addSingles(s, 30);
    Form211& form = openActive(s);
    prompts::Script script;
    script.answer(prompts::Answer::Cancel);
    form.cmdEndExam_Click();

    key(form, Qt::Key_F);
    for (int q = 1; q <= 30; ++q) {
        key(form, Qt::Key_A);
        form.CmdNextQ_Click();
    }
    script.answer(prompts::Answer::Cancel);
    form.cmdEndExam_Click();

    form.goToQuestion(1);
    key(form, Qt::Key_F);
    script.answer(prompts::Answer::Ok);
    form.cmdEndExam_Click();

    QCOMPARE(script.texts(), (QStringList{kConfirm + "\n30 questions are unanswered.",
                                          kConfirm + "\n1 question is flagged.", kConfirm}));
    for (const prompts::Shown& box : script.shown()) {
        QCOMPARE(box.title, QStringLiteral("Confirmation"));
        QCOMPARE(box.buttons, prompts::Buttons::OkCancel);
    }
    QCOMPARE(s.scoreReports, 1);
    QCOMPARE(
        s.db.scalar(QStringLiteral("SELECT count(*) FROM exam1 WHERE correctanswer1 = 1")).toInt(),
        30);
}

QTEST_MAIN(TestExamRoom)
#include "tst_exam_room.moc"
