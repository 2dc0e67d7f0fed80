#include "start/bank_folder.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/database_lock.h"
#include "app/edition.h"
#include "bank_check.h"
#include "examdb/error.h"
#include "examdb/schema_check.h"

namespace app {
namespace {

// The installed bank the copy was made from, by content: a newer bank is any other content.
QString sourceStampOf(const QString& bank) {
    return bank + QStringLiteral(".source");
}

QByteArray contentHash(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

QByteArray readStamp(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, SqliteCloser>;
using Prepared = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// The copy opened for a look only; rc says whether it opened (the handle may hold the reason).
Connection openToLook(const QString& file, int& rc) {
    sqlite3* raw = nullptr;
    rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    return Connection(raw);
}

Prepared prepare(sqlite3* db, const char* sql, int& rc) {
    sqlite3_stmt* raw = nullptr;
    rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    return Prepared(raw, &sqlite3_finalize);
}

// An exam drawn but never scored waits in the copy; it is never thrown away for a new bank.
bool holdsExamToResume(const QString& bank) {
    int rc = SQLITE_OK;
    const Connection db = openToLook(bank, rc);
    if (rc != SQLITE_OK) {
        return false;
    }
    const Prepared statement = prepare(db.get(), "SELECT count(*) FROM tblAttempt", rc);
    if (rc != SQLITE_OK) {
        return false;  // an older copy without the table has no exam to resume
    }
    return sqlite3_step(statement.get()) == SQLITE_ROW &&
           sqlite3_column_int(statement.get(), 0) > 0;
}

// What makes the user's copy unusable, found cheaply at every start: a page SQLite cannot read
// (quick_check) or a table or column the program needs that is gone. Empty when the copy is
// sound, or when that cannot be told now (another process keeps it busy). The installed bank
// had the whole check (bank::checkDatabase) when the copy was made.
QString damageOf(const QString& copy) {
    int rc = SQLITE_OK;
    const Connection db = openToLook(copy, rc);
    if (rc != SQLITE_OK) {
        return QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
    }
    sqlite3_busy_timeout(db.get(), 2000);
    const Prepared statement = prepare(db.get(), "PRAGMA quick_check(1)", rc);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement.get());
    }
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        return {};
    }
    if (rc != SQLITE_ROW) {
        return QString::fromUtf8(sqlite3_errmsg(db.get()));
    }
    const QString verdict =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
    if (verdict != QLatin1String("ok")) {
        return QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));  // the page's details say less
    }
    try {
        examdb::checkSchema(db.get(), QFileInfo(copy).fileName());
    } catch (const examdb::Error& e) {
        return e.text.endsWith(QLatin1Char('.')) ? e.text.chopped(1) : e.text;
    }
    return {};
}

// Staging folders of a start that was killed while copying. Only the program holding the
// folder's claim copies, so whatever staging it finds is nobody's.
void removeStaleStaging(const QString& userFolder) {
    const QDir folder(userFolder);
    for (const QString& name :
         folder.entryList({QStringLiteral(".incoming-*")},
                          QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        QDir(folder.filePath(name)).removeRecursively();
    }
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString cannotWrite(const QString& folder) {
    return QStringLiteral("Praxilo cannot write in its data folder %1.").arg(native(folder));
}

bool moveOver(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData(),
                            error);
    return !error;
}

}  // namespace

QString installedBankFolder() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QStringLiteral(PRAXILO_DATA_FROM_BIN)));
}

QString userBankFolder(const Edition& edition) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data).filePath(edition.demo ? QStringLiteral("demo") : QStringLiteral("full"));
}

