#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTextDocument>
#include <QXYSeries>
#include <QtTest>
#include <optional>

#include "app/window_names.h"
#include "app_test_env.h"
#include "examdb/sqlite_handles.h"
#include "fixture_database.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "progress/category_figures.h"
#include "progress/progress_csv.h"
#include "progress/progress_window.h"
#include "progress/progress_windows.h"
#include "progress/time_axis.h"
#include "session/exam_session.h"
#include "start/form1.h"
#include "study/form11.h"
#include "study/study_windows.h"

namespace {

history::AttemptRecord attempt(const QString& name, int exam, int score, int daysAgo,
                               std::vector<history::CategoryResult> categories = {},
                               const QList<qint64>& wrong = {}) {
    history::AttemptRecord a;
    a.edition = QStringLiteral("full");
    a.exam = exam;
    a.candidate = name;
    a.ended = QDateTime(QDate(2026, 12, 1), QTime(10, 0)).addDays(-daysAgo);
    a.started = a.ended.addSecs(-3600);
    a.secondsUsed = 3725;
    a.score = score;
    a.passMark = 750;
    a.passed = score >= 750;
    a.categories = std::move(categories);
    for (int id = 1; id <= 5; ++id) {
        a.questions.push_back({id, id, !wrong.contains(id), {}, {}});
    }
    return a;
}

history::CategoryResult cat(int number, const char* name, int total, int correct) {
    return {number, QString::fromLatin1(name), total, correct};
}

history::AttemptRecord custom(const char* settings, const QString& name, int score, int daysAgo,
                              std::vector<history::CategoryResult> categories = {},
                              const QList<qint64>& wrong = {}) {
    history::AttemptRecord a = attempt(name, 1, score, daysAgo, std::move(categories), wrong);
    a.custom = QString::fromLatin1(settings);
    return a;
}

const char* const kTwenty = "exam=1 categories=0,1 questions=20 minutes=20 mode=timed";
const char* const kTenPractice = "exam=1 categories=0 questions=10 minutes=0 mode=practice";

QStringList column(QTableView* view, int c, int role = Qt::DisplayRole) {
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        out << view->model()->index(r, c).data(role).toString();
    }
    return out;
}

// "name:points" of each series of the score chart, in the chart's order.
QStringList scoreSeries(progress::ProgressWindow& w) {
    QStringList out;
    auto* chart = w.findChild<QChartView*>(QStringLiteral("chartScores"))->chart();
    for (QAbstractSeries* s : chart->series()) {
        out << QStringLiteral("%1:%2").arg(s->name()).arg(static_cast<QXYSeries*>(s)->count());
    }
    return out;
}

QStringList rows(progress::ProgressWindow& w) {
    QStringList out;
    auto* view = w.findChild<QTableView*>(QStringLiteral("tblAttempts"));
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < view->model()->columnCount(); ++c) {
            cells << view->model()->index(r, c).data().toString();
        }
        out << cells.join(u'|');
    }
    return out;
}

using probe::control;

// Every text the chart draws, as a reader sees it.
QStringList chartTexts(progress::ProgressWindow& w, const char* chart) {
    QStringList out;
    auto* view = w.findChild<QChartView*>(QLatin1String(chart));
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) {
            out << text->toPlainText();
        }
    }
    return out;
}

// A tool tip as Qt shows it: rich text whenever it looks like some.
QString tipAsShown(const QString& tip) {
    QTextDocument doc;
    if (Qt::mightBeRichText(tip)) {
        doc.setHtml(tip);
    } else {
        doc.setPlainText(tip);
    }
    return doc.toPlainText();
}

// Locks the history as another program writing to it would; the lock goes with the object.
struct OtherWriter {
    explicit OtherWriter(const QString& path) {
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &raw);
        db.reset(raw);
        sqlite3_exec(db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    void run(const char* statement) {
        sqlite3_exec(db.get(), statement, nullptr, nullptr, nullptr);
    }
    examdb::ConnectionHandle db;
};

}  // namespace

