#include <QAbstractItemModelTester>
#include <QDirIterator>
#include <QLabel>
#include <QLocale>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTextDocument>
#include <QtTest>

#include "app/custom_exam.h"
#include "app/display_text.h"
#include "app/window_names.h"
#include "history/history_access.h"
#include "history/history_store.h"
#include "look/keyboard_aids.h"
#include "results/form3.h"
#include "results/form41.h"
#include "results_session.h"
#include "session/exam_session.h"
#include "start/form1.h"

namespace {

Form3& openSheet() {
    if (!flow::open(win::ScoreSheet)) {
        qFatal("Form3 is not registered");
    }
    return *forms::existing<Form3>();
}

QStringList gridRows(QWidget& window, const char* grid) {
    const QAbstractItemModel* model = probe::control<QTableView>(window, grid)->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            cells << model->index(r, c).data().toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList catScores(const testsupport::FixtureDatabase& db) {
    QStringList rows;
    for (const QVariantList& row : db.rows(QStringLiteral(
             "SELECT cat_total, cat_scores, Cat_correct FROM cat_scores ORDER BY rowid"))) {
        rows << row.at(0).toString() + QLatin1Char('|') + row.at(1).toString() + QLatin1Char('|') +
                    row.at(2).toString();
    }
    return rows;
}

// Everything the sheet shows, to tell whether it changed.
QStringList shownSheet(QWidget& sheet) {
    QStringList shown;
    for (const char* label : {"lblExamTitle", "lblCandName", "lblExamDate", "lblExamTime",
                              "lblPassScore", "lblScoreObtained", "Label1"}) {
        shown << probe::textOf(sheet, label);
    }
    shown << gridRows(sheet, "DBGrid1") << gridRows(sheet, "DBGrid2");
    return shown;
}

QColor bannerColour(QWidget& sheet) {
    return probe::control<QLabel>(sheet, "Label1")->grab().toImage().pixelColor(2, 2);
}

std::array<int, 5> responsesOf(const testsupport::FixtureDatabase& db, int exam, qint64 id) {
    return db.answers(QStringLiteral("exam%1").arg(exam), id);
}

// What keeps row i of both grids from being one category at the same height, or the rows from
// fitting the zoomed text; empty when nothing does.
QString rowForRowFault(Form3& sheet) {
    auto* left = probe::control<QTableView>(sheet, "DBGrid1");
    auto* right = probe::control<QTableView>(sheet, "DBGrid2");
    const int text = left->fontMetrics().height();
    if (left->mapTo(&sheet, QPoint()).y() != right->mapTo(&sheet, QPoint()).y() ||
        left->height() != right->height()) {
        return QStringLiteral("the grids stand apart");
    }
    if (left->rowHeight(0) <= text || left->rowHeight(0) >= 2 * text) {
        return QStringLiteral("rows of %1 pixels for text of %2").arg(left->rowHeight(0)).arg(text);
    }
    for (int row = 0; row < left->model()->rowCount(); ++row) {
        if (right->rowViewportPosition(row) != left->rowViewportPosition(row) ||
            right->rowHeight(row) != left->rowHeight(row)) {
            return QStringLiteral("row %1 at %2 and %3")
                .arg(row)
                .arg(left->rowViewportPosition(row))
                .arg(right->rowViewportPosition(row));
        }
    }
    return QString();
}

}  // namespace

// The score sheet: scoring when it is created, what it shows, and its three buttons.
class TestScoreSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void scoreAndVerdict_data();
    void scoreAndVerdict();
    void headerAndCaptions_data();
    void headerAndCaptions();
    void longNameIsCutShortButRecordedWhole();
    void categoryBreakdown();
    void noLimitOnCategories();
    void categoryNamesShownAsTyped();
    void bankLargerThanExamCountsOnlyTheDraw_data();
    void bankLargerThanExamCountsOnlyTheDraw();
    void customExamScoresItsOwnDrawUnderItsTitle_data();
    void customExamScoresItsOwnDrawUnderItsTitle();
    void emptyDrawScoresNothing_data();
    void emptyDrawScoresNothing();
    void reviewAndBackLeavesSheetUnchanged();
    void exitClearsOnlyTheFinishedExam_data();
    void exitClearsOnlyTheFinishedExam();
    void secondReportAfterExitScoresOnlyItsOwnAnswers();
    void eachSheetIsRecordedAndNamesTheLastAttempt();
    void titleBarCloseLeavesLikeExit();
    void printingWithoutPrinterWritesPdf_data();
    void printingWithoutPrinterWritesPdf();
    void gridsStayRowForRowAtEveryZoom_data();
    void gridsStayRowForRowAtEveryZoom();
};

