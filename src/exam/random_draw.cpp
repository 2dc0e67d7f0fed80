#include "exam/random_draw.h"

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/prompts.h"
#include "session/exam_session.h"
#include "session/fixed_draw.h"

void DrawRandomQuestions(qint32 count) {
    session::ExamSession& exam = session::active();
    if (!session::drawFixed(exam.drawConnection(app::edition().databaseFile), bankExam(),
                            ExamSettings.CandidateName, count)) {
        prompts::MsgBox(QStringLiteral("Request is greated than the total number of records."));
    }
}
