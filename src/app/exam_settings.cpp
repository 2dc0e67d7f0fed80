#include "app/exam_settings.h"

ExamSettingsRecord ExamSettings;

void resetExamSettings() {
    ExamSettings = ExamSettingsRecord{};
}

bool hasCurrentExhibit() {
    return !ExamSettings.CurrentExhibit.isEmpty();
}
