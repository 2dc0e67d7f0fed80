#include "app/exam_settings.h"

#include "app/custom_exam.h"
#include "app/edition.h"

ExamSettingsRecord ExamSettings;

namespace {
bool examRunning = false;
}

void resetExamSettings() {
    app::clearCustomExam();
    ExamSettings = ExamSettingsRecord{};
    examRunning = false;
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
    examRunning = true;
}

void endExam() {
    examRunning = false;
}

bool examUnderWay() {
    return examRunning;
}
