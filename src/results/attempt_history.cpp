#include "results/attempt_history.h"

#include "app/attempt_clock.h"
#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "examdb/database.h"
#include "examdb/statements.h"

namespace results {

history::AttemptRecord scoredAttempt(examdb::Database& db, int exam, int score,
                                     const QStringList& totals, const QStringList& correct) {
    history::AttemptRecord a;
    a.edition = app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full");
    a.exam = exam;
    if (app::isCustomExam()) {
        a.custom = app::encodeCustom(*app::customExam());
    }
    a.candidate = ExamSettings.CandidateName;
    a.ended = QDateTime::currentDateTime();
    a.secondsUsed = app::attemptClock().secondsUsed;
    a.started = app::attemptClock().started.isValid() ? app::attemptClock().started
                                                      : a.ended.addSecs(-qint64(a.secondsUsed));
    a.score = score;
    a.passMark = ExamSettings.PassingScore;
    a.passed = score >= ExamSettings.PassingScore;

    examdb::Statement names = db.prepare(QStringLiteral("SELECT cat_desc FROM cat ORDER BY rowid"));
    for (int i = 0; i < totals.size() && i < correct.size(); ++i) {
        const QString name = names.step() ? names.value(0).toString() : QString();
        a.categories.push_back({i, name, totals.at(i).toInt(), correct.at(i).toInt()});
    }
    examdb::Statement drawn = db.prepare(examdb::statements::drawResults(exam));
    while (drawn.step()) {
        a.questions.push_back({int(drawn.integer(0)), drawn.integer(1), drawn.integer(2) != 0});
    }
    return a;
}

}  // namespace results
