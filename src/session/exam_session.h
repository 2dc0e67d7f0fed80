#pragma once

#include <QDateTime>
#include <QObject>
#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

#include "session/attempt_store.h"
#include "session/custom_settings.h"
#include "session/draw_connection.h"
#include "session/exam_progress.h"
#include "session/practice_key.h"
#include "session/score_report.h"

namespace examdb {
class Database;
}

namespace session {

// What the candidate is doing; ExamSettings.ActiveExam keeps its own coding of it.
enum class Mode { None, FixedExam, CustomExam, Practice, Study };

// The five choices of a question in the order the key stores them.
using Choices = std::array<bool, 5>;

// When the exam under way began and how much of its clock it has used. An int: a clock of
// 16 bits stopped at nine hours, so a longer timed exam never ended.
struct Clock {
    QDateTime started;
    int secondsUsed = 0;
};

// A question's answer as it changed.
struct Answered {
    int position = 0;  // in the draw, from 1
    qint64 questionId = 0;
    Choices choices{};
    int secondsOnQuestion = 0;  // the clock's seconds spent with it on screen so far
};

// Something that cannot happen in an exam: an answer to a question not drawn, a sixth choice,
// a move past the end. Nothing was changed or written.
class Refused : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The exam under way, in one place: which one and whose, the draw and the position in it, every
// answer and mark, the clock and the resume record. Windows show it and call its operations;
// whoever needs to know what happened listens to its signals.
class ExamSession : public QObject {
    Q_OBJECT

public:
    explicit ExamSession(QObject* parent = nullptr);
    ~ExamSession() override;

    Mode mode() const { return mode_; }
    // From the start of an exam until the candidate leaves its score sheet: the only exam.
    bool underWay() const { return underWay_; }
    int exam() const { return exam_; }
    const QString& candidate() const { return candidate_; }
    const std::optional<CustomExam>& custom() const { return custom_; }
    bool practice() const { return custom_ && custom_->practice; }
    bool countsUp() const { return custom_ && custom_->untimed(); }
    // A custom exam on its own count-down clock, whose time used never passes its minutes.
    bool timedCustom() const { return custom_ && !custom_->untimed(); }

    // The custom exam the next start takes, or none for the fixed exams.
    void chooseCustom(std::optional<CustomExam> custom) { custom_ = std::move(custom); }

    Clock& clock() { return clock_; }
    const Clock& clock() const { return clock_; }
    bool paused() const { return paused_; }
    exam::ExamProgress& progress() { return progress_; }
    const exam::ExamProgress& progress() const { return progress_; }
    const std::vector<qint64>& questions() const { return questions_; }
    int position() const { return position_; }
    // Names this attempt in the resume record and the history alike.
    const QString& attemptKey() const { return attemptKey_; }
    Choices answer(int position) const;
    // Where question id stands in the draw, from 1; 0 when it was not drawn.
    int positionOf(qint64 id) const;

    // The draw's connection to fileName, kept open from one draw to the next.
    exam::DrawConnection& drawConnection(const QString& fileName);

    // The exam is under way from here: no other can start until finish().
    void begin(Mode mode, int exam, const QString& candidate);
    // Studying one exam: nothing is under way.
    void study(int exam);
    // Back from studying to no mode at all; an exam under way is left as it is.
    void leaveStudy();
    // Draws count questions of the exam begun (a custom exam: from its categories) and takes
    // them up with a fresh clock. False, with nothing changed, when the bank holds too few.
    bool draw(examdb::Database& db, int count);
    // Takes up the draw of exam's tables (1 to 3), answers included, with a fresh clock.
    void takeDrawn(examdb::Database& db, int exam);
    // Takes up a draw of exam's tables saved before the program ended, where it was left.
    void resume(examdb::Database& db, int exam, const exam::SavedAttempt& saved, exam::Marks marks);

    // Moves to a question, written at once with the rest of the resume record.
    void move(examdb::Database& db, int position);
    void answer(examdb::Database& db, int position, const Choices& choices);
    // Choice (1 to 5) picked or dropped; single: the only choice of the question.
    void choose(examdb::Database& db, int position, int choice, bool picked, bool single);
    void flag(examdb::Database& db, int position, bool flagged);
    void strike(examdb::Database& db, int position, int row);
    // A practice run's answer, fixed from now on.
    void check(examdb::Database& db, int position);
    // The key of a question whose practice answer is checked; empty before, or when the key
    // lacks the question.
    std::optional<KeyAnswer> checkedKey(examdb::Database& db, int position) const;

    void pause(bool paused) { paused_ = paused; }
    // One second of the clock; true once a timed exam has used its limit. A timed custom
    // exam's clock stops there.
    bool tick(int limitSeconds);
    // The clock has run for this many seconds since it was last written.
    int unsavedSeconds() const { return clock_.secondsUsed - savedSeconds_; }
    // Position, clock and marks into the resume record, inside the caller's transaction.
    void saveProgress(examdb::Database& db);
    void saveClock(examdb::Database& db);

    // Scores the exam, fills cat_scores, tells everyone, and clears the resume record: the
    // report stays until finish(). Ending twice scores once.
    const ScoreReport& end(examdb::Database& db, int exam, int questionsPerExam, int passMark);
    const std::optional<ScoreReport>& report() const { return report_; }
    // Given up unscored: nothing is left to take up again.
    void abandon(examdb::Database& db);
    // Back to no exam.
    void finish();

Q_SIGNALS:
    void questionAnswered(const session::Answered& answered);
    void examEnded(const session::ScoreReport& report);
    // A practice answer checked and fixed, scored on its own.
    void answerChecked(const session::QuestionScore& scored, const QString& bank);

private:
    size_t index(int position) const;
    void loadDraw(examdb::Database& db);
    void writeChoices(examdb::Database& db, size_t i);

    Mode mode_ = Mode::None;
    bool underWay_ = false;
    int exam_ = 0;
    QString candidate_;
    std::optional<CustomExam> custom_;
    Clock clock_;
    int savedSeconds_ = 0;
    bool paused_ = false;
    exam::ExamProgress progress_;
    std::vector<qint64> questions_;
    std::vector<Choices> answers_;
    std::vector<int> secondsOn_;
    int position_ = 0;
    QString attemptKey_;
    std::optional<ScoreReport> report_;
    exam::DrawConnection draws_;
};

// The program's one session.
ExamSession& active();

}  // namespace session
