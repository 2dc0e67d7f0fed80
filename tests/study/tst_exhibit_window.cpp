#include <QBuffer>
#include <QFile>
#include <QPushButton>
#include <QtEndian>
#include <QtTest>

#include "app/window_names.h"
#include "start/form1.h"
#include "study/form2c.h"
#include "study/picture_box.h"
#include "study_fixture.h"

using studytest::Started;

namespace {

study::PictureBox* pictureOf(Form2C& w) {
    return w.findChild<study::PictureBox*>(QStringLiteral("Picture1"));
}

// Opened by the exam window unless another opener is named.
Form2C& showExhibit(const QString& name, const QString& opener = win::Exam) {
    ExamSettings.CurrentExhibit = name;
    flow::open(win::Exhibit, opener);
    return forms::get<Form2C>();
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint32 crc32(const char* data, int size) {
    quint32 crc = 0xffffffffu;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A well-formed PNG header announcing a picture far too large to hold in memory.
QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray bytes = pngBytes(studytest::positionPicture(4, 4));
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(crc32(bytes.constData() + 12, 17), bytes.data() + 29);
    return bytes;
}

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Stand-ins for every window the exhibit can return to; the real menu is put away, as it is
// while an exam, a review or a study session is under way.
void registerOpeners(studytest::FakeWindows& fakes) {
    forms::get<Form1>().hide();
    for (const win::Window& w : {win::MainMenu, win::Study, win::WrongAnswers, win::Exam}) {
        fakes.add(w);
    }
}

}  // namespace

class TestExhibitWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void showsPictureAtOwnSize_data();
    void showsPictureAtOwnSize();
    void largePictureIsCutOffNotScaled();
    void pictureThatCannotBeShown_data();
    void pictureThatCannotBeShown();
    void returnShowsOpener_data();
    void returnShowsOpener();
    void demoReturnLeavesOpenerAsItIs();
    void eachOpeningShowsCurrentPicture_data();
    void eachOpeningShowsCurrentPicture();
    void examEndingClearsItAway();
};

void TestExhibitWindow::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestExhibitWindow::showsPictureAtOwnSize_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("caption");
    QTest::newRow("full") << "full"
                          << "Exhibit";
    QTest::newRow("demo") << "demo"
                          << "Image";
}

void TestExhibitWindow::showsPictureAtOwnSize() {
    QFETCH(QString, edition);
    QFETCH(QString, caption);
    Started s(edition);
    const QImage image = studytest::positionPicture(60, 40);
    QVERIFY(image.save(QStringLiteral("small.png")));
    ExamSettings.ActiveExam = 1;

    Form2C& w = showExhibit(QStringLiteral("small.png"));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.isVisible());
    QVERIFY(w.windowState() & Qt::WindowMaximized);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(w.shownExhibit(), QStringLiteral("small.png"));
    study::PictureBox* box = pictureOf(w);
    QCOMPARE(box->picture().size(), image.size());
    QVERIFY(box->width() > 60 && box->height() > 40);

    const QImage shot = box->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(59, 39), QPoint(31, 17), QPoint(59, 0)}) {
        QCOMPARE(QColor(shot.pixel(p)), QColor(image.pixel(p)));
    }
    const QColor background = edition == QLatin1String("demo")
                                  ? QColor(192, 192, 192)
                                  : box->palette().color(QPalette::Light);
    QCOMPARE(QColor(shot.pixel(60, 10)), background);
    QCOMPARE(QColor(shot.pixel(10, 40)), background);
    QCOMPARE(s.env.endings, 0);
}

void TestExhibitWindow::largePictureIsCutOffNotScaled() {
    Started s(QStringLiteral("full"));
    const QImage image = studytest::positionPicture(2600, 1900);
    QVERIFY(image.save(QStringLiteral("large.png")));
    ExamSettings.ActiveExam = 1;

    Form2C& w = showExhibit(QStringLiteral("large.png"));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    study::PictureBox* box = pictureOf(w);
    QCOMPARE(box->picture().size(), image.size());
    const QImage shot = box->grab().toImage();
    QVERIFY(shot.width() < image.width() && shot.height() < image.height());
    const QPoint corner(shot.width() - 1, shot.height() - 1);
    QCOMPARE(QColor(shot.pixel(corner)), QColor(image.pixel(corner)));
    QCOMPARE(QColor(shot.pixel(0, 0)), QColor(image.pixel(0, 0)));
}

