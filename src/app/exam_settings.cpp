#include "app/exam_settings.h"

#include "app/custom_exam.h"
#include "app/edition.h"
#include "session/exam_session.h"

ExamSettingsRecord ExamSettings;

void resetExamSettings() {
    app::clearCustomExam();
    ExamSettings = ExamSettingsRecord{};
    session::active().finish();
}

bool hasCurrentExhibit() {
    return !ExamSettings.CurrentExhibit.isEmpty();
}

bool isTakingExam() {
    return ExamSettings.ActiveExam >= 1 && ExamSettings.ActiveExam <= 3;
}

bool isStudying() {
    const qint16 a = ExamSettings.ActiveExam;
    return a == 11 || a == 22 || a == 33;
}

int bankExam() {
    if (app::edition().demo) {
        return 1;
    }
    if (isTakingExam()) {
        return ExamSettings.ActiveExam;
    }
    return isStudying() ? ExamSettings.ActiveExam / 11 : 1;
}

void beginExam() {
    session::ExamSession& exam = session::active();
    const session::Mode mode = !exam.custom()    ? session::Mode::FixedExam
                               : exam.practice() ? session::Mode::Practice
                                                 : session::Mode::CustomExam;
    exam.begin(mode, bankExam(), ExamSettings.CandidateName);
}

void endExam() {
    session::active().finish();
}

bool examUnderWay() {
    return session::active().underWay();
}
