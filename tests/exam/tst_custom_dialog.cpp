// The Custom Exam dialog over real banks: what each category holds, the defaults that follow
// the ticks, each refusal named beside its field, the exam it starts and under which name, what
// each edition remembers of it, the demo's one exam, banks it cannot read and names it must not
// trust.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWindow>
#include <QtTest>
#include <limits>

#include "app/custom_exam.h"
#include "app/window_names.h"
#include "app_test_env.h"
#include "exam/custom_exam_dialog.h"
#include "exam/exam_windows.h"
#include "fixture_database.h"
#include "look/preferences.h"
#include "start/form1.h"

using exam::CustomExamDialog;
using probe::control;
using testsupport::FixtureDatabase;

namespace {

// count questions in exam carrying catId as given: a number, NULL or anything else.
void addQuestions(const FixtureDatabase& db, int exam, const QVariant& catId, int count) {
    const QString table = QStringLiteral("exam%1").arg(exam);
    const qint64 first =
        db.scalar(QStringLiteral("SELECT coalesce(max(ID), 0) + 1 FROM %1").arg(table))
            .toLongLong();
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i) {
        testsupport::Question q;
        q.id = first + i;
        q.question = QStringLiteral("Question %1").arg(q.id);
        q.key[0] = true;
        db.addQuestion(exam, q);
    }
    db.exec(QStringLiteral("UPDATE %1 SET catID = ?1 WHERE ID >= ?2").arg(table), {catId, first});
    db.exec(QStringLiteral("COMMIT"));
}

// Exam 1: Networking 5, Empty none, Security 12, and 4 questions the draw never reaches.
// Exam 2: 3 questions, none with a category. Exam 3: no questions.
void fillStandard(const FixtureDatabase& db) {
    db.addCategories(
        {QStringLiteral("Networking"), QStringLiteral("Empty"), QStringLiteral("Security")});
    addQuestions(db, 1, 0, 5);
    addQuestions(db, 1, 2, 12);
    addQuestions(db, 1, QVariant(), 2);
    addQuestions(db, 1, 7, 1);    // no seventh category
    addQuestions(db, 1, 1.5, 1);  // no whole number: never equal to a category
    addQuestions(db, 2, QVariant(), 3);
}

// The program's state, the bank, and a stand-in exam window counting its openings.
struct Setting {
    FixtureDatabase db;
    AppTestEnv env;
    int examsOpened = 0;

    explicit Setting(const app::Edition& edition = app::fullEdition())
        : db(edition.databaseFile), env(edition) {
        exam::registerWindows();
        flow::registerWindow(win::Exam, AppTestEnv::fakeWindow([this] { ++examsOpened; }));
    }
    ~Setting() { app::clearCustomExam(); }
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

    // From the main menu, as the candidate opens it.
    CustomExamDialog& open() {
        forms::get<Form1>().Show();
        forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuCustomExam"))->trigger();
        return forms::get<CustomExamDialog>();
    }
};

QListWidget* list(CustomExamDialog& d) {
    return control<QListWidget>(d, QStringLiteral("lstCategories"));
}

QStringList rows(CustomExamDialog& d) {
    QStringList out;
    for (int row = 0; row < list(d)->count(); ++row) {
        QListWidgetItem* item = list(d)->item(row);
        const bool tickable = item->flags() & Qt::ItemIsUserCheckable;
        out << QStringLiteral("%1%2%3").arg(
            item->checkState() == Qt::Checked ? QStringLiteral("[x] ") : QStringLiteral("[ ] "),
            item->text(), tickable ? QString() : QStringLiteral(" (locked)"));
    }
    return out;
}

void onlyTick(CustomExamDialog& d, const QList<int>& ticked) {
    probe::click(d, QStringLiteral("cmdSelectNone"));
    for (int row : ticked) {
        list(d)->item(row)->setCheckState(Qt::Checked);
    }
}

// Enter, wherever the keyboard is: the dialog's default button.
void pressEnter(CustomExamDialog& d) {
    QWidget* at = d.focusWidget() ? d.focusWidget() : &d;
    QTest::keyClick(at, Qt::Key_Return);
}

