#include "start/dialog.h"

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "ui_dialog.h"

Dialog::Dialog() : ui(std::make_unique<Ui::Dialog>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui->Label1->setText(app::edition().noticeText);
    app::onSignal(ui->OKButton, &QPushButton::clicked, this, &Dialog::OKButton_Click);
    app::onSignal(ui->CancelButton, &QPushButton::clicked, this, &Dialog::CancelButton_Click);
}

Dialog::~Dialog() = default;

void Dialog::Show() {
    show();
    raise();
    activateWindow();
}

void Dialog::OKButton_Click() {
    // Only an exam the menu started: a study choice made behind the notice starts nothing.
    if (!isTakingExam() || (app::edition().demo && ExamSettings.ActiveExam != 1)) {
        return;
    }
    beginExam();
    // Without an exam window to go to, nothing is hidden: the menu must stay reachable.
    if (!flow::open(win::Exam)) {
        endExam();
        return;
    }
    flow::hide(win::Intro);
    flow::hide(win::MainMenu);
    hide();
}

void Dialog::CancelButton_Click() {
    // The notice closes too: left open, its OK would start an exam from behind the menu.
    hide();
    flow::showMainMenu();
}

void Dialog::reject() {
    app::guarded([this] { CancelButton_Click(); });
}
