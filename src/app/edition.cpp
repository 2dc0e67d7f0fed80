#include "app/edition.h"

namespace app {

const Edition& fullEdition() {
    static const Edition e{
        .demo = false,
        .questionsPerExam = 116,
        .drawCount = 116,
        .timeLimitMinutes = 120,
        .passingScore = 750,
        .scoreSheetTitle = QStringLiteral("Korvane Practice Exam"),
        .databaseFile = QStringLiteral("kvn09.mdb"),
        .namePrompt = QStringLiteral("Please enter your name"),
        .nameDefault = QStringLiteral("Candidate's name"),
    };
    return e;
}

const Edition& demoEdition() {
    static const Edition e{
        .demo = true,
        .questionsPerExam = 30,
        .drawCount = 30,
        .timeLimitMinutes = 30,
        .passingScore = 750,
        .scoreSheetTitle = QStringLiteral("Korvane Practice Exam Demo"),
        .databaseFile = QStringLiteral("kvn009.mdb"),
        .namePrompt = QStringLiteral("Please enter your name:"),
        .nameDefault = QStringLiteral("Candidate's Name Here"),
    };
    return e;
}

namespace {
const Edition* current = &fullEdition();
}

const Edition& edition() {
    return *current;
}

void setEdition(const Edition& e) {
    current = &e;
}

}  // namespace app
