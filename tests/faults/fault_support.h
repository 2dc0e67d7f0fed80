#pragma once

// Shared by the fault tests: a private mount namespace for read-only and full file systems,
// and small direct SQLite helpers that work on any file, sound or not.
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <stdexcept>

namespace faults {

// Mounts made by a test stay inside the test process and vanish with it, even when it is
// killed. Call first thing in main(), before any thread exists.
inline bool privateMounts() {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Runs SQL on a file through SQLite directly; throws with SQLite's message on failure.
inline void sql(const QString& file, const QString& statements) {
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* error = nullptr;
    if (rc != SQLITE_OK ||
        sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        sqlite3_close(db);
        throw std::runtime_error(why);
    }
    sqlite3_close(db);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace faults
