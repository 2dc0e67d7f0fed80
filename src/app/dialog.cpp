#include "app/dialog.h"

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/form1.h"
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/window_flow.h"
#include "ui_dialog.h"

Dialog::Dialog() : ui(std::make_unique<Ui::Dialog>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui->Label1->setText(app::edition().noticeText);
    connect(ui->OKButton, &QPushButton::clicked, this,
            [this] { app::guarded([this] { OKButton_Click(); }); });
    connect(ui->CancelButton, &QPushButton::clicked, this,
            [this] { app::guarded([this] { CancelButton_Click(); }); });
}

Dialog::~Dialog() = default;

void Dialog::Show() {
    show();
    raise();
    activateWindow();
}

void Dialog::OKButton_Click() {
    if (app::edition().demo && ExamSettings.ActiveExam != 1) {
        return;
    }
    // Without an exam window to go to, nothing is hidden: the menu must stay reachable.
    if (!flow::open(QStringLiteral("Form211"))) {
        return;
    }
    if (frmSplash* intro = forms::existing<frmSplash>()) {
        intro->hide();
    }
    forms::get<Form1>().hide();
    hide();
}

void Dialog::CancelButton_Click() {
    // The notice closes too: left open, its OK would start an exam from behind the menu.
    hide();
    forms::get<Form1>().Show();
}

void Dialog::reject() {
    app::guarded([this] { CancelButton_Click(); });
}
