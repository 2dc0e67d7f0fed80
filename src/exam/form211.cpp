#include "exam/form211.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/clock_display.h"
#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/prompts.h"
#include "app/time_limit.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "exam/practice_check.h"
#include "exam/random_draw.h"
#include "exam/review_screen.h"
#include "examdb/data_source.h"
#include "examdb/database.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "look/choice_alignment.h"
#include "look/choice_names.h"
#include "look/inks.h"
#include "look/text_zoom.h"
#include "session/choice_limit.h"
#include "session/custom_draw.h"
#include "session/exam_session.h"
#include "ui_form211.h"

namespace {

const QString kSingleAnswer = QStringLiteral("single_answer");
// A kill or a power cut costs the candidate at most this much of the clock.
constexpr int kClockSaveSeconds = 5;

class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

}  // namespace

Form211::Form211()
    : ui(std::make_unique<Ui::Form211>()),
      iis(new examdb::DataSource(this)),
      Data1(new examdb::DataSource(this)),
      Timer1(new QTimer(this)),
      feedback(new exam::PracticeFeedback(this)),
      cmdCheck(new QPushButton(QStringLiteral("Chec&k"), this)) {
    ui->setupUi(this);
    addPracticeControls();
    checks = {ui->Check1, ui->Check2, ui->Check3, ui->Check4, ui->Check5};
    options = {ui->Option1, ui->Option2, ui->Option3, ui->Option4, ui->Option5};
    if (app::edition().demo) {
        setWindowTitle(QStringLiteral("Demo Exam"));
    }

    QFont fixedPitch(QStringLiteral("Courier New"));
    fixedPitch.setStyleHint(QFont::TypeWriter);
    fixedPitch.setFixedPitch(true);
    for (QPlainTextEdit* text :
         {ui->Text2_0, ui->Text2_1, ui->Text2_2, ui->Text2_3, ui->Text2_4, ui->Text2_5}) {
        text->setFont(fixedPitch);
        look::followZoom(*text);
    }
    ui->Picture1->setIcon(QIcon(app::exhibitButtonPicture()));
    ui->Picture1->setAccessibleName(QStringLiteral("Exhibit"));
    ui->Text2_0->setAccessibleName(QStringLiteral("Question"));
    ui->lblID->setBuddy(ui->Text1);
    ui->lblClock->setAccessibleDescription(QStringLiteral("Time left"));
    ui->LblRec_Count->setAccessibleDescription(QStringLiteral("Question number"));
    const std::vector<look::ChoiceRow> rows{{ui->Text2_1, {ui->Option1, ui->Check1}},
                                            {ui->Text2_2, {ui->Option2, ui->Check2}},
                                            {ui->Text2_4, {ui->Option3, ui->Check3}},
                                            {ui->Text2_5, {ui->Option4, ui->Check4}},
                                            {ui->Text2_3, {ui->Option5, ui->Check5}}};
    look::nameChoiceRows(rows);
    look::alignChoiceRows(rows);
    instruction = ui->lblBestChoice->text();
    for (QWidget* text :
         {ui->Label2, ui->LblRec_Count, ui->Label1, ui->lblClock, ui->lblBestChoice}) {
        look::followZoom(*text);
    }
    paintInks();
    // The buttons beside it keep their places whether or not the question has an exhibit.
    QSizePolicy keepPlace = ui->Picture1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ui->Picture1->setSizePolicy(keepPlace);
    ui->Picture1->hide();
    ui->LblPause->installEventFilter(this);
    ui->lblClock->installEventFilter(this);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    app::useEditionFile(*iis, QStringLiteral("iis"), QStringLiteral("strQuerySQL"));
    for (int n = 1; n <= 5; ++n) {
        iis->bind(check(n), QStringLiteral("correctanswer%1").arg(n));
        iis->bind(answerText(n), QStringLiteral("answer%1").arg(n));
    }
    iis->bind(ui->Text2_0, QStringLiteral("question"));
    iis->bind(ui->Text3, QStringLiteral("question_type"));
    iis->bind(ui->Text1, QStringLiteral("tblrandom.ID"));
    app::useEditionFile(*Data1, QStringLiteral("Data1"), QStringLiteral("showans"));

    app::onSignal(ui->CmdNextQ, &QAbstractButton::clicked, this, &Form211::CmdNextQ_Click);
    app::onSignal(ui->cmdPrevQ, &QAbstractButton::clicked, this, &Form211::cmdPrevQ_Click);
    app::onSignal(ui->Command1, &QAbstractButton::clicked, this, &Form211::Command1_Click);
    app::onSignal(ui->cmdEndExam, &QAbstractButton::clicked, this, &Form211::cmdEndExam_Click);
    app::onSignal(ui->Picture1, &QAbstractButton::clicked, this, &Form211::Picture1_Click);
    app::onSignal(ui->Option1, &QAbstractButton::clicked, this, &Form211::Option1_Click);
    app::onSignal(ui->Option2, &QAbstractButton::clicked, this, &Form211::Option2_Click);
    app::onSignal(ui->Option3, &QAbstractButton::clicked, this, &Form211::Option3_Click);
    app::onSignal(ui->Option4, &QAbstractButton::clicked, this, &Form211::Option4_Click);
    app::onSignal(ui->Option5, &QAbstractButton::clicked, this, &Form211::Option5_Click);
    app::onSignal(Timer1, &QTimer::timeout, this, &Form211::Timer1_Timer);
    app::onSignal(ui->chkFlag, &QAbstractButton::clicked, this, &Form211::chkFlag_Click);
    // After the choice's own handler, whichever kind of button the question shows.
    for (int n = 1; n <= 5; ++n) {
        app::onSignal(check(n), &QAbstractButton::clicked, this, &Form211::checkClicked);
        app::onSignal(option(n), &QAbstractButton::clicked, this, &Form211::saveAnswerNow);
        answerText(n)->viewport()->installEventFilter(this);
    }
    for (exam::ChoiceBox* box : {ui->Check1, ui->Check2, ui->Check3, ui->Check4, ui->Check5}) {
        box->setTickGate([this] { return mayTick(); });
    }
    app::onSignal(ui->cmdReview, &QAbstractButton::clicked, this, &Form211::cmdReview_Click);
    QSizePolicy keepFlagPlace = ui->lblFlagged->sizePolicy();
    keepFlagPlace.setRetainSizeWhenHidden(true);
    ui->lblFlagged->setSizePolicy(keepFlagPlace);
    ui->lblFlagged->hide();
    addShortcuts();
}

