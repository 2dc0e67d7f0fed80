// Every exhibit of the shipped banks in the exhibit window, in the standard and the dark look
// at 100 % and 200 % text: each opens without a problem and fits a 1280 x 800 screen. The
// pictures of the window land in exhibit-screenshots/ of the build folder to be looked at.
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/window_names.h"
#include "app_test_env.h"
#include "look/look.h"
#include "look/text_zoom.h"
#include "study/form2c.h"
#include "study/picture_box.h"
#include "study/study_windows.h"

namespace {

QStringList exhibitsOf(const QString& database) {
    QStringList names;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT diagram1 FROM exam1 UNION SELECT diagram1 FROM exam2 UNION "
                       "SELECT diagram1 FROM exam3",
                       -1, &read, nullptr);
    while (sqlite3_step(read) == SQLITE_ROW) {
        const QString name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, 0)));
        if (!name.isEmpty()) {
            names << name;
        }
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    return names;
}

}  // namespace

class TestShippedExhibits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyExhibitShowsAndFits_data();
    void everyExhibitShowsAndFits();
};

void TestShippedExhibits::everyExhibitShowsAndFits_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("look");
    QTest::addColumn<int>("zoom");
    for (const char* edition : {"full", "demo"}) {
        for (const char* look : {"standard", "dark"}) {
            for (int zoom : {100, 200}) {
                QTest::addRow("%s, %s, %d %%", edition, look, zoom) << edition << look << zoom;
            }
        }
    }
}

void TestShippedExhibits::everyExhibitShowsAndFits() {
    QFETCH(QString, edition);
    QFETCH(QString, look);
    QFETCH(int, zoom);
    QTemporaryDir bank;
    const QDir run(QStringLiteral(PRAXILO_RUN_DIR));
    for (const QString& name : run.entryList(QDir::Files)) {
        QVERIFY(QFile::copy(run.filePath(name), bank.filePath(name)));
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(bank.path());
    AppTestEnv env(probe::editionNamed(edition));
    look::apply(*look::lookNamed(look));
    look::setZoomPercent(zoom);
    study::registerWindows();
    const QDir shots(QStringLiteral(PRAXILO_SHOTS_DIR));
    QVERIFY(shots.mkpath(QStringLiteral(".")));
    const QStringList names = exhibitsOf(bank.filePath(app::edition().databaseFile));
    QVERIFY(names.size() >= 4);
    for (const QString& name : names) {
        ExamSettings.CurrentExhibit = name;
        flow::open(win::Exhibit, win::Exam);
        auto& window = forms::get<Form2C>();
        QCOMPARE(window.shownExhibit(), name);
        const QImage picture =
            window.findChild<study::PictureBox*>(QStringLiteral("Picture1"))->picture();
        QVERIFY2(picture.width() <= 1280 && picture.height() <= 800,
                 qPrintable(QStringLiteral("%1 is %2 x %3")
                                .arg(name)
                                .arg(picture.width())
                                .arg(picture.height())));
        window.resize(1280, 800);
        window.grab().save(
            shots.filePath(QStringLiteral("%1-%2-%3-%4").arg(edition, look).arg(zoom).arg(name)));
        window.hide();
    }
    QCOMPARE(env.prompts.shown().size(), size_t(0));
    forms::discardAll();
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestShippedExhibits)
#include "tst_shipped_exhibits.moc"
