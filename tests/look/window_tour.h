#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QImage>
#include <QTest>
#include <functional>

#include "app/window_names.h"
#include "app_test_env.h"
#include "exam/exam_windows.h"
#include "exam/review_screen.h"
#include "fixture_database.h"
#include "help/help_windows.h"
#include "look/keyboard_aids.h"
#include "look/look.h"
#include "progress/progress_windows.h"
#include "results/results_windows.h"
#include "start/form1.h"
#include "study/study_windows.h"

// Every window of an edition, reached the way a candidate reaches it, handed in turn to a
// check: the menu, intro, notice, exam, its review list, answer and exhibit, the score sheet,
// the wrong answers, study, the help windows, About, Progress and the custom exam's settings.
namespace tour {

using Visit = std::function<void(QWidget& window)>;

// Long, varied answers, so names and wrapping are tried on real lengths; every question has
// an exhibit, so its button shows.
inline void fillBank(testsupport::FixtureDatabase& db, int questions) {
    QStringList names;
    for (int i = 0; i < 10; ++i) {
        names << QStringLiteral("Category %1 <b>with markup</b> and ünïcode").arg(i);
    }
    db.addCategories(names);
    db.exec(QStringLiteral("BEGIN"));
    for (int id = 1; id <= questions; ++id) {
        testsupport::Question q;
        q.id = id;
        q.catId = (id - 1) % 10;
        q.catDesc = names[q.catId];
        q.question = QStringLiteral("Question %1: which of these is right?").arg(id);
        for (int c = 0; c < 5; ++c) {
            q.answers[size_t(c)] = QStringLiteral("Answer %1 of question %2, %3")
                                       .arg(QChar(u'A' + c))
                                       .arg(id)
                                       .arg(QString(c * 7, u'x'));
        }
        q.key[size_t(id % 5)] = true;
        q.questionType = id % 2 ? QStringLiteral("single_answer") : QStringLiteral("multiple");
        q.explanation = QStringLiteral("Because the key says so.");
        q.diagram = QStringLiteral("exhibit.png");
        db.addQuestion(1, q);
    }
    db.exec(QStringLiteral("COMMIT"));
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(db.dir() + QStringLiteral("/exhibit.png"));
    db.setTestInformation({QStringLiteral("Practice exam"), QStringLiteral("116"),
                           QStringLiteral("90"), QStringLiteral("750"), QString(), QString()});
}

// QVERIFY2 cuts a long message short; every finding is printed before the test fails.
inline void report(const QStringList& findings) {
    for (const QString& finding : findings) {
        qInfo("%s", qPrintable(finding));
    }
    QVERIFY2(findings.isEmpty(), "see the findings above");
}

inline QWidget& shown(const QString& name) {
    QWidget* window = flow::existing(name);
    if (window == nullptr || !window->isVisible()) {
        qFatal("window %s is not shown", qPrintable(name));
    }
    return *window;
}

inline void press(const QString& window, const char* button) {
    probe::control<QAbstractButton>(shown(window), QLatin1String(button))->click();
}

inline void trigger(const char* action) {
    forms::get<Form1>().findChild<QAction*>(QLatin1String(action))->trigger();
}

// A bank, the start state and every window registered, as the program has them.
struct Setting {
    testsupport::FixtureDatabase db;
    AppTestEnv env;

    explicit Setting(const app::Edition& edition) : db(edition.databaseFile), env(edition) {
        fillBank(db, edition.questionsPerExam);
        look::installKeyboardAids(*qApp);
        exam::registerWindows();
        help::registerWindows();
        progress::registerWindows();
        results::registerWindows();
        study::registerWindows();
    }
};

// Puts the standard look back however the tour ends.
struct LookGuard {
    explicit LookGuard(look::Look l) { look::apply(l); }
    ~LookGuard() { look::apply(look::Look::Standard); }
    LookGuard(const LookGuard&) = delete;
    LookGuard& operator=(const LookGuard&) = delete;
};

// Windows are made under the given look, as a program started with it makes them.
inline void everyWindow(const app::Edition& edition, const Visit& visit,
                        look::Look l = look::Look::Standard) {
    Setting setting(edition);
    LookGuard chosen(l);
    app::Main();
    visit(shown(win::MainMenu));

    trigger("mnuExamsub1");
    visit(shown(win::Intro));
    press(win::Intro, "Command1");
    visit(shown(win::Notice));
    press(win::Notice, "OKButton");
    QWidget& exam = shown(win::Exam);
    visit(exam);
    probe::control<QAbstractButton>(exam, QStringLiteral("Option1"))->click();
    press(win::Exam, "cmdReview");
    auto* review = exam.findChild<exam::ReviewScreen*>();
    visit(*review);
    review->close();
    press(win::Exam, "Command1");
    visit(shown(win::Answer));
    shown(win::Answer).close();
    press(win::Exam, "Picture1");
    visit(shown(win::Exhibit));
    shown(win::Exhibit).close();
    setting.env.prompts.answer(prompts::Answer::Ok);
    press(win::Exam, "cmdEndExam");
    visit(shown(win::ScoreSheet));
    press(win::ScoreSheet, "CmdAnswers");
    visit(shown(win::WrongAnswers));
    press(win::WrongAnswers, "cmdScoreRep");
    press(win::ScoreSheet, "CmdExit");
    probe::settleDeletions();

    trigger("menuFileSubExam1");
    visit(shown(win::Study));
    press(win::Study, "cmdEnd");
    for (const win::Window& window : {win::HelpNavigation, win::HelpCertification, win::HelpReadMe,
                                      win::HelpOrdering, win::About, win::Progress}) {
        flow::open(window);
        visit(shown(window));
        shown(window).close();
    }
    // A practice run, its first answer checked: the verdict and explanation are shown.
    trigger("mnuCustomExam");
    QWidget& custom = shown(win::CustomExam);
    visit(custom);
    probe::control<QAbstractButton>(custom, QStringLiteral("optPractice"))->click();
    press(win::CustomExam, "cmdOK");
    QWidget& practice = shown(win::Exam);
    probe::control<QAbstractButton>(practice, QStringLiteral("Option1"))->click();
    press(win::Exam, "cmdCheck");
    visit(practice);
    setting.env.prompts.answer(prompts::Answer::Ok);
    press(win::Exam, "cmdEndExam");
    press(win::ScoreSheet, "CmdExit");
    probe::settleDeletions();
}

}  // namespace tour
