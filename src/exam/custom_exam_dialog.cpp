#include "exam/custom_exam_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "app/display_text.h"
#include "app/edition.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/error.h"
#include "look/inks.h"
#include "look/text_zoom.h"
#include "session/exam_session.h"

namespace exam {
namespace {

// A list has room for longer names than a box's line.
constexpr qsizetype kLongestCategoryName = 120;

QString shownName(const QString& name) {
    const QString shown = app::shortName(name, kLongestCategoryName);
    return shown.isEmpty() ? QStringLiteral("(no name)") : shown;
}

// Controls side by side, then the field's note taking the room that is left.
QHBoxLayout* row(std::initializer_list<QWidget*> controls, QWidget* note) {
    auto* line = new QHBoxLayout;
    for (QWidget* control : controls) {
        line->addWidget(control);
    }
    if (note) {
        line->addWidget(note, 1);
    }
    line->addStretch();
    return line;
}

QLabel* problemLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    look::paintText(*label, look::Ink::Instruction);
    label->hide();
    return label;
}

QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void say(QLabel& label, QWidget& field, const QString& problem) {
    label.setText(problem);
    label.setVisible(!problem.isEmpty());
    // A screen reader reads it with the field's name whenever the field has the focus.
    field.setAccessibleDescription(problem);
}

}  // namespace

