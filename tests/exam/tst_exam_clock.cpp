#include <QAccessible>
#include <QCloseEvent>
#include <QMessageBox>
#include <QtTest>

#include "app/window_names.h"
#include "exam/clock_warning.h"
#include "exam_session.h"
#include "look/inks.h"
#include "look/look.h"

namespace {

const QString kConfirm = QStringLiteral("Do you really wish to end the test?");
// The question with every question unanswered, and with one answered.
const QString kConfirmUnanswered = kConfirm + QStringLiteral("\n116 questions are unanswered.");
const QString kConfirmOneAnswered = kConfirm + QStringLiteral("\n115 questions are unanswered.");
const QString kDemoTimeOut =
    QStringLiteral("Sorry! You have exceeded the allowed time! Click OK to continue.");

QTimer& clockOf(Form211& form) {
    return *form.findChild<QTimer*>(QStringLiteral("Timer1"));
}

int openMessageBoxes() {
    int boxes = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        boxes += qobject_cast<QMessageBox*>(w) != nullptr && w->isVisible() ? 1 : 0;
    }
    return boxes;
}

// A stand-in for a window opened from the exam, recording whether it was closed.
struct OpenedWindow {
    QWidget widget;
    int unloads = 0;

    void registerAs(const QString& name) {
        flow::registerWindow(name, {[this] { widget.show(); },
                                    [this] {
                                        ++unloads;
                                        widget.hide();
                                    },
                                    [] {}, [this] { return &widget; }});
    }
};

}  // namespace

class TestExamClock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void countsDown_data();
    void countsDown();
    void pauseHoldsTheClock();
    void clockWarnsAtFiveMinutesAndAtOne();
    void endExamAsksFirst_data();
    void endExamAsksFirst();
    void fullTimeOutAsksEverySecondUntilConfirmed();
    void demoTimeOutEndsWithoutAsking();
    void tickBehindOpenPromptOpensNoSecondOne();
    void timeOutClosesAnswerWindowForGood();
    void titleBarCloseAsksToEnd();
};

void TestExamClock::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestExamClock::countsDown_data() {
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("display");
    QTest::newRow("full, first tick") << false << 1 << "01:59:59";
    QTest::newRow("full, one hour") << false << 3600 << "01:00:00";
    QTest::newRow("full, last second") << false << 7199 << "00:00:01";
    QTest::newRow("demo, first tick") << true << 1 << "00:29:59";
    QTest::newRow("demo, last second") << true << 1799 << "00:00:01";
}

void TestExamClock::countsDown() {
    QFETCH(bool, demo);
    QFETCH(int, ticks);
    QFETCH(QString, display);
    const app::Edition& edition = demo ? app::demoEdition() : app::fullEdition();
    ExamSession s(edition);
    s.addBank(1, edition.drawCount);
    prompts::Script script;
    Form211& form = s.open();
    QCOMPARE(ExamSettings.TimeLimitMinutes, 0);
    tick(form, ticks);
    QCOMPARE(probe::textOf(form, "lblClock"), display);
    QCOMPARE(ExamSettings.TimeLimitMinutes, edition.timeLimitMinutes);
    QVERIFY(script.shown().empty());
}

void TestExamClock::pauseHoldsTheClock() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    Form211& form = s.open();
    tick(form, 3600);
    auto* pause = control<QLabel>(form, QStringLiteral("LblPause"));
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), QStringLiteral("Restart Timer"));
    QVERIFY(!clockOf(form).isActive());
    // Paused, the rest of the window works as usual.
    form.CmdNextQ_Click();
    QCOMPARE(ExamSettings.QuestionNo, 2);
    QCOMPARE(probe::textOf(form, "lblClock"), QStringLiteral("01:00:00"));

    QTest::keyClick(pause, Qt::Key_Space);
    QCOMPARE(pause->text(), QStringLiteral("Pause Timer"));
    QVERIFY(clockOf(form).isActive());
    tick(form, 1);
    QCOMPARE(probe::textOf(form, "lblClock"), QStringLiteral("00:59:59"));
}

