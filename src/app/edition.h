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
    // Intro and notice windows.
    QString noticeText;
    QString introVersionCaption;
    QString introAgreementCaption;
};

// Every data source names the edition's file with this connect string.
inline const QString kConnectString = QStringLiteral(";pwd=Tomelo48");

// "Version 9.0.0", as the intro and the About box show it.
QString versionText();

const Edition& fullEdition();
const Edition& demoEdition();

// The edition this process runs as. Start-up sets it once; tests switch it freely.
const Edition& edition();
void setEdition(const Edition& e);

}  // namespace app
