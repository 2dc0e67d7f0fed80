#include "app/time_limit.h"

#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"

void SetTimeLimit() {
    ExamSettings.TimeLimitMinutes =
        app::isCustomExam() ? qint16(app::customExam()->minutes) : app::edition().timeLimitMinutes;
}