// At 5 minutes and at 1 minute left the clock turns the look's warning colour and a screen
// reader is told once; nothing opens and nothing takes the focus.
void TestExamClock::clockWarnsAtFiveMinutesAndAtOne() {
    exam::AnnouncementLog log;
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    Form211& form = s.open();
    auto* clock = control<QLabel>(form, QStringLiteral("lblClock"));
    const auto colour = [clock] { return clock->palette().color(QPalette::WindowText); };
    const auto description = [clock] {
        return QAccessible::queryAccessibleInterface(clock)->text(QAccessible::Description);
    };
    const QColor plain = colour();
    prompts::Script script;
    tick(form, 7200 - 301);
    QCOMPARE(clock->text(), QStringLiteral("00:05:01"));
    QCOMPARE(colour(), plain);
    QCOMPARE(description(), QStringLiteral("Time left"));
    tick(form, 1);
    QCOMPARE(colour(), look::ink(look::Ink::Warning));
    QCOMPARE(description(), QStringLiteral("5 minutes left"));
    QCOMPARE(log.heard, QStringList{"lblClock: 5 minutes left"});
    tick(form, 239);
    QCOMPARE(clock->text(), QStringLiteral("00:01:01"));
    QCOMPARE(log.heard.size(), 1);
    tick(form, 1);
    QCOMPARE(description(), QStringLiteral("1 minute left"));
    QCOMPARE(log.heard, (QStringList{"lblClock: 5 minutes left", "lblClock: 1 minute left"}));
    QVERIFY(script.shown().empty());

    // Another look, its own warning colour.
    look::apply(look::Look::HighContrast);
    QCOMPARE(colour(), look::ink(look::Ink::Warning));
    look::apply(look::Look::Standard);
    QCOMPARE(colour(), look::ink(look::Ink::Warning));
    script.answer(prompts::Answer::Ok);
    tick(form, 60);
    QCOMPARE(script.texts(), QStringList{kConfirmUnanswered});
    QCOMPARE(s.scoreReports, 1);
    QCOMPARE(log.heard.size(), 2);
}

void TestExamClock::endExamAsksFirst_data() {
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("cancel, running") << false << false;
    QTest::newRow("cancel, paused") << true << false;
    QTest::newRow("ok") << false << true;
}

void TestExamClock::endExamAsksFirst() {
    QFETCH(bool, paused);
    QFETCH(bool, confirm);
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    Form211& form = s.open();
    if (paused) {
        form.LblPause_Click();
    }
    const qint64 id = shownId(form);
    clickMark(form, QStringLiteral("Option4"));
    prompts::Script script;
    script.answer(confirm ? prompts::Answer::Ok : prompts::Answer::Cancel);
    pressButton(form, "cmdEndExam");

    QCOMPARE(script.texts(), QStringList{kConfirmOneAnswered});
    const prompts::Shown& box = script.shown().front();
    QCOMPARE(box.title, QStringLiteral("Confirmation"));
    QCOMPARE(box.buttons, prompts::Buttons::OkCancel);
    QCOMPARE(box.icon, prompts::Icon::Question);
    QCOMPARE(s.scoreReports, confirm ? 1 : 0);
    QCOMPARE(form.isVisible(), !confirm);
    QCOMPARE(clockOf(form).isActive(), !confirm && !paused);
    // Chosen is written, ended or not.
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{0, 0, 0, 1, 0}));
    QCOMPARE(ExamSettings.QuestionNo, 1);
}

void TestExamClock::fullTimeOutAsksEverySecondUntilConfirmed() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    Form211& form = s.open();
    prompts::Script script;
    script.answer(prompts::Answer::Cancel);
    tick(form, 7200);
    QCOMPARE(probe::textOf(form, "lblClock"), QStringLiteral("00:00:00"));
    QCOMPARE(script.texts(), QStringList{kConfirmUnanswered});
    QVERIFY(form.isVisible());

    script.answer(prompts::Answer::Ok);
    tick(form, 1);
    QCOMPARE(script.texts(), (QStringList{kConfirmUnanswered, kConfirmUnanswered}));
    QCOMPARE(probe::textOf(form, "lblClock"), QStringLiteral("00:00:00"));
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!clockOf(form).isActive());
    // An ended exam is not ended again, whatever still calls into it.
    tick(form, 5);
    form.cmdEndExam_Click();
    QCOMPARE(script.shown().size(), size_t(2));
    QCOMPARE(s.scoreReports, 1);
}

