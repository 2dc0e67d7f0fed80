// The program's looks and text zoom: every text readable in every look, the standard look's
// colours unchanged, and every window laid out whole at three times the text size.
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOption>
#include <QTableView>
#include <QtTest>
#include <cmath>

#include "look/inks.h"
#include "look/keyboard_aids.h"
#include "look/look.h"
#include "look/preferences.h"
#include "look/text_zoom.h"
#include "window_tour.h"

namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isTextEntry(const QWidget& w) {
    return qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QPlainTextEdit*>(&w) ||
           qobject_cast<const QAbstractItemView*>(&w);
}

bool hasText(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        return !label->text().isEmpty();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        return !button->text().isEmpty();
    }
    return isTextEntry(w);
}

// The colour behind w: its own for boxes and buttons, else the nearest filled ancestor's.
QColor backgroundOf(const QWidget& w, QPalette::ColorGroup group) {
    if (isTextEntry(w)) {
        return w.palette().color(group, QPalette::Base);
    }
    if (qobject_cast<const QPushButton*>(&w)) {
        return w.palette().color(group, QPalette::Button);
    }
    for (const QWidget* at = &w; at; at = at->parentWidget()) {
        if (at->autoFillBackground() || at->isWindow()) {
            return at->palette().color(group, at->backgroundRole());
        }
    }
    return w.palette().color(group, QPalette::Window);
}

QColor textOf(const QWidget& w, QPalette::ColorGroup group) {
    return w.palette().color(group, isTextEntry(w) ? QPalette::Text : w.foregroundRole());
}

void addLookRows() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("look");
    for (const char* edition : {"full", "demo"}) {
        for (const char* l : {"standard", "dark", "high-contrast"}) {
            QTest::addRow("%s, %s", edition, l) << edition << l;
        }
    }
}

// Overlapping siblings or a child sticking out of its parent: text cut off or drawn over.
void collectOverlaps(QWidget& parent, QStringList& out) {
    // A box's or list's content may be larger than what it shows; a page in a scroll area must
    // still fit the screen at the largest size, and what is on it must not overlap.
    const QWidget* around = parent.parentWidget();
    if (qobject_cast<const QAbstractScrollArea*>(around) &&
        !qobject_cast<const QScrollArea*>(around)) {
        return;
    }
    QWidgetList children;
    for (QObject* o : parent.children()) {
        auto* w = qobject_cast<QWidget*>(o);
        // The focus ring lies over its box on purpose.
        if (w && !w->isWindow() && w->isVisible() &&
            w->objectName() != QLatin1String("praxiloFocusRing")) {
            children << w;
        }
    }
    const QRect inside = parent.rect();
    const bool scrolls = qobject_cast<QAbstractScrollArea*>(&parent);
    for (qsizetype i = 0; i < children.size(); ++i) {
        QWidget* a = children[i];
        if (!inside.contains(a->geometry()) && !scrolls) {
            out << QStringLiteral("%1 sticks out of %2").arg(a->objectName(), parent.objectName());
        }
        for (qsizetype j = i + 1; j < children.size(); ++j) {
            if (a->geometry().intersects(children[j]->geometry())) {
                out << QStringLiteral("%1/%2 overlaps %3")
                           .arg(parent.objectName(), a->objectName(), children[j]->objectName());
            }
        }
        const QSize least = a->minimumSizeHint();
        if (hasText(*a) && !isTextEntry(*a) &&
            (a->width() < least.width() || a->height() < least.height())) {
            out << QStringLiteral("%1/%2 is cut to %3x%4 of %5x%6")
                       .arg(parent.window()->objectName(), a->objectName())
                       .arg(a->width())
                       .arg(a->height())
                       .arg(least.width())
                       .arg(least.height());
        }
        collectOverlaps(*a, out);
    }
}

// How far a box's left edge stands out from what surrounds it.
double edgeContrast(QWidget& box) {
    const QImage picture = box.grab().toImage();
    const QColor around = backgroundOf(*box.parentWidget(), QPalette::Active);
    double best = 1;
    for (int x : {0, 1}) {
        best = std::max(best, contrast(picture.pixelColor(x, picture.height() / 2), around));
    }
    return best;
}

