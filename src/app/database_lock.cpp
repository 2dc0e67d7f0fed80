#include "app/database_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace app {
namespace {

void closeLock(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Opens path with flags and takes an exclusive flock on it into held. False only when another
// process holds it; a path that cannot be opened, or a file system without flock, tells us
// nothing and lets the program run.
bool lockPath(const QString& path, int flags, int& held) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        return true;
    }
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return !busy;
    }
    held = fd;
    return true;
}

}  // namespace

DatabaseLock::~DatabaseLock() {
    release();
}

bool DatabaseLock::claim(const QString& fileName) {
    closeLock(fd_);
    // Read-only is enough for flock, so a read-only file still gets its lock.
    return lockPath(QFileInfo(QDir::current(), fileName).absoluteFilePath(), O_RDONLY, fd_);
}

bool DatabaseLock::holds(const QString& fileName) const {
    struct stat claimed {};
    struct stat present {};
    return fd_ >= 0 && ::fstat(fd_, &claimed) == 0 &&
           ::stat(QFile::encodeName(QFileInfo(QDir::current(), fileName).absoluteFilePath())
                      .constData(),
                  &present) == 0 &&
           claimed.st_dev == present.st_dev && claimed.st_ino == present.st_ino;
}

bool DatabaseLock::claimFolder(const QString& folder) {
    closeLock(folderFd_);
    return lockPath(QFileInfo(QDir::current(), folder).absoluteFilePath(), O_RDONLY | O_DIRECTORY,
                    folderFd_);
}

void DatabaseLock::release() {
    closeLock(fd_);
    closeLock(folderFd_);
}

QString databaseInUseText(const QString& fileName, const QString& folder) {
    return QStringLiteral(
               "The exam database '%1' in %2 is in use by another copy of this program.\n\n"
               "Two programs on one database would mix their candidates' answers. Close the "
               "other copy, then start again.")
        .arg(fileName, QDir::toNativeSeparators(folder.isEmpty() ? QDir::currentPath() : folder));
}

}  // namespace app