void TestExhibitWindow::pictureThatCannotBeShown_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");

    const QString folders = QStringLiteral("only a picture inside the bank's folder can be shown");
    const QString notPicture = QStringLiteral("the file is not a picture this program can read");
    for (const char* edition : {"full", "demo"}) {
        QTest::addRow("%s: missing", edition) << edition << "gone.png"
                                              << "the file was not found";
        QTest::addRow("%s: announces 30000 x 30000", edition) << edition << "huge.png"
                                                              << "the picture is too large to show";
    }
    QTest::newRow("empty file") << "full"
                                << "empty.png"
                                << "the file is empty";
    QTest::newRow("text in a .png") << "full"
                                    << "notes.png" << notPicture;
    QTest::newRow("cut-off PNG") << "full"
                                 << "cut.png" << notPicture;
    QTest::newRow("a folder") << "full"
                              << "folder.png"
                              << "the file cannot be read";
    QTest::newRow("parent folder") << "full"
                                   << "../ok.png" << folders;
    QTest::newRow("down and back out") << "full"
                                       << "sub/../../ok.png" << folders;
    QTest::newRow("link out of the folder") << "full"
                                            << "@link" << folders;
    QTest::newRow("absolute") << "full"
                              << "@abs" << folders;
    QTest::newRow("resource") << "full"
                              << ":/ok.png" << folders;
    QTest::newRow("dot-dot alone") << "full"
                                   << ".." << folders;
}

void TestExhibitWindow::pictureThatCannotBeShown() {
    QFETCH(QString, edition);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    Started s(edition);
    studytest::FakeWindows fakes;
    registerOpeners(fakes);
    const QImage image = studytest::positionPicture(30, 20);
    QVERIFY(image.save(QStringLiteral("ok.png")));
    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    QVERIFY(image.save(QStringLiteral("sub/ok.png")));
    QVERIFY(QDir().mkdir(QStringLiteral("folder.png")));
    writeFile(QStringLiteral("huge.png"), pngClaiming(30000, 30000));
    writeFile(QStringLiteral("empty.png"), QByteArray());
    writeFile(QStringLiteral("notes.png"), "These are notes, not a picture.\n");
    writeFile(QStringLiteral("cut.png"), pngBytes(image).left(60));
    if (name == QLatin1String("@abs")) {
        name = QDir::current().absoluteFilePath(QStringLiteral("ok.png"));
    }
    QTemporaryDir elsewhere;
    if (name == QLatin1String("@link")) {
        QVERIFY(image.save(elsewhere.filePath(QStringLiteral("ok.png"))));
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("ok.png")),
                            QStringLiteral("sub/link.png")));
        name = QStringLiteral("sub/link.png");
    }
    ExamSettings.ActiveExam = 2;
    prompts::Script script;

    Form2C& w = showExhibit(name);

    QCOMPARE(script.texts(),
             QStringList{QStringLiteral("The exhibit \"%1\" cannot be shown: %2.\n\n"
                                        "Press Return to go back.")
                             .arg(name, reason)});
    QCOMPARE(script.shown().front().icon, prompts::Icon::Exclamation);
    QVERIFY(w.isVisible());
    QVERIFY(pictureOf(w)->picture().isNull());
    QCOMPARE(w.shownExhibit(), QString());

    QTest::mouseClick(probe::control<QPushButton>(w, QStringLiteral("Command1")), Qt::LeftButton);
    probe::settleDeletions();
    QVERIFY(!forms::existing<Form2C>() || !forms::existing<Form2C>()->isVisible());
    // The demo's opener is assumed to stand behind; here none does, so it is brought back.
    QCOMPARE(fakes.shown.value(win::Exam), 1);
    QCOMPARE(s.env.endings, 0);
}

void TestExhibitWindow::returnShowsOpener_data() {
    QTest::addColumn<QString>("opener");  // empty: none remembered
    QTest::addColumn<bool>("examUnderWay");
    QTest::addColumn<QString>("by");
    QTest::addColumn<QString>("back");  // empty: nothing comes up, so the exhibit stays
    QTest::newRow("study") << win::Study.id() << false << "click" << win::Study.id();
    QTest::newRow("review by Enter")
        << win::WrongAnswers.id() << true << "enter" << win::WrongAnswers.id();
    QTest::newRow("exam") << win::Exam.id() << true << "click" << win::Exam.id();
    QTest::newRow("no opener: the menu") << QString() << false << "click" << win::MainMenu.id();
    QTest::newRow("no opener during an exam: never the menu")
        << QString() << true << "click" << QString();
}

