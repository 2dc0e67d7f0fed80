#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

#include "caught.h"
#include "examdb/data_source.h"
#include "examdb/statements.h"
#include "fixture_database.h"

using examdb::DataSource;
using testsupport::FixtureDatabase;
namespace statements = examdb::statements;

namespace {

// A window shaped like the exam window: five response boxes, the question, its number.
struct ExamWindow {
    QWidget widget;
    std::array<QCheckBox*, 5> boxes{};
    QLineEdit* number = new QLineEdit(&widget);
    QPlainTextEdit* question = new QPlainTextEdit(&widget);
    QTextEdit* explanation = new QTextEdit(&widget);
    QLabel* title = new QLabel(&widget);
    DataSource* source = new DataSource(&widget);

    explicit ExamWindow(const QString& recordSource) {
        auto* layout = new QVBoxLayout(&widget);
        for (int i = 0; i < 5; ++i) {
            boxes[size_t(i)] = new QCheckBox(QStringLiteral("Choice %1").arg(i + 1), &widget);
            layout->addWidget(boxes[size_t(i)]);
            source->bind(boxes[size_t(i)], QStringLiteral("correctanswer%1").arg(i + 1));
        }
        for (QWidget* w : std::initializer_list<QWidget*>{number, question, explanation, title}) {
            layout->addWidget(w);
        }
        source->bind(number, QStringLiteral("tblrandom.ID"));
        source->bind(question, QStringLiteral("QUESTION"));
        source->bind(explanation, QStringLiteral("exam1.explanation"));
        source->bind(title, QStringLiteral("question"));
        source->setDatabaseName(QStringLiteral("kvn09.mdb"));
        source->setConnectString(QStringLiteral(";pwd=Tomelo48"));
        source->setRecordSource(recordSource);
    }

    void tick(int choice) {
        QCheckBox* box = boxes[size_t(choice - 1)];
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    qint64 currentId() { return source->recordset().value(QStringLiteral("ID")).toLongLong(); }
};

}  // namespace

class TestDataSource : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsCurrentRow();
    void tickThenMoveWritesThatRow();
    void pendingEditWrittenOnClose_data();
    void pendingEditWrittenOnClose();
    void editThatCannotBeWrittenOnDestructionIsReported();
    void programmaticShowingWritesNothing();
    void emptySourceShowsEmptyControls();
    void qualifiedBindingsOfJoin();
    void unknownBoundColumnRefused();

private:
    std::unique_ptr<FixtureDatabase> fixture_;
};

void TestDataSource::init() {
    fixture_ = std::make_unique<FixtureDatabase>();
    fixture_->addQuestions(1, 6);
    // Counts every write to the exam table.
    fixture_->exec(QStringLiteral("CREATE TABLE writes (n INTEGER)"));
    fixture_->exec(
        QStringLiteral("CREATE TRIGGER count_writes AFTER UPDATE ON exam1 BEGIN "
                       "INSERT INTO writes VALUES (1); END"));
}

void TestDataSource::cleanup() {
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    fixture_.reset();
}

void TestDataSource::showsCurrentRow() {
    fixture_->exec(
        QStringLiteral("UPDATE exam1 SET correctanswer2 = 1, correctanswer5 = 1, "
                       "question = '<b>Which</b> & why?', explanation = NULL "
                       "WHERE ID = 4"));
    fixture_->draw({4});
    ExamWindow w(statements::x1(1));
    w.source->refresh();

    const bool ticked[] = {false, true, false, false, true};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(w.boxes[size_t(i)]->isChecked(), ticked[i]);
    }
    QCOMPARE(w.number->text(), QStringLiteral("4"));
    QCOMPARE(w.question->toPlainText(), QStringLiteral("<b>Which</b> & why?"));
    QCOMPARE(w.title->text(), QStringLiteral("<b>Which</b> & why?"));
    QCOMPARE(w.title->textFormat(), Qt::PlainText);
    QCOMPARE(w.explanation->toPlainText(), QString());
}

void TestDataSource::tickThenMoveWritesThatRow() {
    fixture_->draw({2, 5, 3});
    ExamWindow w(statements::x1(1));
    w.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
    w.source->refresh();
    QSignalSpy moved(w.source, &DataSource::currentChanged);

    const qint64 first = w.currentId();
    w.tick(3);
    QVERIFY(w.source->hasPendingEdit());
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), first)[2], 0);  // not before the move

    w.source->recordset().moveNext();
    QCOMPARE(moved.count(), 1);
    const qint64 second = w.currentId();
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), first),
             (std::array<int, 5>{0, 0, 1, 0, 0}));
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), second), (std::array<int, 5>{}));
    QVERIFY(!w.boxes[2]->isChecked());

    // Clearing a box writes No.
    w.source->recordset().movePrevious();
    QVERIFY(w.boxes[2]->isChecked());
    w.tick(3);
    w.source->recordset().moveLast();
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), first)[2], 0);
    w.widget.close();
}

void TestDataSource::pendingEditWrittenOnClose_data() {
    QTest::addColumn<bool>("destroyWindow");
    QTest::newRow("Close") << false;
    QTest::newRow("window destroyed") << true;
}

