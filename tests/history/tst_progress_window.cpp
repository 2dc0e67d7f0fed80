#include <QChartView>
#include <QComboBox>
#include <QGraphicsTextItem>
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

class TestProgressWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void categoryFigures_data();
    void categoryFigures();
    void csvKeepsNumbersAndNeutralisesFormulas();
    void showsAttemptsChartsAndFilters();
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

void TestProgressWindow::csvKeepsNumbersAndNeutralisesFormulas() {
    const std::vector<history::AttemptRecord> attempts{
        attempt(QStringLiteral("=HYPERLINK(\"x\")"), 2, -35, 0, {cat(0, "Net, LAN", 3, 1)}),
        attempt(QStringLiteral("Zoë"), 1, 862, 1, {}),
        custom(kTwenty, QStringLiteral("Zoë"), 500, 2, {cat(0, "Net", 10, 5)})};
    const QStringList lines = progress::csvText(attempts).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(0), QStringLiteral("Date,Exam,Name,Score,Pass mark,Verdict,Time used,"
                                         "Seconds used,Custom settings"));
    QCOMPARE(lines.at(1), QStringLiteral("2026-12-01 10:00,Exam #2,\"'=HYPERLINK(\"\"x\"\")\","
                                         "-35,750,Fail,01:02:05,3725,"));
    QCOMPARE(lines.at(2),
             QStringLiteral("2026-11-30 10:00,Exam #1,Zoë,862,750,Pass,01:02:05,3725,"));
    QCOMPARE(lines.at(3), QStringLiteral("2026-11-29 10:00,Custom: 20 from Exam #1,Zoë,500,750,"
                                         "Fail,01:02:05,3725,\"exam=1 categories=0,1 "
                                         "questions=20 minutes=20 mode=timed\""));
    QCOMPARE(lines.at(4), QString());
    QCOMPARE(lines.at(6), QStringLiteral("2026-12-01 10:00,Exam #2,\"'=HYPERLINK(\"\"x\"\")\","
                                         "\"Net, LAN\",3,1,33"));
    QCOMPARE(lines.at(7),
             QStringLiteral("2026-11-29 10:00,Custom: 20 from Exam #1,Zoë,Net,10,5,50"));
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
