// The review queue through the real windows: an exam's answers become cards, the cards fall
// due, the menu and its panel say so, a due run tries each again and reschedules it, and the
// missed questions of an attempt are tried from the Progress window and end there.
#include <QMenu>
#include <QtTest>

#include "app/custom_exam.h"
#include "app_test_env.h"
#include "exam/form211.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "program_windows.h"
#include "progress/progress_window.h"
#include "progress/progress_windows.h"
#include "review/card_store.h"
#include "review/fsrs.h"
#include "standing/readiness_line.h"
#include "standing/standing_panel.h"
#include "whole_exam_steps.h"

namespace {

constexpr qint64 kDay = 86400;

struct Card {
    qint64 question = 0;
    double stability = 0;
    double difficulty = 0;
    qint64 lastReview = 0;
    qint64 due = 0;
    int reviews = 0;
    int lapses = 0;
};

std::vector<Card> cards() {
    std::vector<Card> all;
    history::store()->read([&](sqlite3* db) {
        examdb::Statement read(db,
                               QStringLiteral("SELECT question_id, stability, difficulty, "
                                              "last_review, due, reviews, lapses FROM review_card "
                                              "ORDER BY question_id"),
                               QString());
        while (read.step()) {
            all.push_back({read.integer(0), read.value(1).toDouble(), read.value(2).toDouble(),
                           read.integer(3), read.integer(4), int(read.integer(5)),
                           int(read.integer(6))});
        }
    });
    return all;
}

// As if `days` had passed since every card was last seen.
void age(double days) {
    history::store()->change([days](sqlite3* db) {
        const QByteArray sql = QByteArrayLiteral(
                                   "UPDATE review_card SET last_review = "
                                   "last_review - ") +
                               QByteArray::number(qint64(days * kDay)) +
                               QByteArrayLiteral(", due = due - ") +
                               QByteArray::number(qint64(days * kDay));
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    });
}

QString dueMenuText() {
    auto& menu = forms::get<Form1>();
    auto* review = menu.findChild<QMenu*>(QStringLiteral("mnuFile"));
    Q_EMIT review->aboutToShow();
    return menu.findChild<QAction*>(QStringLiteral("mnuDueQuestions"))->text();
}

// As the menu says when it is shown again.
QStringList panelLines() {
    forms::get<Form1>().Show();
    QCoreApplication::processEvents();
    return forms::get<Form1>().findChild<standing::StandingPanel*>()->lines();
}

void endExam(AppTestEnv& env) {
    env.prompts.answer(prompts::Answer::Ok);
    click(win::Exam, "cmdEndExam");
    QVERIFY(flow::existing(win::ScoreSheet)->isVisible());
}

qint64 shownQuestion() {
    return control<QLineEdit>(win::Exam, "Text1")->text().toLongLong();
}

}  // namespace

class TestDueReview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anExamsMissesComeBackWhenDue();
    void missedQuestionsFromProgressEndThere();
};

