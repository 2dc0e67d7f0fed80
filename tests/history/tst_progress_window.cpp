#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QTableView>
#include <QtTest>

#include "app/study_subset.h"
#include "app/window_names.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "progress/category_figures.h"
#include "progress/progress_csv.h"
#include "progress/progress_window.h"
#include "progress/progress_windows.h"
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
        a.questions.push_back({id, id, !wrong.contains(id)});
    }
    return a;
}

history::CategoryResult cat(int number, const char* name, int total, int correct) {
    return {number, QString::fromLatin1(name), total, correct};
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

}  // namespace

class TestProgressWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void categoryFigures_data();
    void categoryFigures();
    void csvKeepsNumbersAndNeutralisesFormulas();
    void showsAttemptsChartsAndFilters();
    void deletesAfterConfirmation();
    void studiesMissedQuestions();
    void emptyHistoryOpensEmpty();
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

void TestProgressWindow::csvKeepsNumbersAndNeutralisesFormulas() {
    const std::vector<history::AttemptRecord> attempts{
        attempt(QStringLiteral("=HYPERLINK(\"x\")"), 2, -35, 0, {cat(0, "Net, LAN", 3, 1)}),
        attempt(QStringLiteral("Zoë"), 1, 862, 1, {})};
    const QStringList lines = progress::csvText(attempts).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(0),
             QStringLiteral("Date,Exam,Name,Score,Pass mark,Verdict,Time used,Seconds used"));
    QCOMPARE(lines.at(1), QStringLiteral("2026-12-01 10:00,Exam #2,\"'=HYPERLINK(\"\"x\"\")\","
                                         "-35,750,Fail,01:02:05,3725"));
    QCOMPARE(lines.at(2),
             QStringLiteral("2026-11-30 10:00,Exam #1,Zoë,862,750,Pass,01:02:05,3725"));
    QCOMPARE(lines.at(3), QString());
    QCOMPARE(lines.at(5), QStringLiteral("2026-12-01 10:00,Exam #2,\"'=HYPERLINK(\"\"x\"\")\","
                                         "\"Net, LAN\",3,1,33"));
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
    auto* scores = w.findChild<QChartView*>(QStringLiteral("chartScores"))->chart();
    QStringList series;
    for (QAbstractSeries* s : scores->series()) {
        series << QStringLiteral("%1:%2").arg(s->name()).arg(static_cast<QLineSeries*>(s)->count());
    }
    QCOMPARE(series, (QStringList{"Exam #1:2", "Exam #2:1", "Pass mark:2"}));
    // The newest attempt's categories beside the average of Ann's earlier ones at exam 1.
    auto* categories = w.findChild<QTableView*>(QStringLiteral("tblCategories"))->model();
    QCOMPARE(categories->rowCount(), 2);
    QCOMPARE(categories->index(0, 1).data().toString(), QStringLiteral("90"));
    QCOMPARE(categories->index(0, 2).data().toString(), QStringLiteral("40"));
    QCOMPARE(categories->index(1, 1).data().toString(), QStringLiteral("60"));
    QCOMPARE(categories->index(1, 2).data().toString(), QStringLiteral("80"));
    w.selectAttempt(2);  // Ann's first: nothing before it
    QCOMPARE(categories->index(0, 2).data().toString(), QStringLiteral("-"));

    auto* names = w.findChild<QComboBox*>(QStringLiteral("cboName"));
    QCOMPARE(names->count(), 3);  // All names, Ann, Bo
    w.setNameFilter(QStringLiteral("Bo"));
    QCOMPARE(rows(w), QStringList{"Exam #2|Bo|800/1000|Pass|01:02:05"});
    QCOMPARE(names->currentText(), QStringLiteral("Bo"));

    const QString csv = QDir(env.historyDir.path()).filePath(QStringLiteral("out.csv"));
    QVERIFY(w.exportCsv(csv));
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
    w.Unload();
}

void TestProgressWindow::studiesMissedQuestions() {
    AppTestEnv env(app::fullEdition());
    testsupport::FixtureDatabase db(app::fullEdition().databaseFile);
    db.addCategories({QStringLiteral("Net")});
    db.addQuestions(2, 8);
    history::HistoryStore* store = history::store();
    store->record(attempt(QStringLiteral("Ann"), 2, 100, 9, {}, {1}));  // older than the last three
    store->record(attempt(QStringLiteral("Ann"), 2, 100, 3, {}, {5}));
    store->record(attempt(QStringLiteral("Ann"), 2, 100, 2, {}, {2}));
    store->record(attempt(QStringLiteral("Ann"), 2, 100, 1, {}, {5, 3}));
    progress::registerWindows();
    study::registerWindows();
    flow::open(win::Progress);
    auto& w = forms::get<progress::ProgressWindow>();
    w.cmdStudyMissed_Click();
    QVERIFY(!w.isVisible());
    auto& studyWindow = forms::get<Form11>();
    QVERIFY(studyWindow.isVisible());
    QCOMPARE(studyWindow.windowTitle(), QStringLiteral("Review Exam #2: Missed Questions"));
    QCOMPARE(ExamSettings.ActiveExam, 22);
    QStringList ids;
    for (int i = 0; i < 4; ++i) {
        ids << probe::textOf(studyWindow, "Text1");
        studyWindow.CmdNextQ_Click();
    }
    QCOMPARE(ids, (QStringList{"2", "3", "5", "5"}));  // ID order; Next stops at the last
    QVERIFY(!control<QWidget>(studyWindow, QStringLiteral("CmdNextQ"))->isEnabled());
    studyWindow.cmdEnd_Click();
    QVERIFY(app::studySubset().empty());
    QVERIFY(!studyWindow.isVisible());
    forms::get<Form1>().hide();
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

QTEST_MAIN(TestProgressWindow)
#include "tst_progress_window.moc"
