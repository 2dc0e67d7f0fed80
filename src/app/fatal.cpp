#include "app/fatal.h"

#include <QCoreApplication>

#include "app/prompts.h"
#include "examdb/data_source.h"

namespace app {

namespace {
Ending ending;
bool ended = false;
int exitCode = 0;
bool reporting = false;

// An answer that could not be written as its window went away reaches the candidate like any
// other database error, instead of vanishing into a log.
const bool unwrittenEditsReported = [] {
    examdb::setUnwrittenEditReporter([](const examdb::Error& e) { reportFatal(e.number, e.text); });
    return true;
}();
}  // namespace

void setEnding(Ending e) {
    ending = std::move(e);
    ended = false;
    exitCode = 0;
}

void resetEnding() {
    setEnding(nullptr);
}

void endProgram(int code) {
    ended = true;
    exitCode = code;
    if (ending) {
        ending(code);
    } else {
        QCoreApplication::exit(code);
    }
}

bool endRequested() {
    return ended;
}
int requestedExitCode() {
    return exitCode;
}

void reportFatal(int number, const QString& text) {
    // A failure while the first one is being reported (a clock tick behind the message box,
    // say) must not stack a second box.
    if (reporting || ended) {
        return;
    }
    reporting = true;
    prompts::MsgBox(QStringLiteral("Error %1\n\n%2").arg(number).arg(text),
                    prompts::Buttons::OkOnly, prompts::Icon::Critical);
    reporting = false;
    endProgram(1);
}

}  // namespace app