bool hasEdge(const QWidget& w) {
    if (const auto* line = qobject_cast<const QLineEdit*>(&w)) {
        return line->hasFrame();
    }
    const auto* area = qobject_cast<const QAbstractScrollArea*>(&w);
    return area && area->frameShape() != QFrame::NoFrame;
}

// Every shown selector against the first line of the text it is named after ("Choice B: ..."
// beside the box "Choice B"), in window pixels.
void collectMisalignedSelectors(QWidget& window, QStringList& out) {
    static const QRegularExpression named(QStringLiteral("^.* ([A-E])(: .*)?$"));
    for (QAbstractButton* selector : window.findChildren<QAbstractButton*>()) {
        const QRegularExpressionMatch match = named.match(selector->accessibleName());
        if (!selector->isVisible() || qobject_cast<QPushButton*>(selector) || !match.hasMatch()) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(selector);
        option.text = selector->text();
        const QRect indicator = selector->style()->subElementRect(
            qobject_cast<QRadioButton*>(selector) ? QStyle::SE_RadioButtonIndicator
                                                  : QStyle::SE_CheckBoxIndicator,
            &option, selector);
        for (QPlainTextEdit* text : window.findChildren<QPlainTextEdit*>()) {
            if (text->accessibleName() != QStringLiteral("Choice ") + match.captured(1)) {
                continue;
            }
            const QRect line = text->cursorRect(QTextCursor(text->document()));
            const int off = selector->mapTo(&window, indicator.center()).y() -
                            text->viewport()->mapTo(&window, line.center()).y();
            if (std::abs(off) > 2) {
                out << QStringLiteral("%1/%2 at %3%: %4 pixels off its first line")
                           .arg(window.objectName(), selector->objectName())
                           .arg(look::zoomPercent())
                           .arg(off);
            }
        }
    }
}

}  // namespace

class TestLooks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenLook_data();
    void chosenLook();
    void everyTextReadsInEveryLook_data() { addLookRows(); }
    void everyTextReadsInEveryLook();
    void selectorsStandOutInEveryLook_data();
    void selectorsStandOutInEveryLook();
    void windowsWearTheLooksColours_data();
    void windowsWearTheLooksColours();
    void edgesAndSelectorLinesInEveryLook_data();
    void edgesAndSelectorLinesInEveryLook();
    void zoomKeysScaleTheTextsAndAreRemembered();
    void everyWindowFitsAtTheLargestZoom_data() { probe::addEditionRows(); }
    void everyWindowFitsAtTheLargestZoom();
};

void TestLooks::chosenLook_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("look");
    QTest::addColumn<bool>("problem");
    QTest::newRow("nothing chosen") << QStringList{} << ""
                                    << "standard" << false;
    QTest::newRow("option") << QStringList{"--theme", "dark"} << ""
                            << "dark" << false;
    QTest::newRow("option with =") << QStringList{"--theme=high-contrast"} << ""
                                   << "high-contrast" << false;
    QTest::newRow("stored") << QStringList{} << "dark"
                            << "dark" << false;
    QTest::newRow("option beats stored") << QStringList{"--theme", "standard"} << "dark"
                                         << "standard" << false;
    QTest::newRow("any case") << QStringList{"--theme", "DARK"} << ""
                              << "dark" << false;
    QTest::newRow("unknown option") << QStringList{"--theme", "neon"} << "dark"
                                    << "standard" << true;
    QTest::newRow("unknown stored") << QStringList{} << "sepia"
                                    << "standard" << true;
    QTest::newRow("option without a name") << QStringList{"--theme"} << ""
                                           << "standard" << false;
}

