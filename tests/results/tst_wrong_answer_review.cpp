#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "app/window_names.h"
#include "examdb/data_source.h"
#include "results/form3.h"
#include "results/form41.h"
#include "results_session.h"

using testsupport::Question;
using Choices = std::array<bool, 5>;

namespace {

Choices choices(std::initializer_list<int> ticked) {
    Choices c{};
    for (int i : ticked) {
        c[size_t(i - 1)] = true;
    }
    return c;
}

Question question(qint64 id, Choices key, Choices responses, int answers = 5) {
    Question q;
    q.id = id;
    q.catDesc = QStringLiteral("Category of %1").arg(id);
    q.question = QStringLiteral("Question %1").arg(id);
    for (int i = 0; i < answers; ++i) {
        q.answers[size_t(i)] = QStringLiteral("Answer %1.%2").arg(id).arg(i + 1);
    }
    q.key = key;
    q.responses = responses;
    q.explanation = QStringLiteral("Because of %1").arg(id);
    return q;
}

QPushButton& button(QWidget& w, const char* name) {
    return *probe::control<QPushButton>(w, name);
}

QString shownQuestion(Form41& review) {
    return probe::control<QPlainTextEdit>(review, "Text1")->toPlainText();
}

QString shownPosition(Form41& review) {
    auto* position = probe::control<QLabel>(review, "lblReviewPosition");
    return position->isVisible() ? position->text() : QStringLiteral("(hidden)");
}

// Opens the review the way the candidate does, from the score sheet.
Form41& openReview() {
    flow::open(win::ScoreSheet);
    button(*forms::existing<Form3>(), "CmdAnswers").click();
    return *forms::existing<Form41>();
}

struct ButtonStates {
    int position;
    bool previous;
    bool next;
};

ButtonStates states(Form41& review) {
    return {review.reviewPosition(), button(review, "cmdPrevQ").isEnabled(),
            button(review, "cmdNextQ").isEnabled()};
}

bool operator==(const ButtonStates& a, const ButtonStates& b) {
    return a.position == b.position && a.previous == b.previous && a.next == b.next;
}

}  // namespace

namespace QTest {
template <>
char* toString(const ButtonStates& s) {
    return qstrdup(QStringLiteral("position %1, previous %2, next %3")
                       .arg(s.position)
                       .arg(s.previous ? "on" : "off", s.next ? "on" : "off")
                       .toUtf8()
                       .constData());
}
}  // namespace QTest

// The review of wrong answers: what it selects and shows, its moves, and that it writes nothing.
class TestWrongAnswerReview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void threeWrongAnswersOfTheDrawOnly();
    void oneWrongAnswer();
    void nothingWrongOpensEmpty();
    void keyBesideResponsesAndNothingWritable_data();
    void keyBesideResponsesAndNothingWritable();
    void fifthAnswerShownWheneverPresent();
    void exhibitButtonFollowsTheQuestion_data();
    void exhibitButtonFollowsTheQuestion();
    void reopeningStartsAtTheFirstQuestion();
    void titleBarCloseReturnsToSheet();
};

void TestWrongAnswerReview::cleanup() {
    probe::verifyNoWindowLeft();
}

void TestWrongAnswerReview::threeWrongAnswersOfTheDrawOnly() {
    ResultsSession session(app::fullEdition(), 2);
    const Choices a = choices({1});
    for (qint64 id : {1, 3}) {
        session.db.addQuestion(2, question(id, a, a));
    }
    for (qint64 id : {2, 4, 5}) {
        session.db.addQuestion(2, question(id, a, choices({2})));
    }
    session.db.addQuestion(2, question(9, a, {}));  // wrong, but never asked
    session.db.draw({1, 2, 3, 4, 5});

    Form41& review = openReview();
    QCOMPARE(review.reviewCount(), 3);
    QCOMPARE(states(review), (ButtonStates{1, false, true}));
    QCOMPARE(shownPosition(review), QStringLiteral("1 of 3"));
    const QString first = shownQuestion(review);

    QStringList seen{first};
    button(review, "cmdNextQ").click();
    QCOMPARE(states(review), (ButtonStates{2, true, true}));
    QCOMPARE(shownPosition(review), QStringLiteral("2 of 3"));
    seen << shownQuestion(review);
    button(review, "cmdNextQ").click();
    QCOMPARE(states(review), (ButtonStates{3, true, false}));
    QCOMPARE(shownPosition(review), QStringLiteral("3 of 3"));
    seen << shownQuestion(review);
    seen.sort();
    QCOMPARE(seen, (QStringList{"Question 2", "Question 4", "Question 5"}));

    button(review, "cmdPrevQ").click();
    button(review, "cmdPrevQ").click();
    QCOMPARE(states(review), (ButtonStates{1, false, true}));
    QCOMPARE(shownQuestion(review), first);
    QCOMPARE(session.env.endings, 0);
}

