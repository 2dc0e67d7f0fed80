#include "app/time_limit.h"

#include "app/edition.h"
#include "app/exam_settings.h"

void SetTimeLimit() {
    ExamSettings.TimeLimitMinutes = app::edition().timeLimitMinutes;
}
