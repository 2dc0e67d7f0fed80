#include "study/study_windows.h"

#include "app/window_flow.h"
#include "app/window_names.h"
#include "study/form11.h"
#include "study/form2c.h"
#include "study/form5.h"

namespace study {

void registerWindows() {
    flow::registerWindow<Form11>(win::Study);
    flow::registerWindow<Form5>(win::Answer);
    flow::registerWindow<Form2C>(win::Exhibit);
}

}  // namespace study
