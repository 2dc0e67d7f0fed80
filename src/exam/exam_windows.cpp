#include "exam/exam_windows.h"

#include "app/window_flow.h"
#include "exam/form211.h"

namespace exam {

void registerWindows() {
    flow::registerWindow<Form211>(QStringLiteral("Form211"));
}

}  // namespace exam
