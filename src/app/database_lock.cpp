#include "app/database_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace app {

DatabaseLock::~DatabaseLock() {
    release();
}

bool DatabaseLock::claim(const QString& fileName) {
    release();
    const QString path = QFileInfo(QDir::current(), fileName).absoluteFilePath();
    // Read-only is enough for flock, so a read-only file still gets its lock.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
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
        // A file system without flock cannot tell us anything: let the program run.
        return !busy;
    }
    fd_ = fd;
    return true;
}

void DatabaseLock::release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

QString databaseInUseText(const QString& fileName) {
    return QStringLiteral(
               "The exam database '%1' in %2 is in use by another copy of this program.\n\n"
               "Two programs on one database would mix their candidates' answers. Close the "
               "other copy, then start again.")
        .arg(fileName, QDir::toNativeSeparators(QDir::currentPath()));
}

}  // namespace app