void TestExamClock::demoTimeOutEndsWithoutAsking() {
    ExamSession s(app::demoEdition());
    s.addBank(1, 30);
    Form211& form = s.open();
    clickMark(form, QStringLiteral("Option1"));
    const qint64 id = shownId(form);
    prompts::Script script;
    tick(form, 1799);
    QVERIFY(script.shown().empty());
    tick(form, 1);
    QCOMPARE(script.texts(), QStringList{kDemoTimeOut});
    QCOMPARE(script.shown().front().buttons, prompts::Buttons::OkOnly);
    QCOMPARE(script.shown().front().title, QStringLiteral("Praxilo"));
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!form.isVisible());
    QCOMPARE(s.db.answers(QStringLiteral("exam1"), id), (std::array<int, 5>{1, 0, 0, 0, 0}));
    tick(form, 3);
    QCOMPARE(script.shown().size(), size_t(1));
}

// Real message boxes: ticks keep arriving while one waits for the candidate. The usual test
// environment answers every prompt at once, so this one sets the process up by hand.
void TestExamClock::tickBehindOpenPromptOpensNoSecondOne() {
    for (bool demo : {false, true}) {
        const app::Edition& edition = demo ? app::demoEdition() : app::fullEdition();
        testsupport::FixtureDatabase db(edition.databaseFile);
        app::setEdition(edition);
        resetExamSettings();
        ExamSettings.ActiveExam = 1;
        ExamSettings.QuestionsPerExam = edition.questionsPerExam;
        app::setEnding([](int) {});
        flow::clearWindows();
        int scoreReports = 0;
        flow::registerWindow(win::ScoreSheet, AppTestEnv::fakeWindow([&] { ++scoreReports; }));
        for (int id = 1; id <= edition.drawCount; ++id) {
            testsupport::Question q;
            q.id = id;
            db.addQuestion(1, q);
        }
        Form211 form;
        form.Show();
        tick(form, edition.timeLimitMinutes * 60 - 1);

        int most = 0;
        int ticksBehind = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            most = std::max(most, openMessageBoxes());
            if (ticksBehind < 4) {
                ++ticksBehind;
                form.Timer1_Timer();
            }
        });
        // Escape: Cancel on the confirmation, OK on the demo's notice.
        QTimer closer;
        closer.setSingleShot(true);
        connect(&closer, &QTimer::timeout, this, [&] {
            most = std::max(most, openMessageBoxes());
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    box->reject();
                }
            }
        });
        ticker.start(5);
        closer.start(300);
        form.Timer1_Timer();
        ticker.stop();
        form.Unload();
        flow::clearWindows();
        app::resetEnding();
        app::setEdition(app::fullEdition());

        QCOMPARE(ticksBehind, 4);
        QCOMPARE(most, 1);
        QCOMPARE(scoreReports, demo ? 1 : 0);
    }
}

void TestExamClock::timeOutClosesAnswerWindowForGood() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    OpenedWindow answer;
    answer.registerAs(win::Answer);
    Form211& form = s.open();
    form.Command1_Click();
    QVERIFY(answer.widget.isVisible() && !form.isVisible());

    prompts::Script script;
    script.answer(prompts::Answer::Ok);
    tick(form, 7200);
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!answer.widget.isVisible());
    QCOMPARE(answer.unloads, 1);

    // Should the answer window still lead back, the ended exam neither returns nor restarts.
    const QList<qint64> drawn = s.drawOrder();
    flow::open(win::Exam);
    QVERIFY(!form.isVisible());
    QCOMPARE(s.scoreReports, 2);
    QCOMPARE(ExamSettings.QuestionNo, 1);
    QCOMPARE(s.drawOrder(), drawn);
}

void TestExamClock::titleBarCloseAsksToEnd() {
    ExamSession s(app::fullEdition());
    s.addBank(1, 116);
    Form211& form = s.open();
    prompts::Script script;
    script.answer(prompts::Answer::Cancel);
    QVERIFY(!form.close());
    QVERIFY(form.isVisible());
    script.answer(prompts::Answer::Ok);
    form.close();
    QCOMPARE(script.texts(), (QStringList{kConfirmUnanswered, kConfirmUnanswered}));
    QCOMPARE(s.scoreReports, 1);
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestExamClock)
#include "tst_exam_clock.moc"
