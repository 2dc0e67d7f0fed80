// Exhibit names as hand-made banks carry them, taken from the database by each window that
// opens the exhibit: the picture shows, or one message says why not; either way Return leads
// back to the window that opened it.
#include <QAbstractButton>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "fixture_database.h"
#include "program_windows.h"
#include "start/form1.h"
#include "study/form2c.h"
#include "study/picture_box.h"

using testsupport::FixtureDatabase;

namespace {

constexpr int kQuestions = 116;

void press(const QString& window, const char* name) {
    QWidget* w = flow::existing(window);
    QVERIFY2(w, qPrintable(window));
    auto* button = w->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button && button->isVisible() && button->isEnabled(), name);
    button->click();
}

// Every question carries the same exhibit name, so the first question shown has it.
void fillBank(FixtureDatabase& db, const QString& exhibit) {
    db.addCategories({QStringLiteral("Only")});
    for (int id = 1; id <= kQuestions; ++id) {
        testsupport::Question q;
        q.id = id;
        q.question = QStringLiteral("Question %1").arg(id);
        q.answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString(),
                     QString()};
        q.key[0] = true;
        q.diagram = exhibit;
        db.addQuestion(1, q);
    }
    db.setTestInformation(
        {QStringLiteral("Exam"), QStringLiteral("n"), QString(), QString(), QString(), QString()});
}

}  // namespace

class TestBadExhibits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exhibitNamedByTheDatabase_data();
    void exhibitNamedByTheDatabase();
};

void TestBadExhibits::exhibitNamedByTheDatabase_data() {
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");     // where the picture is put, if anywhere
    QTest::addColumn<QString>("problem");  // empty when the picture shows

    const QString accented = QStringLiteral("Übersicht – Schaltplan 図 1.png");
    const QString outside = QStringLiteral("only a picture inside the bank's folder can be shown");
    for (const win::Window& opener : {win::Exam, win::WrongAnswers, win::Study}) {
        QTest::addRow("%s: non-ASCII name", opener.name)
            << opener.id() << accented << accented << QString();
        QTest::addRow("%s: non-ASCII name, no such file", opener.name)
            << opener.id() << accented << QString() << QStringLiteral("the file was not found");
        QTest::addRow("%s: name with a sub-folder", opener.name)
            << opener.id() << QStringLiteral("Bilder/Ölfilter.png")
            << QStringLiteral("Bilder/Ölfilter.png") << QString();
        QTest::addRow("%s: name climbing out of the folder", opener.name)
            << opener.id() << QStringLiteral("Bilder/../../Ölfilter.png") << QString() << outside;
        QTest::addRow("%s: absolute name", opener.name)
            << opener.id() << QStringLiteral("/etc/Ölfilter.png") << QString() << outside;
    }
}

void TestBadExhibits::exhibitNamedByTheDatabase() {
    QFETCH(QString, opener);
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, problem);
    FixtureDatabase db;
    fillBank(db, name);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    if (!file.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(picture.save(file, "PNG"));
    }
    AppTestEnv env(app::fullEdition());
    registerProgramWindows();
    app::Main();

    if (opener == win::Study.id()) {
        forms::get<Form1>().findChild<QAction*>(QStringLiteral("menuFileSubExam1"))->trigger();
    } else {
        forms::get<Form1>().findChild<QAction*>(QStringLiteral("mnuExamsub1"))->trigger();
        press(win::Intro, "Command1");
        press(win::Notice, "OKButton");
        if (opener == win::WrongAnswers.id()) {
            env.prompts.answer(prompts::Answer::Ok);
            press(win::Exam, "cmdEndExam");
            press(win::ScoreSheet, "CmdAnswers");
        }
    }
    QVERIFY(flow::existing(opener)->isVisible());
    const size_t promptsBefore = env.prompts.shown().size();
    press(opener, "Picture1");

    Form2C* exhibit = forms::existing<Form2C>();
    QVERIFY(exhibit && exhibit->isVisible());
    const QImage shown = exhibit->findChild<study::PictureBox*>()->picture();
    const std::vector<prompts::Shown>& prompts = env.prompts.shown();
    if (problem.isEmpty()) {
        QCOMPARE(prompts.size(), promptsBefore);
        QCOMPARE(shown.size(), picture.size());
        QCOMPARE(exhibit->shownExhibit(), name);
    } else {
        QCOMPARE(prompts.size(), promptsBefore + 1);
        QVERIFY(shown.isNull());
        const QString text = prompts.back().text;
        QVERIFY2(text.contains(name) && text.contains(problem), qPrintable(text));
    }

    press(win::Exhibit, "Command1");
    QVERIFY(flow::existing(opener)->isVisible());
    QVERIFY(!exhibit->isVisible());
    QCOMPARE(env.endings, 0);
}

QTEST_MAIN(TestBadExhibits)
#include "tst_bad_exhibits.moc"