void TestLooks::chosenLook() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, stored);
    QFETCH(QString, look);
    QFETCH(bool, problem);
    QTemporaryDir dir;
    look::setPreferencesFile(dir.filePath(QStringLiteral("prefs.ini")));
    if (!stored.isEmpty()) {
        look::setPreference(QStringLiteral("look/theme"), stored);
    }
    QString said;
    QCOMPARE(look::nameOf(look::chosenLook(QStringList{"kvn_pro"} + arguments, &said)), look);
    QCOMPARE(!said.isEmpty(), problem);
    look::setPreferencesFile(QString());
}

void TestLooks::everyTextReadsInEveryLook() {
    QFETCH(QString, edition);
    QFETCH(QString, look);
    QStringList faint;
    int measured = 0;
    const auto visit = [&](QWidget& window) {
        QWidgetList widgets = window.findChildren<QWidget*>();
        widgets << &window;
        for (QWidget* w : std::as_const(widgets)) {
            if (w->window() != &window || !w->isVisibleTo(&window) || !hasText(*w)) {
                continue;
            }
            // Inactive controls are exempt, as in the guideline; boxes that show content
            // while disabled are not.
            if (!w->isEnabled() && !isTextEntry(*w)) {
                continue;
            }
            const QPalette::ColorGroup group =
                w->isEnabled() ? QPalette::Active : QPalette::Disabled;
            const double ratio = contrast(textOf(*w, group), backgroundOf(*w, group));
            ++measured;
            if (ratio < 4.5) {
                faint << QStringLiteral("%1/%2: %3 on %4, %5:1")
                             .arg(window.objectName(), w->objectName(), textOf(*w, group).name(),
                                  backgroundOf(*w, group).name())
                             .arg(ratio, 0, 'f', 2);
            }
        }
    };
    tour::everyWindow(probe::editionNamed(edition), visit, *look::lookNamed(look));
    QVERIFY(measured > 100);
    tour::report(faint);
}

void TestLooks::selectorsStandOutInEveryLook_data() {
    QTest::addColumn<QString>("look");
    // The standard look keeps the platform's own style and its selectors as they are.
    for (const char* l : {"dark", "high-contrast"}) {
        QTest::newRow(l) << l;
    }
}

// An empty check box or option button must stand out from its window by 3:1, as any control
// must, or a candidate cannot see that there is a choice to make.
void TestLooks::selectorsStandOutInEveryLook() {
    QFETCH(QString, look);
    tour::LookGuard chosen(*look::lookNamed(look));
    QWidget window;
    window.setAutoFillBackground(true);
    auto* check = new QCheckBox(&window);
    auto* option = new QRadioButton(&window);
    option->move(0, 40);
    window.resize(80, 80);
    window.show();
    for (QAbstractButton* selector :
         {static_cast<QAbstractButton*>(check), static_cast<QAbstractButton*>(option)}) {
        const QImage picture = selector->grab().toImage();
        const QColor ground = window.palette().color(QPalette::Window);
        double best = 1;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                best = std::max(best, contrast(picture.pixelColor(x, y), ground));
            }
        }
        QVERIFY2(best >= 3,
                 qPrintable(QStringLiteral("%1: %2:1")
                                .arg(QString::fromLatin1(selector->metaObject()->className()))
                                .arg(best)));
    }
}

void TestLooks::windowsWearTheLooksColours_data() {
    QTest::addColumn<QString>("look");
    for (const char* l : {"standard", "dark", "high-contrast"}) {
        QTest::newRow(l) << l;
    }
}

