#pragma once

#include <QString>

namespace app {

// Keeps a second program off the database file this one works in: both would write their
// candidates' answers into the same exam tables. The lock is the kernel's (flock on the file
// itself), so a program that is killed never leaves it behind, and no file is created for it.
class DatabaseLock {
public:
    DatabaseLock() = default;
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // Claims fileName in the working directory for this process. False only when another
    // process holds it. A file that is missing or cannot be read is not refused here: the
    // first database access reports it with the engine's message.
    bool claim(const QString& fileName);
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The message a refused start shows.
QString databaseInUseText(const QString& fileName);

}  // namespace app
