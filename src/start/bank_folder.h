#pragma once

#include <QString>

namespace app {

struct Edition;

// Where a program finds its bank. Started in a folder that holds it (the run folder), it works
// there as it always has. Started anywhere else (from the desktop's menu, from an install
// prefix), it works on the user's own copy of the installed bank, in the user's data folder,
// made on first start and renewed when the installed bank changes and no exam is left to
// resume. Empty when the program may go on, in the right working folder; else the one message
// to show before it ends.
QString useBankFolder(const Edition& edition);

// The folder the installed banks and their pictures live in, found from the program's own.
QString installedBankFolder();
// The user's copy of one edition's bank lives here.
QString userBankFolder(const Edition& edition);

// Makes or renews userFolder/fileName from installedFolder/fileName and its pictures. Empty on
// success (the copy is current or holds an exam to resume); else the message, with nothing
// half-copied left behind.
QString prepareUserCopy(const QString& fileName, const QString& installedFolder,
                        const QString& userFolder);

}  // namespace app