Q_DECLARE_METATYPE(history::AttemptRecord)

class TestProgressWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void categoryFigures_data();
    void categoryFigures();
    void timeAxisFitsTheAttempts_data();
    void timeAxisFitsTheAttempts();
    void csvRows_data();
    void csvRows();
    void showsAttemptsChartsAndFilters();
    void attemptsMinutesApartFillTheChartAndTheTable();
    void keepsCustomAttemptsApart();
    void deletesAfterConfirmation();
    void emptyHistoryOpensEmpty();
    void showsEveryNameAsTyped();
    void historyFaultsAreOneMessage_data();
    void historyFaultsAreOneMessage();
    void studyMissedSkipsAnExamTheEditionLacks();
};

void TestProgressWindow::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestProgressWindow::categoryFigures_data() {
    QTest::addColumn<QList<int>>("scores");  // correct of 10 per attempt, newest first
    QTest::addColumn<int>("latest");
    QTest::addColumn<int>("earlier");
    QTest::newRow("one attempt") << QList<int>{7} << 70 << -1;
    QTest::newRow("average of the earlier ones") << QList<int>{9, 5, 6} << 90 << 55;
    QTest::newRow("rounded down") << QList<int>{1, 3, 4, 4} << 10 << 36;
}

void TestProgressWindow::categoryFigures() {
    QFETCH(QList<int>, scores);
    QFETCH(int, latest);
    QFETCH(int, earlier);
    std::vector<history::AttemptRecord> line;
    for (int correct : scores) {
        line.push_back(attempt(QStringLiteral("A"), 1, 0, 0, {cat(0, "Net", 10, correct)}));
    }
    const auto figures = progress::categoryFigures(line);
    QCOMPARE(figures.size(), size_t(1));
    QCOMPARE(figures[0].name, QStringLiteral("Net"));
    QCOMPARE(figures[0].latest, latest);
    QCOMPARE(figures[0].earlierAverage, earlier);
}

void TestProgressWindow::timeAxisFitsTheAttempts_data() {
    QTest::addColumn<qint64>("first");  // seconds
    QTest::addColumn<qint64>("last");
    QTest::addColumn<QString>("format");
    QTest::newRow("one attempt") << qint64(0) << qint64(0) << "HH:mm:ss";
    QTest::newRow("six minutes, newest first") << qint64(360) << qint64(0) << "HH:mm:ss";
    QTest::newRow("two hours") << qint64(0) << qint64(7200) << "HH:mm";
    QTest::newRow("three days") << qint64(0) << qint64(259200) << "d MMM HH:mm";
    QTest::newRow("a year") << qint64(0) << qint64(31536000) << "d MMM yy";
}

// Attempts apart in time stay apart on the chart, a lone one in the middle of a minute or two,
// under labels fine enough to tell the ticks apart.
void TestProgressWindow::timeAxisFitsTheAttempts() {
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(QString, format);
    const qint64 base = QDateTime(QDate(2026, 12, 1), QTime(10, 0)).toMSecsSinceEpoch();
    const progress::TimeAxis axis = progress::timeAxis(base + first * 1000, base + last * 1000);
    const qint64 low = base + std::min(first, last) * 1000;
    const qint64 high = base + std::max(first, last) * 1000;
    QVERIFY(axis.from < low && axis.to > high);
    QCOMPARE(low - axis.from, axis.to - high);
    QVERIFY(axis.to - axis.from >= 2 * 60 * 1000);
    QVERIFY(first == last || double(high - low) / double(axis.to - axis.from) >= 0.75);
    QCOMPARE(axis.format, format);
}

