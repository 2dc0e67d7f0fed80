#include "session/exam_session.h"

#include <QUuid>
#include <algorithm>

#include "examdb/database.h"
#include "examdb/statement.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "session/custom_draw.h"
#include "session/fixed_draw.h"

namespace session {

ExamSession::ExamSession(QObject* parent) : QObject(parent) {}

ExamSession::~ExamSession() = default;

size_t ExamSession::index(int position) const {
    if (position < 1 || position > int(questions_.size())) {
        throw Refused(QStringLiteral("Question %1 is not one of the %2 drawn.")
                          .arg(position)
                          .arg(questions_.size())
                          .toStdString());
    }
    return size_t(position - 1);
}

Choices ExamSession::answer(int position) const {
    return position >= 1 && position <= int(answers_.size()) ? answers_[size_t(position - 1)]
                                                             : Choices{};
}

int ExamSession::positionOf(qint64 id) const {
    const auto found = std::find(questions_.begin(), questions_.end(), id);
    return found == questions_.end() ? 0 : int(found - questions_.begin()) + 1;
}

exam::DrawConnection& ExamSession::drawConnection(const QString& fileName) {
    return draws_.use(fileName);
}

void ExamSession::begin(Mode mode, int exam, const QString& candidate) {
    mode_ = mode;
    exam_ = exam;
    candidate_ = candidate;
    underWay_ = true;
    paused_ = false;
    report_.reset();
}

void ExamSession::study(int exam) {
    mode_ = Mode::Study;
    exam_ = exam;
}

void ExamSession::leaveStudy() {
    if (mode_ == Mode::Study) {
        mode_ = Mode::None;
    }
}

bool ExamSession::draw(examdb::Database& db, int count) {
    bool drawn = false;
    if (custom_) {
        const exam::CustomDraw request{custom_->exam, custom_->categories,    count,
                                       candidate_,    encodeCustom(*custom_), custom_->ids};
        drawn = exam::drawCustom(db, request) == count;
    } else {
        drawn = drawFixed(draws_.use(db.fileName()), exam_, candidate_, count);
    }
    if (drawn) {
        takeDrawn(db, custom_ ? custom_->exam : exam_);
    }
    return drawn;
}

void ExamSession::loadDraw(examdb::Database& db) {
    questions_.clear();
    answers_.clear();
    // The questions the exam window shows: drawn and still in the exam table.
    examdb::Statement read = db.prepare(
        QStringLiteral("SELECT e.ID, e.correctanswer1, e.correctanswer2, e.correctanswer3, "
                       "e.correctanswer4, e.correctanswer5 FROM %1 AS e INNER JOIN tblRandom AS r "
                       "ON r.ID = e.ID ORDER BY r.sl_no")
            .arg(examdb::statements::examTable(exam_)));
    while (read.step()) {
        questions_.push_back(read.integer(0));
        Choices chosen{};
        for (int n = 0; n < 5; ++n) {
            chosen[size_t(n)] = read.integer(1 + n) != 0;
        }
        answers_.push_back(chosen);
    }
    secondsOn_.assign(questions_.size(), 0);
}

void ExamSession::takeDrawn(examdb::Database& db, int exam) {
    exam_ = exam;
    loadDraw(db);
    progress_.reset(int(questions_.size()));
    clock_ = {QDateTime::currentDateTime(), 0};
    savedSeconds_ = 0;
    position_ = questions_.empty() ? 0 : 1;
    report_.reset();
    attemptKey_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!questions_.empty()) {
        exam::attempt::saveKey(db, attemptKey_);
    }
}

void ExamSession::resume(examdb::Database& db, int exam, const exam::SavedAttempt& saved,
                         exam::Marks marks) {
    exam_ = exam;
    loadDraw(db);
    progress_.reset(int(questions_.size()), std::move(marks));
    for (size_t i = 0; i < answers_.size(); ++i) {
        const Choices& a = answers_[i];
        progress_.setAnswered(int(i), a[0] || a[1] || a[2] || a[3] || a[4]);
    }
    // The start is not kept with the attempt; the time used is.
    clock_ = {QDateTime::currentDateTime().addSecs(-saved.elapsed), saved.elapsed};
    savedSeconds_ = saved.elapsed;
    position_ = questions_.empty() ? 0 : std::clamp(saved.position, 1, int(questions_.size()));
    report_.reset();
    attemptKey_ = saved.key;
    if (attemptKey_.isEmpty()) {
        // Saved by an earlier version: it gets its key now, before anything can record it.
        attemptKey_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
        exam::attempt::saveKey(db, attemptKey_);
    }
}

void ExamSession::move(examdb::Database& db, int position) {
    index(position);
    position_ = position;
    examdb::Transaction transaction(db);
    saveProgress(db);
    transaction.commit();
}

void ExamSession::writeChoices(examdb::Database& db, size_t i) {
    examdb::Statement update = db.prepare(
        QStringLiteral(
            "UPDATE %1 SET correctanswer1 = ?1, correctanswer2 = ?2, "
            "correctanswer3 = ?3, correctanswer4 = ?4, correctanswer5 = ?5 WHERE ID = ?6")
            .arg(examdb::statements::examTable(exam_)));
    for (int n = 0; n < 5; ++n) {
        update.bind(n + 1, qint64(answers_[i][size_t(n)] ? 1 : 0));
    }
    update.bind(6, questions_[i]);
    update.step();
}

