#include "start/form1.h"

#include <QCloseEvent>
#include <QMenu>
#include <QPalette>
#include <QTimer>
#include <QVBoxLayout>

#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/error.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "session/exam_session.h"
#include "standing/due_review.h"
#include "standing/standing_panel.h"
#include "ui_form1.h"

namespace {

// Both programs once kept one name between them. It becomes this edition's only when this
// edition's history holds an attempt under it: otherwise it may have been typed in the other
// program, and this edition starts from its own pre-filled name.
void adoptSharedName() {
    const std::optional<QString> shared = app::sharedCandidateName();
    history::HistoryStore* store = shared ? history::store() : nullptr;
    if (!store) {
        return;
    }
    const QString edition = app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full");
    bool usedHere = false;
    try {
        for (const history::AttemptRecord& a : store->attempts(*shared)) {
            // An empty name asks for every name's attempts.
            usedHere = usedHere || (a.edition == edition && a.candidate == *shared);
        }
    } catch (const examdb::Error&) {
        return;  // asked again next time
    }
    app::rememberCandidateName(usedHere ? *shared : app::edition().nameDefault);
}

}  // namespace

Form1::Form1() : ui(std::make_unique<Ui::Form1>()) {
    ui->setupUi(this);
    // This platform has no desktop colour of its own; a calm slate stands in for it.
    // A palette, not a style sheet: a style sheet costs about 0.4 MiB and some milliseconds at
    // start-up for this one colour.
    QPalette slate = ui->centralwidget->palette();
    slate.setColor(QPalette::Window, QColor(0x3a, 0x5f, 0x7d));
    ui->centralwidget->setPalette(slate);
    ui->centralwidget->setAutoFillBackground(true);
    if (app::edition().demo) {
        applyDemoMenu();
    }
    addStanding();

    app::onSignal(ui->mnuExamsub1, &QAction::triggered, this, &Form1::mnuExamsub1_Click);
    app::onSignal(ui->mnuExamsub2, &QAction::triggered, this, &Form1::mnuExamsub2_Click);
    app::onSignal(ui->mnuExamsub3, &QAction::triggered, this, &Form1::mnuExamsub3_Click);
    app::onSignal(ui->mnuCustomExam, &QAction::triggered, this, &Form1::mnuCustomExam_Click);
    app::onSignal(ui->mnuFileSubExit, &QAction::triggered, this, &Form1::mnuFileSubExit_Click);
    app::onSignal(ui->menuFileSubExam1, &QAction::triggered, this, &Form1::menuFileSubExam1_Click);
    app::onSignal(ui->menuFileSubExam2, &QAction::triggered, this, &Form1::menuFileSubExam2_Click);
    app::onSignal(ui->menuFileSubExam3, &QAction::triggered, this, &Form1::menuFileSubExam3_Click);
    app::onSignal(ui->mnuProgress, &QAction::triggered, this, &Form1::mnuProgress_Click);
    app::onSignal(ui->mnuHelpsubNavigate, &QAction::triggered, this,
                  &Form1::mnuHelpsubNavigate_Click);
    app::onSignal(ui->mnuHelpSubCer, &QAction::triggered, this, &Form1::mnuHelpSubCer_Click);
    app::onSignal(ui->mnuhelpsubmnureadme, &QAction::triggered, this,
                  &Form1::mnuhelpsubmnureadme_Click);
    app::onSignal(ui->mnuhelpsubmnuorder, &QAction::triggered, this,
                  &Form1::mnuhelpsubmnuorder_Click);
    app::onSignal(ui->mnuHelpsubCertification, &QAction::triggered, this,
                  &Form1::mnuHelpsubCertification_Click);
    app::onSignal(ui->mnuHelpKeys, &QAction::triggered, this, &Form1::mnuHelpKeys_Click);
}

Form1::~Form1() = default;

void Form1::Show() {
    // The history is read once the window is up: start-up waits for nothing of it.
    QTimer::singleShot(0, this, &Form1::refreshStanding);
    if (!shownBefore_) {
        shownBefore_ = true;
        app::showMaximizedOnScreen(*this);
        return;
    }
    show();
    raise();
    activateWindow();
}