CustomExamDialog::CustomExamDialog()
    : name_(new QLineEdit(this)),
      exam_(new QComboBox(this)),
      examProblem_(problemLabel(this, QStringLiteral("lblExamProblem"))),
      list_(new QListWidget(this)),
      selectAll_(new QPushButton(QStringLiteral("Select &All"), this)),
      // Alt+N is the name's.
      selectNone_(new QPushButton(QStringLiteral("Select N&one"), this)),
      categoriesProblem_(problemLabel(this, QStringLiteral("lblCategoriesProblem"))),
      uncategorized_(new QLabel(this)),
      questions_(new QSpinBox(this)),
      questionsProblem_(problemLabel(this, QStringLiteral("lblQuestionsProblem"))),
      minutes_(new QSpinBox(this)),
      minutesNote_(new QLabel(QStringLiteral("0 minutes: untimed."), this)),
      timed_(new QRadioButton(QStringLiteral("Timed e&xam"), this)),
      practice_(new QRadioButton(QStringLiteral("&Practice"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(win::CustomExam.id());
    setWindowTitle(QStringLiteral("Custom Exam"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    name_->setObjectName(QStringLiteral("txtName"));
    name_->setAccessibleName(QStringLiteral("Name"));
    exam_->setObjectName(QStringLiteral("cboExam"));
    exam_->setAccessibleName(QStringLiteral("Exam"));
    list_->setObjectName(QStringLiteral("lstCategories"));
    list_->setAccessibleName(QStringLiteral("Categories"));
    selectAll_->setObjectName(QStringLiteral("cmdSelectAll"));
    selectNone_->setObjectName(QStringLiteral("cmdSelectNone"));
    uncategorized_->setObjectName(QStringLiteral("lblUncategorized"));
    questions_->setObjectName(QStringLiteral("spnQuestions"));
    questions_->setAccessibleName(QStringLiteral("Questions"));
    minutes_->setObjectName(QStringLiteral("spnMinutes"));
    minutes_->setAccessibleName(QStringLiteral("Minutes"));
    minutesNote_->setObjectName(QStringLiteral("lblMinutesNote"));
    timed_->setObjectName(QStringLiteral("optTimed"));
    practice_->setObjectName(QStringLiteral("optPractice"));
    ok_->setObjectName(QStringLiteral("cmdOK"));
    cancel_->setObjectName(QStringLiteral("cmdCancel"));

    if (app::edition().demo) {
        exam_->addItem(QStringLiteral("Exam #1 Demo"), 1);
    } else {
        for (int exam = 1; exam <= 3; ++exam) {
            exam_->addItem(QStringLiteral("Exam #%1").arg(exam), exam);
        }
    }
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumWidth(360);
    look::followZoom(*list_);
    uncategorized_->setTextFormat(Qt::PlainText);
    uncategorized_->setWordWrap(true);
    uncategorized_->hide();
    for (QSpinBox* box : {questions_, minutes_}) {
        // The box's text line takes the keyboard for it; a screen reader names what has it.
        for (QWidget* line : box->findChildren<QLineEdit*>()) {
            line->setAccessibleName(box->accessibleName());
        }
    }
    questions_->setRange(0, kMostQuestions);
    minutes_->setRange(0, session::kMaxCustomMinutes);
    minutes_->setSpecialValueText(QStringLiteral("Untimed"));
    minutesNote_->setTextFormat(Qt::PlainText);
    minutesNote_->setWordWrap(true);
    minutes_->setAccessibleDescription(minutesNote_->text());
    timed_->setChecked(true);
    ok_->setDefault(true);

    QHBoxLayout* examRow = row({exam_}, examProblem_);
    QHBoxLayout* ticks = row({selectAll_, selectNone_}, categoriesProblem_);
    QHBoxLayout* countRow = row({questions_}, questionsProblem_);
    QHBoxLayout* minutesRow = row({minutes_}, minutesNote_);
    QHBoxLayout* modeRow = row({timed_, practice_}, nullptr);

    auto* form = new QGridLayout;
    form->addWidget(caption(this, QStringLiteral("&Name:"), name_), 0, 0);
    form->addWidget(name_, 0, 1);
    form->addWidget(caption(this, QStringLiteral("&Exam:"), exam_), 1, 0);
    form->addLayout(examRow, 1, 1);
    form->addWidget(caption(this, QStringLiteral("Ca&tegories:"), list_), 2, 0,
                    Qt::AlignLeft | Qt::AlignTop);
    form->addWidget(list_, 2, 1);
    form->addLayout(ticks, 3, 1);
    form->addWidget(uncategorized_, 4, 1);
    form->addWidget(caption(this, QStringLiteral("&Questions:"), questions_), 5, 0);
    form->addLayout(countRow, 5, 1);
    form->addWidget(caption(this, QStringLiteral("&Minutes:"), minutes_), 6, 0);
    form->addLayout(minutesRow, 6, 1);
    form->addWidget(new QLabel(QStringLiteral("Mode:"), this), 7, 0);
    form->addLayout(modeRow, 7, 1);
    form->setRowStretch(2, 1);
    form->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    QWidget* const reading[] = {name_,    exam_,  list_,     selectAll_, selectNone_, questions_,
                                minutes_, timed_, practice_, ok_,        cancel_};
    for (size_t i = 1; i < std::size(reading); ++i) {
        setTabOrder(reading[i - 1], reading[i]);
    }

    connect(exam_, &QComboBox::currentIndexChanged, this, [this] {
        app::guarded([this] {
            if (readExam_ != 0) {
                loadExam(chosenExam());
            }
        });
    });
    connect(list_, &QListWidget::itemChanged, this, [this] {
        app::guarded([this] {
            followDefaults();
            showProblems();
        });
    });
    connect(questions_, &QSpinBox::valueChanged, this, [this] {
        app::guarded([this] {
            questionsEdited_ = true;
            followDefaults();
            showProblems();
        });
    });
    connect(minutes_, &QSpinBox::valueChanged, this, [this] { minutesEdited_ = true; });
    app::onSignal(selectAll_, &QPushButton::clicked, this, &CustomExamDialog::cmdSelectAll_Click);
    app::onSignal(selectNone_, &QPushButton::clicked, this, &CustomExamDialog::cmdSelectNone_Click);
    app::onSignal(ok_, &QPushButton::clicked, this, &CustomExamDialog::cmdOK_Click);
    app::onSignal(cancel_, &QPushButton::clicked, this, &CustomExamDialog::Unload);
}

CustomExamDialog::~CustomExamDialog() = default;

void CustomExamDialog::Show() {
    std::optional<session::CustomExam> last = app::lastCustomExam();
    const int lastExam = last ? exam_->findData(last->exam) : -1;
    if (lastExam < 0) {
        last.reset();  // an exam this edition does not offer
    }
    // The candidate's own count stays as it was; minutes that followed it follow it still.
    questionsEdited_ = last.has_value();
    minutesEdited_ = last && last->minutes != session::defaultMinutes(last->questions);
    (last && last->practice ? practice_ : timed_)->setChecked(true);
    {
        const QSignalBlocker quiet(questions_);
        questions_->setValue(last ? last->questions : kDefaultQuestions);
    }
    {
        const QSignalBlocker quiet(minutes_);
        minutes_->setValue(last ? last->minutes : kDefaultQuestions);
    }
    if (last) {
        const QSignalBlocker quiet(exam_);
        exam_->setCurrentIndex(lastExam);
    }
    name_->setText(app::lastCandidateName());
    if (!loadExam(chosenExam())) {
        return;
    }
    if (last) {
        restore(*last);
    }
    placeOverMenu();
    show();
    raise();
    activateWindow();
    // Typing replaces the name, as in the name box of a fixed exam.
    name_->selectAll();
    name_->setFocus();
}

void CustomExamDialog::restore(const session::CustomExam& last) {
    bool any = false;
    {
        const QSignalBlocker quiet(list_);
        for (int row = 0; row < list_->count(); ++row) {
            QListWidgetItem* item = list_->item(row);
            const bool wanted =
                std::find(last.categories.begin(), last.categories.end(),
                          read_.categories[size_t(row)].category) != last.categories.end();
            if (item->flags() & Qt::ItemIsUserCheckable) {
                item->setCheckState(wanted ? Qt::Checked : Qt::Unchecked);
                any = any || wanted;
            }
        }
    }
    // None of them is left to draw from: every category, as the first time.
    if (!any) {
        tickAll(true);
    }
    list_->viewport()->update();
    const int available = std::min(tickedQuestions(), kMostQuestions);
    if (available > 0 && questions_->value() > available) {
        const QSignalBlocker quiet(questions_);
        questions_->setValue(available);
    }
    followDefaults();
    showProblems();
}

void CustomExamDialog::Unload() {
    hide();
}

void CustomExamDialog::reject() {
    app::guarded([this] { Unload(); });
}

int CustomExamDialog::chosenExam() const {
    return exam_->currentData().toInt();
}

bool CustomExamDialog::loadExam(int exam) {
    try {
        // The draw's kept connection: opening and checking the bank is most of a count's cost.
        read_ = readCategories(
            session::active().drawConnection(app::edition().databaseFile).database(), exam);
    } catch (const examdb::Error& e) {
        read_ = {};
        readExam_ = 0;
        hide();
        prompts::MsgBox(QStringLiteral("No custom exam can be made: the categories of %1 cannot "
                                       "be read from the question bank.\n\n%2")
                            .arg(exam_->currentText(), e.text),
                        prompts::Buttons::OkOnly, prompts::Icon::Critical);
        return false;
    }
    readExam_ = exam;
    fillCategories();
    return true;
}

void CustomExamDialog::fillCategories() {
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
        const QColor greyed = list_->palette().color(QPalette::Disabled, QPalette::Text);
        for (const CategoryCount& c : read_.categories) {
            auto* item = new QListWidgetItem(
                QStringLiteral("%1 (%2)").arg(shownName(c.name)).arg(c.questions), list_);
            if (c.questions > 0) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Checked);
            } else {
                // Listed, so the candidate sees the category exists, but nothing to tick.
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setCheckState(Qt::Unchecked);
                item->setForeground(greyed);
            }
        }
        if (list_->count() > 0) {
            list_->setCurrentRow(0);
        }
    }
    const int never = read_.uncategorized;
    uncategorized_->setText(never == 1
                                ? QStringLiteral("1 question has no category and is never drawn.")
                                : QStringLiteral("%1 questions have no category and are never "
                                                 "drawn.")
                                      .arg(never));
    uncategorized_->setVisible(never > 0);
    followDefaults();
    showProblems();
}

void CustomExamDialog::tickAll(bool ticked) {
    {
        const QSignalBlocker quiet(list_);
        for (int row = 0; row < list_->count(); ++row) {
            QListWidgetItem* item = list_->item(row);
            if (item->flags() & Qt::ItemIsUserCheckable) {
                item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    // The view repaints what it was told of; the blocked signal told it nothing.
    list_->viewport()->update();
    followDefaults();
    showProblems();
}

void CustomExamDialog::cmdSelectAll_Click() {
    tickAll(true);
}

void CustomExamDialog::cmdSelectNone_Click() {
    tickAll(false);
}

int CustomExamDialog::tickedQuestions() const {
    int sum = 0;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->checkState() == Qt::Checked) {
            sum += read_.categories[size_t(row)].questions;
        }
    }
    return sum;
}

int CustomExamDialog::tickedCount() const {
    int ticked = 0;
    for (int row = 0; row < list_->count(); ++row) {
        ticked += list_->item(row)->checkState() == Qt::Checked ? 1 : 0;
    }
    return ticked;
}

void CustomExamDialog::followDefaults() {
    const int available = tickedQuestions();
    if (!questionsEdited_ && available > 0) {
        const QSignalBlocker quiet(questions_);
        questions_->setValue(std::min(kDefaultQuestions, available));
    }
    if (!minutesEdited_ && questions_->value() >= 1) {
        const QSignalBlocker quiet(minutes_);
        minutes_->setValue(
            std::min(session::defaultMinutes(questions_->value()), session::kMaxCustomMinutes));
    }
}

CustomExamDialog::Problems CustomExamDialog::findProblems() const {
    Problems found;
    if (readExam_ == 0) {
        return found;
    }
    const QString exam = exam_->currentText();
    if (read_.total() == 0) {
        found.exam = QStringLiteral("%1 has no questions.").arg(exam);
        return found;
    }
    if (read_.total() == read_.uncategorized) {
        found.exam = QStringLiteral("No question of %1 has a category.").arg(exam);
        return found;
    }
    const int ticked = tickedCount();
    if (ticked == 0) {
        found.categories = QStringLiteral("Tick at least one category.");
        return found;
    }
    const int available = tickedQuestions();
    const int most = std::min(available, kMostQuestions);
    const int count = questions_->value();
    if (count < 1 || count > most) {
        const QString hold = ticked == 1 ? QStringLiteral("The ticked category holds %1")
                                         : QStringLiteral("The ticked categories hold %1");
        const QString choose =
            most == 1 ? QStringLiteral("choose 1.") : QStringLiteral("choose 1 to %1.").arg(most);
        found.questions =
            hold.arg(session::questionCount(available)) + QStringLiteral(": ") + choose;
    }
    return found;
}

QString CustomExamDialog::problem() const {
    const Problems found = findProblems();
    for (const QString& text : {found.exam, found.categories, found.questions}) {
        if (!text.isEmpty()) {
            return text;
        }
    }
    return readExam_ == 0 ? QStringLiteral("The question bank could not be read.") : QString();
}

void CustomExamDialog::showProblems() {
    const Problems found = findProblems();
    say(*examProblem_, *exam_, found.exam);
    say(*categoriesProblem_, *list_, found.categories);
    say(*questionsProblem_, *questions_, found.questions);
}

std::optional<session::CustomExam> CustomExamDialog::settings() const {
    if (!problem().isEmpty()) {
        return std::nullopt;
    }
    session::CustomExam custom;
    custom.exam = readExam_;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->checkState() == Qt::Checked) {
            custom.categories.push_back(read_.categories[size_t(row)].category);
        }
    }
    custom.questions = questions_->value();
    custom.minutes = minutes_->value();
    custom.practice = practice_->isChecked();
    return custom;
}