QStringList shownProblems(CustomExamDialog& d) {
    QStringList out;
    for (const char* name : {"lblExamProblem", "lblCategoriesProblem", "lblQuestionsProblem"}) {
        if (control(d, QLatin1String(name))->isVisibleTo(&d)) {
            out << QLatin1String(name);
        }
    }
    return out;
}

// Everything the dialog sets out, in one line: name, exam, ticks, count, minutes, mode.
QString setOut(CustomExamDialog& d) {
    return QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6")
        .arg(control<QLineEdit>(d, QStringLiteral("txtName"))->text(),
             control<QComboBox>(d, QStringLiteral("cboExam"))->currentText(),
             rows(d).join(QStringLiteral(", ")),
             control<QSpinBox>(d, QStringLiteral("spnQuestions"))->text(),
             control<QSpinBox>(d, QStringLiteral("spnMinutes"))->text(),
             control<QRadioButton>(d, QStringLiteral("optPractice"))->isChecked()
                 ? QStringLiteral("practice")
                 : QStringLiteral("timed"));
}

// As the other program: its bank beside this one's, its own window, a fresh process's values.
void switchEdition(const FixtureDatabase& db, const app::Edition& edition) {
    db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString copy = QDir(db.dir()).filePath(edition.databaseFile);
    if (!QFile::exists(copy)) {
        QVERIFY(QFile::copy(db.path(), copy));
    }
    forms::discard<CustomExamDialog>();
    app::setEdition(edition);
    resetExamSettings();
}

// A click on the menu bar's Exam through the window system, which keeps it from a blocked
// window.
bool clickOpensTheExamMenu(Form1& menu) {
    QMenuBar* bar = menu.menuBar();
    const QPoint at = bar->actionGeometry(bar->actions().front()).center();
    QTest::mouseClick(menu.windowHandle(), Qt::LeftButton, {}, bar->mapTo(&menu, at));
    QWidget* popup = QApplication::activePopupWidget();
    if (popup != nullptr) {
        popup->close();
    }
    return popup != nullptr;
}

}  // namespace

class TestCustomDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { probe::verifyNoWindowLeft(); }
    void listsEachCategoryWithItsCount();
    void countAndMinutesFollowUntilEdited();
    void refusesWithTheReasonBesideTheField_data();
    void refusesWithTheReasonBesideTheField();
    void okStartsTheExamAndEscapeStartsNothing();
    void remembersTheLastExamAndNamePerEdition();
    void fitsWhatItRemembersToTheBank_data();
    void fitsWhatItRemembersToTheBank();
    void accessKeysReachEveryField();
    void demoOffersOnlyItsOwnExam();
    void unreadableBankGivesOneMessage_data();
    void unreadableBankGivesOneMessage();
    void namesShowAsPlainText_data();
    void namesShowAsPlainText();
};

void TestCustomDialog::listsEachCategoryWithItsCount() {
    Setting s;
    fillStandard(s.db);
    CustomExamDialog& d = s.open();
    QVERIFY(d.isVisible());
    const QStringList allTicked{"[x] Networking (5)", "[ ] Empty (0) (locked)",
                                "[x] Security (12)"};
    QCOMPARE(rows(d), allTicked);
    auto* note = control<QLabel>(d, QStringLiteral("lblUncategorized"));
    QVERIFY(note->isVisibleTo(&d));
    QCOMPARE(note->text(), QStringLiteral("4 questions have no category and are never drawn."));

    probe::click(d, QStringLiteral("cmdSelectNone"));
    QCOMPARE(rows(d),
             (QStringList{"[ ] Networking (5)", "[ ] Empty (0) (locked)", "[ ] Security (12)"}));
    QVERIFY(!d.settings());
    // The empty category stays unticked: there is nothing in it to draw.
    probe::click(d, QStringLiteral("cmdSelectAll"));
    QCOMPARE(rows(d), allTicked);
    QCOMPARE(d.settings()->categories, (std::vector<int>{0, 2}));

    // Another exam: its own counts, and the note follows.
    control<QComboBox>(d, QStringLiteral("cboExam"))->setCurrentIndex(1);
    QCOMPARE(rows(d), (QStringList{"[ ] Networking (0) (locked)", "[ ] Empty (0) (locked)",
                                   "[ ] Security (0) (locked)"}));
    QCOMPARE(note->text(), QStringLiteral("3 questions have no category and are never drawn."));
    d.Unload();
}