void TestDataSource::pendingEditWrittenOnClose() {
    QFETCH(bool, destroyWindow);
    fixture_->draw({6});
    auto w = std::make_unique<ExamWindow>(statements::x1(1));
    w->source->refresh();
    w->boxes[0]->setChecked(true);  // the window's own code ticks a box, as option buttons do
    w->question->setPlainText(QStringLiteral("Edited"));
    if (destroyWindow) {
        w.reset();
    } else {
        w->source->close();
        QVERIFY(!w->source->isOpen());
    }
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 6)[0], 1);
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT question FROM exam1 WHERE ID = 6")),
             QVariant(QStringLiteral("Edited")));
}

// No caller is left to catch a failed write while a window is destroyed: it must still be heard.
void TestDataSource::editThatCannotBeWrittenOnDestructionIsReported() {
    fixture_->draw({6});
    std::vector<int> reported;
    examdb::setUnwrittenEditReporter([&](const examdb::Error& e) { reported.push_back(e.number); });
    auto w = std::make_unique<ExamWindow>(statements::x1(1));
    w->source->refresh();
    w->boxes[0]->setChecked(true);
    w->source->database().execute(QStringLiteral("PRAGMA query_only = 1"));
    w.reset();
    examdb::setUnwrittenEditReporter(nullptr);
    QCOMPARE(reported.size(), size_t(1));
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 6)[0], 0);
}

void TestDataSource::programmaticShowingWritesNothing() {
    fixture_->draw({1, 2, 3});
    fixture_->exec(QStringLiteral("UPDATE exam1 SET correctanswer4 = 1 WHERE ID = 2"));
    ExamWindow w(statements::x1(1));
    w.source->refresh();
    auto& rs = w.source->recordset();
    while (!rs.eof()) {
        rs.moveNext();
    }
    rs.moveFirst();
    // Changed by someone else: Refresh shows it and does not write it back.
    fixture_->exec(QStringLiteral("UPDATE exam1 SET question = 'new text'"));
    fixture_->exec(QStringLiteral("DELETE FROM writes"));
    w.source->refresh();
    QCOMPARE(w.question->toPlainText(), QStringLiteral("new text"));
    w.source->recordset().moveLast();
    w.source->close();
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT count(*) FROM writes")),
             QVariant(qlonglong(0)));
}

void TestDataSource::emptySourceShowsEmptyControls() {
    ExamWindow w(statements::x1(1));  // nothing drawn
    for (QCheckBox* box : w.boxes) {
        box->setChecked(true);
    }
    w.number->setText(QStringLiteral("12"));
    w.title->setText(QStringLiteral("stale"));
    w.source->refresh();
    QVERIFY(std::none_of(w.boxes.begin(), w.boxes.end(), [](auto* b) { return b->isChecked(); }));
    QCOMPARE(w.number->text(), QString());
    QCOMPARE(w.title->text(), QString());
    w.boxes[1]->setChecked(true);  // nothing to write to
    w.source->close();
    QCOMPARE(fixture_->scalar(QStringLiteral("SELECT count(*) FROM writes")),
             QVariant(qlonglong(0)));
}

void TestDataSource::qualifiedBindingsOfJoin() {
    // Question 2's key is choice 3; the candidate ticked choice 1.
    fixture_->exec(QStringLiteral("UPDATE exam1 SET correctanswer1 = 1 WHERE ID = 2"));
    QWidget window;
    QCheckBox key(&window);
    QCheckBox response(&window);
    QLineEdit category(&window);
    auto* source = new DataSource(&window);
    source->setDatabaseName(QStringLiteral("kvn09.mdb"));
    source->setRecordSource(statements::w1(1));
    source->bind(&key, QStringLiteral("exam11.correctanswer3"));
    source->bind(&response, QStringLiteral("Exam1.CorrectAnswer3"));
    source->bind(&category, QStringLiteral("cat_desc"));
    source->refresh();
    QCOMPARE(source->recordset().recordCount(), 6);  // every question still unanswered
    while (source->recordset().value(QStringLiteral("ID")).toInt() != 2) {
        source->recordset().moveNext();
    }
    QVERIFY(key.isChecked());
    QVERIFY(!response.isChecked());
    QCOMPARE(category.text(), QStringLiteral("Category 0"));

    response.setChecked(true);
    source->close();
    QCOMPARE(fixture_->answers(QStringLiteral("exam1"), 2), (std::array<int, 5>{1, 0, 1, 0, 0}));
    QCOMPARE(fixture_->answers(QStringLiteral("exam11"), 2), (std::array<int, 5>{0, 0, 1, 0, 0}));
}

void TestDataSource::unknownBoundColumnRefused() {
    QWidget window;
    QLineEdit edit(&window);
    auto* source = new DataSource(&window);
    source->setDatabaseName(QStringLiteral("kvn09.mdb"));
    source->setRecordSource(QStringLiteral("Test Information"));
    source->bind(&edit, QStringLiteral("test_title"));
    const auto error = caught([&] { source->refresh(); });
    QVERIFY(error);
    QCOMPARE(error->number, examdb::errc::ItemNotFound);
    QVERIFY2(error->text.contains(QStringLiteral("test_title")), qPrintable(error->text));
}

QTEST_MAIN(TestDataSource)
#include "tst_data_source.moc"
