#include "results/form3.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "app/custom_exam.h"
#include "app/display_text.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/logo.h"
#include "app/window_flow.h"
#include "app/window_frame.h"
#include "app/window_names.h"
#include "examdb/data_source.h"
#include "examdb/database.h"
#include "examdb/statements.h"
#include "history/history_access.h"
#include "look/inks.h"
#include "look/text_zoom.h"
#include "results/attempt_history.h"
#include "results/form41.h"
#include "results/grid_model.h"
#include "results/pass_mark.h"
#include "results/window_print.h"
#include "session/exam_session.h"
#include "standing/readiness_line.h"
#include "ui_form3.h"

namespace statements = examdb::statements;
using results::GridModel;

namespace {

examdb::DataSource* dataSource(QObject* parent, const char* name, const QString& table) {
    auto* source = new examdb::DataSource(parent);
    app::useEditionFile(*source, QLatin1String(name), table);
    return source;
}

}  // namespace

Form3::Form3()
    : ui(std::make_unique<Ui::Form3>()),
      Data1(dataSource(this, "Data1", QStringLiteral("exam1"))),
      Data2(dataSource(this, "Data2", QStringLiteral("exam1"))),
      Data3(dataSource(this, "Data3", QStringLiteral("cat"))),
      Data4(dataSource(this, "Data4", QStringLiteral("cat_scores"))),
      categories(new GridModel({{QStringLiteral("sl_no")}, {QStringLiteral("cat_desc")}}, this)),
      categoryScores(new GridModel({{QStringLiteral("Cat_correct"), GridModel::Format::Percent},
                                    {QStringLiteral("cat_scores")}},
                                   this)) {
    ui->setupUi(this);
    app::useReportBackground(*this);
    ui->Picture1->setPixmap(app::logo(64));
    readAloudAndZoom();
    applyEdition();
    setUpGrids();

    app::onSignal(ui->cmdPrint, &QPushButton::clicked, this, &Form3::cmdPrint_Click);
    app::onSignal(ui->CmdAnswers, &QPushButton::clicked, this, &Form3::CmdAnswers_Click);
    app::onSignal(ui->CmdExit, &QPushButton::clicked, this, &Form3::CmdExit_Click);

    Form_Initialize();
}

Form3::~Form3() = default;

void Form3::applyEdition() {
    if (app::edition().demo) {
        ui->Label4->setText(QStringLiteral("Name:"));
        ui->lblDate->setText(QStringLiteral("Date:"));
    }
}

void Form3::setUpGrids() {
    ui->DBGrid1->setModel(categories);
    ui->DBGrid2->setModel(categoryScores);
    ui->DBGrid1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->DBGrid1->horizontalHeader()->setStretchLastSection(true);
    ui->DBGrid2->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The percentages have no scroll bar of their own: they follow the categories beside them,
    // so row i of both grids stays the same category.
    QScrollBar* categoriesBar = ui->DBGrid1->verticalScrollBar();
    QScrollBar* scoresBar = ui->DBGrid2->verticalScrollBar();
    connect(categoriesBar, &QScrollBar::valueChanged, scoresBar, &QScrollBar::setValue);
    // A zoom may move the categories before the percentages have room to follow.
    connect(scoresBar, &QScrollBar::rangeChanged, categoriesBar,
            [categoriesBar, scoresBar] { scoresBar->setValue(categoriesBar->value()); });
}

void Form3::Show() {
    // The sheet was filled when the window was created and keeps it, so loading reads nothing.
    loaded = true;
    app::showMaximizedOnScreen(*this);
    ui->CmdAnswers->setFocus();
}

void Form3::Unload() {
    hide();
    for (examdb::DataSource* source : {Data1, Data2, Data3, Data4}) {
        source->close();
    }
    loaded = false;
}

void Form3::Form_Initialize() {
    const app::Edition& edition = app::edition();
    examdb::Database db = examdb::Database::open(edition.databaseFile);
    session::ExamSession& exam = session::active();
    // The history hears of the exam as it ends, also where no program set it listening.
    results::HistoryRecorder::of(exam);
    // Every exam, custom ones included, divides by its own count of questions; only the
    // questions of this draw count.
    const session::ScoreReport& report =
        exam.end(db, bankExam(), ExamSettings.QuestionsPerExam, edition.passingScore);
    ui->lblScoreObtained->setText(QString::number(report.score) + QStringLiteral("/1000"));

    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    ui->lblCandName->setText(app::shortName(ExamSettings.CandidateName));
    ui->lblExamDate->setText(locale.toString(now.date(), QLocale::ShortFormat));
    ui->lblExamTime->setText(locale.toString(now.time(), QLocale::ShortFormat));

    SetPassScore(*this);
    showVerdict(report.passed);
    Data3->setRecordSource(QStringLiteral("cat"));
    Data3->refresh();
    categories->load(Data3->recordset());
    Lbl_sc_totals.clear();
    Lbl_score_correct.clear();
    Lbl_score.clear();
    for (const session::CategoryScore& c : report.categories) {
        Lbl_sc_totals << QString::number(c.total);
        Lbl_score_correct << QString::number(c.correct);
        Lbl_score << QString::number(c.percent);
    }

    const std::optional<int> previous = results::HistoryRecorder::of(exam).previous();
    if (previous) {
        ui->lblLastAttempt->setText(history::lastAttemptLine(*previous, report.score));
        ui->lblLastAttempt->show();
    }
    if (const auto ready = standing::readinessFor(ExamSettings.CandidateName, report.exam)) {
        ui->lblReadiness->setText(standing::readinessLine(*ready));
        ui->lblReadiness->show();
    }

    Data4->refresh();
    categoryScores->load(Data4->recordset());
    // A category the draw left out has no figures to show, not a score of nothing.
    QSet<int> undrawn;
    for (const session::CategoryScore& c : report.categories) {
        if (c.total == 0) {
            undrawn.insert(c.category);
        }
    }
    categoryScores->setRowsWithoutFigures(std::move(undrawn));
    fitGridsToRows();
}