QString prepareUserCopy(const QString& fileName, const QString& installedFolder,
                        const QString& userFolder) {
    const QString installed = QDir(installedFolder).filePath(fileName);
    const QString copy = QDir(userFolder).filePath(fileName);
    if (!QFileInfo(installed).isFile()) {
        return QStringLiteral(
                   "The exam database %1 is not installed. Install Praxilo again, or start the "
                   "program in a folder that holds %2.")
            .arg(native(installed), fileName);
    }
    const QByteArray source = contentHash(installed);
    if (source.isEmpty()) {
        return QStringLiteral("The installed exam database %1 cannot be read.")
            .arg(native(installed));
    }
    if (QFileInfo::exists(copy)) {
        const bool examWaits = holdsExamToResume(copy);
        if (readStamp(sourceStampOf(copy)) == source || examWaits) {
            const QString damage = damageOf(copy);
            if (damage.isEmpty()) {
                return {};
            }
            if (examWaits) {
                return QStringLiteral(
                           "Your copy of the exam database, %1 in %2, is damaged (%3). It holds "
                           "an exam that was not finished, so it is not replaced. To start "
                           "again with a fresh copy, move %1 out of that folder; the unfinished "
                           "exam is then lost.")
                    .arg(fileName, native(userFolder), damage);
            }
            // Nothing to resume in a damaged copy: it is made again from the installed bank.
        }
    }
    if (!QDir().mkpath(userFolder)) {
        return QStringLiteral("Praxilo cannot create its data folder %1.").arg(native(userFolder));
    }
    // Everything is copied beside the copy first, then moved into place, the bank last: a full
    // disk or a kill leaves the old copy or none, never half of one.
    QTemporaryDir staging(QDir(userFolder).filePath(QStringLiteral(".incoming-XXXXXX")));
    if (!staging.isValid()) {
        return cannotWrite(userFolder);
    }
    QStringList files = QDir(installedFolder).entryList({QStringLiteral("*.png")}, QDir::Files);
    files << fileName;
    for (const QString& file : std::as_const(files)) {
        if (!QFile::copy(QDir(installedFolder).filePath(file), staging.filePath(file))) {
            return QStringLiteral(
                       "Praxilo cannot copy its exam database into %1: the disk may be full or "
                       "the folder closed to writing.")
                .arg(native(userFolder));
        }
    }
    // Checked in the copy: the installed file sits in a folder nobody writes to, where a
    // reader of a WAL database cannot make its companions.
    const QStringList problems = bank::checkDatabase(staging.filePath(fileName));
    if (!problems.isEmpty()) {
        return QStringLiteral(
                   "The installed exam database %1 is damaged (%2). Install Praxilo "
                   "again.")
            .arg(native(installed), problems.first().section(QStringLiteral(": "), 1, -1));
    }
    QSaveFile stamp(sourceStampOf(copy));
    if (!stamp.open(QIODevice::WriteOnly) || stamp.write(source + '\n') < 0) {
        return cannotWrite(userFolder);
    }
    // An old copy's journal must not be laid over the new file.
    for (const char* companion : {"-wal", "-shm", "-journal"}) {
        QFile::remove(copy + QLatin1String(companion));
    }
    for (const QString& file : std::as_const(files)) {
        if (!moveOver(staging.filePath(file), QDir(userFolder).filePath(file))) {
            return cannotWrite(userFolder);
        }
    }
    if (!stamp.commit()) {
        return cannotWrite(userFolder);
    }
    return {};
}

QString openUserCopy(const QString& fileName, const QString& installedFolder,
                     const QString& userFolder, DatabaseLock& lock) {
    if (!QDir().mkpath(userFolder)) {
        return QStringLiteral("Praxilo cannot create its data folder %1.").arg(native(userFolder));
    }
    const QString copy = QDir(userFolder).filePath(fileName);
    // First the claims, then the look at the copy: a copy another program has open is never
    // renewed under it, nor its staging taken for a dead start's.
    if (!lock.claimFolder(userFolder) || !lock.claim(copy)) {
        lock.release();
        return databaseInUseText(fileName, userFolder);
    }
    removeStaleStaging(userFolder);
    if (const QString problem = prepareUserCopy(fileName, installedFolder, userFolder);
        !problem.isEmpty()) {
        lock.release();
        return problem;
    }
    // A new copy is a new file: the claim moves to it. A program started in the folder since
    // the renewal may have it first.
    if (!lock.holds(copy) && !lock.claim(copy)) {
        lock.release();
        return databaseInUseText(fileName, userFolder);
    }
    return {};
}

QString useBankFolder(const Edition& edition, DatabaseLock& lock) {
    if (QFileInfo::exists(edition.databaseFile)) {
        return lock.claim(edition.databaseFile) ? QString()
                                                : databaseInUseText(edition.databaseFile);
    }
    const QString user = userBankFolder(edition);
    if (const QString problem =
            openUserCopy(edition.databaseFile, installedBankFolder(), user, lock);
        !problem.isEmpty()) {
        return problem;
    }
    if (!QDir::setCurrent(user)) {
        lock.release();
        return QStringLiteral("Praxilo cannot open its data folder %1.").arg(native(user));
    }
    return {};
}

}  // namespace app