// 116 questions in four categories, 100 answered right: 116 cards, the 16 lapses due a day on.
void TestDueReview::anExamsMissesComeBackWhenDue() {
    FixtureDatabase db;
    fillBank(db, 1, 120, 4);
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    app::Main();
    QVERIFY(panelLines().isEmpty());  // a first start says nothing
    QCOMPARE(dueMenuText(), QStringLiteral("Due &Questions..."));

    startExam("mnuExamsub1");
    answerAll(db, 1, 116, 100);
    endExam(env);
    const QString readiness = control<QLabel>(win::ScoreSheet, "lblReadiness")->text();
    QVERIFY2(readiness.startsWith(u"Estimated chance to pass Exam #1: ") &&
                 readiness.endsWith(u" (from 1 attempt; 116 first answers)"),
             qPrintable(readiness));
    click(win::ScoreSheet, "CmdExit");

    const std::vector<Card> made = cards();
    QCOMPARE(made.size(), size_t(116));
    const review::Fsrs fsrs;
    int lapsed = 0;
    for (const Card& c : made) {
        QCOMPARE(c.reviews, 1);
        lapsed += c.lapses;
        // Every answer took no time, under a third of the average: right ones are easy.
        const review::MemoryState first =
            fsrs.first(c.lapses ? review::Grade::Again : review::Grade::Easy);
        QCOMPARE(c.stability, first.stability);
        QCOMPARE(c.due - c.lastReview, fsrs.intervalDays(first.stability) * kDay);
    }
    QCOMPARE(lapsed, 16);
    QVERIFY(dueMenuText().startsWith(u"Due &Questions (next "));
    const QStringList lines = panelLines();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].startsWith(u"Last attempt: Exam #1 by ") &&
                 lines[0].endsWith(u": 862/1000, passed"),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].startsWith(u"No questions due; the next is due "), qPrintable(lines[1]));
    QCOMPARE(lines[2], readiness);
    // The keyboard starts at the first line and Tab goes on to the next.
    auto* panel = forms::get<Form1>().findChild<standing::StandingPanel*>();
    QCOMPARE(QApplication::focusWidget(),
             panel->findChild<QWidget*>(QStringLiteral("cmdLastAttempt")));

    age(1.5);
    QCOMPARE(dueMenuText(), QStringLiteral("Due &Questions (16)..."));
    QCOMPARE(panelLines()[1], QStringLiteral("Questions due for review: 16"));
    // A question the bank has lost since is left out of the run; its card stays.
    const qint64 gone =
        std::find_if(made.begin(), made.end(), [](const Card& c) { return c.lapses; })->question;
    db.exec(QStringLiteral("DELETE FROM exam1 WHERE ID = %1").arg(gone));
    db.exec(QStringLiteral("DELETE FROM exam11 WHERE ID = %1").arg(gone));
    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuDueQuestions"))->trigger();
    auto& run = forms::get<Form211>();
    QVERIFY(run.isVisible());
    QCOMPARE(app::customExam()->ids.size(), size_t(15));
    // The first is tried right, checked, and goes on a longer interval by the model's rule.
    const qint64 first = shownQuestion();
    const Card before =
        *std::find_if(made.begin(), made.end(), [&](const Card& c) { return c.question == first; });
    answerShownQuestion(db, 1, true);
    click(win::Exam, "cmdCheck");
    const std::vector<Card> after = cards();
    const Card now = *std::find_if(after.begin(), after.end(),
                                   [&](const Card& c) { return c.question == first; });
    QCOMPARE(now.reviews, 2);
    const review::MemoryState expected =
        fsrs.next({before.stability, before.difficulty},
                  double(QDateTime::fromSecsSinceEpoch(before.lastReview - qint64(1.5 * kDay))
                             .date()
                             .daysTo(QDate::currentDate())),
                  review::Grade::Easy);
    QCOMPARE(now.stability, expected.stability);
    QVERIFY(now.due > QDateTime::currentSecsSinceEpoch() + kDay / 2);
    endExam(env);
    click(win::ScoreSheet, "CmdExit");
    QCOMPARE(dueMenuText(), QStringLiteral("Due &Questions (15)..."));
    QCOMPARE(cards().size(), size_t(116));

    // An exam table emptied since: no figure, and nothing named that is not there.
    db.exec(QStringLiteral("DELETE FROM exam1"));
    const std::optional<standing::ExamReadiness> empty =
        standing::readinessFor(app::lastCandidateName(), 1);
    QVERIFY(empty && !empty->figures.enough);
    QCOMPARE(standing::readinessLine(*empty),
             QStringLiteral("Not enough answers yet to estimate Exam #1."));
    QCOMPARE(env.endings, 0);
}

void TestDueReview::missedQuestionsFromProgressEndThere() {
    FixtureDatabase db;
    fillBank(db, 1, 120, 4);
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    progress::registerWindows();  // linked in, not loaded from the programs' module
    app::Main();
    startExam("mnuExamsub1");
    answerAll(db, 1, 116, 110);
    endExam(env);
    click(win::ScoreSheet, "CmdExit");

    forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuProgress"))->trigger();
    auto& progress = forms::get<progress::ProgressWindow>();
    QVERIFY(progress.isVisible());
    QVERIFY(control<QLabel>(win::Progress, "lblReadiness")
                ->text()
                .contains(u"; a new draw would likely score "));
    progress.cmdStudyMissed_Click();
    QVERIFY(!progress.isVisible());
    QCOMPARE(app::customExam()->ids.size(), size_t(6));
    QVERIFY(std::is_sorted(app::customExam()->ids.begin(), app::customExam()->ids.end()));
    answerShownQuestion(db, 1, false);
    click(win::Exam, "cmdCheck");
    endExam(env);
    click(win::ScoreSheet, "CmdExit");
    QVERIFY(progress.isVisible());
    QCOMPARE(env.endings, 0);
}

QTEST_MAIN(TestDueReview)
#include "tst_due_review.moc"