void TestProgressWindow::csvRows_data() {
    QTest::addColumn<history::AttemptRecord>("attempt");
    QTest::addColumn<QStringList>("lines");  // the attempt's line, then its categories' lines
    history::AttemptRecord formula =
        attempt(QStringLiteral("=HYPERLINK(\"x\")"), 2, -35, 0, {cat(0, "Net, LAN", 3, 1)});
    formula.ended = formula.ended.addSecs(7);
    QTest::newRow("to the second; a name like a formula, a category name with a comma")
        << formula
        << QStringList{
               "2026-12-01 10:00:07,Exam #2,\"'=HYPERLINK(\"\"x\"\")\",-35,750,Fail,"
               "01:02:05,3725,",
               "2026-12-01 10:00:07,Exam #2,\"'=HYPERLINK(\"\"x\"\")\",\"Net, LAN\",3,1,"
               "33"};
    QTest::newRow("custom: categories by name, none drawn from one")
        << custom(kTwenty, QStringLiteral("Zoë"), 500, 2,
                  {cat(0, "Net", 10, 5), cat(1, "Disk", 0, 0)})
        << QStringList{
               "2026-11-29 10:00:00,Custom: 20 from Exam #1,Zoë,500,750,Fail,01:02:05,3725,"
               "20 questions from Exam #1; categories: Net | Disk; 20 minutes; timed",
               "2026-11-29 10:00:00,Custom: 20 from Exam #1,Zoë,Net,10,5,50",
               "2026-11-29 10:00:00,Custom: 20 from Exam #1,Zoë,Disk,0,0,\u2013"};
    QTest::newRow("custom: untimed practice, a category the history lacks")
        << custom("exam=1 categories=0,4 questions=10 minutes=0 mode=practice",
                  QStringLiteral("Bo"), 900, 0, {cat(0, "Net\nwork", 10, 9)})
        << QStringList{
               "2026-12-01 10:00:00,Custom: 10 from Exam #1 (practice),Bo,900,750,Pass,"
               "01:02:05,3725,10 questions from Exam #1; categories: Net work | category "
               "4; untimed; practice",
               "2026-12-01 10:00:00,Custom: 10 from Exam #1 (practice),Bo,\"Net\nwork\","
               "10,9,90"};
    QTest::newRow("a review of chosen questions")
        << custom("exam=1 categories= questions=2 minutes=0 mode=practice ids=3,4",
                  QStringLiteral("Bo"), 500, 0)
        << QStringList{
               "2026-12-01 10:00:00,Review: 2 from Exam #1,Bo,500,750,Fail,01:02:05,3725,"
               "2 questions from Exam #1; questions chosen; untimed; practice"};
    QTest::newRow("settings that cannot be read")
        << custom("=cmd|x", QStringLiteral("Bo"), 0, 0)
        << QStringList{"2026-12-01 10:00:00,Custom exam,Bo,0,750,Fail,01:02:05,3725,'=cmd|x"};
}

void TestProgressWindow::csvRows() {
    QFETCH(history::AttemptRecord, attempt);
    QFETCH(QStringList, lines);
    const QStringList written = progress::csvText({attempt}).split(QStringLiteral("\r\n"));
    QCOMPARE(written.at(0), QStringLiteral("Date,Exam,Name,Score,Pass mark,Verdict,Time used,"
                                           "Seconds used,Custom settings"));
    QCOMPARE(written.at(1), lines.front());
    QCOMPARE(written.at(2), QString());
    QCOMPARE(written.at(3), QStringLiteral("Date,Exam,Name,Category,Questions,Correct,% Correct"));
    QCOMPARE(written.mid(4), lines.mid(1) << QString());
}

