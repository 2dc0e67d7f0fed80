#include "results/attempt_history.h"

#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "history/history_access.h"
#include "results/results_sending.h"
#include "results/review_cards.h"
#include "session/exam_session.h"
#include "xapi/outbox.h"
#include "xapi/sender.h"

namespace results {

history::AttemptRecord scoredAttempt(const session::ScoreReport& report) {
    const session::ExamSession& exam = session::active();
    history::AttemptRecord a;
    a.key = report.attempt;
    a.edition = app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full");
    a.exam = ExamSettings.ActiveExam;
    if (exam.custom()) {
        a.custom = session::encodeCustom(*exam.custom());
    }
    a.candidate = ExamSettings.CandidateName;
    a.ended = QDateTime::currentDateTime();
    a.secondsUsed = exam.clock().secondsUsed;
    a.started = exam.clock().started.isValid() ? exam.clock().started
                                               : a.ended.addSecs(-qint64(a.secondsUsed));
    a.score = report.score;
    a.passMark = report.passMark;
    a.passed = report.passed;
    for (const session::CategoryScore& c : report.categories) {
        a.categories.push_back({c.category, c.name, c.total, c.correct});
    }
    for (const session::QuestionScore& q : report.drawn) {
        a.questions.push_back({q.position, q.id, q.correct, session::chosenLetters(q), q.seconds});
    }
    return a;
}

HistoryRecorder& HistoryRecorder::of(session::ExamSession& session) {
    auto* recorder = session.findChild<HistoryRecorder*>(QString(), Qt::FindDirectChildrenOnly);
    return recorder ? *recorder : *new HistoryRecorder(session);
}

HistoryRecorder::HistoryRecorder(session::ExamSession& session) : QObject(&session) {
    queueCheckedAnswers(session);
    connect(&session, &session::ExamSession::examEnded, this,
            [this](const session::ScoreReport& report) { record(report); });
}

void HistoryRecorder::record(const session::ScoreReport& report) {
    const session::ExamSession& exam = session::active();
    const std::vector<xapi::Statement> statements = statementsFor(report);
    previous_ = history::recordAttempt(scoredAttempt(report), [&](sqlite3* db) {
        xapi::outbox::queue(db, statements);
        scheduleCards(db, exam, report);
    });
    xapi::Sender* sender = resultsSender();
    if (sender && !statements.empty()) {
        sender->nudge();
    }
}

}  // namespace results
