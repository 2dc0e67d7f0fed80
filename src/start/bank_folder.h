#pragma once

#include <QString>

namespace app {

struct Edition;
class DatabaseLock;

// Where a program finds its bank. Started in a folder that holds it (the run folder), it works
// there as it always has. Started anywhere else (from the desktop's menu, from an install
// prefix), it works on the user's own copy of the installed bank, in the user's data folder,
// made on first start and renewed when the installed bank changes or the copy is damaged, and
// no exam is left to resume. Empty when the program may go on, in the right working folder,
// with lock holding its database file (and the user's folder) until the program ends; else the
// one message to show before it ends, among them databaseInUseText when another program works
// on the same file.
QString useBankFolder(const Edition& edition, DatabaseLock& lock);

// The folder the installed banks and their pictures live in, found from the program's own.
QString installedBankFolder();
// The user's copy of one edition's bank lives here.
QString userBankFolder(const Edition& edition);

// The user's copy of useBankFolder: claims userFolder for this program, then the copy in it,
// before anything there is looked at, and is refused with databaseInUseText while another
// program holds either (one started elsewhere works on the folder, one started in the folder
// on the file). Then clears what a start killed while copying left, makes or renews the copy
// (prepareUserCopy) and moves the file's claim to the copy now in place. Empty on success,
// with lock holding folder and copy; else the message, with lock holding nothing.
QString openUserCopy(const QString& fileName, const QString& installedFolder,
                     const QString& userFolder, DatabaseLock& lock);

// Makes or renews userFolder/fileName from installedFolder/fileName and its pictures: renewed
// when the installed bank changed or the copy is damaged, unless an exam waits to be resumed
// in it. Empty on success (the copy is sound and current, or sound and holds an exam to
// resume); else the message, with nothing half-copied left behind. Only for a program that
// holds userFolder's claim (openUserCopy), so no other program has the copy open.
QString prepareUserCopy(const QString& fileName, const QString& installedFolder,
                        const QString& userFolder);

}  // namespace app
