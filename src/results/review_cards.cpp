#include "results/review_cards.h"

#include <QDateTime>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "review/card_store.h"
#include "session/exam_session.h"
#include "session/score_report.h"

namespace results {
namespace {

// The seconds a question gets: the custom exam's own share of its clock, or the fixed exams'.
double averageSeconds(const session::ExamSession& exam) {
    const std::optional<session::CustomExam>& custom = exam.custom();
    if (custom && !custom->untimed() && custom->questions > 0) {
        return custom->minutes * 60.0 / custom->questions;
    }
    const app::Edition& edition = app::edition();
    return edition.questionsPerExam > 0 ? edition.timeLimitMinutes * 60.0 / edition.questionsPerExam
                                        : 0.0;
}

review::CardOwner ownerOf(const session::ExamSession& exam, const QString& bank) {
    return {exam.candidate().isNull() ? ExamSettings.CandidateName : exam.candidate(), bank};
}

bool answered(const session::QuestionScore& q) {
    return q.chosen != std::array<bool, 5>{};
}

}  // namespace

void scheduleCards(sqlite3* db, const session::ExamSession& exam,
                   const session::ScoreReport& report) {
    if (exam.practice()) {
        return;
    }
    std::vector<review::ScoredAnswer> answers;
    answers.reserve(report.drawn.size());
    for (const session::QuestionScore& q : report.drawn) {
        if (answered(q)) {
            answers.push_back({report.exam, q.id, q.correct, q.seconds});
        }
    }
    review::scheduleAnswers(db, ownerOf(exam, report.bank), answers, averageSeconds(exam),
                            QDateTime::currentSecsSinceEpoch());
}

void scheduleCheckedCard(sqlite3* db, const session::ExamSession& exam,
                         const session::QuestionScore& scored, const QString& bank) {
    if (!answered(scored)) {
        return;
    }
    review::scheduleAnswers(db, ownerOf(exam, bank),
                            {{exam.exam(), scored.id, scored.correct, scored.seconds}},
                            averageSeconds(exam), QDateTime::currentSecsSinceEpoch());
}

}  // namespace results
