#include "results/form41.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QShortcut>
#include <algorithm>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/data_source.h"
#include "examdb/statements.h"
#include "look/choice_alignment.h"
#include "look/choice_names.h"
#include "look/inks.h"
#include "look/text_zoom.h"
#include "results/form3.h"
#include "results/window_print.h"
#include "ui_form41.h"

namespace statements = examdb::statements;

namespace {

// A bound box that could be ticked would write its mark back into the key or the responses when
// the review moves on; these boxes only show. Events sent to a box directly bypass the
// transparency, so they are refused here as well.
class DisplayOnly : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

void makeDisplayOnly(QCheckBox* box, QObject* filter) {
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(filter);
}

}  // namespace

Form41::Form41() : ui(std::make_unique<Ui::Form41>()), dd2(new examdb::DataSource(this)) {
    ui->setupUi(this);
    app::useReportBackground(*this);
    const bool demo = app::edition().demo;
    if (demo) {
        setWindowTitle(QStringLiteral("Correct Answers -Demo Exam"));
    }
    app::useEditionFile(*dd2, demo ? QStringLiteral("iis") : QStringLiteral("dd2"),
                        QStringLiteral("ssql"));
    auto* displayOnly = new DisplayOnly(this);
    for (QCheckBox* box :
         {ui->Chk1, ui->chk2, ui->ch3, ui->Ch4, ui->Ch5, ui->ChkYourChoice1, ui->ChkYourChoice2,
          ui->ChkYourChoice3, ui->ChkYourChoice4, ui->ChkYourChoice5}) {
        makeDisplayOnly(box, displayOnly);
    }
    connect(dd2, &examdb::DataSource::currentChanged, this, [this] { showFifthAnswer(); });
    readAloudAndZoom();

    app::onSignal(ui->cmdNextQ, &QPushButton::clicked, this, &Form41::cmdNextQ_Click);
    app::onSignal(ui->cmdPrevQ, &QPushButton::clicked, this, &Form41::cmdPrevQ_Click);
    app::onSignal(ui->cmdPrintQ, &QPushButton::clicked, this, &Form41::cmdPrintQ_Click);
    app::onSignal(ui->cmdScoreRep, &QPushButton::clicked, this, &Form41::cmdScoreRep_Click);
    app::onSignal(ui->Picture1, &QPushButton::clicked, this, &Form41::Picture1_Click);
    auto* back = new QShortcut(QKeySequence::Cancel, this);
    connect(back, &QShortcut::activated, ui->cmdScoreRep, &QPushButton::click);
}

Form41::~Form41() = default;

void Form41::readAloudAndZoom() {
    ui->Text1->setAccessibleName(QStringLiteral("Question"));
    ui->Text6->setAccessibleName(QStringLiteral("Explanation"));
    ui->Text7->setAccessibleName(QStringLiteral("Category"));
    const std::array<QPlainTextEdit*, 5> answers = {ui->Text2, ui->Text3, ui->Text4, ui->Text5,
                                                    ui->Text8};
    const std::array<QCheckBox*, 5> key = {ui->Chk1, ui->chk2, ui->ch3, ui->Ch4, ui->Ch5};
    const std::array<QCheckBox*, 5> own = {ui->ChkYourChoice1, ui->ChkYourChoice2,
                                           ui->ChkYourChoice3, ui->ChkYourChoice4,
                                           ui->ChkYourChoice5};
    std::vector<look::ChoiceRow> keyRows;
    std::vector<look::ChoiceRow> ownRows;
    std::vector<look::ChoiceRow> bothRows;
    for (size_t i = 0; i < answers.size(); ++i) {
        keyRows.push_back({answers[i], {key[i]}});
        ownRows.push_back({answers[i], {own[i]}});
        bothRows.push_back({answers[i], {key[i], own[i]}});
        look::paintText(*own[i], look::Ink::Wrong);
        look::followZoom(*answers[i]);
    }
    // One letter a row, on the key's side in the window's own ink: a red letter would read as
    // a wrong answer.
    look::nameChoiceRows(keyRows, QStringLiteral("Correct choice"));
    look::nameChoiceRows(ownRows, QStringLiteral("Your choice"), look::Letters::Unshown);
    look::alignChoiceRows(bothRows);
    ui->lblReviewPosition->setAccessibleDescription(QStringLiteral("Wrong answer"));
    look::paintText(*ui->LblCorrect, look::Ink::Correct);
    look::paintText(*ui->LblYourChoice, look::Ink::Wrong);
    for (QWidget* text : {static_cast<QWidget*>(ui->Text1), static_cast<QWidget*>(ui->Text6),
                          static_cast<QWidget*>(ui->Text7)}) {
        look::followZoom(*text);
    }
}

void Form41::Show() {
    if (loaded) {
        app::showMaximizedOnScreen(*this);
        Form_Activate();
        return;
    }
    Form_Load();
    loaded = true;
    app::showMaximizedOnScreen(*this);
    (ui->cmdNextQ->isEnabled() ? ui->cmdNextQ : ui->cmdScoreRep)->setFocus();
}

void Form41::Unload() {
    hide();
    dd2->close();
    loaded = false;
}

void Form41::Form_Load() {
    ReviewPosition = 1;
    const int exam = bankExam();
    ExamSettings.ReviewExam = qint16(exam);
    if (!app::edition().demo) {
        setWindowTitle(QStringLiteral("Exam #%1 wrong answers").arg(exam));
    }
    // Only questions of this exam's draw: the bank's unasked questions were never answered.
    dd2->setRecordSource(statements::w1Drawn(exam));
    bindColumns(exam);
    dd2->refresh();
    examdb::Recordset& set = dd2->recordset();
    ReviewCount = 0;
    if (set.recordCount() > 0) {
        set.moveLast();
        ReviewCount = qint16(set.recordCount());
        set.moveFirst();
        takeExhibitOfCurrentRow();
    } else {
        ui->Picture1->hide();
    }
    showFifthAnswer();
    applyButtonStates();
}

