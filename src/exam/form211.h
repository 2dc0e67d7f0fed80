#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "exam/clock_warning.h"
#include "exam/practice_check.h"
#include "session/attempt_store.h"
#include "session/exam_progress.h"
#include "session/exam_session.h"

class QAbstractButton;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace Ui {
class Form211;
}
namespace examdb {
class DataSource;
}
namespace exam {
class ReviewScreen;
}

// The exam window: the drawn questions one at a time, the candidate's marks written straight
// into the exam table, the count-down clock, and the ways out to the answer, exhibit and score
// windows.
class Form211 : public QWidget {
    Q_OBJECT

public:
    Form211();
    ~Form211() override;

    // Loads the exam (clock, draw, questions) the first time; afterwards only shows the window
    // again, so returning from the answer or exhibit window keeps the exam as it was.
    void Show();
    // Hides the window, stops the clock and closes the question view, writing pending marks.
    void Unload();
    bool isLoaded() const { return loaded; }
    // Opens the window on an exam saved before the program ended: its draw, answers and flags
    // as the file holds them, on the question and with the time it was left at.
    void Resume(const exam::SavedAttempt& saved, exam::Marks marks);

    void Form_Load();
    void Form_Activate();
    void CmdNextQ_Click();
    void cmdPrevQ_Click();
    void Timer1_Timer();
    void LblPause_Click();
    void Command1_Click();
    void cmdEndExam_Click();
    void Picture1_Click();
    void chkFlag_Click();
    // A practice run: the chosen answer against the key, shown at once and fixed from then on.
    void cmdCheck_Click();
    void cmdReview_Click();
    // Question number (from 1) straight from the review list; the marks left are saved.
    void goToQuestion(int number);
    // The choice lettered with the k-th letter (keys 1-5 and A-E); nothing when it is not shown.
    void chooseByKey(int k);
    // Strikes that choice through, or restores it: a mark for the eye only.
    void strikeByKey(int k);
    void toggleStrike(int row);
    const exam::ExamProgress& progress() const;
    void Option1_Click() { Option_Click(1); }
    void Option2_Click() { Option_Click(2); }
    void Option3_Click() { Option_Click(3); }
    void Option4_Click() { Option_Click(4); }
    void Option5_Click() { Option_Click(5); }

    // The answer-mode rule: option buttons for "single_answer", check boxes otherwise.
    void ShowAnswerMode();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Option_Click(int n);
    void applyEmptyAnswerRule();
    void applyExhibitRule();
    void refreshPresentation();
    void showQuestionNo();
    bool hasRows() const;
    bool hasQuestion() const;
    QVariant currentValue(const QString& column) const;
    void endExam();
    void timeOut();
    void nextQuestion();
    void previousQuestion();
    void restoreSaved(const exam::SavedAttempt& saved, exam::Marks marks);
    void addShortcuts();
    // Runs move inside one transaction that also writes the marks left, the flags, the
    // question now on screen and the clock.
    void moveSaving(const std::function<void()>& move);
    void saveProgress();
    // Runs mark, a write of the session's, in one transaction with the bound boxes' answer.
    void markSaving(const std::function<void()>& mark);
    // An answer is written the moment it changes, as flags, strikes and checks are, so a
    // program killed before the next move loses nothing the candidate saw.
    void saveAnswerNow();
    void saveClock();
    int currentIndex() const;
    void rememberCurrentAnswer();
    void showFlag();
    void showMarks();
    void showChoiceMarks();
    void showPractice();
    std::array<bool, 5> chosenAnswers() const;
    void addPracticeControls();
    // What a custom exam changes: the title, the clock's direction, the practice controls.
    void showKindOfExam();
    session::ExamSession& exam() const;
    bool countsUp() const;
    bool practice() const;
    // speak: a tick, which may announce a warning; otherwise the clock is only shown.
    void showClock(bool speak = false);
    // The inks of the look now in use.
    void paintInks();
    // A click on a choice's text is a click on its selector; a drag that selects is not.
    void choiceTextEvent(int row, const QEvent& event);
    void clickChoice(int row);
    // False, with the reason on the instruction line, when the stem's "(Choose two.)" is
    // already met.
    bool mayTick();
    void checkClicked();
    void showInstruction();
    // Each selector's middle on the middle of its text's first line, whatever the font sizes;
    // true when a selector moved.
    bool alignSelectors();
    // False when the chosen categories no longer hold enough questions; the exam is then given
    // up and the menu comes back.
    bool drawCustomExam();
    void abandonUndrawn();
    void readFromTheQuestion();

    QCheckBox* check(int n) const { return checks[size_t(n - 1)]; }
    QRadioButton* option(int n) const { return options[size_t(n - 1)]; }
    // The selector of answer n the question's answer mode shows.
    QAbstractButton* selector(int n) const;
    // The text box of answer n (1 to 5); Text2's indexes are not in answer order.
    QPlainTextEdit* answerText(int n) const;

    const std::unique_ptr<Ui::Form211> ui;
    examdb::DataSource* iis;
    examdb::DataSource* Data1;
    QTimer* Timer1;
    exam::PracticeFeedback* feedback;
    QPushButton* cmdCheck;
    // The key of the question on screen once its practice answer is checked.
    std::optional<session::KeyAnswer> shownKey;
    std::array<QCheckBox*, 5> checks{};
    std::array<QRadioButton*, 5> options{};
    exam::ReviewScreen* review = nullptr;  // made on first use; a child of this window
    // Set by Resume until the window loads from it.
    std::optional<std::pair<exam::SavedAttempt, exam::Marks>> resumePoint;
    exam::ClockWarning clockWarning;
    // The instruction line as the window defines it, shown again after a refused tick.
    QString instruction;
    bool tickRefused = false;
    // The choice text a left button went down on, and where; 0 when none.
    int pressedRow = 0;
    QPoint pressedAt;
    bool loaded = false;
    bool ended = false;
    // A prompt of this window is open; ticks arriving behind it must not open another.
    bool prompting = false;
};
