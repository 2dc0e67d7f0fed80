#include "results/results_windows.h"

#include "app/window_flow.h"
#include "app/window_names.h"
#include "results/form3.h"
#include "results/form41.h"

namespace results {

void registerWindows() {
    flow::registerWindow<Form3>(win::ScoreSheet);
    flow::registerWindow<Form41>(win::WrongAnswers);
}

}  // namespace results