void ExamSession::answer(examdb::Database& db, int position, const Choices& choices) {
    const size_t i = index(position);
    if (practice() && progress_.isChecked(int(i))) {
        throw Refused("A checked practice answer no longer changes.");
    }
    answers_[i] = choices;
    progress_.setAnswered(int(i),
                          choices[0] || choices[1] || choices[2] || choices[3] || choices[4]);
    examdb::Transaction transaction(db);
    writeChoices(db, i);
    saveProgress(db);
    transaction.commit();
    Q_EMIT questionAnswered({position, questions_[i], choices, secondsOn_[i]});
}

void ExamSession::choose(examdb::Database& db, int position, int choice, bool picked, bool single) {
    if (choice < 1 || choice > 5) {
        throw Refused(QStringLiteral("A question has five choices at most, not %1.")
                          .arg(choice)
                          .toStdString());
    }
    Choices choices = single ? Choices{} : answer(position);
    choices[size_t(choice - 1)] = picked;
    answer(db, position, choices);
}

void ExamSession::flag(examdb::Database& db, int position, bool flagged) {
    progress_.setFlagged(int(index(position)), flagged);
    examdb::Transaction transaction(db);
    saveProgress(db);
    transaction.commit();
}

void ExamSession::strike(examdb::Database& db, int position, int row) {
    if (row < 1 || row > 5) {
        throw Refused(
            QStringLiteral("A question has five choices at most, not %1.").arg(row).toStdString());
    }
    progress_.toggleStruck(int(index(position)), row - 1);
    examdb::Transaction transaction(db);
    saveProgress(db);
    transaction.commit();
}

void ExamSession::check(examdb::Database& db, int position) {
    const size_t i = index(position);
    progress_.setChecked(int(i));
    examdb::Transaction transaction(db);
    saveProgress(db);
    transaction.commit();
    if (std::optional<QuestionScore> scored = scoreQuestion(db, exam_, questions_[i])) {
        scored->position = position;
        scored->chosen = answers_[i];
        scored->seconds = secondsOn_[i];
        Q_EMIT answerChecked(*scored, bankName(db));
    }
}

std::optional<KeyAnswer> ExamSession::checkedKey(examdb::Database& db, int position) const {
    const size_t i = index(position);
    if (!progress_.isChecked(int(i))) {
        return std::nullopt;
    }
    return keyOf(db, exam_, questions_[i]);
}

bool ExamSession::tick(int limitSeconds) {
    if (paused_) {
        return false;
    }
    // A custom exam's time-out ends it; ticks behind its notice are not time used.
    if (timedCustom() && clock_.secondsUsed >= limitSeconds) {
        return true;
    }
    ++clock_.secondsUsed;
    if (position_ >= 1 && position_ <= int(secondsOn_.size())) {
        ++secondsOn_[size_t(position_ - 1)];
    }
    return !countsUp() && clock_.secondsUsed >= limitSeconds;
}

void ExamSession::saveProgress(examdb::Database& db) {
    exam::attempt::saveProgress(db, clock_.secondsUsed, position_, progress_.marks());
    savedSeconds_ = clock_.secondsUsed;
}

void ExamSession::saveClock(examdb::Database& db) {
    if (clock_.secondsUsed != savedSeconds_) {
        exam::attempt::saveElapsed(db, clock_.secondsUsed);
        savedSeconds_ = clock_.secondsUsed;
    }
}

const ScoreReport& ExamSession::end(examdb::Database& db, int exam, int questionsPerExam,
                                    int passMark) {
    if (!report_) {
        if (timedCustom()) {
            // Also for an attempt saved past its time by an earlier version.
            clock_.secondsUsed = std::min(clock_.secondsUsed, custom_->minutes * 60);
        }
        report_ = scoreExam(db, exam, questionsPerExam, passMark);
        report_->attempt = attemptKey_;
        for (QuestionScore& q : report_->drawn) {
            const int at = positionOf(q.id);
            q.seconds = at >= 1 && at <= int(secondsOn_.size()) ? secondsOn_[size_t(at - 1)] : 0;
        }
        writeCategoryScores(db, *report_);
        Q_EMIT examEnded(*report_);
        // Scored and told: nothing is left to take up again at the next start.
        exam::attempt::forget(db);
    }
    return *report_;
}

void ExamSession::abandon(examdb::Database& db) {
    exam::attempt::forget(db);
    finish();
}

void ExamSession::finish() {
    mode_ = Mode::None;
    underWay_ = false;
    custom_.reset();
    questions_.clear();
    answers_.clear();
    secondsOn_.clear();
    progress_.reset(0);
    position_ = 0;
    paused_ = false;
    clock_ = {};
    savedSeconds_ = 0;
    attemptKey_.clear();
    report_.reset();
}

ExamSession& active() {
    static ExamSession session;
    return session;
}

}  // namespace session