void TestExhibitWindow::returnShowsOpener() {
    QFETCH(QString, opener);
    QFETCH(bool, examUnderWay);
    QFETCH(QString, by);
    QFETCH(QString, back);
    Started s(QStringLiteral("full"));
    studytest::FakeWindows fakes;
    registerOpeners(fakes);
    QVERIFY(studytest::positionPicture(20, 20).save(QStringLiteral("pic.png")));
    // Globals that would point elsewhere: the way back is the opener, not a guess from them.
    ExamSettings.ActiveExam = 22;
    ExamSettings.ReviewExam = 2;
    if (examUnderWay) {
        beginExam();
    }

    ExamSettings.CurrentExhibit = QStringLiteral("pic.png");
    if (opener.isEmpty()) {
        flow::open(win::Exhibit);
    } else {
        flow::open(win::Exhibit, opener);
    }
    Form2C& w = forms::get<Form2C>();
    if (by == QLatin1String("enter")) {
        QTest::keyClick(probe::control<QPushButton>(w, QStringLiteral("Command1")), Qt::Key_Return);
    } else {
        QTest::mouseClick(probe::control<QPushButton>(w, QStringLiteral("Command1")),
                          Qt::LeftButton);
    }

    if (back.isEmpty()) {
        QCOMPARE(fakes.total(), 0);
        QVERIFY(w.isVisible());
    } else {
        QCOMPARE(fakes.shown, (QMap<QString, int>{{back, 1}}));
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isLoaded());
    }
    QCOMPARE(s.env.endings, 0);
}

void TestExhibitWindow::demoReturnLeavesOpenerAsItIs() {
    Started s(QStringLiteral("demo"));
    studytest::FakeWindows fakes;
    registerOpeners(fakes);
    QVERIFY(studytest::positionPicture(20, 20).save(QStringLiteral("pic.png")));
    ExamSettings.ActiveExam = 1;
    QWidget opener;
    opener.show();

    Form2C& w = showExhibit(QStringLiteral("pic.png"));
    QTest::mouseClick(probe::control<QPushButton>(w, QStringLiteral("Command1")), Qt::LeftButton);
    probe::settleDeletions();

    QCOMPARE(fakes.total(), 0);
    QVERIFY(!forms::existing<Form2C>());
    QVERIFY(opener.isVisible());
    QCOMPARE(s.env.endings, 0);
}

void TestExhibitWindow::eachOpeningShowsCurrentPicture_data() {
    probe::addEditionRows();
}

void TestExhibitWindow::eachOpeningShowsCurrentPicture() {
    QFETCH(QString, edition);
    Started s(edition);
    studytest::FakeWindows fakes;
    registerOpeners(fakes);
    QVERIFY(studytest::positionPicture(30, 20).save(QStringLiteral("a.png")));
    QVERIFY(studytest::positionPicture(50, 45).save(QStringLiteral("b.png")));
    ExamSettings.ActiveExam = 1;

    Form2C& first = showExhibit(QStringLiteral("a.png"));
    QCOMPARE(pictureOf(first)->picture().size(), QSize(30, 20));
    QTest::mouseClick(probe::control<QPushButton>(first, QStringLiteral("Command1")),
                      Qt::LeftButton);
    probe::settleDeletions();

    Form2C& second = showExhibit(QStringLiteral("b.png"));
    QCOMPARE(second.shownExhibit(), QStringLiteral("b.png"));
    QCOMPARE(pictureOf(second)->picture().size(), QSize(50, 45));

    // Asked again for another question while still up.
    Form2C& third = showExhibit(QStringLiteral("a.png"));
    QCOMPARE(&third, &second);
    QCOMPARE(third.shownExhibit(), QStringLiteral("a.png"));
    QCOMPARE(pictureOf(third)->picture().size(), QSize(30, 20));
}

void TestExhibitWindow::examEndingClearsItAway() {
    Started s(QStringLiteral("full"));
    studytest::FakeWindows fakes;
    registerOpeners(fakes);
    QVERIFY(studytest::positionPicture(20, 20).save(QStringLiteral("pic.png")));
    ExamSettings.ActiveExam = 1;

    Form2C& w = showExhibit(QStringLiteral("pic.png"));
    flow::unload(win::Exhibit);

    QVERIFY(!w.isVisible());
    QVERIFY(!w.isLoaded());
    QCOMPARE(fakes.total(), 0);
}

QTEST_MAIN(TestExhibitWindow)
#include "tst_exhibit_window.moc"
