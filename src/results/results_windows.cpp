#include "results/results_windows.h"

#include "app/window_flow.h"
#include "results/form3.h"
#include "results/form41.h"

namespace results {

void registerWindows() {
    flow::registerWindow<Form3>(QStringLiteral("Form3"));
    flow::registerWindow<Form41>(QStringLiteral("Form41"));
}

}  // namespace results