void TestProgressWindow::showsAttemptsChartsAndFilters() {
    AppTestEnv env(app::fullEdition());
    history::HistoryStore* store = history::store();
    QVERIFY(store);
    const std::vector<history::CategoryResult> early{cat(0, "Net", 10, 4), cat(1, "Disk", 10, 8)};
    const std::vector<history::CategoryResult> late{cat(0, "Net", 10, 9), cat(1, "Disk", 10, 6)};
    store->record(attempt(QStringLiteral("Ann"), 1, 600, 9, early));
    store->record(attempt(QStringLiteral("Bo"), 2, 800, 8, early));
    store->record(attempt(QStringLiteral("Ann"), 1, 780, 2, late));
    history::AttemptRecord demo = attempt(QStringLiteral("Ann"), 1, 999, 1, late);
    demo.edition = QStringLiteral("demo");
    store->record(demo);

    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    QVERIFY(w.isVisible());
    // This edition's attempts only, newest first.
    QCOMPARE(rows(w),
             (QStringList{"Exam #1|Ann|780/1000|Pass|01:02:05", "Exam #2|Bo|800/1000|Pass|01:02:05",
                          "Exam #1|Ann|600/1000|Fail|01:02:05"}));
    QCOMPARE(scoreSeries(w), (QStringList{"Exam #1:2", "Exam #2:1", "Pass mark:2"}));
    // The newest attempt's categories beside the average of Ann's earlier ones at exam 1.
    auto* categories = w.findChild<QTableView*>(QStringLiteral("tblCategories"))->model();
    QCOMPARE(categories->rowCount(), 2);
    QCOMPARE(categories->index(0, 1).data().toString(), QStringLiteral("90"));
    QCOMPARE(categories->index(0, 2).data().toString(), QStringLiteral("40"));
    QCOMPARE(categories->index(1, 1).data().toString(), QStringLiteral("60"));
    QCOMPARE(categories->index(1, 2).data().toString(), QStringLiteral("80"));
    w.selectAttempt(2);  // Ann's first: nothing before it, marked as the score sheet does
    QCOMPARE(categories->index(0, 2).data().toString(), QStringLiteral("\u2013"));

    auto* names = w.findChild<QComboBox*>(QStringLiteral("cboName"));
    QCOMPARE(names->count(), 3);  // All names, Ann, Bo
    w.setNameFilter(QStringLiteral("Bo"));
    QCOMPARE(rows(w), QStringList{"Exam #2|Bo|800/1000|Pass|01:02:05"});
    QCOMPARE(names->currentText(), QStringLiteral("Bo"));

    // Export says where it wrote, in full, or that it could not.
    const QString csv = QDir(env.historyDir.path()).filePath(QStringLiteral("out.csv"));
    w.exportTo(csv);
    QCOMPARE(
        env.prompts.texts(),
        QStringList{QStringLiteral("1 attempt written to %1.").arg(QDir::toNativeSeparators(csv))});
    QCOMPARE(env.prompts.shown().back().icon, prompts::Icon::Information);
    const QString nowhere = QDir(env.historyDir.path()).filePath(QStringLiteral("gone/out.csv"));
    w.exportTo(nowhere);
    QCOMPARE(env.prompts.texts().back(),
             QDir::toNativeSeparators(nowhere) + QStringLiteral(" could not be written."));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(
        text.startsWith("\xEF\xBB\xBF"
                        "Date,Exam,Name"));
    QVERIFY(text.contains(",Exam #2,Bo,800,750,Pass,01:02:05,3725"));
    QVERIFY(!text.contains(",Ann,"));
    w.Unload();
}