void TestCustomDialog::countAndMinutesFollowUntilEdited() {
    Setting s;
    s.db.addCategories({QStringLiteral("Big"), QStringLiteral("Small")});
    addQuestions(s.db, 1, 0, 30);
    addQuestions(s.db, 1, 1, 8);
    CustomExamDialog& d = s.open();
    QSpinBox* count = control<QSpinBox>(d, QStringLiteral("spnQuestions"));
    QSpinBox* minutes = control<QSpinBox>(d, QStringLiteral("spnMinutes"));
    QCOMPARE(count->value(), 20);
    QCOMPARE(minutes->value(), 20);
    // The longest exam it offers must still be one the clock can end.
    QVERIFY(minutes->maximum() * 60 <= std::numeric_limits<qint16>::max());

    // Space ticks the current row, as a keyboard user does.
    probe::click(d, QStringLiteral("cmdSelectNone"));
    list(d)->setCurrentRow(1);
    QTest::keyClick(list(d), Qt::Key_Space);
    QCOMPARE(rows(d), (QStringList{"[ ] Big (30)", "[x] Small (8)"}));
    QCOMPARE(count->value(), 8);
    QCOMPARE(minutes->value(), 8);
    probe::click(d, QStringLiteral("cmdSelectAll"));
    QCOMPARE(count->value(), 20);

    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("12"));
    QCOMPARE(count->value(), 12);
    QCOMPARE(minutes->value(), 12);
    // The candidate's own count stays, even where it no longer fits.
    onlyTick(d, {1});
    QCOMPARE(count->value(), 12);
    onlyTick(d, {0, 1});
    minutes->setValue(45);
    count->setValue(5);
    QCOMPARE(minutes->value(), 45);

    minutes->setValue(0);
    QCOMPARE(minutes->text(), QStringLiteral("Untimed"));
    QVERIFY(d.settings()->untimed());

    // Opened again, it starts afresh.
    probe::click(d, QStringLiteral("cmdCancel"));
    s.open();
    QCOMPARE(count->value(), 20);
    QCOMPARE(minutes->value(), 20);
    onlyTick(d, {1});
    QCOMPARE(minutes->value(), 8);
    d.Unload();
}

void TestCustomDialog::refusesWithTheReasonBesideTheField_data() {
    QTest::addColumn<int>("exam");
    QTest::addColumn<QList<int>>("ticked");  // rows of exam 1 left ticked
    QTest::addColumn<int>("count");          // -1: as the dialog sets it
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    const QString hold17 =
        QStringLiteral("The ticked categories hold 17 questions: choose 1 to 17.");
    QTest::newRow("nothing ticked") << 1 << QList<int>{} << -1 << "lstCategories"
                                    << "lblCategoriesProblem"
                                    << "Tick at least one category.";
    QTest::newRow("no questions asked for") << 1 << QList<int>{0, 2} << 0 << "spnQuestions"
                                            << "lblQuestionsProblem" << hold17;
    QTest::newRow("more than the ticked categories hold")
        << 1 << QList<int>{0, 2} << 18 << "spnQuestions"
        << "lblQuestionsProblem" << hold17;
    QTest::newRow("more than the one ticked category holds")
        << 1 << QList<int>{2} << 13 << "spnQuestions"
        << "lblQuestionsProblem"
        << "The ticked category holds 12 questions: choose 1 to 12.";
    QTest::newRow("exam without questions") << 3 << QList<int>{} << -1 << "cboExam"
                                            << "lblExamProblem"
                                            << "Exam #3 has no questions.";
    QTest::newRow("exam whose questions have no category")
        << 2 << QList<int>{} << -1 << "cboExam"
        << "lblExamProblem"
        << "No question of Exam #2 has a category.";
}

