#include "exam/review_screen.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/window_frame.h"
#include "session/exam_progress.h"

namespace exam {

// The questions the filter lets through, by position in the draw; the texts are made when a
// row is painted, so a list of thousands opens as fast as one of ten.
class ReviewListModel : public QAbstractTableModel {
public:
    ReviewListModel(const ExamProgress& progress, QObject* parent)
        : QAbstractTableModel(parent), progress_(progress) {}

    void show(std::vector<int> indexes) {
        beginResetModel();
        indexes_ = std::move(indexes);
        endResetModel();
    }
    int indexAt(int row) const { return indexes_[size_t(row)]; }
    int rowOf(int index) const {
        const auto found = std::lower_bound(indexes_.begin(), indexes_.end(), index);
        return found != indexes_.end() && *found == index ? int(found - indexes_.begin()) : -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(indexes_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        const int question = indexAt(index.row());
        switch (index.column()) {
            case 0:
                return question + 1;
            case 1:
                return progress_.isAnswered(question) ? QStringLiteral("Answered")
                                                      : QStringLiteral("Unanswered");
            default:
                return progress_.isFlagged(question) ? QStringLiteral("Flagged") : QString();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        switch (section) {
            case 0:
                return QStringLiteral("Question");
            case 1:
                return QStringLiteral("Answer");
            default:
                return QStringLiteral("Flag");
        }
    }

private:
    const ExamProgress& progress_;
    std::vector<int> indexes_;
};

ReviewScreen::ReviewScreen(const ExamProgress& progress, QWidget* examWindow)
    : QWidget(examWindow, Qt::Window),
      progress_(progress),
      model_(new ReviewListModel(progress, this)),
      summary_(new QLabel(this)),
      all_(new QRadioButton(QStringLiteral("&All"), this)),
      unanswered_(new QRadioButton(QStringLiteral("&Unanswered"), this)),
      flagged_(new QRadioButton(QStringLiteral("&Flagged"), this)),
      list_(new QTreeView(this)),
      position_(new QLabel(this)),
      goTo_(new QPushButton(QStringLiteral("&Go to Question"), this)),
      close_(new QPushButton(QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("ReviewScreen"));
    setWindowTitle(QStringLiteral("Review"));
    setWindowModality(Qt::WindowModal);
    summary_->setObjectName(QStringLiteral("lblSummary"));
    summary_->setTextFormat(Qt::PlainText);
    all_->setObjectName(QStringLiteral("optAll"));
    unanswered_->setObjectName(QStringLiteral("optUnanswered"));
    flagged_->setObjectName(QStringLiteral("optFlagged"));
    list_->setObjectName(QStringLiteral("lstQuestions"));
    list_->setAccessibleName(QStringLiteral("Questions"));
    position_->setObjectName(QStringLiteral("lblPosition"));
    position_->setTextFormat(Qt::PlainText);
    goTo_->setObjectName(QStringLiteral("cmdGoTo"));
    close_->setObjectName(QStringLiteral("cmdClose"));

    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setItemsExpandable(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(0, 110);
    list_->setColumnWidth(1, 150);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Show:"), this));
    filters->addWidget(all_);
    filters->addWidget(unanswered_);
    filters->addWidget(flagged_);
    filters->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(position_);
    buttons->addStretch();
    buttons->addWidget(goTo_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(filters);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(460, 520);

    const auto filterOn = [this](QRadioButton* button, Filter filter) {
        connect(button, &QRadioButton::toggled, this, [this, button, filter] {
            app::guarded([&] {
                if (button->isChecked()) {
                    const QModelIndex current = list_->currentIndex();
                    applyFilter(filter, current.isValid() ? model_->indexAt(current.row()) : -1);
                }
            });
        });
    };
    filterOn(all_, Filter::All);
    filterOn(unanswered_, Filter::Unanswered);
    filterOn(flagged_, Filter::Flagged);
    // Enter reaches keyPressEvent; the mouse chooses by a double click.
    connect(list_, &QAbstractItemView::doubleClicked, this,
            [this] { app::guarded([this] { chooseSelected(); }); });
    app::onSignal(goTo_, &QPushButton::clicked, this, &ReviewScreen::chooseSelected);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showPosition(); });
}

ReviewScreen::~ReviewScreen() = default;

void ReviewScreen::open(int currentIndex) {
    showSummary();
    {
        const QSignalBlocker quiet(all_);
        all_->setChecked(true);
    }
    applyFilter(Filter::All, currentIndex);
    // Over the middle of the exam, whether or not a window manager places it.
    if (const QWidget* exam = parentWidget()) {
        const QRect over = exam->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
    list_->setFocus();
}

void ReviewScreen::showSummary() {
    summary_->setText(QStringLiteral("%1 questions: %2 unanswered, %3 flagged.")
                          .arg(progress_.questions())
                          .arg(progress_.unansweredCount())
                          .arg(progress_.flaggedCount()));
}

void ReviewScreen::showPosition() {
    const QModelIndex current = list_->currentIndex();
    position_->setText(current.isValid() ? QStringLiteral("Question %1 of %2")
                                               .arg(model_->indexAt(current.row()) + 1)
                                               .arg(progress_.questions())
                                         : QString());
    // The list reads its rows' numbers; this says where they stand in the whole exam.
    list_->setAccessibleDescription(position_->text());
}

void ReviewScreen::applyFilter(Filter filter, int selectIndex) {
    std::vector<int> indexes;
    indexes.reserve(size_t(progress_.questions()));
    for (int i = 0; i < progress_.questions(); ++i) {
        const bool shown = filter == Filter::All ||
                           (filter == Filter::Unanswered && !progress_.isAnswered(i)) ||
                           (filter == Filter::Flagged && progress_.isFlagged(i));
        if (shown) {
            indexes.push_back(i);
        }
    }
    model_->show(std::move(indexes));
    int row = selectIndex >= 0 ? model_->rowOf(selectIndex) : -1;
    if (row < 0 && model_->rowCount() > 0) {
        row = 0;
    }
    goTo_->setEnabled(row >= 0);
    if (row >= 0) {
        const QModelIndex at = model_->index(row, 0);
        list_->setCurrentIndex(at);
        list_->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }
    showPosition();
}

void ReviewScreen::chooseSelected() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const int index = model_->indexAt(current.row());
    close();
    Q_EMIT questionChosen(index);
}

void ReviewScreen::hideEvent(QHideEvent* event) {
    // The keyboard goes back to the exam, window manager or not.
    if (QWidget* exam = parentWidget(); exam && exam->isVisible()) {
        exam->activateWindow();
    }
    QWidget::hideEvent(event);
}

void ReviewScreen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A focused button presses itself; anywhere else Enter goes to the chosen question.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            app::guarded([this] { chooseSelected(); });
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace exam