void TestWrongAnswerReview::oneWrongAnswer() {
    ResultsSession session(app::fullEdition(), 1);
    session.db.addQuestion(1, question(1, choices({3}), choices({1})));
    session.db.addQuestion(1, question(2, choices({3}), choices({3})));
    session.db.draw({1, 2});

    Form41& review = openReview();
    QCOMPARE(states(review), (ButtonStates{1, false, true}));

    button(review, "cmdNextQ").click();
    QCOMPARE(shownQuestion(review), QStringLiteral("Question 1"));
    QCOMPARE(states(review), (ButtonStates{2, true, false}));
    // The one question is still the one shown.
    QCOMPARE(shownPosition(review), QStringLiteral("1 of 1"));

    button(review, "cmdPrevQ").click();
    QCOMPARE(shownQuestion(review), QStringLiteral("Question 1"));
    QCOMPARE(states(review), (ButtonStates{1, false, true}));
}

void TestWrongAnswerReview::nothingWrongOpensEmpty() {
    ResultsSession session(app::fullEdition(), 3);
    session.db.addQuestion(3, question(1, choices({2}), choices({2})));
    session.db.draw({1});
    ExamSettings.CurrentExhibit = QStringLiteral("kept.png");

    Form41& review = openReview();

    QVERIFY(review.isVisible());
    QCOMPARE(review.reviewCount(), 0);
    QVERIFY(shownQuestion(review).isEmpty());
    QVERIFY(probe::control<QPlainTextEdit>(review, "Text6")->toPlainText().isEmpty());
    QVERIFY(!button(review, "Picture1").isVisible());
    QCOMPARE(ExamSettings.CurrentExhibit, QStringLiteral("kept.png"));
    QVERIFY(!button(review, "cmdNextQ").isEnabled());
    QVERIFY(!button(review, "cmdPrevQ").isEnabled());
    QCOMPARE(shownPosition(review), QStringLiteral("(hidden)"));
    review.cmdNextQ_Click();
    review.cmdPrevQ_Click();
    review.Picture1_Click();
    QCOMPARE(review.reviewPosition(), 1);
    QCOMPARE(session.exhibitWindow.shown, 0);
    QCOMPARE(session.env.endings, 0);
}

void TestWrongAnswerReview::keyBesideResponsesAndNothingWritable_data() {
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("exam");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("sourceName");
    QTest::newRow("exam 1") << "full" << 1 << "Exam #1 wrong answers"
                            << "dd2";
    QTest::newRow("exam 2") << "full" << 2 << "Exam #2 wrong answers"
                            << "dd2";
    QTest::newRow("exam 3") << "full" << 3 << "Exam #3 wrong answers"
                            << "dd2";
    QTest::newRow("demo") << "demo" << 1 << "Correct Answers -Demo Exam"
                          << "iis";
}