void TestScoreSheet::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestScoreSheet::scoreAndVerdict_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::addColumn<int>("correct");
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("passed");

    QTest::newRow("87 of 116 reaches the pass mark") << "full" << 1 << 87 << "750/1000" << true;
    QTest::newRow("86 of 116 falls short") << "full" << 1 << 86 << "741/1000" << false;
    QTest::newRow("88 of 116") << "full" << 3 << 88 << "758/1000" << true;
    QTest::newRow("all correct, exam 2") << "full" << 2 << 116 << "1000/1000" << true;
    QTest::newRow("none correct, exam 2") << "full" << 2 << 0 << "0/1000" << false;
    QTest::newRow("demo 23 of 30") << "demo" << 1 << 23 << "766/1000" << true;
    QTest::newRow("demo 22 of 30") << "demo" << 1 << 22 << "733/1000" << false;
}

void TestScoreSheet::scoreAndVerdict() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    QFETCH(int, correct);
    QFETCH(QString, score);
    QFETCH(bool, passed);
    ResultsSession session(probe::editionNamed(edition), exam);
    session.bank(exam, ExamSettings.QuestionsPerExam, 3);
    session.answerCorrectly(exam, QStringLiteral("ID <= %1").arg(correct));

    Form3& sheet = openSheet();

    QVERIFY(sheet.isVisible());
    QCOMPARE(probe::textOf(sheet, "lblScoreObtained"), score);
    QCOMPARE(probe::textOf(sheet, "Label1"), passed ? QStringLiteral("Congratulations!")
                                                    : QStringLiteral("Sorry, please try again!"));
    QCOMPARE(bannerColour(sheet), passed ? QColor(128, 255, 128) : QColor(255, 192, 192));
    QCOMPARE(ExamSettings.PassingScore, 750);
}

void TestScoreSheet::headerAndCaptions_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("nameCaption");
    QTest::addColumn<QString>("dateCaption");
    QTest::newRow("full") << "full"
                          << "Korvane Practice Exam"
                          << "Name"
                          << "Date";
    QTest::newRow("demo") << "demo"
                          << "Korvane Practice Exam Demo"
                          << "Name:"
                          << "Date:";
}