void TestCustomDialog::refusesWithTheReasonBesideTheField() {
    QFETCH(int, exam);
    QFETCH(QList<int>, ticked);
    QFETCH(int, count);
    QFETCH(QString, field);
    QFETCH(QString, label);
    QFETCH(QString, message);
    Setting s;
    fillStandard(s.db);
    CustomExamDialog& d = s.open();
    control<QComboBox>(d, QStringLiteral("cboExam"))->setCurrentIndex(exam - 1);
    if (exam == 1) {
        onlyTick(d, ticked);
    }
    if (count >= 0) {
        control<QSpinBox>(d, QStringLiteral("spnQuestions"))->setValue(count);
    }
    // Shown as soon as the problem is there, not only once OK is refused.
    QCOMPARE(shownProblems(d), QStringList{label});
    QCOMPARE(control<QLabel>(d, label)->text(), message);
    QCOMPARE(d.problem(), message);
    QVERIFY(!d.settings());

    control<QWidget>(d, QStringLiteral("cboExam"))->setFocus();
    pressEnter(d);
    QCOMPARE(s.examsOpened, 0);
    QVERIFY(!examUnderWay());
    QVERIFY(d.isVisible());
    // The keyboard lands on what must change, and a screen reader reads why with it.
    QCOMPARE(d.focusWidget(), control(d, field));
    QCOMPARE(control(d, field)->accessibleDescription(), message);
    d.Unload();
}

void TestCustomDialog::okStartsTheExamAndEscapeStartsNothing() {
    Setting s;
    fillStandard(s.db);
    CustomExamDialog& d = s.open();
    Form1& menu = forms::get<Form1>();
    QCOMPARE(d.windowTitle(), QStringLiteral("Custom Exam"));
    // The name first, selected, so typing replaces it as in a fixed exam's name box.
    QCOMPARE(d.focusWidget(), control(d, QStringLiteral("txtName")));
    QVERIFY(control<QLineEdit>(d, QStringLiteral("txtName"))->hasSelectedText());
    // The menu takes no click while the dialog is up.
    QVERIFY(!clickOpensTheExamMenu(menu));

    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QVERIFY(menu.isVisible());
    QCOMPARE(s.examsOpened, 0);
    QVERIFY(clickOpensTheExamMenu(menu));

    s.open();
    control<QRadioButton>(d, QStringLiteral("optPractice"))->click();
    pressEnter(d);
    QCOMPARE(s.examsOpened, 1);
    QVERIFY(examUnderWay());
    QVERIFY(app::customExam());
    QCOMPARE(session::encodeCustom(*app::customExam()),
             QStringLiteral("exam=1 categories=0,2 questions=17 minutes=17 mode=practice"));
    QVERIFY(!d.isVisible());
    QVERIFY(!menu.isVisible());

    // While the exam is under way the menu entry opens nothing.
    menu.mnuCustomExam_Click();
    QVERIFY(!d.isVisible());
    endExam();
}