// Six minutes of a custom session spread over the chart; every cell of a long history can be
// read whole, scrolling to it where the window is too narrow.
void TestProgressWindow::attemptsMinutesApartFillTheChartAndTheTable() {
    AppTestEnv env(app::fullEdition());
    history::HistoryStore* store = history::store();
    // The widest texts far down the list, where sizing by the first rows would not see them.
    store->record(custom(kTenPractice, QStringLiteral("Ann Long-Surname"), 1000, 400));
    for (int day = 40; day > 0; --day) {
        store->record(attempt(QStringLiteral("Bo"), 1, 500, day));
    }
    for (int minutes = 0; minutes <= 6; minutes += 3) {
        history::AttemptRecord a = custom(kTwenty, QStringLiteral("Cy"), 700, 0);
        a.ended = a.ended.addSecs(minutes * 60);
        store->record(a);
    }
    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    auto* table = w.findChild<QTableView*>(QStringLiteral("tblAttempts"));
    // Too narrow for the table, as on a small screen or at a large text size.
    w.findChild<QSplitter*>()->setSizes({250, 2000});
    QCoreApplication::processEvents();
    const QAbstractItemModel* model = table->model();
    int total = 0;
    for (int c = 0; c < model->columnCount(); ++c) {
        for (int r = 0; r < model->rowCount(); ++r) {
            QVERIFY2(table->columnWidth(c) >= table->sizeHintForIndex(model->index(r, c)).width(),
                     qPrintable(model->index(r, c).data().toString()));
        }
        total += table->columnWidth(c);
    }
    QVERIFY(total > table->viewport()->width());
    QCOMPARE(table->horizontalScrollBar()->maximum(), total - table->viewport()->width());

    w.setNameFilter(QStringLiteral("Cy"));
    auto* chart = w.findChild<QChartView*>(QStringLiteral("chartScores"))->chart();
    const auto axes = chart->axes(Qt::Horizontal);
    QCOMPARE(axes.size(), 1);
    auto* time = qobject_cast<QDateTimeAxis*>(axes.front());
    QVERIFY(time);
    QCOMPARE(time->min().secsTo(time->max()), 8 * 60);
    w.Unload();
}

void TestProgressWindow::keepsCustomAttemptsApart() {
    AppTestEnv env(app::fullEdition());
    history::HistoryStore* store = history::store();
    // A custom exam's unchosen categories come with no questions.
    store->record(attempt(QStringLiteral("Ann"), 1, 600, 9, {cat(0, "Net", 10, 4)}));
    store->record(custom(kTwenty, QStringLiteral("Ann"), 300, 6, {cat(0, "Net", 10, 2)}));
    store->record(custom(kTenPractice, QStringLiteral("Ann"), 900, 5, {cat(0, "Net", 10, 9)}));
    store->record(custom(kTwenty, QStringLiteral("Ann"), 500, 4,
                         {cat(0, "Net", 10, 8), cat(1, "Disk", 0, 0)}));
    store->record(attempt(QStringLiteral("Ann"), 1, 780, 3, {cat(0, "Net", 10, 7)}));
    store->record(custom("not settings at all", QStringLiteral("Bo"), 100, 2));

    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    auto* table = w.findChild<QTableView*>(QStringLiteral("tblAttempts"));
    QCOMPARE(column(table, 1), (QStringList{"Custom exam", "Exam #1", "Custom: 20 from Exam #1",
                                            "Custom: 10 from Exam #1 (practice)",
                                            "Custom: 20 from Exam #1", "Exam #1"}));
    QCOMPARE(column(table, 1, Qt::ToolTipRole).at(3),
             QStringLiteral("Custom exam: 10 questions from 1 category of Exam #1, no time limit, "
                            "practice mode"));
    // Exam #1's line holds its two fixed attempts only; the pass mark is a fixed exam's.
    QCOMPARE(scoreSeries(w), (QStringList{"Exam #1:2", "Custom exams:4", "Pass mark:2"}));

    // Each attempt beside the earlier ones of its own kind only.
    auto* categories = w.findChild<QTableView*>(QStringLiteral("tblCategories"));
    w.selectAttempt(1);  // fixed 70%, after the fixed 40%
    QCOMPARE(column(categories, 2), QStringList{"40"});
    w.selectAttempt(2);  // 80% after the same settings' 20%; the unchosen category left out
    QCOMPARE(column(categories, 0), QStringList{"Net"});
    QCOMPARE(column(categories, 2), QStringList{"20"});

    w.setNameFilter(QStringLiteral("Bo"));
    QCOMPARE(scoreSeries(w), (QStringList{"Custom exams:1", "Pass mark:2"}));
    env.prompts.answer(prompts::Answer::Yes);
    w.cmdDelete_Click();
    QVERIFY(
        env.prompts.texts().front().startsWith(u"Delete the attempt of Bo at a custom exam on "));
    QCOMPARE(store->attempts().size(), size_t(5));
    w.Unload();
}

