#pragma once

#include <QString>

namespace app {

// Keeps a second program off the database file this one works in: both would write their
// candidates' answers into the same exam tables. The locks are the kernel's (flock on the file
// itself, and on the folder of a user's copy), so a program that is killed never leaves one
// behind, and no file is created for them.
class DatabaseLock {
public:
    DatabaseLock() = default;
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // Claims fileName (relative to the working directory, or absolute) for this process, in
    // place of any file claimed before; the folder's claim stays. False only when another
    // process holds it. A file that is missing or cannot be read is not refused here: the
    // first database access reports it with the engine's message.
    bool claim(const QString& fileName);
    // Whether the file claimed is the one now at fileName (not one renamed over since).
    bool holds(const QString& fileName) const;
    // Claims a whole folder (that must exist) for this process: the folder of a user's copy,
    // which a program checks, renews and cleans only while it holds it. False only when
    // another process holds it.
    bool claimFolder(const QString& folder);
    // Gives up the file and the folder.
    void release();
    bool held() const { return fd_ >= 0; }
    bool folderHeld() const { return folderFd_ >= 0; }

private:
    int fd_ = -1;
    int folderFd_ = -1;
};

// The message a refused start shows, naming the folder the file is in (the working directory
// when folder is empty).
QString databaseInUseText(const QString& fileName, const QString& folder = QString());

}  // namespace app