void TestCustomDialog::remembersTheLastExamAndNamePerEdition() {
    Setting s;
    fillStandard(s.db);
    look::setPreference(QStringLiteral("full/candidate"), QStringLiteral("Ann"));
    CustomExamDialog& d = s.open();
    QCOMPARE(setOut(d),
             QStringLiteral("Ann | Exam #1 | [x] Networking (5), [ ] Empty (0) (locked), "
                            "[x] Security (12) | 17 | 17 | timed"));
    // Another name for this attempt, a category, a count and minutes of the candidate's own.
    auto* name = control<QLineEdit>(d, QStringLiteral("txtName"));
    QTest::keyClicks(name, QStringLiteral("Zo"));  // typing replaces the name
    name->insert(QStringLiteral("ë Ñúñez"));
    onlyTick(d, {2});
    control<QSpinBox>(d, QStringLiteral("spnQuestions"))->setValue(10);
    control<QSpinBox>(d, QStringLiteral("spnMinutes"))->setValue(15);
    control<QRadioButton>(d, QStringLiteral("optPractice"))->click();
    const QString started = setOut(d);
    probe::click(d, QStringLiteral("cmdOK"));
    QCOMPARE(s.examsOpened, 1);
    QCOMPARE(ExamSettings.CandidateName, QStringLiteral("Zoë Ñúñez"));
    endExam();
    app::clearCustomExam();

    s.open();
    QCOMPARE(setOut(d), started);
    d.Unload();

    // The demo keeps its own: neither the full program's settings nor its name.
    switchEdition(s.db, app::demoEdition());
    CustomExamDialog& demo = s.open();
    QCOMPARE(setOut(demo), QStringLiteral("Candidate's Name Here | Exam #1 Demo | [x] Networking "
                                          "(5), [ ] Empty (0) (locked), [x] Security (12) | 17 | "
                                          "17 | timed"));
    // An empty name runs as a cancelled name box leaves it: empty.
    control<QLineEdit>(demo, QStringLiteral("txtName"))->clear();
    probe::click(demo, QStringLiteral("cmdOK"));
    QCOMPARE(s.examsOpened, 2);
    QCOMPARE(ExamSettings.CandidateName, QString());
    endExam();
    app::clearCustomExam();
    QCOMPARE(s.open().candidateName(), QString());
    demo.Unload();

    switchEdition(s.db, app::fullEdition());
    QCOMPARE(setOut(s.open()), started);
    forms::get<CustomExamDialog>().Unload();
}

void TestCustomDialog::fitsWhatItRemembersToTheBank_data() {
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("shown");  // exam | ticks | count | minutes | mode
    const QString both = QStringLiteral(
        "[x] Networking (5), [ ] Empty (0) (locked), [x] Security "
        "(12)");
    QTest::newRow("a category gone")
        << "exam=1 categories=2,7 questions=10 minutes=10 mode=practice"
        << "Exam #1 | [ ] Networking (5), [ ] Empty (0) (locked), [x] Security (12) | 10 | 10 | "
           "practice";
    QTest::newRow("more questions than are left, the minutes following")
        << "exam=1 categories=0 questions=30 minutes=30 mode=timed"
        << "Exam #1 | [x] Networking (5), [ ] Empty (0) (locked), [ ] Security (12) | 5 | 5 | "
           "timed";
    QTest::newRow("more questions than are left, the candidate's own minutes")
        << "exam=1 categories=0 questions=30 minutes=45 mode=timed"
        << "Exam #1 | [x] Networking (5), [ ] Empty (0) (locked), [ ] Security (12) | 5 | 45 | "
           "timed";
    QTest::newRow("only categories now empty or gone")
        << "exam=1 categories=1,9 questions=4 minutes=0 mode=timed"
        << "Exam #1 | " + both + " | 4 | Untimed | timed";
    QTest::newRow("an exam without categories now")
        << "exam=2 categories=0 questions=3 minutes=3 mode=timed"
        << "Exam #2 | [ ] Networking (0) (locked), [ ] Empty (0) (locked), [ ] Security (0) "
           "(locked) | 3 | 3 | timed";
    QTest::newRow("unreadable") << "exam=1 questions=lots"
                                << "Exam #1 | " + both + " | 17 | 17 | timed";
}

// What was started last, against a bank that has changed since: quietly fitted, never refused
// for what the candidate did not choose this time.
void TestCustomDialog::fitsWhatItRemembersToTheBank() {
    QFETCH(QString, remembered);
    QFETCH(QString, shown);
    Setting s;
    fillStandard(s.db);
    look::setPreference(QStringLiteral("full/customExam"), remembered);
    CustomExamDialog& d = s.open();
    QVERIFY(d.isVisible());
    QCOMPARE(setOut(d).section(QStringLiteral(" | "), 1), shown);
    QCOMPARE(s.env.endings, 0);
    d.Unload();
}

