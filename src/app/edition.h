#pragma once

#include <QString>

namespace app {

// The constants that tell the two programs apart; each main() hands one of these to start-up.
struct Edition {
    bool demo = false;
    qint16 questionsPerExam = 0;
    qint16 drawCount = 0;
    qint16 timeLimitMinutes = 0;
    qint16 passingScore = 0;
    QString scoreSheetTitle;
    QString databaseFile;
    QString namePrompt;
    QString nameDefault;
};

const Edition& fullEdition();
const Edition& demoEdition();

// The edition this process runs as. Start-up sets it once; tests switch it freely.
const Edition& edition();
void setEdition(const Edition& e);

}  // namespace app