void TestWrongAnswerReview::keyBesideResponsesAndNothingWritable() {
    QFETCH(QString, edition);
    QFETCH(int, exam);
    QFETCH(QString, caption);
    QFETCH(QString, sourceName);
    ResultsSession session(probe::editionNamed(edition), exam);
    for (qint64 id : {1, 2}) {
        Question q = question(id, choices({1, 3}), choices({2, 3}));
        q.catDesc = QStringLiteral("Storage");
        session.db.addQuestion(exam, q);
    }
    session.db.draw({1, 2});
    const auto keyTable = QStringLiteral("exam%1%1").arg(exam);
    const auto examTable = QStringLiteral("exam%1").arg(exam);

    Form41& review = openReview();
    QCOMPARE(review.windowTitle(), caption);
    QVERIFY(review.findChild<examdb::DataSource*>(sourceName) != nullptr);
    QCOMPARE(ExamSettings.ReviewExam, exam);

    const char* keyBoxes[] = {"Chk1", "chk2", "ch3", "Ch4", "Ch5"};
    const char* responseBoxes[] = {"ChkYourChoice1", "ChkYourChoice2", "ChkYourChoice3",
                                   "ChkYourChoice4", "ChkYourChoice5"};
    const auto marks = [&](const char* const* names) {
        QList<bool> out;
        for (int i = 0; i < 5; ++i) {
            out << probe::control<QCheckBox>(review, names[i])->isChecked();
        }
        return out;
    };
    QCOMPARE(marks(keyBoxes), (QList<bool>{true, false, true, false, false}));
    QCOMPARE(marks(responseBoxes), (QList<bool>{false, true, true, false, false}));
    // One letter a row, beside the key; the candidate's boxes carry none.
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(probe::control<QCheckBox>(review, keyBoxes[i])->text(), QString(QChar(u'A' + i)));
        QCOMPARE(probe::control<QCheckBox>(review, responseBoxes[i])->text(), QString());
    }
    const qint64 shownId = shownQuestion(review).section(QLatin1Char(' '), 1).toLongLong();
    QCOMPARE(probe::control<QPlainTextEdit>(review, "Text8")->toPlainText(),
             QStringLiteral("Answer %1.5").arg(shownId));
    QCOMPARE(probe::control<QPlainTextEdit>(review, "Text6")->toPlainText(),
             QStringLiteral("Because of %1").arg(shownId));
    QCOMPARE(probe::control<QLineEdit>(review, "Text7")->text(), QStringLiteral("Storage"));

    // Clicks on the indicators, keys and typing must all leave the rows as they are.
    const auto eachBox = [&](const std::function<void(QCheckBox&)>& act) {
        for (const char* const* names : {keyBoxes, responseBoxes}) {
            for (int i = 0; i < 5; ++i) {
                act(*probe::control<QCheckBox>(review, names[i]));
            }
        }
    };
    const QList<bool> key{true, false, true, false, false};
    const QList<bool> responses{false, true, true, false, false};
    eachBox([](QCheckBox& box) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    });
    QCOMPARE(marks(keyBoxes), key);
    QCOMPARE(marks(responseBoxes), responses);
    eachBox([](QCheckBox& box) { QTest::keyClick(&box, Qt::Key_Space); });
    QCOMPARE(marks(keyBoxes), key);
    QCOMPARE(marks(responseBoxes), responses);
    for (const char* text : {"Text1", "Text2", "Text8", "Text6"}) {
        QTest::keyClicks(probe::control<QPlainTextEdit>(review, text), "typed");
    }
    QTest::keyClicks(probe::control<QLineEdit>(review, "Text7"), "typed");
    button(review, "cmdNextQ").click();
    button(review, "cmdPrevQ").click();
    button(review, "cmdScoreRep").click();
    probe::settleDeletions();

    for (qint64 id : {1, 2}) {
        QCOMPARE(session.db.answers(keyTable, id), (std::array<int, 5>{1, 0, 1, 0, 0}));
        QCOMPARE(session.db.answers(examTable, id), (std::array<int, 5>{0, 1, 1, 0, 0}));
        QCOMPARE(session.db
                     .scalar(QStringLiteral("SELECT question || explanation FROM %1 WHERE "
                                            "ID = ?")
                                 .arg(keyTable),
                             {id})
                     .toString(),
                 QStringLiteral("Question %1Because of %1").arg(id));
    }
}

void TestWrongAnswerReview::fifthAnswerShownWheneverPresent() {
    ResultsSession session(app::fullEdition(), 1);
    const Choices key = choices({1});
    session.db.addQuestion(1, question(1, key, {}, 5));
    session.db.addQuestion(1, question(2, key, {}, 4));
    session.db.addQuestion(1, question(3, key, {}, 5));
    session.db.addQuestion(1, question(4, key, {}, 4));
    session.db.draw({1, 2, 3, 4});
    Form41& review = openReview();
    const auto check = [&] {
        const qint64 id = shownQuestion(review).section(QLatin1Char(' '), 1).toLongLong();
        const bool fifth = id % 2 == 1;
        for (const char* name : {"Text8", "Ch5", "ChkYourChoice5"}) {
            if (review.findChild<QWidget*>(QLatin1String(name))->isVisible() != fifth) {
                return QStringLiteral("%1 on question %2").arg(QLatin1String(name)).arg(id);
            }
        }
        return QString();
    };

    // Forward and back again, so a question with a fifth answer follows one without it in some
    // direction whatever order the rows come in.
    QCOMPARE(check(), QString());
    for (int i = 0; i < 3; ++i) {
        button(review, "cmdNextQ").click();
        QCOMPARE(check(), QString());
    }
    for (int i = 0; i < 3; ++i) {
        button(review, "cmdPrevQ").click();
        QCOMPARE(check(), QString());
    }
}