void TestCustomDialog::accessKeysReachEveryField() {
    Setting s;
    fillStandard(s.db);
    CustomExamDialog& d = s.open();
    QApplication::setActiveWindow(&d);
    QVERIFY(QTest::qWaitForWindowActive(&d));
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_E, "cboExam"},      {Qt::Key_N, "txtName"},    {Qt::Key_T, "lstCategories"},
        {Qt::Key_Q, "spnQuestions"}, {Qt::Key_M, "spnMinutes"}, {Qt::Key_P, "optPractice"},
        {Qt::Key_E, "cboExam"}};
    for (const auto& [key, field] : keys) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), control(d, QLatin1String(field)));
    }
    // Each key is one field's alone: Alt+N never unticks, Alt+O does.
    QVERIFY(d.settings());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(!d.settings());
    QCOMPARE(d.problem(), QStringLiteral("Tick at least one category."));
    d.Unload();
}

void TestCustomDialog::demoOffersOnlyItsOwnExam() {
    Setting s(app::demoEdition());
    s.db.addCategories({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    for (int category = 0; category < 3; ++category) {
        addQuestions(s.db, 1, category, 10);
    }
    CustomExamDialog& d = s.open();
    QVERIFY(d.isVisible());
    auto* exams = control<QComboBox>(d, QStringLiteral("cboExam"));
    QCOMPARE(exams->count(), 1);
    QCOMPARE(exams->itemText(0), QStringLiteral("Exam #1 Demo"));
    QCOMPARE(rows(d), (QStringList{"[x] One (10)", "[x] Two (10)", "[x] Three (10)"}));
    QVERIFY(d.settings());
    QCOMPARE(session::encodeCustom(*d.settings()),
             QStringLiteral("exam=1 categories=0,1,2 questions=20 minutes=20 mode=timed"));
    d.Unload();
}

void TestCustomDialog::unreadableBankGivesOneMessage_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("no category table") << "DROP TABLE cat";
    QTest::newRow("no catID column")
        << "DROP INDEX exam1_catID; ALTER TABLE exam1 DROP COLUMN catID";
    QTest::newRow("not a database") << "";
}

void TestCustomDialog::unreadableBankGivesOneMessage() {
    QFETCH(QString, damage);
    Setting s;
    fillStandard(s.db);
    if (damage.isEmpty()) {
        // Every page in the file itself first, or the journal would still answer for them.
        s.db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QFile file(s.db.path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(8192, 'x'));
    } else {
        for (const QString& statement : damage.split(QStringLiteral("; "))) {
            s.db.exec(statement);
        }
    }
    CustomExamDialog& d = s.open();
    QVERIFY(!d.isVisible());
    QVERIFY(forms::get<Form1>().isVisible());
    QCOMPARE(s.env.endings, 0);
    QCOMPARE(s.env.prompts.shown().size(), size_t(1));
    const prompts::Shown& said = s.env.prompts.shown().front();
    QCOMPARE(said.icon, prompts::Icon::Critical);
    QVERIFY2(said.text.startsWith(QStringLiteral("No custom exam can be made: the categories of "
                                                 "Exam #1 cannot be read")),
             qPrintable(said.text));
    QVERIFY(!d.settings());
}

void TestCustomDialog::namesShowAsPlainText_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("markup") << "<b>x</b> & <i>y"
                            << "<b>x</b> & <i>y (1)";
    QTest::newRow("empty") << ""
                           << "(no name) (1)";
    QTest::newRow("lines and runs of spaces") << "  Line one\n\n  line   two "
                                              << "Line one line two (1)";
    QTest::newRow("non-ASCII") << "Zoë Ñúñez 李 ✓"
                               << "Zoë Ñúñez 李 ✓ (1)";
    QTest::newRow("huge") << QString(60000, u'n') << QString(119, u'n') + QStringLiteral("… (1)");
    // A character outside the basic plane is never cut in half.
    QTest::newRow("huge, cut at a pair") << QString(118, u'n') + QStringLiteral("😀😀")
                                         << QString(118, u'n') + QStringLiteral("… (1)");
}

void TestCustomDialog::namesShowAsPlainText() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    Setting s;
    s.db.addCategories({name});
    addQuestions(s.db, 1, 0, 1);
    CustomExamDialog& d = s.open();
    QCOMPARE(list(d)->item(0)->text(), shown);
    QCOMPARE(d.categories().categories.front().name, name);
    d.Unload();
}

QTEST_MAIN(TestCustomDialog)
#include "tst_custom_dialog.moc"