// Each fixed colour of a window is the one its look gives for the role, in every look.
void TestLooks::windowsWearTheLooksColours() {
    QFETCH(QString, look);
    const look::Look chosenLook = *look::lookNamed(look);
    // The look's colours, asked of it while it is the look, as the windows are made under it.
    const tour::LookGuard chosen(chosenLook);
    struct Expected {
        const char* window;
        const char* control;
        QPalette::ColorRole role;
        QColor colour;
    };
    using look::Ground;
    using look::Ink;
    const Expected expected[] = {
        {"Form211", "lblBestChoice", QPalette::WindowText, look::ink(Ink::Instruction)},
        {"Form211", "lblFlagged", QPalette::WindowText, look::ink(Ink::Instruction)},
        {"Form211", "LblPause", QPalette::WindowText, look::ink(Ink::Link)},
        {"Form3", "", QPalette::Window, look::ground(Ground::Report)},
        {"Form3", "lblPassScore", QPalette::WindowText, look::ink(Ink::Score)},
        {"Form3", "lblScoreObtained", QPalette::WindowText, look::ink(Ink::Score)},
        {"Form3", "Label1", QPalette::WindowText, look::inkOn(Ground::FailBand)},
        {"Form3", "Label1", QPalette::Window, look::ground(Ground::FailBand)},
        {"Form41", "", QPalette::Window, look::ground(Ground::Report)},
        {"Form41", "LblCorrect", QPalette::WindowText, look::ink(Ink::Correct)},
        {"Form41", "LblYourChoice", QPalette::WindowText, look::ink(Ink::Wrong)},
        {"Form41", "ChkYourChoice3", QPalette::WindowText, look::ink(Ink::Wrong)},
        {"Form5", "", QPalette::Window, look::ground(Ground::Report)},
        {"Form5", "Label2", QPalette::WindowText, look::ink(Ink::Notice)},
        {"Form5", "Text2_1", QPalette::Base, look::ground(Ground::IdBox)},
        {"Form5", "Text2_1", QPalette::Text, look::inkOn(Ground::IdBox)},
        {"Form11", "", QPalette::Window, look::ground(Ground::Report)},
    };
    // A window the tour visits twice (the exam, then a practice run) is checked each time.
    QSet<const Expected*> checked;
    tour::everyWindow(
        app::fullEdition(),
        [&](QWidget& window) {
            for (const Expected& e : expected) {
                if (window.objectName() != QLatin1String(e.window)) {
                    continue;
                }
                QWidget* w =
                    *e.control ? probe::control(window, QLatin1String(e.control)) : &window;
                QCOMPARE(w->palette().color(QPalette::Active, e.role), e.colour);
                checked.insert(&e);
            }
        },
        chosenLook);
    QCOMPARE(checked.size(), qsizetype(std::size(expected)));
}

void TestLooks::edgesAndSelectorLinesInEveryLook_data() {
    QTest::addColumn<QString>("look");
    QTest::addColumn<double>("least");
    // The standard look keeps the platform's own faint edges; the others stand out as any
    // control must.
    QTest::newRow("standard") << "standard" << 1.2;
    QTest::newRow("dark") << "dark" << 3.0;
    QTest::newRow("high-contrast") << "high-contrast" << 3.0;
}

// Text boxes, the choices' boxes and the score grids show where they end; in the answer, study
// and wrong-answer windows each selector stands on the first line of its choice's text, at the
// normal and at a large text size.
void TestLooks::edgesAndSelectorLinesInEveryLook() {
    QFETCH(QString, look);
    QFETCH(double, least);
    QStringList problems;
    int edges = 0;
    QSet<QString> lined;
    const auto visit = [&](QWidget& window) {
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisible() || !hasEdge(*w) || w->width() < 8 || w->height() < 8) {
                continue;
            }
            ++edges;
            if (const double ratio = edgeContrast(*w); ratio < least) {
                problems << QStringLiteral("%1/%2: edge at %3:1")
                                .arg(window.objectName(), w->objectName())
                                .arg(ratio, 0, 'f', 2);
            }
        }
        const QString name = window.objectName();
        if (name == win::Answer.id() || name == win::Study.id() || name == win::WrongAnswers.id()) {
            lined.insert(name);
            for (int zoom : {100, 200}) {
                look::setZoomPercent(zoom);
                QCoreApplication::processEvents();
                collectMisalignedSelectors(window, problems);
            }
            look::setZoomPercent(100);
        }
    };
    tour::everyWindow(app::fullEdition(), visit, *look::lookNamed(look));
    QVERIFY(edges > 40);
    QCOMPARE(lined.size(), 3);
    tour::report(problems);
}

