#include "study/form2c.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "study/exhibit_picture.h"
#include "study/window_look.h"
#include "ui_form2c.h"

namespace {

bool anyOtherWindowVisible(const QWidget* self) {
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w != self && w->isVisible()) {
            return true;
        }
    }
    return false;
}

}  // namespace

Form2C::Form2C() : ui(std::make_unique<Ui::Form2C>()) {
    ui->setupUi(this);
    if (app::edition().demo) {
        setWindowTitle(QStringLiteral("Image"));
        app::useReportBackground(*this);
        ui->Picture1->setBackground(QColor(192, 192, 192));
        // The demo reads its picture once, when the window is made.
        showPicture();
    }
    app::onSignal(ui->Command1, &QPushButton::clicked, this, &Form2C::Command1_Click);
}

Form2C::~Form2C() = default;

void Form2C::Show() {
    if (!loaded) {
        Form_Load();
        loaded = true;
    }
    if (ExamSettings.CurrentExhibit != requestedName) {
        // Opened again for another question while still up (the demo's openers stay usable):
        // the picture on show must be the one asked for now.
        showPicture();
    }
    app::showMaximizedOnScreen(*this);
    ui->Command1->setFocus();
    reportProblem();
}

void Form2C::Form_Load() {
    if (!app::edition().demo) {
        showPicture();
    }
}

void Form2C::showPicture() {
    requestedName = ExamSettings.CurrentExhibit;
    study::ExhibitPicture read = study::readExhibit(requestedName);
    problem = read.problem;
    shownName = read.ok() ? requestedName : QString();
    ui->Picture1->setPicture(std::move(read.image));
}

void Form2C::reportProblem() {
    if (problem.isEmpty()) {
        return;
    }
    const QString why = std::exchange(problem, QString());
    prompts::MsgBox(QStringLiteral("The exhibit \"%1\" cannot be shown: %2.\n\n"
                                   "Press Return to go back.")
                        .arg(requestedName, why),
                    prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
}

void Form2C::Command1_Click() {
    if (app::edition().demo) {
        // The demo's openers stay up behind the picture; only if one has gone is it brought
        // back, so the program is never left without a window.
        const bool openerShown = anyOtherWindowVisible(this);
        hide();
        Unload();
        if (!openerShown) {
            showOpener();
        }
        forms::discard<Form2C>();
        return;
    }
    if (!showOpener()) {
        return;  // nothing came up in our place: staying is the only way back
    }
    hide();
    Unload();
}

bool Form2C::showOpener() {
    return flow::returnFrom(win::Exhibit) || flow::showMainMenu();
}

void Form2C::Unload() {
    hide();
    ui->Picture1->setPicture(QImage());
    shownName.clear();
    requestedName.clear();
    problem.clear();
    loaded = false;
}

void Form2C::closeEvent(QCloseEvent* event) {
    app::routeTitleBarClose(event, [this] { Command1_Click(); });
}

void Form2C::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        ui->Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
