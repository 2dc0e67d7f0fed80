#include "study/form11.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "app/clock_display.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/data_source.h"
#include "examdb/statements.h"
#include "look/text_zoom.h"
#include "session/exam_session.h"
#include "study/key_binding.h"
#include "study/window_look.h"
#include "ui_form11.h"

namespace {

// Answer N is shown in Text2 box 1, 2, 4, 5, 3.
constexpr std::array<int, 5> kAnswerBox = {1, 2, 4, 5, 3};

}  // namespace

Form11::Form11()
    : ui(std::make_unique<Ui::Form11>()),
      iis(new examdb::DataSource(this)),
      Timer1(new QTimer(this)) {
    ui->setupUi(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    app::useReportBackground(*this);
    Text2 = {ui->Text2_0, ui->Text2_1, ui->Text2_2, ui->Text2_3, ui->Text2_4, ui->Text2_5};
    Option = {ui->Option1, ui->Option2, ui->Option3, ui->Option4, ui->Option5};
    Check = {ui->Check1, ui->Check2, ui->Check3, ui->Check4, ui->Check5};
    for (QPlainTextEdit* text : Text2) {
        study::useFixedPitch(*text);
    }
    study::readAloudAndZoom(*ui->Text2_0, ui->Text3,
                            {{answerBox(1), {ui->Option1, ui->Check1}},
                             {answerBox(2), {ui->Option2, ui->Check2}},
                             {answerBox(3), {ui->Option3, ui->Check3}},
                             {answerBox(4), {ui->Option4, ui->Check4}},
                             {answerBox(5), {ui->Option5, ui->Check5}}});
    ui->lblClock->setAccessibleDescription(QStringLiteral("Time elapsed"));
    ui->lblID->setBuddy(ui->Text1);
    ui->LblRec_Count11->setAccessibleDescription(QStringLiteral("Question number"));
    study::keepReadableWhenDisabled(*ui->Text1);
    for (QRadioButton* mark : Option) {
        study::makeDisplayOnly(*mark);
    }
    for (QCheckBox* mark : Check) {
        study::makeDisplayOnly(*mark);
    }

    const app::Edition& edition = app::edition();
    study::bindKeyRow(*iis, QStringLiteral("iis"), QStringLiteral("SQL11"),
                      {ui->Text2_0,
                       {answerBox(1), answerBox(2), answerBox(3), answerBox(4), answerBox(5)},
                       Check,
                       ui->Text3});
    iis->bind(ui->Text1, QStringLiteral("ID"));
    iis->bind(ui->Text4, QStringLiteral("question_type"));
    if (edition.demo) {
        applyDemoDesign();
    }
    addFifthLetter();
    connectHandlers();
    Form_Initialize();
}

void Form11::addFifthLetter() {
    // The fifth selector shows only beside a right fifth answer; its letter stays all the same,
    // where the selector's own letter would stand.
    fifthLetter = new QLabel(QStringLiteral("E"), this);
    fifthLetter->setObjectName(QStringLiteral("lblLetter5"));
    fifthLetter->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    look::followZoom(*fifthLetter);
    ui->selectors5->addWidget(fifthLetter, 0, Qt::AlignTop);
    fifthLetter->hide();
}

void Form11::levelFifthLetter() {
    // The letter's middle on the middle of the text's first line, at any zoom.
    const QPlainTextEdit& text = *answerBox(5);
    const int lineMiddle = text.frameWidth() + qRound(text.document()->documentMargin()) +
                           text.fontMetrics().height() / 2;
    const int top = std::max(0, lineMiddle - fifthLetter->fontMetrics().height() / 2);
    // Where a selector's letter stands: after its indicator.
    const int left = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    if (fifthLetter->contentsMargins() != QMargins(left, top, 0, 0)) {
        fifthLetter->setContentsMargins(left, top, 0, 0);
    }
}

bool Form11::event(QEvent* e) {
    // A zoom changes both fonts and asks for a new layout.
    if (e->type() == QEvent::LayoutRequest && fifthLetter) {
        levelFifthLetter();
    }
    return QWidget::event(e);
}

void Form11::showFifthLetter() {
    if (!fifthLetter) {
        return;
    }
    levelFifthLetter();
    fifthLetter->setVisible(!answerBox(5)->isHidden() && ui->Option5->isHidden() &&
                            ui->Check5->isHidden());
}

Form11::~Form11() = default;

void Form11::applyDemoDesign() {
    setWindowTitle(QStringLiteral("Review - Demo Exam "));
    ui->lblID->setText(QStringLiteral("ID"));
    ui->Label1->setText(QStringLiteral("Explanation"));
    ui->Label3->hide();
    iis->setRecordSource(QStringLiteral("exam11"));

    // The exhibit control becomes a picture beside the question, hidden until a move finds an
    // exhibit. It stays a button underneath, so the keyboard can still reach it.
    ui->buttonBand->removeWidget(ui->Picture1);
    ui->exhibitSlot->insertWidget(0, ui->Picture1);
    ui->Picture1->setText(QString());
    ui->Picture1->setAccessibleName(QStringLiteral("Exhibit"));
    ui->Picture1->setFlat(true);
    ui->Picture1->setIcon(app::exhibitButtonPicture());
    ui->Picture1->setIconSize(QSize(104, 33));
    ui->Picture1->setMinimumSize(0, 0);
    ui->Picture1->setFixedSize(QSize(108, 37));
    // Flat, but the keyboard's focus must still show on it.
    ui->Picture1->setStyleSheet(
        QStringLiteral("QPushButton { border: 2px solid transparent; }"
                       "QPushButton:focus { border: 2px solid palette(highlight); }"));
    ui->Picture1->hide();
}

void Form11::connectHandlers() {
    app::onSignal(ui->CmdNextQ, &QPushButton::clicked, this, &Form11::CmdNextQ_Click);
    app::onSignal(ui->cmdPrevQ, &QPushButton::clicked, this, &Form11::cmdPrevQ_Click);
    app::onSignal(ui->cmdEnd, &QPushButton::clicked, this, &Form11::cmdEnd_Click);
    app::onSignal(ui->Picture1, &QPushButton::clicked, this, &Form11::Picture1_Click);
    for (int index = 0; index < int(Text2.size()); ++index) {
        connect(Text2[size_t(index)], &QPlainTextEdit::textChanged, this,
                [this, index] { app::guarded([this, index] { Text2_Change(index); }); });
    }
    app::onSignal(Timer1, &QTimer::timeout, this, &Form11::Timer1_Timer);
}

QPlainTextEdit* Form11::answerBox(int n) const {
    return Text2[size_t(kAnswerBox[size_t(n - 1)])];
}

void Form11::Form_Initialize() {
    ShowAnswerMode();
}

void Form11::Show() {
    if (!loaded) {
        Form_Load();
        loaded = true;
    }
    app::showMaximizedOnScreen(*this);
    Form_Activate();
    if (!isAncestorOf(QApplication::focusWidget())) {
        // Studying is mostly "next, next": start the keyboard there.
        QPushButton* start = ui->CmdNextQ->isEnabled() ? ui->CmdNextQ : ui->cmdEnd;
        start->setFocus();
    }
}

void Form11::Form_Load() {
    const bool demo = app::edition().demo;
    Timer1->setInterval(1000);
    // A reloaded window starts from its design texts; only the count itself carries over.
    ui->lblClock->setText(app::kClockDesignText);
    if (!demo) {
        const int exam = bankExam();
        setWindowTitle(QStringLiteral("Review Exam #%1").arg(exam));
        iis->setRecordSource(examdb::statements::r1(exam));
    } else {
        iis->setRecordSource(QStringLiteral("exam11"));
    }
    iis->refresh();
    Text2_Change(0);
    StudyPosition = hasRows() ? 1 : 0;
    showPosition();
    // The full edition offers the exhibit on the first row whatever it holds; the demo's
    // picture waits for a move that finds one.
    ui->Picture1->setVisible(!demo && hasRows());
    if (demo) {
        // The demo lays out its selectors only when moving; the first row must not show the
        // marks of the layout the window was made with.
        ShowAnswerMode();
    }
    Timer1->start();
}

void Form11::Form_Activate() {
    const qint64 limit = ExamSettings.QuestionsPerExam;
    ui->CmdNextQ->setEnabled(!(limit > 0 && StudyPosition >= limit));
    ui->cmdPrevQ->setEnabled(true);
    if (StudyPosition == 1) {
        ui->CmdNextQ->setEnabled(true);
        ui->cmdPrevQ->setEnabled(false);
    }
    if (!hasRows()) {
        ui->CmdNextQ->setEnabled(false);
        ui->cmdPrevQ->setEnabled(false);
    }
    // The exam's size may have changed while the demo's window waited hidden.
    showPosition();
    if (!app::edition().demo) {
        ShowAnswerMode();
    }
}

bool Form11::hasRows() {
    return iis->isOpen() && iis->recordset().recordCount() > 0;
}

// The position, and beside it how far Next goes: the rows there are, up to the exam's size.
void Form11::showPosition() {
    ui->LblRec_Count11->setText(QString::number(StudyPosition));
    const qint64 rows = iis->isOpen() ? iis->recordset().recordCount() : 0;
    const qint64 limit = ExamSettings.QuestionsPerExam;
    const qint64 last = limit > 0 ? std::min(rows, limit) : rows;
    ui->lblRecTotal->setText(last > 0 ? QStringLiteral("of %1").arg(last) : QString());
}

QString Form11::currentExhibit() {
    if (!iis->isOpen()) {
        return QString();
    }
    examdb::Recordset& rows = iis->recordset();
    if (rows.bof() || rows.eof()) {
        return QString();
    }
    const QVariant value = rows.value(QStringLiteral("diagram1"));
    return value.isNull() ? QString() : value.toString();
}

void Form11::followExhibit() {
    ExamSettings.CurrentExhibit = currentExhibit();
    ui->Picture1->setVisible(hasCurrentExhibit());
}

void Form11::CmdNextQ_Click() {
    if (!hasRows()) {
        return;
    }
    examdb::Recordset& rows = iis->recordset();
    if (rows.eof()) {
        return;
    }
    rows.moveNext();
    ShowAnswerMode();
    Text2_Change(0);
    ++StudyPosition;
    showPosition();
    if (rows.eof()) {
        rows.movePrevious();
        ShowAnswerMode();
        --StudyPosition;
        showPosition();
    }
    followExhibit();
    Form_Activate();
}

void Form11::cmdPrevQ_Click() {
    if (!hasRows()) {
        return;
    }
    examdb::Recordset& rows = iis->recordset();
    if (rows.bof()) {
        return;
    }
    rows.movePrevious();
    ShowAnswerMode();
    Text2_Change(0);
    --StudyPosition;
    showPosition();
    if (rows.bof()) {
        rows.moveNext();
        ShowAnswerMode();
        ++StudyPosition;
        showPosition();
    }
    followExhibit();
    Form_Activate();
}

void Form11::Picture1_Click() {
    ExamSettings.CurrentExhibit = currentExhibit();
    if (!hasCurrentExhibit()) {
        return;
    }
    // The demo leaves the study window up behind the picture.
    if (flow::open(win::Exhibit, win::Study) && !app::edition().demo) {
        hide();
    }
}

void Form11::cmdEnd_Click() {
    const bool demo = app::edition().demo;
    if (hasRows()) {
        iis->recordset().moveFirst();
    }
    StudyPosition = demo && hasRows() ? 1 : 0;
    showPosition();
    if (demo) {
        // Back on the first row: its own marks, not those of the row studied last.
        ShowAnswerMode();
    }
    // The window goes only once the menu is really back.
    if (!flow::showMainMenu()) {
        return;
    }
    session::active().leaveStudy();
    if (demo) {
        hide();
        Form_Activate();
    } else {
        Unload();
    }
}

void Form11::Text2_Change(int) {
    answerBox(4)->show();
    answerBox(5)->show();
    for (int n : {4, 5}) {
        if (answerBox(n)->toPlainText().isEmpty()) {
            answerBox(n)->hide();
            Option[size_t(n - 1)]->hide();
            Check[size_t(n - 1)]->hide();
        }
    }
    showFifthLetter();
    study::fitAnswerRows(*ui->answerRows, 1);
}

void Form11::Timer1_Timer() {
    ++StudyElapsedSeconds;
    ui->lblClock->setText(app::clockText(StudyElapsedSeconds));
}

void Form11::ShowAnswerMode() {
    const bool single = ui->Text4->text() == u"single_answer";
    if (single) {
        std::array<bool, 5> marked{};
        for (size_t i = 0; i < marked.size(); ++i) {
            marked[i] = Check[i]->isChecked();
        }
        selectOptions(marked);
    }
    for (size_t i = 0; i < Option.size(); ++i) {
        Option[i]->setVisible(single);
        Check[i]->setVisible(!single);
    }
    // The fifth answer's selector shows only when the fifth answer is a correct one.
    if (!ui->Option5->isChecked()) {
        ui->Option5->hide();
    }
    if (!ui->Check5->isChecked()) {
        ui->Check5->hide();
    }
    if (answerBox(5)->toPlainText().isEmpty()) {
        answerBox(5)->hide();
    }
    for (int n : {4, 5}) {
        if (answerBox(n)->toPlainText().isEmpty()) {
            Option[size_t(n - 1)]->hide();
            Check[size_t(n - 1)]->hide();
        }
    }
    showFifthLetter();
    study::fitAnswerRows(*ui->answerRows, 1);
}

void Form11::selectOptions(const std::array<bool, 5>& marked) {
    // Selecting one option of a group clears the others, so of several correct answers the
    // last one stays selected; with none, none is. Qt will not clear the selected button of an
    // exclusive group, hence exclusivity is lifted while the marks are set.
    int selected = -1;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (marked[i]) {
            selected = int(i);
        }
    }
    for (QRadioButton* option : Option) {
        option->setAutoExclusive(false);
    }
    for (size_t i = 0; i < Option.size(); ++i) {
        Option[i]->setChecked(int(i) == selected);
    }
    for (QRadioButton* option : Option) {
        option->setAutoExclusive(true);
    }
}

void Form11::Unload() {
    hide();
    Timer1->stop();
    iis->close();
    loaded = false;
}

void Form11::closeEvent(QCloseEvent* event) {
    app::routeTitleBarClose(event, [this] { cmdEnd_Click(); });
}
