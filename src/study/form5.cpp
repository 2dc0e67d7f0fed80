#include "study/form5.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

#include "app/clock_display.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/data_source.h"
#include "examdb/statements.h"
#include "look/inks.h"
#include "study/key_binding.h"
#include "study/window_look.h"
#include "ui_form5.h"

Form5::Form5()
    : ui(std::make_unique<Ui::Form5>()),
      Data1(new examdb::DataSource(this)),
      Timer1(new QTimer(this)) {
    ui->setupUi(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    app::useReportBackground(*this);
    const app::Edition& edition = app::edition();
    if (edition.demo) {
        setWindowTitle(QStringLiteral("Show Answer!"));
        ui->lblID->setText(QStringLiteral("ID"));
    }
    Check = {ui->Check1, ui->Check2, ui->Check3, ui->Check4, ui->Check5};
    for (QCheckBox* mark : Check) {
        study::makeDisplayOnly(*mark);
    }
    const std::array<QPlainTextEdit*, 6> texts = {ui->Text2_0, ui->Text2_2, ui->Text2_3,
                                                  ui->Text2_4, ui->Text2_5, ui->Text2_6};
    for (QPlainTextEdit* text : texts) {
        study::useFixedPitch(*text);
    }
    study::readAloudAndZoom(*ui->Text2_0, ui->Text3,
                            {{answerBox(1), {ui->Check1}},
                             {answerBox(2), {ui->Check2}},
                             {answerBox(3), {ui->Check3}},
                             {answerBox(4), {ui->Check4}},
                             {answerBox(5), {ui->Check5}}});
    ui->lblClock->setAccessibleDescription(QStringLiteral("Time left"));
    ui->lblID->setBuddy(ui->Text2_1);
    look::paintGround(*ui->Text2_1, look::Ground::IdBox);
    look::paintText(*ui->Label2, look::Ink::Notice);

    study::bindKeyRow(*Data1, QStringLiteral("Data1"), QStringLiteral("sql"),
                      {ui->Text2_0,
                       {answerBox(1), answerBox(2), answerBox(3), answerBox(4), answerBox(5)},
                       Check,
                       ui->Text3});
    Data1->bind(ui->Text2_1, QStringLiteral("ID"));

    connect(ui->Text2_1, &QLineEdit::textChanged, this,
            [this] { app::guarded([this] { Text2_Change(1); }); });
    const std::array<std::pair<QPlainTextEdit*, int>, 6> indexed = {{{ui->Text2_0, 0},
                                                                     {ui->Text2_2, 2},
                                                                     {ui->Text2_3, 3},
                                                                     {ui->Text2_4, 4},
                                                                     {ui->Text2_5, 5},
                                                                     {ui->Text2_6, 6}}};
    for (const auto& [text, index] : indexed) {
        connect(text, &QPlainTextEdit::textChanged, this,
                [this, index] { app::guarded([this, index] { Text2_Change(index); }); });
    }
    app::onSignal(ui->cmdEnd, &QPushButton::clicked, this, &Form5::cmdEnd_Click);
    app::onSignal(Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
}

Form5::~Form5() = default;

QPlainTextEdit* Form5::answerBox(int n) const {
    const std::array<QPlainTextEdit*, 5> boxes = {ui->Text2_2, ui->Text2_3, ui->Text2_4,
                                                  ui->Text2_5, ui->Text2_6};
    return boxes[size_t(n - 1)];
}

void Form5::Show() {
    if (!loaded) {
        Form_Load();
        loaded = true;
    }
    app::showMaximizedOnScreen(*this);
    ui->cmdEnd->setFocus();
}

void Form5::Form_Load() {
    Timer1->setInterval(1000);
    // A reloaded window starts from its design texts; only the count itself carries over.
    ui->lblClock->setText(app::kClockDesignText);
    Data1->setRecordSource(examdb::statements::a1(bankExam()));
    Text2_Change(0);
    Data1->refresh();
    Timer1->start();
}

void Form5::Text2_Change(int) {
    QPlainTextEdit* fifth = answerBox(5);
    const bool hasFifth = !fifth->toPlainText().isEmpty();
    fifth->setVisible(hasFifth);
    ui->Check5->setVisible(hasFifth);
    study::fitAnswerRows(*ui->answerRows, 1);
}

void Form5::cmdEnd_Click() {
    Unload();
    // Without its opener to go back to, the menu stands in, so some window is always up.
    if (!flow::returnFrom(win::Answer)) {
        flow::showMainMenu();
    }
    if (!app::edition().demo) {
        forms::discard<Form5>();
    }
}

void Form5::Timer1_Timer() {
    ++AnswerElapsedSeconds;
    ui->lblClock->setText(app::clockText(AnswerElapsedSeconds));
}

void Form5::Unload() {
    hide();
    Timer1->stop();
    Data1->close();
    loaded = false;
}

// Escape, like a title-bar close, is the way back.
void Form5::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        ui->cmdEnd->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form5::closeEvent(QCloseEvent* event) {
    app::routeTitleBarClose(event, [this] { cmdEnd_Click(); });
}