void Form211::addPracticeControls() {
    // Under the choices, above the buttons: where the eye goes after choosing.
    ui->bands->insertWidget(ui->bands->indexOf(ui->bottomBand), feedback);
    cmdCheck->setObjectName(QStringLiteral("cmdCheck"));
    cmdCheck->setToolTip(QStringLiteral("See at once whether the answer is right (Enter)"));
    ui->bottomBand->insertWidget(ui->bottomBand->indexOf(ui->cmdPrevQ), cmdCheck);
    // Both were made before the window's own controls; they take their places in reading order.
    QWidget::setTabOrder(ui->Check5, feedback->explanationBox());
    QWidget::setTabOrder(feedback->explanationBox(), ui->Picture1);
    QWidget::setTabOrder(ui->Command1, cmdCheck);
    QWidget::setTabOrder(cmdCheck, ui->cmdPrevQ);
    feedback->hide();
    cmdCheck->hide();
    app::onSignal(cmdCheck, &QAbstractButton::clicked, this, &Form211::cmdCheck_Click);
}

void Form211::addShortcuts() {
    const auto add = [this](const QKeySequence& keys, std::function<void()> handler) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [handler = std::move(handler)] { app::guarded(handler); });
    };
    for (int k = 1; k <= 5; ++k) {
        add(QKeySequence(Qt::Key_0 + k), [this, k] { chooseByKey(k); });
        add(QKeySequence(Qt::KeypadModifier | (Qt::Key_0 + k)), [this, k] { chooseByKey(k); });
        add(QKeySequence(Qt::Key_A + k - 1), [this, k] { chooseByKey(k); });
        add(QKeySequence(Qt::SHIFT | (Qt::Key_0 + k)), [this, k] { strikeByKey(k); });
        add(QKeySequence(Qt::SHIFT | (Qt::Key_A + k - 1)), [this, k] { strikeByKey(k); });
    }
    // A right click on a choice's text or its selector strikes it too.
    for (int n = 1; n <= 5; ++n) {
        for (QWidget* part : {static_cast<QWidget*>(answerText(n)), static_cast<QWidget*>(check(n)),
                              static_cast<QWidget*>(option(n))}) {
            part->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(part, &QWidget::customContextMenuRequested, this,
                    [this, n] { app::guarded([this, n] { toggleStrike(n); }); });
        }
    }
    add(QKeySequence(Qt::Key_F), [this] {
        if (ui->chkFlag->isEnabled()) {
            ui->chkFlag->click();
        }
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_R), [this] { cmdReview_Click(); });
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), [this] {
        if (ui->Command1->isEnabled()) {
            Command1_Click();
        }
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { Picture1_Click(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_T), [this] { LblPause_Click(); });
}

