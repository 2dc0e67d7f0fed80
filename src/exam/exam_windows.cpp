#include "exam/exam_windows.h"

#include "app/window_flow.h"
#include "app/window_names.h"
#include "exam/form211.h"

namespace exam {

void registerWindows() {
    flow::registerWindow<Form211>(win::Exam);
}

}  // namespace exam
