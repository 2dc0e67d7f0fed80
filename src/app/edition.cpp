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
        .noticeText = QStringLiteral(
            "You will have 116 questions and have to answer in 120 minutes or less. "),
        .introVersionCaption = QStringLiteral("Ver.3.0"),
        .introAgreementCaption = QStringLiteral("Software Agreement(EULA) and  Disclaimer"),
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
        .noticeText =
            QStringLiteral("You will have 30 questions and have to answer in 30 minutes or less. "),
        .introVersionCaption = QStringLiteral("Ver. 3.0"),
        .introAgreementCaption = QStringLiteral("Software Agreement and Disclaimer"),
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

QString versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(PRAXILO_VERSION_MAJOR)
        .arg(PRAXILO_VERSION_MINOR)
        .arg(PRAXILO_VERSION_PATCH);
}

}  // namespace app