void TestLooks::zoomKeysScaleTheTextsAndAreRemembered() {
    tour::Setting setting(app::fullEdition());
    look::installKeyboardAids(*qApp);
    flow::open(win::HelpNavigation);
    QWidget& help = tour::shown(win::HelpNavigation);
    auto* text = probe::control<QPlainTextEdit>(help, QStringLiteral("Text1"));
    auto* back = probe::control<QPushButton>(help, QStringLiteral("Command1"));
    const qreal base = text->font().pointSizeF();
    const qreal button = back->font().pointSizeF();

    QTest::keyClick(text, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(look::zoomPercent(), 110);
    QCOMPARE(text->font().pointSizeF(), base * 1.1);
    QCOMPARE(back->font().pointSizeF(), button);  // captions keep their size
    QTest::keyClick(back, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(look::zoomPercent(), 125);
    QTest::keyClick(text, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(look::zoomPercent(), 110);
    QCOMPARE(look::preference(QStringLiteral("look/zoom")).toInt(), 110);

    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(text, Qt::Key_Plus, Qt::ControlModifier);
    }
    QCOMPARE(look::zoomPercent(), look::kLargestZoom);
    QCOMPARE(text->font().pointSizeF(), base * 3);
    // A window made now starts at the chosen size.
    flow::open(win::HelpCertification);
    auto* other = probe::control<QPlainTextEdit>(tour::shown(win::HelpCertification),
                                                 QStringLiteral("Text1"));
    QCOMPARE(other->font().pointSizeF(), base * 3);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(other, Qt::Key_Minus, Qt::ControlModifier);
    }
    QCOMPARE(look::zoomPercent(), look::kSmallestZoom);
    QCOMPARE(text->font().pointSizeF(), base * 0.8);
    QTest::keyClick(text, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(look::zoomPercent(), 100);
    QCOMPARE(text->font().pointSizeF(), base);
    QCOMPARE(look::preference(QStringLiteral("look/zoom")).toInt(), 100);

    look::setZoomPercent(5000);
    QCOMPARE(look::zoomPercent(), look::kLargestZoom);
    look::setZoomPercent(-3);
    QCOMPARE(look::zoomPercent(), look::kSmallestZoom);
    look::setZoomPercent(100);
    // A size kept by an older version below the smallest reads as the smallest.
    look::setPreference(QStringLiteral("look/zoom"), 50);
    look::reloadZoom();
    QCOMPARE(look::zoomPercent(), 80);
    QCOMPARE(text->font().pointSizeF(), base * 0.8);
    look::setZoomPercent(100);
    help.close();
    tour::shown(win::HelpCertification).close();
}

void TestLooks::everyWindowFitsAtTheLargestZoom() {
    QFETCH(QString, edition);
    QStringList problems;
    tour::everyWindow(probe::editionNamed(edition), [&](QWidget& window) {
        look::setZoomPercent(look::kLargestZoom);
        const QSize screen(1280, 1024);
        const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
        if (least.width() > screen.width() || least.height() > screen.height()) {
            problems << QStringLiteral("%1 needs %2x%3")
                            .arg(window.objectName())
                            .arg(least.width())
                            .arg(least.height());
        }
        // The test platform's screen is smaller than the one promised; size windows by hand.
        const bool maximized = window.windowState() & Qt::WindowMaximized;
        window.setWindowState(Qt::WindowNoState);
        window.resize(maximized ? screen : window.sizeHint().boundedTo(screen));
        QCoreApplication::processEvents();
        collectOverlaps(window, problems);
        if (window.objectName() == win::ScoreSheet.id()) {
            // Row i of both grids is one category, whatever the text size.
            const int left =
                probe::control<QTableView>(window, QStringLiteral("DBGrid1"))->rowHeight(0);
            const int right =
                probe::control<QTableView>(window, QStringLiteral("DBGrid2"))->rowHeight(0);
            if (left != right || left < window.fontMetrics().height() * 2) {
                problems
                    << QStringLiteral("score sheet rows: %1 and %2 pixels").arg(left).arg(right);
            }
        }
        look::setZoomPercent(100);
    });
    tour::report(problems);
}

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