void Form3::showVerdict(bool passed) {
    ui->Label1->setText(passed ? QStringLiteral("Congratulations!")
                               : QStringLiteral("Sorry, please try again!"));
    look::paintGround(*ui->Label1, passed ? look::Ground::PassBand : look::Ground::FailBand);
}

void Form3::readAloudAndZoom() {
    ui->DBGrid1->setAccessibleName(QStringLiteral("Sectionwise scoring"));
    ui->DBGrid2->setAccessibleName(QStringLiteral("Percent correct"));
    ui->lblScoreObtained->setAccessibleDescription(QStringLiteral("Your score"));
    ui->lblPassScore->setAccessibleDescription(QStringLiteral("Pass score"));
    ui->Label1->setAccessibleDescription(QStringLiteral("Verdict"));
    ui->Label1->setMargin(8);
    look::paintGround(*ui->Label1, look::Ground::FailBand);
    look::paintText(*ui->lblPassScore, look::Ink::Score);
    look::paintText(*ui->lblScoreObtained, look::Ink::Score);
    for (QWidget* text : std::initializer_list<QWidget*>{
             ui->lblExamTitle, ui->Label4, ui->lblCandName, ui->lblDate, ui->lblExamDate,
             ui->lblExamTime, ui->lblPassingScore, ui->lblPassScore, ui->lblYourScore,
             ui->lblScoreObtained, ui->lblLastAttempt, ui->Label1, ui->DBGrid1, ui->DBGrid2}) {
        look::followZoom(*text);
    }
    // Larger text makes taller rows; the grids keep showing every category.
    for (QTableView* grid : {ui->DBGrid1, ui->DBGrid2}) {
        grid->installEventFilter(this);
    }
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    // Each grid's own text size bounds its rows from below, so both are fitted again as each
    // takes the new size; fitted only on the first, the second kept the old size's rows.
    if (event->type() == QEvent::FontChange && (watched == ui->DBGrid1 || watched == ui->DBGrid2)) {
        fitGridsToRows();
    }
    return QWidget::eventFilter(watched, event);
}

// Both grids end with the last category instead of a blank area; many categories still leave
// them the room there is, with the categories' scroll bar.
void Form3::fitGridsToRows() {
    const int rows = std::max(1, categories->rowCount());
    QTableView* grid = ui->DBGrid1;
    // Both grids take one row height, so row i of each stays the same category at any zoom.
    for (QTableView* each : {ui->DBGrid1, ui->DBGrid2}) {
        each->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    }
    const int height = rows * grid->verticalHeader()->defaultSectionSize() + 2 * grid->frameWidth();
    ui->DBGrid1->setMaximumHeight(height);
    ui->DBGrid2->setMaximumHeight(height);
}

void Form3::showPassMark(const QString& examTitle, const QString& passScore) {
    ui->lblExamTitle->setText(examTitle);
    ui->lblPassScore->setText(passScore);
}

void Form3::cmdPrint_Click() {
    results::printWindowAndReport(*this);
}

void Form3::CmdAnswers_Click() {
    // Without an exam there is no review to go to, and the sheet must not vanish alone.
    if (!isTakingExam()) {
        return;
    }
    hide();
    flow::open(win::WrongAnswers);
}

void Form3::CmdExit_Click() {
    // A review started from the Progress window ends there.
    const QString back = flow::openerOf(win::Exam);
    Data1->close();
    {
        examdb::Database db = examdb::Database::open(app::edition().databaseFile);
        db.execute(statements::s8(bankExam()));
    }
    ExamSettings.QuestionNo = 0;
    ExamSettings.ReviewExam = 0;
    ExamSettings.ActiveExam = 0;
    app::clearCustomExam();
    endExam();
    flow::discard(win::Exam);
    Unload();
    // Deleted only once this handler has returned; no member is touched after this.
    forms::discard<Form3>();
    forms::discard<Form41>();
    flow::discard(win::Exhibit);
    flow::showMainMenu();
    if (back == win::Progress) {
        flow::open(win::Progress);
    }
}

void Form3::closeEvent(QCloseEvent* event) {
    // Leaves the attempt the way Exit does, so the menu comes back.
    app::routeTitleBarClose(event, [this] { CmdExit_Click(); });
}