void TestWrongAnswerReview::exhibitButtonFollowsTheQuestion_data() {
    probe::addEditionRows();
}

void TestWrongAnswerReview::exhibitButtonFollowsTheQuestion() {
    QFETCH(QString, edition);
    const bool demo = edition == QLatin1String("demo");
    ResultsSession session(probe::editionNamed(edition), 1);
    Question withPicture = question(1, choices({1}), {});
    withPicture.diagram = QStringLiteral("net diagram.png");
    session.db.addQuestion(1, withPicture);
    session.db.addQuestion(1, question(2, choices({1}), {}));  // null diagram
    session.db.addQuestion(1, question(3, choices({1}), {}));
    session.db.exec(QStringLiteral("UPDATE exam11 SET diagram1 = '' WHERE ID = 3"));
    session.db.draw({1, 2, 3});
    Form41& review = openReview();

    // Walk to the question with the picture, checking the button on the way.
    for (int i = 0; shownQuestion(review) != QLatin1String("Question 1"); ++i) {
        QVERIFY(!button(review, "Picture1").isVisible());
        QVERIFY(i < 3);
        button(review, "cmdNextQ").click();
    }
    QVERIFY(button(review, "Picture1").isVisible());
    const ButtonStates before = states(review);

    button(review, "Picture1").click();
    QCOMPARE(session.exhibitWindow.shown, 1);
    QCOMPARE(ExamSettings.CurrentExhibit, QStringLiteral("net diagram.png"));
    QCOMPARE(ExamSettings.ReviewExam, 1);
    QCOMPARE(review.isVisible(), demo);

    // The exhibit window's Return shows the review again by name.
    QVERIFY(flow::open(win::WrongAnswers));
    QVERIFY(review.isVisible());
    QCOMPARE(shownQuestion(review), QStringLiteral("Question 1"));
    QCOMPARE(states(review), before);

    if (review.reviewPosition() < review.reviewCount()) {
        button(review, "cmdNextQ").click();
    } else {
        button(review, "cmdPrevQ").click();
    }
    QVERIFY(!button(review, "Picture1").isVisible());
}

void TestWrongAnswerReview::reopeningStartsAtTheFirstQuestion() {
    ResultsSession session(app::fullEdition(), 2);
    for (qint64 id : {1, 2, 3}) {
        session.db.addQuestion(2, question(id, choices({4}), {}));
    }
    session.db.draw({1, 2, 3});
    Form41& review = openReview();
    const QString first = shownQuestion(review);
    button(review, "cmdNextQ").click();
    button(review, "cmdNextQ").click();
    QCOMPARE(review.reviewPosition(), 3);

    button(review, "cmdScoreRep").click();
    probe::settleDeletions();
    Form41& again = openReview();

    QCOMPARE(states(again), (ButtonStates{1, false, true}));
    QCOMPARE(shownQuestion(again), first);
}

void TestWrongAnswerReview::titleBarCloseReturnsToSheet() {
    ResultsSession session(app::fullEdition(), 1);
    session.db.addQuestion(1, question(1, choices({4}), {}));
    session.db.draw({1});
    Form41& review = openReview();

    QVERIFY(!review.close());
    probe::settleDeletions();

    QCOMPARE(forms::existing<Form41>(), nullptr);
    QCOMPARE(probe::visibleTopLevels(),
             QWidgetList{static_cast<QWidget*>(forms::existing<Form3>())});
    QCOMPARE(session.db.answers(QStringLiteral("exam11"), 1), (std::array<int, 5>{0, 0, 0, 1, 0}));
}

QTEST_MAIN(TestWrongAnswerReview)
#include "tst_wrong_answer_review.moc"
