#include "results/pass_mark.h"

#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/exam_settings.h"
#include "results/form3.h"

void SetPassScore(Form3& scoreSheet) {
    ExamSettings.PassingScore = app::edition().passingScore;
    const QString title =
        app::isCustomExam() ? app::customTitle(*app::customExam()) : app::edition().scoreSheetTitle;
    scoreSheet.showPassMark(title,
                            QString::number(ExamSettings.PassingScore) + QStringLiteral("/1000"));
}