void TestScoreSheet::headerAndCaptions() {
    QFETCH(QString, edition);
    QFETCH(QString, title);
    QFETCH(QString, nameCaption);
    QFETCH(QString, dateCaption);
    ResultsSession session(probe::editionNamed(edition));
    session.bank(1, 5);
    ExamSettings.CandidateName = QStringLiteral("<b>Zoë</b> & Co");

    Form3& sheet = openSheet();

    QCOMPARE(sheet.windowTitle(), QStringLiteral("Score Sheet"));
    QVERIFY(sheet.windowState() & Qt::WindowMaximized);
    QCOMPARE(probe::textOf(sheet, "lblExamTitle"), title);
    QCOMPARE(probe::textOf(sheet, "Label4"), nameCaption);
    QCOMPARE(probe::textOf(sheet, "lblDate"), dateCaption);
    QCOMPARE(probe::textOf(sheet, "lblPassScore"), QStringLiteral("750/1000"));
    QCOMPARE(probe::textOf(sheet, "lblCandName"), QStringLiteral("<b>Zoë</b> & Co"));
    QCOMPARE(probe::control<QLabel>(sheet, "lblCandName")->textFormat(), Qt::PlainText);
    const QLocale locale = QLocale::system();
    QCOMPARE(probe::textOf(sheet, "lblExamDate"),
             locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(locale.toTime(probe::textOf(sheet, "lblExamTime"), QLocale::ShortFormat).isValid());
    QCOMPARE(probe::control<QPushButton>(sheet, "cmdPrint")->text(), QStringLiteral("&Print"));
    QCOMPARE(probe::control<QPushButton>(sheet, "CmdAnswers")->text(),
             QStringLiteral("&View Wrong Answers"));
    QCOMPARE(probe::control<QPushButton>(sheet, "CmdExit")->text(), QStringLiteral("&Exit "));
    QCOMPARE(sheet.palette().color(QPalette::Window), QColor(224, 224, 224));
}

// A name of thousands of characters would widen the maximized sheet past any screen.
void TestScoreSheet::longNameIsCutShortButRecordedWhole() {
    ResultsSession session(app::fullEdition(), 1);
    session.bank(1, 5);
    // A character outside the basic plane straddles the cut, which must not split it.
    const QString name = QString(app::kLongestShownName - 2, QLatin1Char('n')) +
                         QString::fromUtf8("\xF0\x9F\x98\x80") + QString(32767, QLatin1Char('x'));
    ExamSettings.CandidateName = name;
    Form3& sheet = openSheet();
    const QString shown = probe::textOf(sheet, "lblCandName");
    QVERIFY(shown.size() <= app::kLongestShownName);
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QVERIFY(!shown.at(shown.size() - 2).isHighSurrogate());
    QVERIFY(sheet.minimumSizeHint().width() <= 1024);
    probe::control<QPushButton>(sheet, "CmdExit")->click();
    probe::settleDeletions();
    history::HistoryStore* store = history::store();
    QVERIFY(store);
    QCOMPARE(store->attempts(name).size(), size_t(1));
}

void TestScoreSheet::categoryBreakdown() {
    ResultsSession session(app::fullEdition());
    testsupport::FixtureDatabase& db = session.db;
    db.addCategories({QStringLiteral("Networks"), QStringLiteral("Storage"),
                      QStringLiteral("Unused"), QStringLiteral("Security")});
    // Category sizes 50, 100, none and 100; the third has no question at all.
    const int firstOf[] = {1, 51, 151, 151};
    const int sizeOf[] = {50, 100, 0, 100};
    QList<qint64> drawn;
    for (int cat = 0; cat < 4; ++cat) {
        for (int i = 0; i < sizeOf[cat]; ++i) {
            testsupport::Question q;
            q.id = firstOf[cat] + i;
            q.catId = cat;
            q.key[0] = true;
            db.addQuestion(1, q);
            drawn << q.id;
        }
    }
    db.draw(drawn);
    session.answerCorrectly(1, QStringLiteral("ID BETWEEN 1 AND 29 OR ID BETWEEN 51 AND 107 OR "
                                              "ID BETWEEN 151 AND 179"));
    // Rows of an earlier report must not survive this one.
    db.exec(
        QStringLiteral("INSERT INTO cat_scores (cat_total, cat_scores, Cat_correct) "
                       "VALUES ('9', '9', '100')"));

    Form3& sheet = openSheet();

    QCOMPARE(catScores(db), (QStringList{"50|29|57", "100|57|56", "0|0|0", "100|29|28"}));
    QCOMPARE(gridRows(sheet, "DBGrid1"),
             (QStringList{"1|Networks", "2|Storage", "3|Unused", "4|Security"}));
    // The category with no drawn question shows no figures rather than a failing zero.
    QCOMPARE(gridRows(sheet, "DBGrid2"),
             (QStringList{"57%|29", "56%|57", "\u2013|\u2013", "28%|29"}));
    for (const char* grid : {"DBGrid1", "DBGrid2"}) {
        QAbstractItemModelTester tester(probe::control<QTableView>(sheet, grid)->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(!QTest::currentTestFailed());
    }
}

void TestScoreSheet::noLimitOnCategories() {
    ResultsSession session(app::fullEdition());
    session.bank(1, 50, 25);
    session.answerCorrectly(1, QStringLiteral("ID <= 25"));

    Form3& sheet = openSheet();

    const QStringList rows = catScores(session.db);
    QCOMPARE(rows.size(), 25);
    QVERIFY(rows.count(QStringLiteral("2|1|50")) == 25);
    QCOMPARE(gridRows(sheet, "DBGrid1").size(), 25);
    QCOMPARE(gridRows(sheet, "DBGrid2").size(), 25);
}

void TestScoreSheet::bankLargerThanExamCountsOnlyTheDraw_data() {
    QTest::addColumn<int>("exam");
    QTest::newRow("exam 1") << 1;
    QTest::newRow("exam 2") << 2;
    QTest::newRow("exam 3") << 3;
}

void TestScoreSheet::bankLargerThanExamCountsOnlyTheDraw() {
    QFETCH(int, exam);
    ResultsSession session(app::fullEdition(), exam);
    ExamSettings.QuestionsPerExam = 10;
    session.db.addCategories({QStringLiteral("Even"), QStringLiteral("Odd")});
    session.db.addQuestions(exam, 20, 2);
    session.db.draw({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    // Seven drawn questions right; undrawn 11 to 15 carry right answers left over from before.
    session.answerCorrectly(exam, QStringLiteral("ID <= 7 OR ID BETWEEN 11 AND 15"));

    Form3& sheet = openSheet();

    QCOMPARE(probe::textOf(sheet, "lblScoreObtained"), QStringLiteral("700/1000"));
    QCOMPARE(catScores(session.db), (QStringList{"5|4|80", "5|3|60"}));
}

void TestScoreSheet::customExamScoresItsOwnDrawUnderItsTitle_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::addColumn<QString>("title");
    QTest::newRow("full") << "full" << 2 << "Custom exam: 4 questions from Exam #2";
    QTest::newRow("demo") << "demo" << 1 << "Custom exam: 4 questions from Exam #1 Demo";
}

void TestScoreSheet::customExamScoresItsOwnDrawUnderItsTitle() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    QFETCH(QString, title);
    const app::Edition& e = probe::editionNamed(edition);
    ResultsSession session(e, exam);
    session.db.addCategories({QStringLiteral("Even"), QStringLiteral("Odd")});
    session.db.addQuestions(exam, 20, 2);
    app::setCustomExam({exam, {0, 1}, 4, 0, true, {}});
    session.db.draw({1, 2, 3, 4});
    session.answerCorrectly(exam, QStringLiteral("ID <= 3 OR ID > 10"));

    Form3& sheet = openSheet();

    QCOMPARE(probe::textOf(sheet, "lblExamTitle"), title);
    QCOMPARE(probe::textOf(sheet, "lblScoreObtained"), QStringLiteral("750/1000"));
    sheet.CmdExit_Click();
    probe::settleDeletions();
    // The fixed exams are what the menu starts next.
    QVERIFY(!app::isCustomExam());
    QCOMPARE(ExamSettings.QuestionsPerExam, e.questionsPerExam);
}

void TestScoreSheet::emptyDrawScoresNothing_data() {
    QTest::addColumn<int>("exam");
    QTest::newRow("exam 2") << 2;
    QTest::newRow("exam 3") << 3;
}

void TestScoreSheet::emptyDrawScoresNothing() {
    QFETCH(int, exam);
    ResultsSession session(app::fullEdition(), exam);
    session.db.addCategories({QStringLiteral("Only")});
    session.db.addQuestions(exam, 5);

    Form3& sheet = openSheet();

    QCOMPARE(probe::textOf(sheet, "lblScoreObtained"), QStringLiteral("0/1000"));
    QCOMPARE(probe::textOf(sheet, "Label1"), QStringLiteral("Sorry, please try again!"));
    QCOMPARE(catScores(session.db), QStringList{"0|0|0"});
}

void TestScoreSheet::reviewAndBackLeavesSheetUnchanged() {
    ResultsSession session(app::fullEdition(), 2);
    session.bank(2, 116, 4);
    session.answerCorrectly(2, QStringLiteral("ID <= 90"));
    Form3& sheet = openSheet();
    const QStringList before = shownSheet(sheet);
    // Whatever happens to the file meanwhile, the sheet is not built again.
    session.answerCorrectly(2, QStringLiteral("1"));
    session.db.exec(QStringLiteral("DELETE FROM cat_scores"));

    probe::control<QPushButton>(sheet, "CmdAnswers")->click();
    QVERIFY(!sheet.isVisible());
    Form41* review = forms::existing<Form41>();
    QVERIFY(review != nullptr && review->isVisible());

    probe::control<QPushButton>(*review, "cmdScoreRep")->click();
    probe::settleDeletions();

    QCOMPARE(forms::existing<Form3>(), &sheet);
    QVERIFY(sheet.isVisible());
    QCOMPARE(shownSheet(sheet), before);
    QCOMPARE(forms::existing<Form41>(), nullptr);
    QCOMPARE(probe::visibleTopLevels(), QWidgetList{&sheet});
}

void TestScoreSheet::exitClearsOnlyTheFinishedExam_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::newRow("exam 1") << "full" << 1;
    QTest::newRow("exam 2") << "full" << 2;
    QTest::newRow("exam 3") << "full" << 3;
    QTest::newRow("demo") << "demo" << 1;
}

void TestScoreSheet::exitClearsOnlyTheFinishedExam() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    ResultsSession session(probe::editionNamed(edition), exam);
    session.db.addCategories({QStringLiteral("Only")});
    for (int e = 1; e <= 3; ++e) {
        session.db.addQuestions(e, 12);
        session.answerCorrectly(e, QStringLiteral("1"));
        // A second mark on some rows, so more than one column is set.
        session.db.exec(QStringLiteral("UPDATE exam%1 SET correctanswer5 = 1 WHERE ID > 8").arg(e));
    }
    session.db.draw({1, 2, 3, 4, 5, 6});  // rows 7 to 12 were not asked
    std::map<int, std::array<int, 5>> before;
    for (int id = 1; id <= 12; ++id) {
        before[id] = responsesOf(session.db, exam % 3 + 1, id);
    }
    const std::array<int, 5> key3 = session.db.answers(QStringLiteral("exam33"), 3);
    Form3& sheet = openSheet();
    probe::control<QPushButton>(sheet, "CmdAnswers")->click();
    probe::control<QPushButton>(*forms::existing<Form41>(), "cmdScoreRep")->click();

    probe::control<QPushButton>(sheet, "CmdExit")->click();
    probe::settleDeletions();

    QCOMPARE(session.db
                 .scalar(QStringLiteral("SELECT COUNT(*) FROM exam%1 WHERE correctanswer1 + "
                                        "correctanswer2 + correctanswer3 + correctanswer4 + "
                                        "correctanswer5 > 0")
                             .arg(exam))
                 .toInt(),
             0);
    for (int id = 1; id <= 12; ++id) {
        QCOMPARE(responsesOf(session.db, exam % 3 + 1, id), before[id]);
    }
    QCOMPARE(session.db.answers(QStringLiteral("exam33"), 3), key3);
    QCOMPARE(ExamSettings.ActiveExam, 0);
    QCOMPARE(ExamSettings.QuestionNo, 0);
    QCOMPARE(ExamSettings.ReviewExam, 0);
    QCOMPARE(ExamSettings.CandidateName, QStringLiteral("Ada Lovelace"));
    QCOMPARE(session.examWindow.discarded, 1);
    QCOMPARE(session.exhibitWindow.discarded, 1);
    QCOMPARE(forms::existing<Form3>(), nullptr);
    QCOMPARE(forms::existing<Form41>(), nullptr);
    QCOMPARE(probe::visibleTopLevels(),
             QWidgetList{static_cast<QWidget*>(forms::existing<Form1>())});
    QCOMPARE(catScores(session.db).size(), 1);
}

