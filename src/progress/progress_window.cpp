#include "progress/progress_window.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <map>

#include "app/display_text.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/plain_text.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/error.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "look/inks.h"
#include "look/look.h"
#include "progress/attempt_table.h"
#include "progress/category_figures.h"
#include "progress/column_fit.h"
#include "progress/progress_csv.h"
#include "progress/time_axis.h"
#include "results/results_sending.h"
#include "session/exam_session.h"
#include "standing/due_review.h"
#include "standing/readiness_line.h"
#include "xapi/sender.h"

namespace progress {
namespace {

const QString kTitle = QStringLiteral("Progress");
const QString kAllNames = QStringLiteral("All names");

QString thisEdition() {
    return app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full");
}

QTableView* makeTable(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    // Columns wider than the view scroll smoothly into it, not a whole column at a time.
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    return view;
}

// Series and axes go with the chart's contents; the chart itself stays with its view.
void clear(QChart& chart) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

bool editionHasExam(int exam) {
    return app::edition().demo ? exam == 1 : exam >= 1 && exam <= 3;
}

void tell(const QString& text) {
    prompts::MsgBox(text, prompts::Buttons::OkOnly, prompts::Icon::Exclamation, kTitle);
}

QChart::ChartTheme chartTheme() {
    switch (look::scheme()) {
        case look::Scheme::Dark:
            return QChart::ChartThemeDark;
        case look::Scheme::HighContrast:
            return QChart::ChartThemeHighContrast;
        case look::Scheme::Light:
            break;
    }
    return QChart::ChartThemeLight;
}

}  // namespace

ProgressWindow::ProgressWindow()
    : names_(new QComboBox(this)),
      attemptsView_(makeTable(this, QStringLiteral("tblAttempts"), QStringLiteral("Attempts"))),
      attemptsModel_(new AttemptTableModel(this)),
      scoreView_(new QChartView(this)),
      categoryView_(new QChartView(this)),
      categoriesView_(
          makeTable(this, QStringLiteral("tblCategories"), QStringLiteral("Categories"))),
      categoriesModel_(new QStandardItemModel(this)),
      studyMissed_(new QPushButton(QStringLiteral("&Study Missed Questions"), this)),
      export_(new QPushButton(QStringLiteral("E&xport CSV..."), this)),
      delete_(new QPushButton(QStringLiteral("&Delete Attempt"), this)),
      deleteAll_(new QPushButton(QStringLiteral("Delete A&ll..."), this)),
      close_(new QPushButton(QStringLiteral("&Close"), this)),
      results_(new QLabel(this)),
      readiness_(new QLabel(this)) {
    setObjectName(win::Progress.id());
    setWindowTitle(kTitle);
    names_->setObjectName(QStringLiteral("cboName"));
    scoreView_->setObjectName(QStringLiteral("chartScores"));
    categoryView_->setObjectName(QStringLiteral("chartCategories"));
    studyMissed_->setObjectName(QStringLiteral("cmdStudyMissed"));
    export_->setObjectName(QStringLiteral("cmdExport"));
    delete_->setObjectName(QStringLiteral("cmdDelete"));
    deleteAll_->setObjectName(QStringLiteral("cmdDeleteAll"));
    close_->setObjectName(QStringLiteral("cmdClose"));
    results_->setObjectName(QStringLiteral("lblResults"));
    results_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    results_->hide();
    readiness_->setObjectName(QStringLiteral("lblReadiness"));
    readiness_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    readiness_->setWordWrap(true);
    readiness_->hide();

    attemptsView_->setModel(attemptsModel_);
    categoriesView_->setModel(categoriesModel_);
    scoreView_->setRenderHint(QPainter::Antialiasing);
    categoryView_->setRenderHint(QPainter::Antialiasing);
    // Each view made its own chart and owns it; a chart set in its place would leak that one.
    scoreView_->chart()->setTitle(QStringLiteral("Score over time"));
    categoryView_->chart()->setTitle(QStringLiteral("% correct by category"));
    for (QChartView* view : {scoreView_, categoryView_}) {
        // A chart is a picture to the keyboard and a screen reader; the tables beside it hold
        // the same figures and are where the focus goes.
        view->setFocusPolicy(Qt::NoFocus);
        view->viewport()->setFocusPolicy(Qt::NoFocus);
        view->setAccessibleDescription(QStringLiteral("The tables beside it hold its figures."));
        view->chart()->setTheme(chartTheme());
    }
    scoreView_->setAccessibleName(QStringLiteral("Score over time"));
    categoryView_->setAccessibleName(QStringLiteral("Percent correct by category"));
    scoreView_->setMinimumHeight(220);
    categoryView_->setMinimumHeight(260);

    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    nameLabel->setBuddy(names_);
    auto* filter = new QHBoxLayout;
    filter->addWidget(nameLabel);
    filter->addWidget(names_, 1);
    filter->addStretch(2);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(attemptsView_, 3);
    leftLayout->addWidget(categoriesView_, 2);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(scoreView_, 1);
    rightLayout->addWidget(categoryView_, 1);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    // Half each to start with: the size hints alone leave the charts too narrow for the score
    // chart's legend once custom exams have an entry of their own.
    split->setSizes({1, 1});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(studyMissed_);
    buttons->addWidget(export_);
    buttons->addStretch();
    buttons->addWidget(delete_);
    buttons->addWidget(deleteAll_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filter);
    layout->addWidget(split, 1);
    layout->addWidget(readiness_);
    layout->addWidget(results_);
    layout->addLayout(buttons);
    setTabOrder(names_, attemptsView_);
    setTabOrder(attemptsView_, categoriesView_);

    connect(names_, &QComboBox::activated, this, [this](int index) {
        app::guarded([this, index] {
            setNameFilter(index <= 0 ? QString() : names_->itemData(index).toString());
        });
    });
    // The score chart shows every attempt shown; only the category chart follows the choice.
    connect(attemptsView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { app::guarded([this] { fillCategoryChart(); }); });
    app::onSignal(studyMissed_, &QPushButton::clicked, this, &ProgressWindow::cmdStudyMissed_Click);
    app::onSignal(export_, &QPushButton::clicked, this, &ProgressWindow::cmdExport_Click);
    app::onSignal(delete_, &QPushButton::clicked, this, &ProgressWindow::cmdDelete_Click);
    app::onSignal(deleteAll_, &QPushButton::clicked, this, &ProgressWindow::cmdDeleteAll_Click);
    app::onSignal(close_, &QPushButton::clicked, this, &ProgressWindow::Unload);
    resize(1100, 720);
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::Show() {
    reload();
    showResultsLine();
    app::showMaximizedOnScreen(*this);
    attemptsView_->setFocus();
}

void ProgressWindow::Unload() {
    hide();
}

void ProgressWindow::reload() {
    all_.clear();
    if (history::HistoryStore* store = history::store()) {
        try {
            for (history::AttemptRecord& a : store->attempts()) {
                if (a.edition == thisEdition()) {
                    all_.push_back(std::move(a));
                }
            }
        } catch (const examdb::Error& e) {
            tell(QStringLiteral("The progress history cannot be read: %1.")
                     .arg(history::faultReason(e)));
        }
    }
    fillNames();
    setNameFilter(nameFilter_);
}

// Where the results stand with the training centre's record store; no line when none is set.
void ProgressWindow::showResultsLine() {
    const QString line = results::resultsLine();
    results_->setText(line);
    results_->setVisible(!line.isEmpty());
    if (xapi::Sender* sender = results::resultsSender()) {
        connect(sender, &xapi::Sender::changed, this, &ProgressWindow::showResultsLine,
                Qt::UniqueConnection);
    }
}

void ProgressWindow::fillNames() {
    std::vector<QString> names;
    for (const history::AttemptRecord& a : all_) {
        if (std::find(names.begin(), names.end(), a.candidate) == names.end()) {
            names.push_back(a.candidate);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const QString& x, const QString& y) { return x.localeAwareCompare(y) < 0; });
    names_->clear();
    names_->addItem(kAllNames);
    for (const QString& name : names) {
        // Cut short for the eye; the full name filters.
        names_->addItem(app::shortName(name), name);
    }
    if (!nameFilter_.isEmpty() &&
        std::find(names.begin(), names.end(), nameFilter_) == names.end()) {
        nameFilter_.clear();
    }
}

void ProgressWindow::setNameFilter(const QString& name) {
    nameFilter_ = name;
    const int at = name.isEmpty() ? 0 : names_->findData(name);
    names_->setCurrentIndex(std::max(at, 0));
    shown_.clear();
    for (const history::AttemptRecord& a : all_) {
        if (name.isEmpty() || a.candidate == name) {
            shown_.push_back(a);
        }
    }
    attemptsModel_->show(&shown_);
    fitColumns(*attemptsView_);
    const bool any = !shown_.empty();
    delete_->setEnabled(any);
    studyMissed_->setEnabled(any);
    export_->setEnabled(any);
    deleteAll_->setEnabled(!all_.empty());
    fillScoreChart();
    if (any) {
        selectAttempt(0);
    } else {
        fillCategoryChart();
    }
}

void ProgressWindow::selectAttempt(int row) {
    if (row < 0 || row >= int(shown_.size())) {
        return;
    }
    // A new row redraws through the selection's signal; the same row is drawn again here.
    const bool same = attemptsView_->currentIndex().row() == row;
    attemptsView_->setCurrentIndex(attemptsModel_->index(row, 0));
    if (same) {
        fillCategoryChart();
    }
}

const history::AttemptRecord* ProgressWindow::selected() const {
    const QModelIndex current = attemptsView_->currentIndex();
    if (shown_.empty()) {
        return nullptr;
    }
    const int row = current.isValid() ? current.row() : 0;
    return row < int(shown_.size()) ? &shown_[size_t(row)] : nullptr;
}

void ProgressWindow::fillScoreChart() {
    QChart& chart = *scoreView_->chart();
    clear(chart);
    if (shown_.empty()) {
        return;
    }
    // One line per fixed exam, oldest point first. Custom attempts, of other lengths and
    // categories, are points of their own and never bend an exam's line.
    std::map<QString, QLineSeries*> byExam;
    QScatterSeries* custom = nullptr;
    const history::AttemptRecord* newestFixed = nullptr;
    qint64 first = shown_.back().ended.toMSecsSinceEpoch();
    qint64 last = first;
    int lowest = 0;
    for (auto a = shown_.rbegin(); a != shown_.rend(); ++a) {
        QXYSeries* series = nullptr;
        if (isCustom(*a)) {
            if (!custom) {
                custom = new QScatterSeries;
                custom->setName(QStringLiteral("Custom exams"));
                custom->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
                custom->setMarkerSize(11);
            }
            series = custom;
        } else {
            QLineSeries*& line = byExam[examOf(*a)];
            if (!line) {
                line = new QLineSeries;
                line->setName(examOf(*a));
                line->setPointsVisible(true);
            }
            series = line;
            newestFixed = &*a;
        }
        const qint64 at = a->ended.toMSecsSinceEpoch();
        first = std::min(first, at);
        last = std::max(last, at);
        series->append(double(at), a->score);
        lowest = std::min(lowest, a->score);
    }
    const TimeAxis span = timeAxis(first, last);
    auto* pass = new QLineSeries;
    pass->setName(QStringLiteral("Pass mark"));
    QPen dashed(look::ink(look::Ink::Instruction));
    dashed.setStyle(Qt::DashLine);
    dashed.setWidth(2);
    pass->setPen(dashed);
    const int passMark = (newestFixed ? *newestFixed : shown_.front()).passMark;
    pass->append(double(span.from), passMark);
    pass->append(double(span.to), passMark);

    auto* x = new QDateTimeAxis;
    x->setFormat(span.format);
    x->setTickCount(span.ticks);
    x->setRange(QDateTime::fromMSecsSinceEpoch(span.from), QDateTime::fromMSecsSinceEpoch(span.to));
    auto* y = new QValueAxis;
    y->setRange(lowest, 1000);
    y->setLabelFormat(QStringLiteral("%d"));
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    std::vector<QXYSeries*> all;
    for (auto& entry : byExam) {
        all.push_back(entry.second);
    }
    if (custom) {
        all.push_back(custom);
    }
    all.push_back(pass);
    for (QXYSeries* series : all) {
        chart.addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

void ProgressWindow::showReadiness() {
    const history::AttemptRecord* chosen = selected();
    std::optional<standing::ExamReadiness> ready;
    if (chosen && editionHasExam(chosen->exam)) {
        ready = standing::readinessFor(chosen->candidate, chosen->exam);
    }
    readiness_->setText(ready ? standing::readinessLine(*ready, true) : QString());
    readiness_->setVisible(ready.has_value());
}

void ProgressWindow::fillCategoryChart() {
    showReadiness();
    QChart& chart = *categoryView_->chart();
    clear(chart);
    categoriesModel_->clear();
    categoriesModel_->setHorizontalHeaderLabels(
        {QStringLiteral("Category"), QStringLiteral("Latest %"), QStringLiteral("Earlier %")});
    const history::AttemptRecord* chosen = selected();
    if (!chosen) {
        return;
    }
    // The chosen attempt and the same name's attempts before it at the same exam, and for a
    // custom exam with the same settings: other categories and counts would not compare.
    std::vector<history::AttemptRecord> line;
    for (const history::AttemptRecord& a : all_) {
        if (sameKind(a, *chosen) && a.candidate == chosen->candidate &&
            (a.ended < chosen->ended || (a.ended == chosen->ended && a.id <= chosen->id))) {
            line.push_back(a);
        }
    }
    const std::vector<CategoryFigure> figures = categoryFigures(line);
    chart.setTitle(plain::forMarkup(examText(*chosen) + QStringLiteral(", ") +
                                    app::shortName(chosen->candidate) +
                                    QStringLiteral(": % correct by category")));
    auto* latest = new QBarSet(QStringLiteral("This attempt"));
    auto* earlier = new QBarSet(QStringLiteral("Average before it"));
    QStringList names;
    // The chart draws its first category at the bottom; the table reads top down.
    for (auto f = figures.rbegin(); f != figures.rend(); ++f) {
        names << plain::forMarkup(f->name);
        *latest << f->latest;
        *earlier << std::max(f->earlierAverage, 0);
    }
    for (const CategoryFigure& f : figures) {
        categoriesModel_->appendRow(
            {new QStandardItem(f.name), new QStandardItem(QString::number(f.latest)),
             new QStandardItem(f.earlierAverage < 0 ? kNoFigure
                                                    : QString::number(f.earlierAverage))});
    }
    fitColumns(*categoriesView_);
    auto* series = new QHorizontalBarSeries;
    series->append(latest);
    if (line.size() > 1) {
        series->append(earlier);
    } else {
        delete earlier;
    }
    chart.addSeries(series);
    auto* y = new QBarCategoryAxis;
    y->append(names);
    auto* x = new QValueAxis;
    x->setRange(0, 100);
    x->setLabelFormat(QStringLiteral("%d"));
    chart.addAxis(y, Qt::AlignLeft);
    chart.addAxis(x, Qt::AlignBottom);
    series->attachAxis(y);
    series->attachAxis(x);
}

bool ProgressWindow::exportCsv(const QString& path) {
    // Written beside the earlier export and put in its place only when whole, so a full disk
    // leaves that one as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // The mark tells spreadsheets the file is UTF-8, so names keep their accents.
    const QByteArray text = "\xEF\xBB\xBF" + csvText(shown_).toUtf8();
    // Flushed here: a failure in commit()'s own flush goes unnoticed and leaves an empty file.
    if (file.write(text) != text.size() || !file.flush()) {
        file.cancelWriting();
    }
    return file.commit();
}

void ProgressWindow::cmdExport_Click() {
    if (shown_.empty()) {
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export Progress"),
        QDir::home().filePath(QStringLiteral("progress.csv")), QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty()) {
        exportTo(path);
    }
}

void ProgressWindow::exportTo(const QString& path) {
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!exportCsv(path)) {
        prompts::MsgBox(QStringLiteral("%1 could not be written.").arg(shownPath),
                        prompts::Buttons::OkOnly, prompts::Icon::Exclamation, kTitle);
        return;
    }
    const qsizetype count = qsizetype(shown_.size());
    prompts::MsgBox(QStringLiteral("%1 written to %2.")
                        .arg(count == 1 ? QStringLiteral("1 attempt")
                                        : QStringLiteral("%1 attempts").arg(count),
                             shownPath),
                    prompts::Buttons::OkOnly, prompts::Icon::Information, kTitle);
}

void ProgressWindow::cmdDelete_Click() {
    const history::AttemptRecord* chosen = selected();
    history::HistoryStore* store = history::store();
    if (!chosen || !store) {
        return;
    }
    const QString question =
        QStringLiteral("Delete the attempt of %1 at %2 on %3 (%4/1000) from the history?")
            .arg(app::shortName(chosen->candidate), examPhrase(*chosen),
                 QLocale::system().toString(chosen->ended, QLocale::ShortFormat))
            .arg(chosen->score);
    if (prompts::MsgBox(question, prompts::Buttons::YesNoSafe, prompts::Icon::Question, kTitle) !=
        prompts::Answer::Yes) {
        return;
    }
    try {
        store->remove(chosen->id);
    } catch (const examdb::Error& e) {
        tell(QStringLiteral("The attempt could not be deleted from the progress history: %1.")
                 .arg(history::faultReason(e)));
        return;
    }
    reload();
}

void ProgressWindow::cmdDeleteAll_Click() {
    history::HistoryStore* store = history::store();
    if (!store || all_.empty()) {
        return;
    }
    if (prompts::MsgBox(QStringLiteral("Delete every recorded attempt, of every name, from the "
                                       "history? This cannot be undone."),
                        prompts::Buttons::YesNoSafe, prompts::Icon::Question,
                        kTitle) != prompts::Answer::Yes) {
        return;
    }
    try {
        store->removeAll();
    } catch (const examdb::Error& e) {
        tell(QStringLiteral("The attempts could not be deleted from the progress history: %1.")
                 .arg(history::faultReason(e)));
        return;
    }
    nameFilter_.clear();
    reload();
}

void ProgressWindow::cmdStudyMissed_Click() {
    const history::AttemptRecord* chosen = selected();
    history::HistoryStore* store = history::store();
    if (!chosen || !store || examUnderWay()) {
        return;
    }
    // The study window would open another exam's questions in its place.
    if (!editionHasExam(chosen->exam)) {
        tell(QStringLiteral("Exam #%1 is not an exam of this edition, so its missed questions "
                            "cannot be studied.")
                 .arg(chosen->exam));
        return;
    }
    std::vector<qint64> missed;
    try {
        missed = store->missedQuestions(chosen->edition, chosen->exam, chosen->candidate, 3);
    } catch (const examdb::Error& e) {
        tell(QStringLiteral("The missed questions could not be read from the progress history: "
                            "%1.")
                 .arg(history::faultReason(e)));
        return;
    }
    if (missed.empty()) {
        prompts::MsgBox(QStringLiteral("%1 missed no question of %2 in the last three attempts.")
                            .arg(app::shortName(chosen->candidate), examOf(*chosen)),
                        prompts::Buttons::OkOnly, prompts::Icon::Information, kTitle);
        return;
    }
    // Each is tried first, then checked; the run's end comes back here.
    if (standing::startQuestionReview(chosen->candidate, chosen->exam, missed, win::Progress)) {
        hide();
    }
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Unload();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace progress
