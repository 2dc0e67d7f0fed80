#include "app/module1.h"

#include <QLabel>
#include <QWidget>

#include "app/edition.h"
#include "app/exam_settings.h"

namespace {
void setLabel(QWidget& window, const char* name, const QString& text) {
    if (auto* label = window.findChild<QLabel*>(QLatin1String(name))) {
        label->setText(text);
    }
}
}  // namespace

void SetPassScore(QWidget& scoreWindow) {
    setLabel(scoreWindow, "lblExamTitle", app::edition().scoreSheetTitle);
    ExamSettings.PassingScore = app::edition().passingScore;
    setLabel(scoreWindow, "lblPassScore",
             QString::number(ExamSettings.PassingScore) + QStringLiteral("/1000"));
}

void SetTimeLimit() {
    ExamSettings.TimeLimitMinutes = app::edition().timeLimitMinutes;
}