// A bank's category name that looks like markup reads as typed in its tool tip too, and loads
// nothing it names.
void TestScoreSheet::categoryNamesShownAsTyped() {
    ResultsSession session(app::fullEdition());
    testsupport::FixtureDatabase& db = session.db;
    const QStringList names{QStringLiteral("<b>Net</b> <img src=\"x.png\">"),
                            QStringLiteral("R&D")};
    db.addCategories(names);
    testsupport::Question q;
    q.id = 1;
    q.key[0] = true;
    db.addQuestion(1, q);
    db.draw({1});
    Form3& sheet = openSheet();
    const QAbstractItemModel* model = probe::control<QTableView>(sheet, "DBGrid1")->model();
    for (int row = 0; row < names.size(); ++row) {
        const QString tip = model->index(row, 1).data(Qt::ToolTipRole).toString();
        QTextDocument shown;
        if (Qt::mightBeRichText(tip)) {
            shown.setHtml(tip);
        } else {
            shown.setPlainText(tip);
        }
        QCOMPARE(shown.toPlainText(), names.at(row));
    }
}

void TestScoreSheet::secondReportAfterExitScoresOnlyItsOwnAnswers() {
    ResultsSession session(app::fullEdition(), 1);
    session.bank(1, 116, 2);
    session.answerCorrectly(1, QStringLiteral("ID <= 100"));
    probe::control<QPushButton>(openSheet(), "CmdExit")->click();
    probe::settleDeletions();

    ExamSettings.ActiveExam = 1;
    session.answerCorrectly(1, QStringLiteral("ID <= 58"));
    Form3& second = openSheet();

    QCOMPARE(probe::textOf(second, "lblScoreObtained"), QStringLiteral("500/1000"));
    QCOMPARE(catScores(session.db), (QStringList{"58|29|50", "58|29|50"}));
}

