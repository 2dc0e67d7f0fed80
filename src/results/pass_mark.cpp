#include "results/pass_mark.h"

#include "app/edition.h"
#include "app/exam_settings.h"
#include "results/form3.h"

void SetPassScore(Form3& scoreSheet) {
    ExamSettings.PassingScore = app::edition().passingScore;
    scoreSheet.showPassMark(app::edition().scoreSheetTitle,
                            QString::number(ExamSettings.PassingScore) + QStringLiteral("/1000"));
}