void Form41::bindColumns(int exam) {
    const QString key = statements::keyTable(exam) + QStringLiteral(".correctanswer");
    const QString responses = statements::examTable(exam) + QStringLiteral(".correctanswer");
    QCheckBox* const keyBoxes[] = {ui->Chk1, ui->chk2, ui->ch3, ui->Ch4, ui->Ch5};
    QCheckBox* const responseBoxes[] = {ui->ChkYourChoice1, ui->ChkYourChoice2, ui->ChkYourChoice3,
                                        ui->ChkYourChoice4, ui->ChkYourChoice5};
    for (int i = 0; i < 5; ++i) {
        const QString n = QString::number(i + 1);
        dd2->bind(keyBoxes[i], key + n);
        dd2->bind(responseBoxes[i], responses + n);
    }
    dd2->bind(ui->Text1, QStringLiteral("question"));
    dd2->bind(ui->Text2, QStringLiteral("answer1"));
    dd2->bind(ui->Text3, QStringLiteral("answer2"));
    dd2->bind(ui->Text4, QStringLiteral("answer3"));
    dd2->bind(ui->Text5, QStringLiteral("answer4"));
    dd2->bind(ui->Text8, QStringLiteral("answer5"));
    dd2->bind(ui->Text6, QStringLiteral("explanation"));
    dd2->bind(ui->Text7, QStringLiteral("cat_desc"));
}

void Form41::Form_Activate() {
    applyButtonStates();
}

bool Form41::hasCurrentRow() {
    if (!dd2->isOpen()) {
        return false;
    }
    const examdb::Recordset& set = dd2->recordset();
    return !set.bof() && !set.eof();
}

void Form41::takeExhibitOfCurrentRow() {
    const QVariant diagram = dd2->recordset().value(QStringLiteral("diagram1"));
    ExamSettings.CurrentExhibit = diagram.isNull() ? QString() : diagram.toString();
    ui->Picture1->setVisible(hasCurrentExhibit());
}

// A question with five answers shows the fifth answer and both of its boxes again, whatever the
// question before it had.
void Form41::showFifthAnswer() {
    const bool present = !ui->Text8->toPlainText().isEmpty();
    for (QWidget* w : {static_cast<QWidget*>(ui->Text8), static_cast<QWidget*>(ui->Ch5),
                       static_cast<QWidget*>(ui->ChkYourChoice5)}) {
        w->setVisible(present);
    }
}

// "3 of 12" beside the move buttons. The count of presses may run past a single question, which
// stays shown, so the position shown stops at the count.
void Form41::showPosition() {
    ui->lblReviewPosition->setVisible(ReviewCount > 0);
    if (ReviewCount > 0) {
        const qint16 shown = std::clamp(ReviewPosition, qint16(1), ReviewCount);
        ui->lblReviewPosition->setText(QStringLiteral("%1 of %2").arg(shown).arg(ReviewCount));
    }
}

void Form41::applyButtonStates() {
    showPosition();
    // At or past the last question there is nothing further; with a single question the count
    // of presses would otherwise run on beyond it.
    ui->cmdNextQ->setEnabled(ReviewPosition < ReviewCount);
    ui->cmdPrevQ->setEnabled(true);
    if (ReviewPosition == 1) {
        ui->cmdNextQ->setEnabled(true);
        ui->cmdPrevQ->setEnabled(false);
    }
    if (ReviewCount == 0) {
        ui->cmdNextQ->setEnabled(false);
        ui->cmdPrevQ->setEnabled(false);
    }
}

void Form41::cmdNextQ_Click() {
    if (ReviewCount == 0 || !hasCurrentRow()) {
        return;
    }
    examdb::Recordset& set = dd2->recordset();
    set.moveNext();
    if (set.eof()) {
        set.movePrevious();
    }
    takeExhibitOfCurrentRow();
    ++ReviewPosition;
    applyButtonStates();
}

void Form41::cmdPrevQ_Click() {
    if (ReviewCount == 0 || !hasCurrentRow()) {
        return;
    }
    examdb::Recordset& set = dd2->recordset();
    set.movePrevious();
    if (set.bof()) {
        set.moveNext();
    }
    takeExhibitOfCurrentRow();
    --ReviewPosition;
    applyButtonStates();
}

void Form41::Picture1_Click() {
    if (!hasCurrentRow()) {
        return;
    }
    takeExhibitOfCurrentRow();
    if (!hasCurrentExhibit()) {
        return;
    }
    // The demo opens the exhibit over the review; hide only once the exhibit is really there.
    if (flow::open(win::Exhibit, win::WrongAnswers) && !app::edition().demo) {
        hide();
    }
}

void Form41::cmdPrintQ_Click() {
    results::printWindowAndReport(*this);
}

void Form41::cmdScoreRep_Click() {
    dd2->close();
    forms::get<Form3>().Show();
    // Deleted only once this handler has returned; no member is touched after this.
    forms::discard<Form41>();
}

void Form41::closeEvent(QCloseEvent* event) {
    // Back to the score sheet, as Score Report does.
    app::routeTitleBarClose(event, [this] { cmdScoreRep_Click(); });
}

void Form41::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && loaded) {
        app::guarded([this] { Form_Activate(); });
    }
    QWidget::changeEvent(event);
}