void TestScoreSheet::eachSheetIsRecordedAndNamesTheLastAttempt() {
    ResultsSession session(app::fullEdition(), 1);
    session.bank(1, 116, 2);
    session.answerCorrectly(1, QStringLiteral("ID <= 100"));
    session::active().clock() = {QDateTime::currentDateTime().addSecs(-600), 600};
    Form3& first = openSheet();
    QVERIFY(!probe::control<QLabel>(first, "lblLastAttempt")->isVisible());
    probe::control<QPushButton>(first, "CmdExit")->click();
    probe::settleDeletions();

    // The same name again, then another name: only the first of these has a last attempt.
    for (const char* name : {"Ada Lovelace", "Grace Hopper"}) {
        ExamSettings.ActiveExam = 1;
        ExamSettings.CandidateName = QLatin1String(name);
        session.answerCorrectly(1, QStringLiteral("ID <= 58"));
        Form3& sheet = openSheet();
        auto* line = probe::control<QLabel>(sheet, "lblLastAttempt");
        QCOMPARE(line->isVisible(), QLatin1String(name) == QLatin1String("Ada Lovelace"));
        if (line->isVisible()) {
            QCOMPARE(line->text(), QStringLiteral("Last attempt: 862/1000 (-362)"));
        }
        QCOMPARE(probe::textOf(sheet, "lblScoreObtained"), QStringLiteral("500/1000"));
        probe::control<QPushButton>(sheet, "CmdExit")->click();
        probe::settleDeletions();
    }

    history::HistoryStore* store = history::store();
    QVERIFY(store);
    const auto attempts = store->attempts(QStringLiteral("Ada Lovelace"));
    QCOMPARE(attempts.size(), size_t(2));
    const history::AttemptRecord& firstRecord = attempts.back();
    QCOMPARE(firstRecord.edition, QStringLiteral("full"));
    QCOMPARE(firstRecord.exam, 1);
    QCOMPARE(firstRecord.score, 862);
    QCOMPARE(firstRecord.passMark, 750);
    QVERIFY(firstRecord.passed);
    QCOMPARE(firstRecord.secondsUsed, 600);
    QCOMPARE(firstRecord.categories.size(), size_t(2));
    QCOMPARE(firstRecord.categories[0].name, QStringLiteral("Category 0"));
    QCOMPARE(firstRecord.categories[0].total, 58);
    QCOMPARE(firstRecord.categories[0].correct, 50);
    // The questions answered wrongly in the last attempts are those above 58.
    const std::vector<qint64> missed =
        store->missedQuestions(QStringLiteral("full"), 1, QStringLiteral("Ada Lovelace"));
    QCOMPARE(missed.size(), size_t(116 - 58));
    QCOMPARE(missed.front(), 59);
}