Form211::~Form211() = default;

void Form211::Show() {
    if (ended) {
        // Only a window still open from the exam's time calls us back now; the exam is over and
        // its score report is where the candidate belongs.
        flow::open(win::ScoreSheet);
        return;
    }
    if (!loaded) {
        loaded = true;
        Form_Load();
        app::showMaximizedOnScreen(*this);
        // The tab order starts at the pause caption above it, but the candidate starts reading
        // at the question.
        ui->Text2_0->setFocus();
    }
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void Form211::Resume(const exam::SavedAttempt& saved, exam::Marks marks) {
    resumePoint.emplace(saved, std::move(marks));
    Show();
}

void Form211::Unload() {
    if (review) {
        review->close();
    }
    hide();
    Timer1->stop();
    iis->close();
    Data1->close();
    loaded = false;
}

void Form211::Form_Load() {
    Timer1->start(1000);
    if (resumePoint) {
        auto [saved, marks] = std::move(*resumePoint);
        resumePoint.reset();
        restoreSaved(saved, std::move(marks));
        return;
    }
    ++ExamSettings.QuestionNo;
    showQuestionNo();
    showKindOfExam();
    if (app::isCustomExam()) {
        if (!drawCustomExam()) {
            return;
        }
    } else {
        DrawRandomQuestions(app::edition().drawCount);
    }
    iis->setRecordSource(examdb::statements::x1(bankExam()));
    iis->refresh();
    Data1->refresh();
    exam().takeDrawn(iis->database(), bankExam());
    refreshPresentation();
}

void Form211::restoreSaved(const exam::SavedAttempt& saved, exam::Marks marks) {
    ExamSettings.QuestionNo = qint16(saved.position);
    showQuestionNo();
    showKindOfExam();
    iis->setRecordSource(examdb::statements::x1(bankExam()));
    iis->refresh();
    Data1->refresh();
    exam().resume(iis->database(), bankExam(), saved, std::move(marks));
    const int count = hasRows() ? iis->recordset().recordCount() : 0;
    if (count > 0) {
        iis->recordset().moveTo(std::clamp(saved.position, 1, count) - 1);
    }
    refreshPresentation();
    SetTimeLimit();
    // The clock as it stood, not the design text, from the first moment.
    showClock();
}

session::ExamSession& Form211::exam() const {
    return session::active();
}

bool Form211::countsUp() const {
    return exam().countsUp();
}

bool Form211::practice() const {
    return exam().practice();
}

const exam::ExamProgress& Form211::progress() const {
    return exam().progress();
}

void Form211::showClock(bool speak) {
    const int total = ExamSettings.TimeLimitMinutes * 60;
    const int used = exam().clock().secondsUsed;
    ui->lblClock->setText(app::clockText(countsUp() ? used : total - used));
    clockWarning.show(*ui->lblClock, countsUp() ? -1 : std::max(0, total - used), speak);
}

void Form211::paintInks() {
    look::paintText(*ui->lblBestChoice, look::Ink::Instruction);
    look::paintText(*ui->lblFlagged, look::Ink::Instruction);
    look::paintText(*ui->LblPause, look::Ink::Link);
    clockWarning.repaint(*ui->lblClock);
}

void Form211::showKindOfExam() {
    if (app::isCustomExam()) {
        setWindowTitle(practice() ? QStringLiteral("Custom Exam - Practice")
                                  : QStringLiteral("Custom Exam"));
        ui->lblClock->setAccessibleDescription(countsUp() ? QStringLiteral("Time elapsed")
                                                          : QStringLiteral("Time left"));
        SetTimeLimit();
        showClock();
    } else if (!app::edition().demo) {
        setWindowTitle(QStringLiteral("Exam #%1").arg(ExamSettings.ActiveExam));
    }
    cmdCheck->setVisible(practice());
    feedback->setVisible(practice());
}

bool Form211::drawCustomExam() {
    const session::CustomExam& custom = *app::customExam();
    exam::CustomDraw draw{custom.exam,
                          custom.categories,
                          custom.questions,
                          ExamSettings.CandidateName,
                          session::encodeCustom(custom),
                          custom.ids};
    examdb::Database db = examdb::Database::open(app::edition().databaseFile);
    if (exam::drawCustom(db, draw) == custom.questions) {
        return true;
    }
    // The bank changed since the categories were counted: nothing was drawn, nothing is scored.
    int available = 0;
    for (int size : exam::categorySizes(db, draw)) {
        available += size;
    }
    db.close();
    prompts::MsgBox(QStringLiteral("The chosen categories now hold %1 questions, fewer than the "
                                   "%2 asked for. Nothing was drawn.")
                        .arg(available)
                        .arg(custom.questions),
                    prompts::Buttons::OkOnly, prompts::Icon::Exclamation,
                    QStringLiteral("Custom Exam"));
    QTimer::singleShot(0, this, [this] { app::guarded([this] { abandonUndrawn(); }); });
    return false;
}

void Form211::abandonUndrawn() {
    Unload();
    ExamSettings.QuestionNo = 0;
    ExamSettings.ActiveExam = 0;
    app::clearCustomExam();
    ::endExam();
    flow::discard(win::Exam);
    flow::showMainMenu();
}

int Form211::currentIndex() const {
    return hasQuestion() ? iis->recordset().position() : -1;
}

void Form211::rememberCurrentAnswer() {
    bool answered = false;
    for (int n = 1; n <= 5; ++n) {
        answered = answered || check(n)->isChecked();
    }
    exam().progress().setAnswered(currentIndex(), answered);
}

void Form211::showFlag() {
    const bool flagged = progress().isFlagged(currentIndex());
    {
        const QSignalBlocker quiet(ui->chkFlag);
        ui->chkFlag->setChecked(flagged);
    }
    ui->chkFlag->setEnabled(hasQuestion());
    ui->cmdReview->setEnabled(hasRows());
    ui->lblFlagged->setVisible(flagged);
}

void Form211::moveSaving(const std::function<void()>& move) {
    if (!hasRows()) {
        move();
        return;
    }
    rememberCurrentAnswer();
    examdb::Transaction transaction(iis->database());
    move();
    saveProgress();
    transaction.commit();
}

void Form211::markSaving(const std::function<void()>& mark) {
    if (!hasRows()) {
        return;
    }
    rememberCurrentAnswer();
    // The session's own write carries the resume record; the bound boxes join it.
    examdb::Transaction transaction(iis->database());
    iis->updateRecord();
    mark();
    transaction.commit();
}

void Form211::saveAnswerNow() {
    if (ended || !hasQuestion()) {
        return;
    }
    // The bound boxes and the session write the same answer, in one transaction.
    markSaving([this] {
        // By the question on screen: the session writes its answer by ID.
        if (const int position = exam().positionOf(ui->Text1->text().toLongLong())) {
            exam().answer(iis->database(), position, chosenAnswers());
        }
    });
}

void Form211::saveProgress() {
    const int position = ExamSettings.QuestionNo;
    if (position >= 1 && position <= int(exam().questions().size())) {
        exam().move(iis->database(), position);
    } else {
        exam().saveProgress(iis->database());
    }
}

void Form211::saveClock() {
    if (hasRows()) {
        exam().saveClock(iis->database());
    }
}

bool Form211::hasRows() const {
    return iis->isOpen() && iis->recordset().recordCount() > 0;
}

bool Form211::hasQuestion() const {
    if (!iis->isOpen()) {
        return false;
    }
    const examdb::Recordset& rs = iis->recordset();
    return !rs.bof() && !rs.eof();
}

QVariant Form211::currentValue(const QString& column) const {
    return hasQuestion() ? iis->recordset().value(column) : QVariant();
}

QPlainTextEdit* Form211::answerText(int n) const {
    switch (n) {
        case 1:
            return ui->Text2_1;
        case 2:
            return ui->Text2_2;
        case 3:
            return ui->Text2_4;
        case 4:
            return ui->Text2_5;
        default:
            return ui->Text2_3;
    }
}

void Form211::showQuestionNo() {
    ui->LblRec_Count->setText(
        QStringLiteral("%1 of %2").arg(ExamSettings.QuestionNo).arg(ExamSettings.QuestionsPerExam));
}

void Form211::refreshPresentation() {
    ShowAnswerMode();
    applyEmptyAnswerRule();
    applyExhibitRule();
    showMarks();
    Form_Activate();
}

void Form211::ShowAnswerMode() {
    const bool single = ui->Text3->text() == kSingleAnswer;
    if (single) {
        for (int n = 1; n <= 5; ++n) {
            if (check(n)->isChecked()) {
                Option_Click(n);
            } else {
                option(n)->setChecked(false);
            }
        }
    }
    for (int n = 1; n <= 5; ++n) {
        check(n)->setVisible(!single);
        option(n)->setVisible(single);
    }
}

void Form211::applyEmptyAnswerRule() {
    // With nothing drawn there is no question to answer: no answer boxes, no marks.
    const bool rows = hasRows();
    for (int n = 1; n <= 5; ++n) {
        const bool shown = rows && (n <= 3 || !answerText(n)->toPlainText().isEmpty());
        answerText(n)->setVisible(shown);
        if (!shown) {
            option(n)->hide();
            check(n)->hide();
        }
    }
}

void Form211::applyExhibitRule() {
    ExamSettings.CurrentExhibit = currentValue(QStringLiteral("diagram1")).toString();
    ui->Picture1->setVisible(hasCurrentExhibit());
}

void Form211::Option_Click(int n) {
    // The check boxes are where the choice is stored; the option buttons only drive them.
    for (int k = 1; k <= 5; ++k) {
        check(k)->setChecked(k == n);
        option(k)->setChecked(k == n);
    }
}

void Form211::Form_Activate() {
    if (!hasRows()) {
        ui->CmdNextQ->setEnabled(false);
        ui->cmdPrevQ->setEnabled(false);
        ui->Command1->setEnabled(false);
        return;
    }
    ui->Command1->setEnabled(true);
    ui->CmdNextQ->setEnabled(ExamSettings.QuestionNo != ExamSettings.QuestionsPerExam);
    ui->cmdPrevQ->setEnabled(true);
    if (ExamSettings.QuestionNo == 1) {
        ui->CmdNextQ->setEnabled(true);
        ui->cmdPrevQ->setEnabled(false);
    }
}

void Form211::CmdNextQ_Click() {
    if (ended || !hasRows() || iis->recordset().eof()) {
        return;
    }
    moveSaving([this] { nextQuestion(); });
    readFromTheQuestion();
}

void Form211::nextQuestion() {
    examdb::Recordset& rs = iis->recordset();
    rs.moveNext();
    ShowAnswerMode();
    applyEmptyAnswerRule();
    ++ExamSettings.QuestionNo;
    showQuestionNo();
    Form_Activate();
    if (rs.eof()) {
        rs.moveLast();
        --ExamSettings.QuestionNo;
        showQuestionNo();
        // The whole presentation, not only the answer mode: the empty row hid answers 4 and 5.
        ShowAnswerMode();
        applyEmptyAnswerRule();
        Form_Activate();
    }
    applyExhibitRule();
    showMarks();
}

void Form211::cmdPrevQ_Click() {
    if (ended || !hasRows() || iis->recordset().bof()) {
        return;
    }
    moveSaving([this] { previousQuestion(); });
    readFromTheQuestion();
}

void Form211::readFromTheQuestion() {
    // A practice run reads, chooses and presses Enter to check; Enter on the Next button that
    // just moved would move again instead.
    if (practice()) {
        ui->Text2_0->setFocus(Qt::OtherFocusReason);
    }
}

void Form211::previousQuestion() {
    examdb::Recordset& rs = iis->recordset();
    rs.movePrevious();
    ShowAnswerMode();
    applyEmptyAnswerRule();
    --ExamSettings.QuestionNo;
    showQuestionNo();
    if (rs.bof()) {
        rs.moveFirst();
        ++ExamSettings.QuestionNo;
        showQuestionNo();
        ShowAnswerMode();
        applyEmptyAnswerRule();
    }
    Form_Activate();
    applyExhibitRule();
    showMarks();
}

void Form211::goToQuestion(int number) {
    if (ended || !hasRows() || number < 1 || number > iis->recordset().recordCount()) {
        return;
    }
    moveSaving([this, number] {
        iis->recordset().moveTo(number - 1);
        ExamSettings.QuestionNo = qint16(number);
        showQuestionNo();
        refreshPresentation();
    });
}

void Form211::chkFlag_Click() {
    if (ended || !hasQuestion()) {
        showMarks();
        return;
    }
    const bool flagged = ui->chkFlag->isChecked();
    markSaving([this, flagged] { exam().flag(iis->database(), currentIndex() + 1, flagged); });
    showMarks();
}

void Form211::cmdReview_Click() {
    if (ended || !hasRows() || !isVisible()) {
        return;
    }
    rememberCurrentAnswer();
    if (!review) {
        review = new exam::ReviewScreen(exam().progress(), this);
        connect(review, &exam::ReviewScreen::questionChosen, this,
                [this](int index) { app::guarded([this, index] { goToQuestion(index + 1); }); });
    }
    review->open(currentIndex());
}

void Form211::chooseByKey(int k) {
    // By the letter beside the choice: with answer 4 empty, E still picks the one lettered E.
    if (ended || !hasQuestion() || !isVisible() || k < 1 || k > 5) {
        return;
    }
    if (QAbstractButton* mark = selector(k); mark->isVisibleTo(this)) {
        mark->click();
    }
}

void Form211::strikeByKey(int k) {
    if (ended || !hasQuestion() || !isVisible() || k < 1 || k > 5) {
        return;
    }
    toggleStrike(k);
}

QAbstractButton* Form211::selector(int n) const {
    if (ui->Text3->text() == kSingleAnswer) {
        return option(n);
    }
    return check(n);
}

void Form211::clickChoice(int row) {
    if (ended || !hasQuestion() || !isVisible()) {
        return;
    }
    QAbstractButton* mark = selector(row);
    if (!mark->isVisibleTo(this) || !mark->isEnabled()) {
        return;  // a checked practice answer stays as it is
    }
    mark->setFocus(Qt::MouseFocusReason);
    mark->click();
}

void Form211::choiceTextEvent(int row, const QEvent& e) {
    switch (e.type()) {
        case QEvent::MouseButtonPress: {
            const auto& mouse = static_cast<const QMouseEvent&>(e);
            pressedRow = mouse.button() == Qt::LeftButton ? row : 0;
            pressedAt = mouse.position().toPoint();
            break;
        }
        case QEvent::MouseButtonDblClick:
            // Its first click has chosen; the second selects a word and chooses nothing more.
            pressedRow = 0;
            break;
        case QEvent::MouseButtonRelease: {
            const auto& mouse = static_cast<const QMouseEvent&>(e);
            const bool still = pressedRow == row && mouse.button() == Qt::LeftButton &&
                               (mouse.position().toPoint() - pressedAt).manhattanLength() <
                                   QApplication::startDragDistance();
            pressedRow = 0;
            if (still) {
                // Once the text has taken the release: a click inside an old selection clears
                // it, a shift-click makes one, and only a click that leaves none chooses.
                QTimer::singleShot(0, this, [this, row] {
                    app::guarded([this, row] {
                        if (!answerText(row)->textCursor().hasSelection()) {
                            clickChoice(row);
                        }
                    });
                });
            }
            break;
        }
        default:
            break;
    }
}

bool Form211::mayTick() {
    const int limit = session::choiceLimit(ui->Text2_0->toPlainText());
    if (limit == 0) {
        return true;
    }
    int ticked = 0;
    for (int n = 1; n <= 5; ++n) {
        ticked += check(n)->isChecked() ? 1 : 0;
    }
    if (ticked < limit) {
        return true;
    }
    tickRefused = true;
    const QString note = session::choiceLimitNote(limit);
    ui->lblBestChoice->setText(note);
    exam::announce(*ui->lblBestChoice, note);
    return false;
}

void Form211::checkClicked() {
    if (std::exchange(tickRefused, false)) {
        return;  // nothing changed, nothing to write
    }
    showInstruction();
    saveAnswerNow();
}

void Form211::showInstruction() {
    ui->lblBestChoice->setText(instruction);
    ui->lblBestChoice->setAccessibleDescription(QString());
}

bool Form211::alignSelectors() {
    bool changed = false;
    // Letters differ in width; the texts beside them start in one column all the same.
    int widest = 0;
    for (int n = 1; n <= 5; ++n) {
        widest = std::max({widest, check(n)->sizeHint().width(), option(n)->sizeHint().width()});
    }
    for (int n = 1; n <= 5; ++n) {
        for (QWidget* mark : {static_cast<QWidget*>(check(n)), static_cast<QWidget*>(option(n))}) {
            if (mark->minimumWidth() != widest) {
                mark->setMinimumWidth(widest);
                changed = true;
            }
        }
    }
    return changed;
}

void Form211::toggleStrike(int row) {
    if (ended || !hasQuestion() || !answerText(row)->isVisibleTo(this)) {
        return;
    }
    markSaving([this, row] { exam().strike(iis->database(), currentIndex() + 1, row); });
    showChoiceMarks();
}

void Form211::showMarks() {
    tickRefused = false;
    showInstruction();
    showFlag();
    showPractice();
    showChoiceMarks();
}

void Form211::showChoiceMarks() {
    const unsigned char rows = progress().struck(ExamSettings.QuestionNo - 1);
    for (int n = 1; n <= 5; ++n) {
        const bool struck = (rows & (1u << (n - 1))) != 0;
        const bool right = shownKey && shownKey->right[size_t(n - 1)];
        QPlainTextEdit* text = answerText(n);
        QFont font = text->font();
        if (font.strikeOut() != struck || font.bold() != right) {
            font.setStrikeOut(struck);
            font.setBold(right);
            text->setFont(font);
            // The key's choices in its green, as the review of wrong answers shows them.
            text->setPalette(QPalette());
            if (right) {
                look::paintText(*text, look::Ink::Correct);
            }
        }
        QStringList description;
        if (right) {
            description << QStringLiteral("Right choice");
        }
        if (struck) {
            description << QStringLiteral("Struck out");
        }
        text->setAccessibleDescription(description.join(QStringLiteral(", ")));
    }
}

void Form211::showPractice() {
    shownKey.reset();
    const int index = currentIndex();
    const bool locked = practice() && progress().isChecked(index);
    for (int n = 1; n <= 5; ++n) {
        check(n)->setEnabled(!locked);
        option(n)->setEnabled(!locked);
    }
    if (!practice()) {
        return;
    }
    cmdCheck->setEnabled(hasQuestion() && !locked && !ended);
    if (!locked) {
        feedback->clear();
        return;
    }
    shownKey = exam().checkedKey(iis->database(), index + 1);
    if (shownKey) {
        feedback->showVerdict(chosenAnswers(), *shownKey);
    } else {
        feedback->showNote(QStringLiteral("The key holds no answer to this question."));
    }
}

std::array<bool, 5> Form211::chosenAnswers() const {
    std::array<bool, 5> chosen{};
    for (int n = 1; n <= 5; ++n) {
        chosen[size_t(n - 1)] = check(n)->isChecked();
    }
    return chosen;
}

void Form211::cmdCheck_Click() {
    if (ended || !practice() || !hasQuestion() || progress().isChecked(currentIndex())) {
        return;
    }
    const std::array<bool, 5> chosen = chosenAnswers();
    if (std::find(chosen.begin(), chosen.end(), true) == chosen.end()) {
        feedback->showNote(QStringLiteral("Choose an answer first, then check it."));
        return;
    }
    // The answer and its lock are written together: a resumed practice keeps both.
    markSaving([this] { exam().check(iis->database(), currentIndex() + 1); });
    showMarks();
}

void Form211::Timer1_Timer() {
    if (ended) {
        return;
    }
    SetTimeLimit();
    const bool timeUp = exam().tick(ExamSettings.TimeLimitMinutes * 60);
    showClock(true);
    if (exam().unsavedSeconds() >= kClockSaveSeconds) {
        saveClock();
    }
    if (timeUp) {
        timeOut();
    }
}

void Form211::timeOut() {
    if (ended || prompting) {
        return;
    }
    if (!app::isCustomExam() && !app::edition().demo) {
        cmdEndExam_Click();
        return;
    }
    {
        const FlagGuard guard(prompting);
        // A custom exam's own minutes are a promise to the candidate: no way to go on.
        prompts::MsgBox(
            app::isCustomExam()
                ? QStringLiteral("Time is up.")
                : QStringLiteral(
                      "Sorry! You have exceeded the allowed time! Click OK to continue."));
    }
    if (!ended) {
        endExam();
    }
}

void Form211::LblPause_Click() {
    if (ended) {
        return;
    }
    exam().pause(Timer1->isActive());
    if (Timer1->isActive()) {
        Timer1->stop();
        ui->LblPause->setText(QStringLiteral("Restart Timer"));
    } else {
        Timer1->start(1000);
        ui->LblPause->setText(QStringLiteral("Pause Timer"));
    }
}

void Form211::Command1_Click() {
    if (ended || !hasQuestion()) {
        return;
    }
    {
        examdb::Database db = examdb::Database::open(app::edition().databaseFile);
        db.execute(examdb::statements::x2());
    }
    examdb::Recordset& shown = Data1->recordset();
    shown.addNew();
    shown.setValue(1, ui->Text1->text());
    shown.update();
    // The exam stays in view unless the answer window really opened in front of it.
    if (flow::open(win::Answer, win::Exam)) {
        hide();
    }
}

void Form211::Picture1_Click() {
    if (ended) {
        return;
    }
    ExamSettings.CurrentExhibit = currentValue(QStringLiteral("diagram1")).toString();
    if (!hasCurrentExhibit()) {
        return;
    }
    if (flow::open(win::Exhibit, win::Exam) && !app::edition().demo) {
        hide();
    }
}

void Form211::cmdEndExam_Click() {
    if (ended || prompting) {
        return;
    }
    rememberCurrentAnswer();
    QString question = QStringLiteral("Do you really wish to end the test?");
    const QString leftToDo =
        exam::leftToDoLine(progress().unansweredCount(), progress().flaggedCount());
    if (!leftToDo.isEmpty()) {
        question += QLatin1Char('\n') + leftToDo;
    }
    prompts::Answer answer;
    {
        const FlagGuard guard(prompting);
        answer = prompts::MsgBox(question, prompts::Buttons::OkCancel, prompts::Icon::Question,
                                 QStringLiteral("Confirmation"));
    }
    if (answer == prompts::Answer::Ok && !ended) {
        endExam();
    }
}

void Form211::endExam() {
    // The last marks and flags go together, as on every move.
    if (hasRows()) {
        moveSaving([] {});
    }
    ended = true;
    if (iis->isOpen()) {
        // Scored, recorded and cleared from the resume record in one step of the session.
        exam().end(iis->database(), bankExam(), ExamSettings.QuestionsPerExam,
                   app::edition().passingScore);
    }
    Timer1->stop();
    if (review) {
        review->close();
    }
    // A window opened from the exam must not lead back into it once it is over.
    for (const QString& name : {win::Answer.id(), win::Exhibit.id()}) {
        flow::unload(name);
        flow::hide(name);
    }
    // The full edition's answer window starts its clock afresh at every opening; the demo's
    // keeps its object, and so its clock, as its own Return does.
    if (!app::edition().demo) {
        flow::discard(win::Answer);
    }
    Unload();
    flow::open(win::ScoreSheet);
}

bool Form211::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && loaded && !ended) {
        app::guarded([this] { Form_Activate(); });
    }
    // Fonts, zoom, style and answer mode all end in a new layout; the window's layout has just
    // placed the rows, and places them again at once if the selectors moved.
    if (e->type() == QEvent::LayoutRequest && alignSelectors() && layout()) {
        layout()->activate();
    }
    return QWidget::event(e);
}