void TestProgressWindow::deletesAfterConfirmation() {
    AppTestEnv env(app::fullEdition());
    history::HistoryStore* store = history::store();
    store->record(attempt(QStringLiteral("Ann"), 1, 600, 3));
    store->record(attempt(QStringLiteral("Ann"), 1, 700, 2));
    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    env.prompts.answer(prompts::Answer::No);
    w.cmdDelete_Click();
    QCOMPARE(w.shownAttempts().size(), size_t(2));
    env.prompts.answer(prompts::Answer::Yes);
    w.cmdDelete_Click();  // the newest is selected
    QCOMPARE(w.shownAttempts().size(), size_t(1));
    QCOMPARE(w.shownAttempts().front().score, 600);
    env.prompts.answer(prompts::Answer::No);
    w.cmdDeleteAll_Click();
    QCOMPARE(store->attempts().size(), size_t(1));
    env.prompts.answer(prompts::Answer::Yes);
    w.cmdDeleteAll_Click();
    QVERIFY(store->attempts().empty());
    QVERIFY(w.shownAttempts().empty());
    const QStringList asked = env.prompts.texts();
    QCOMPARE(asked.size(), 4);
    QVERIFY(asked.at(1).startsWith(u"Delete the attempt of Ann at Exam #1 on "));
    QVERIFY(asked.at(3).startsWith(u"Delete every recorded attempt"));
    // Enter on either question keeps the history.
    for (const prompts::Shown& box : env.prompts.shown()) {
        QCOMPARE(box.buttons, prompts::Buttons::YesNoSafe);
    }
    w.Unload();
}

void TestProgressWindow::emptyHistoryOpensEmpty() {
    AppTestEnv env(app::fullEdition());
    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    QVERIFY(w.shownAttempts().empty());
    for (const char* button : {"cmdStudyMissed", "cmdExport", "cmdDelete", "cmdDeleteAll"}) {
        QVERIFY2(!control<QWidget>(w, QLatin1String(button))->isEnabled(), button);
    }
    w.cmdStudyMissed_Click();
    w.cmdDelete_Click();
    QVERIFY(env.prompts.shown().empty());
    w.Unload();
}

// Names and category names that look like markup are drawn as typed, never as markup: a picture
// named in one would be loaded.
void TestProgressWindow::showsEveryNameAsTyped() {
    AppTestEnv env(app::fullEdition());
    const QString name = QStringLiteral("<b>Bo</b> & <img src=\"x.png\">");
    const QString category = QStringLiteral("<i>Net</i>");
    history::HistoryStore* store = history::store();
    const QString plainAmpersand = QStringLiteral("R&D");
    store->record(attempt(name, 1, 600, 3, {{0, category, 10, 4}, {1, plainAmpersand, 4, 2}}));
    store->record(custom("<h1>odd</h1>", name, 500, 2, {{0, category, 10, 5}}));
    progress::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    for (int row = 1; row >= 0; --row) {
        w.selectAttempt(row);
        QCoreApplication::processEvents();
        const QStringList drawn = chartTexts(w, "chartCategories");
        // A narrow chart shortens its title at the end.
        const QString title =
            (row == 0 ? QStringLiteral("Custom exam, ") : QStringLiteral("Exam #1, ")) + name;
        QVERIFY2(std::any_of(drawn.begin(), drawn.end(),
                             [&](const QString& t) { return t.startsWith(title); }),
                 qPrintable(drawn.join(u'|')));
        QVERIFY2(drawn.contains(category), qPrintable(drawn.join(u'|')));
        QVERIFY2(row == 0 || drawn.contains(plainAmpersand), qPrintable(drawn.join(u'|')));
    }
    auto* table = w.findChild<QTableView*>(QStringLiteral("tblAttempts"));
    QCOMPARE(tipAsShown(table->model()->index(0, 1).data(Qt::ToolTipRole).toString()),
             QStringLiteral("Custom exam: <h1>odd</h1>"));
    w.Unload();
}