QString CustomExamDialog::candidateName() const {
    return name_->text();
}

void CustomExamDialog::cmdOK_Click() {
    showProblems();
    const Problems found = findProblems();
    // The keyboard goes to what must change, where the reason is read out with the field.
    if (!found.exam.isEmpty()) {
        exam_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!found.categories.isEmpty()) {
        list_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!found.questions.isEmpty()) {
        questions_->setFocus(Qt::OtherFocusReason);
        questions_->selectAll();
        return;
    }
    const std::optional<session::CustomExam> custom = settings();
    if (custom && app::startCustomExamAs(*custom, candidateName())) {
        app::rememberCandidateName(candidateName());
        app::rememberCustomExam(*custom);
        Unload();
    }
}

void CustomExamDialog::placeOverMenu() {
    QWidget* menu = flow::existing(win::MainMenu);
    const QScreen* shownOn = menu ? menu->screen() : screen();
    const QRect room = shownOn->availableGeometry();
    resize(sizeHint().expandedTo(minimumSizeHint()).boundedTo(room.size()));
    const QRect over = menu && menu->isVisible() ? menu->frameGeometry() : room;
    QPoint at = over.center() - QPoint(width() / 2, height() / 2);
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
    move(at);
    // The forms registry owns the dialog, so the menu cannot be its parent (it would delete it a
    // second time); the menu's window becomes its owner instead, which is what modality follows.
    winId();
    if (QWindow* own = windowHandle()) {
        own->setTransientParent(menu && menu->windowHandle() ? menu->windowHandle() : nullptr);
    }
}

}  // namespace exam