void TestScoreSheet::titleBarCloseLeavesLikeExit() {
    ResultsSession session(app::fullEdition(), 2);
    session.bank(2, 10);
    session.answerCorrectly(2, QStringLiteral("1"));
    Form3& sheet = openSheet();

    QVERIFY(!sheet.close());
    probe::settleDeletions();

    QCOMPARE(session.db
                 .scalar(QStringLiteral("SELECT SUM(correctanswer1 + correctanswer2 + "
                                        "correctanswer3 + correctanswer4 + correctanswer5) "
                                        "FROM exam2"))
                 .toInt(),
             0);
    QCOMPARE(ExamSettings.ActiveExam, 0);
    QCOMPARE(forms::existing<Form3>(), nullptr);
    QVERIFY(forms::existing<Form1>() != nullptr && forms::existing<Form1>()->isVisible());
    QCOMPARE(session.env.endings, 0);
}

void TestScoreSheet::printingWithoutPrinterWritesPdf_data() {
    QTest::addColumn<bool>("review");
    QTest::newRow("score sheet") << false;
    QTest::newRow("wrong-answer review") << true;
}

void TestScoreSheet::printingWithoutPrinterWritesPdf() {
    QFETCH(bool, review);
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QSKIP("a printer is installed here; the PDF fallback only runs without one");
    }
    ResultsSession session(app::fullEdition(), 1);
    session.bank(1, 10);
    TemporaryHome home;
    prompts::Script script;
    Form3& sheet = openSheet();
    QWidget* window = &sheet;
    if (review) {
        probe::control<QPushButton>(sheet, "CmdAnswers")->click();
        window = forms::existing<Form41>();
    }

    probe::control<QPushButton>(*window, review ? "cmdPrintQ" : "cmdPrint")->click();

    QStringList pdfs;
    QDirIterator it(home.path(), {QStringLiteral("*.pdf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        pdfs << it.next();
    }
    QCOMPARE(pdfs.size(), 1);
    QVERIFY(pdfs.first().startsWith(QDir(home.path()).filePath(QStringLiteral("Documents/"))));
    QVERIFY(QFileInfo(pdfs.first()).fileName().startsWith(window->windowTitle()));
    QFile pdf(pdfs.first());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QCOMPARE(script.shown().size(), size_t(1));
    QVERIFY(script.shown().front().text.contains(QDir::toNativeSeparators(pdfs.first())));
    QVERIFY(window->isVisible());
}

void TestScoreSheet::gridsStayRowForRowAtEveryZoom_data() {
    QTest::addColumn<int>("zoom");
    for (int zoom : {80, 100, 200, 300}) {
        QTest::addRow("%d %%", zoom) << zoom;
    }
}

// On a small screen, at any text size, scrolled to the last category and again after Ctrl+0,
// row i of both grids is one category and every part of the sheet can be reached.
void TestScoreSheet::gridsStayRowForRowAtEveryZoom() {
    QFETCH(int, zoom);
    ResultsSession session(app::fullEdition());
    session.bank(1, 116, 19);
    look::installKeyboardAids(*qApp);
    look::setZoomPercent(zoom);
    Form3& sheet = openSheet();
    sheet.setWindowState(Qt::WindowNoState);
    sheet.resize(1024, 768);
    QCoreApplication::processEvents();
    auto* left = probe::control<QTableView>(sheet, "DBGrid1");
    auto* scroll = probe::control<QScrollArea>(sheet, "sheetScroll");

    QCOMPARE(rowForRowFault(sheet), QString());
    left->verticalScrollBar()->setValue(left->verticalScrollBar()->maximum());
    QCOMPARE(rowForRowFault(sheet), QString());
    for (const char* button : {"cmdPrint", "CmdAnswers", "CmdExit"}) {
        auto* w = probe::control<QPushButton>(sheet, button);
        scroll->ensureWidgetVisible(w);
        const QRect shown(w->mapTo(scroll->viewport(), QPoint()), w->size());
        QVERIFY2(scroll->viewport()->rect().contains(shown), button);
    }

    QTest::keyClick(left, Qt::Key_0, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(look::zoomPercent(), 100);
    QCOMPARE(rowForRowFault(sheet), QString());
    QVERIFY(sheet.minimumSizeHint().width() <= 1024 && sheet.minimumSizeHint().height() <= 768);
    probe::control<QPushButton>(sheet, "CmdExit")->click();
    probe::settleDeletions();
}

QTEST_MAIN(TestScoreSheet)
#include "tst_score_sheet.moc"