void TestProgressWindow::historyFaultsAreOneMessage_data() {
    QTest::addColumn<QString>("action");  // "delete", "delete all" or "study"
    QTest::addColumn<QString>("fault");   // "refused", "locked" or "unreadable"
    QTest::addColumn<QString>("says");
    QTest::newRow("delete, refused") << "delete"
                                     << "refused"
                                     << "could not be deleted";
    QTest::newRow("delete, locked") << "delete"
                                    << "locked"
                                    << "locked by another program";
    QTest::newRow("delete all, refused") << "delete all"
                                         << "refused"
                                         << "could not be deleted";
    QTest::newRow("delete all, locked") << "delete all"
                                        << "locked"
                                        << "locked by another program";
    QTest::newRow("study, unreadable") << "study"
                                       << "unreadable"
                                       << "could not be read";
}

// Deleting or reading a history that refuses, is locked or has lost a table: one message, and
// the window and the program go on with what they had.
void TestProgressWindow::historyFaultsAreOneMessage() {
    QFETCH(QString, action);
    QFETCH(QString, fault);
    QFETCH(QString, says);
    AppTestEnv env(app::fullEdition());
    history::HistoryStore* store = history::store();
    store->record(attempt(QStringLiteral("Ann"), 1, 600, 3, {}, {2}));
    store->record(attempt(QStringLiteral("Ann"), 1, 700, 2, {}, {3}));
    progress::registerWindows();
    study::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    std::optional<OtherWriter> other;
    other.emplace(store->path());
    if (fault == QLatin1String("refused")) {
        other->run(
            "CREATE TRIGGER refuse BEFORE DELETE ON attempt "
            "BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); END");
    } else if (fault == QLatin1String("unreadable")) {
        other->run("DROP TABLE attempt_question");
    }
    if (fault != QLatin1String("locked")) {
        other->run("COMMIT");
    }
    env.prompts.answer(prompts::Answer::Yes);
    if (action == QLatin1String("delete")) {
        w.cmdDelete_Click();
    } else if (action == QLatin1String("delete all")) {
        w.cmdDeleteAll_Click();
    } else {
        w.cmdStudyMissed_Click();
    }
    other.reset();
    QCOMPARE(env.endings, 0);
    QVERIFY(w.isVisible());
    QCOMPARE(w.shownAttempts().size(), size_t(2));
    QStringList texts = env.prompts.texts();
    if (action != QLatin1String("study")) {
        texts.removeFirst();  // the confirmation
    }
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts.front().contains(says), qPrintable(texts.front()));
    QVERIFY2(!texts.front().contains(u"DELETE") && !texts.front().contains(u"SELECT"),
             qPrintable(texts.front()));
    QCOMPARE(env.prompts.shown().back().title, QStringLiteral("Progress"));
    QVERIFY(!flow::existing(win::Study) || !flow::existing(win::Study)->isVisible());
    w.Unload();
}

// An attempt at an exam this edition lacks, from a history another edition or version wrote.
void TestProgressWindow::studyMissedSkipsAnExamTheEditionLacks() {
    AppTestEnv env(app::fullEdition());
    testsupport::FixtureDatabase db(app::fullEdition().databaseFile);
    db.addCategories({QStringLiteral("Net")});
    db.addQuestions(1, 8);
    history::store()->record(attempt(QStringLiteral("Ann"), 99, 100, 1, {}, {2}));
    progress::registerWindows();
    study::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    w.cmdStudyMissed_Click();
    QVERIFY(w.isVisible());
    QVERIFY(!flow::existing(win::Study) || !flow::existing(win::Study)->isVisible());
    QCOMPARE(env.prompts.texts().size(), 1);
    QVERIFY2(env.prompts.texts().front().contains(u"Exam #99"),
             qPrintable(env.prompts.texts().front()));
    QCOMPARE(env.endings, 0);
    w.Unload();
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progress_window.moc"