void Form1::addStanding() {
    dueQuestions_ = new QAction(standing::dueMenuText(std::nullopt), this);
    dueQuestions_->setObjectName(QStringLiteral("mnuDueQuestions"));
    dueQuestions_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    ui->mnuFile->addAction(dueQuestions_);
    app::onSignal(dueQuestions_, &QAction::triggered, this, &Form1::mnuDueQuestions_Click);
    // The count is read as the menu opens, so it is never stale.
    connect(ui->mnuFile, &QMenu::aboutToShow, this, [this] {
        dueQuestions_->setText(standing::dueMenuText(standing::dueNow(app::lastCandidateName())));
    });

    standing_ = new standing::StandingPanel(ui->centralwidget);
    auto* layout = new QVBoxLayout(ui->centralwidget);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(standing_);
    layout->addStretch();
    connect(standing_, &standing::StandingPanel::linkActivated, this,
            [this](const QString& target) {
                if (target == u"due") {
                    mnuDueQuestions_Click();
                } else {
                    mnuProgress_Click();
                }
            });
}

void Form1::refreshStanding() {
    if (!isVisible()) {
        return;
    }
    adoptSharedName();
    dueQuestions_->setText(standing::dueMenuText(standing::dueNow(app::lastCandidateName())));
    standing_->refresh();
}

void Form1::applyDemoMenu() {
    ui->mnuExamsub1->setText(QStringLiteral("Korvane &Exam #1 Demo"));
    ui->menuFileSubExam1->setText(QStringLiteral("&Review Exam #1 Demo"));
    for (QAction* unavailable :
         {ui->mnuExamsub2, ui->mnuExamsub3, ui->menuFileSubExam2, ui->menuFileSubExam3}) {
        unavailable->setEnabled(false);
    }
    // The ordering entry leaves the Help menu and stands on the menu bar itself.
    ui->mnuhelp->removeAction(ui->mnuhelpsubmnuorder);
    ui->mnuhelpsubmnuorder->setText(QStringLiteral("&Order Full Version"));
    ui->menubar->addAction(ui->mnuhelpsubmnuorder);
}

void Form1::startExam(qint16 exam) {
    if (examUnderWay()) {
        return;
    }
    const app::Edition& e = app::edition();
    ExamSettings.ActiveExam = exam;
    ExamSettings.CandidateName =
        prompts::InputBox(e.namePrompt, QStringLiteral("Name"), e.nameDefault);
    app::rememberCandidateName(ExamSettings.CandidateName);
    flow::open(win::Intro);
}

void Form1::studyExam(qint16 exam) {
    if (examUnderWay()) {
        return;
    }
    // An exam begun but not started gives way: its intro and notice go, so their buttons
    // cannot start an exam from behind the study window.
    flow::hide(win::Intro);
    flow::hide(win::Notice);
    ExamSettings.ActiveExam = exam;
    session::active().study(bankExam());
    // Hide only once the study window is really there: the menu must never vanish alone.
    if (flow::open(win::Study)) {
        hide();
    } else {
        session::active().leaveStudy();
    }
}

void Form1::mnuExamsub1_Click() {
    startExam(1);
}
void Form1::mnuExamsub2_Click() {
    startExam(2);
}
void Form1::mnuExamsub3_Click() {
    startExam(3);
}

void Form1::mnuCustomExam_Click() {
    if (examUnderWay()) {
        return;
    }
    adoptSharedName();
    flow::open(win::CustomExam);
}

void Form1::mnuProgress_Click() {
    if (examUnderWay()) {
        return;
    }
    flow::open(win::Progress);
}

void Form1::mnuDueQuestions_Click() {
    if (examUnderWay()) {
        return;
    }
    standing::startDueReview(app::lastCandidateName());
}

void Form1::menuFileSubExam1_Click() {
    studyExam(11);
}
void Form1::menuFileSubExam2_Click() {
    studyExam(22);
}
void Form1::menuFileSubExam3_Click() {
    studyExam(33);
}

void Form1::mnuHelpsubNavigate_Click() {
    flow::open(win::HelpNavigation);
}
void Form1::mnuHelpSubCer_Click() {
    flow::open(win::HelpCertification);
}
void Form1::mnuhelpsubmnureadme_Click() {
    flow::open(win::HelpReadMe);
}
void Form1::mnuhelpsubmnuorder_Click() {
    flow::open(win::HelpOrdering);
}
void Form1::mnuHelpsubCertification_Click() {
    flow::open(win::About);
}
void Form1::mnuHelpKeys_Click() {
    flow::open(win::HelpKeys);
}

void Form1::mnuFileSubExit_Click() {
    const prompts::Answer answer =
        prompts::MsgBox(QStringLiteral("Do you really want to Quit?"), prompts::Buttons::YesNo,
                        prompts::Icon::Exclamation);
    if (answer == prompts::Answer::Yes) {
        app::endProgram(0);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // The same question as Exit: the program never runs on unseen.
    app::routeTitleBarClose(event, [this] { mnuFileSubExit_Click(); });
}
