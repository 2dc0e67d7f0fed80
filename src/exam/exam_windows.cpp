#include "exam/exam_windows.h"

#include "app/start_offer.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "exam/custom_exam_dialog.h"
#include "exam/form211.h"
#include "exam/resume_offer.h"

namespace exam {

void registerWindows() {
    flow::registerWindow<Form211>(win::Exam);
    flow::registerWindow<CustomExamDialog>(win::CustomExam);
    app::setStartOffer(&offerInterruptedExam);
}

}  // namespace exam
