#include "help/frmabout.h"

#include "app/edition.h"
#include "app/fatal.h"
#include "app/logo.h"
#include "app/prompts.h"
#include "app/window_frame.h"
#include "help/system_info.h"
#include "ui_frmabout.h"

namespace {

// The demo's own captions; the full edition's are in the window's definition.
const QString kDemoTitle = QStringLiteral("Korvane Practice Tests  Demo");
const QString kDemoVersion = QStringLiteral("Version 3.0");
const QString kDemoDescription = QStringLiteral(
    "The Demo Exam contains 30 questions and you have to answer in 30 minutes or less. Full "
    "version contains 3 individual tests with atleast 80 questions each. The practice exams "
    "cover Velistra  Exam Objectives.  ");

}  // namespace

frmAbout::frmAbout() : ui(std::make_unique<Ui::frmAbout>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui->Picture1->setPixmap(app::logo(64));
    QFont title = ui->lblTitle->font();
    title.setPointSizeF(title.pointSizeF() * 1.4);
    title.setBold(true);
    ui->lblTitle->setFont(title);
    if (app::edition().demo) {
        ui->lblTitle->setText(kDemoTitle);
        ui->lblVersion->setText(kDemoVersion);
        ui->lblDescription->setText(kDemoDescription);
    }
    app::onSignal(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    app::onSignal(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::Show() {
    if (!loaded) {
        Form_Load();
        loaded = true;
        ui->cmdOK->setFocus();
    }
    show();
    raise();
    activateWindow();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + prompts::kAppTitle);
    ui->lblVersion->setText(app::versionText());
    ui->lblTitle->setText(prompts::kAppTitle);
}

void frmAbout::Unload() {
    hide();
    loaded = false;
}

void frmAbout::cmdOK_Click() {
    Unload();
}

void frmAbout::cmdSysInfo_Click() {
    help::StartSysInfo(help::keyStore(), help::programStarter());
}

void frmAbout::reject() {
    app::guarded([this] { cmdOK_Click(); });
}