void Form211::closeEvent(QCloseEvent* e) {
    // The End Exam question: an exam never just disappears.
    app::routeTitleBarClose(e, [this] {
        if (loaded && !ended) {
            cmdEndExam_Click();
        }
    });
}

void Form211::keyPressEvent(QKeyEvent* e) {
    // Outside dialogs a push button ignores Enter; here it presses the focused button. In a
    // practice run Enter anywhere else checks the answer.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (practice() && !qobject_cast<QPushButton*>(focusWidget())) {
            app::guarded([this] { cmdCheck_Click(); });
            return;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

bool Form211::eventFilter(QObject* watched, QEvent* e) {
    // A new look brings its style and palette: the inks are the new look's too.
    if (watched == ui->lblClock &&
        (e->type() == QEvent::StyleChange || e->type() == QEvent::ApplicationPaletteChange)) {
        paintInks();
    }
    for (int n = 1; n <= 5; ++n) {
        if (watched == answerText(n)->viewport()) {
            choiceTextEvent(n, *e);
            return QWidget::eventFilter(watched, e);
        }
    }
    if (watched == ui->LblPause) {
        if (e->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(e);
            if (mouse->button() == Qt::LeftButton &&
                ui->LblPause->rect().contains(mouse->position().toPoint())) {
                app::guarded([this] { LblPause_Click(); });
                return true;
            }
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                app::guarded([this] { LblPause_Click(); });
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}
