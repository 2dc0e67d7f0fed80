#include "study/study_windows.h"

#include "app/window_flow.h"
#include "study/form11.h"
#include "study/form2c.h"
#include "study/form5.h"

namespace study {

void registerWindows() {
    flow::registerWindow<Form11>(QStringLiteral("Form11"));
    flow::registerWindow<Form5>(QStringLiteral("Form5"));
    flow::registerWindow<Form2C>(QStringLiteral("Form2C"));
}

}  // namespace study
