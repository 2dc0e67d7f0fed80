#include "history/history_access.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

#include "app/prompts.h"
#include "examdb/error.h"
#include "history/history_store.h"

namespace history {
namespace {

const QString kTitle = QStringLiteral("Progress History");

struct Access {
    QString location;
    std::unique_ptr<HistoryStore> store;
    bool refused = false;  // this session has given up on the file
};

Access& access() {
    static Access a;
    return a;
}

bool isCorrupt(const examdb::Error& e) {
    return e.number == SQLITE_NOTADB || e.number == SQLITE_CORRUPT;
}

// The broken file and its journals go aside together, so the new history starts clean.
QString moveAside(const QString& path) {
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = info.dir().filePath(
        QStringLiteral("%1-unreadable-%2.%3").arg(info.completeBaseName(), stamp, info.suffix()));
    for (int n = 2; QFileInfo::exists(aside); ++n) {
        aside = info.dir().filePath(QStringLiteral("%1-unreadable-%2-%3.%4")
                                        .arg(info.completeBaseName(), stamp)
                                        .arg(n)
                                        .arg(info.suffix()));
    }
    if (!QFile::rename(path, aside)) {
        return {};
    }
    for (const char* journal : {"-wal", "-shm", "-journal"}) {
        QFile::rename(path + QLatin1String(journal), aside + QLatin1String(journal));
    }
    return aside;
}

void refuse(const QString& text) {
    access().refused = true;
    prompts::MsgBox(text, prompts::Buttons::OkOnly, prompts::Icon::Exclamation, kTitle);
}

}  // namespace

QString faultReason(const examdb::Error& e) {
    switch (e.number & 0xff) {
        case SQLITE_FULL:
            return QStringLiteral("the disk that holds it is full");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("it is locked by another program");
        case SQLITE_READONLY:
            return QStringLiteral("it cannot be written to");
        default:
            break;
    }
    // SQLite's words alone: the file and statement after them, and any advice meant for the
    // exam database, are no use to the reader.
    QString reason = e.text.section(QLatin1Char('\n'), 0, 0);
    const qsizetype context = reason.indexOf(QLatin1String(" ("));
    if (context > 0) {
        reason.truncate(context);
    }
    while (reason.endsWith(QLatin1Char('.'))) {
        reason.chop(1);
    }
    return reason;
}

QString location() {
    Access& a = access();
    if (a.location.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        a.location = QDir(folder).filePath(QStringLiteral("history.sqlite"));
    }
    return a.location;
}

void setLocation(const QString& path) {
    closeStore();
    access().location = path;
}

void closeStore() {
    access().store.reset();
    access().refused = false;
}

HistoryStore* store() {
    Access& a = access();
    if (a.store || a.refused) {
        return a.store.get();
    }
    const QString path = location();
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        a.store = std::make_unique<HistoryStore>(path);
    } catch (const examdb::Error& e) {
        if (e.number == HistoryStore::kTooNew) {
            refuse(QStringLiteral("The progress history %1 was written by a newer version of "
                                  "the program. It is left as it is, and nothing is recorded in "
                                  "it until the program is updated.")
                       .arg(QDir::toNativeSeparators(path)));
            return nullptr;
        }
        if (!isCorrupt(e)) {
            refuse(QStringLiteral("The progress history %1 cannot be used: %2. Exams and score "
                                  "sheets work as before.")
                       .arg(QDir::toNativeSeparators(path), faultReason(e)));
            return nullptr;
        }
        const QString aside = moveAside(path);
        if (aside.isEmpty()) {
            refuse(QStringLiteral("The progress history %1 cannot be read (%2), and it could "
                                  "not be moved aside.")
                       .arg(QDir::toNativeSeparators(path), faultReason(e)));
            return nullptr;
        }
        try {
            a.store = std::make_unique<HistoryStore>(path);
        } catch (const examdb::Error& again) {
            refuse(QStringLiteral("The progress history %1 cannot be used: %2.")
                       .arg(QDir::toNativeSeparators(path), faultReason(again)));
            return nullptr;
        }
        // An integrity check can list a page per fault: the box keeps one sentence and the
        // list goes behind its details button.
        prompts::MsgBox(QStringLiteral("The progress history could not be read, so it was moved "
                                       "aside to %1 and a new history was started.")
                            .arg(QDir::toNativeSeparators(aside)),
                        prompts::Buttons::OkOnly, prompts::Icon::Exclamation, kTitle, e.text);
    }
    return a.store.get();
}

std::optional<int> recordAttempt(const AttemptRecord& attempt, const Alongside& alongside) {
    HistoryStore* history = store();
    if (!history) {
        return std::nullopt;
    }
    try {
        const std::optional<int> previous = history->lastScore(attempt);
        history->record(attempt, alongside);
        return previous;
    } catch (const examdb::Error& e) {
        refuse(QStringLiteral("This attempt could not be added to the progress history %1: %2. "
                              "The score sheet is not affected.")
                   .arg(QDir::toNativeSeparators(history->path()), faultReason(e)));
        access().store.reset();
        return std::nullopt;
    }
}

bool writeAlongside(const Alongside& alongside, const QString& what) {
    HistoryStore* history = store();
    if (!history) {
        return false;
    }
    try {
        history->change(alongside);
        return true;
    } catch (const examdb::Error& e) {
        refuse(QStringLiteral("%1 could not be written to the progress history %2: %3.")
                   .arg(what, QDir::toNativeSeparators(history->path()), faultReason(e)));
        access().store.reset();
        return false;
    }
}

bool recorded(const QString& key) {
    if (key.isEmpty() || !QFileInfo::exists(location())) {
        return false;
    }
    try {
        const HistoryStore history(location());
        return history.attemptWithKey(key).has_value();
    } catch (const examdb::Error&) {
        return false;
    }
}

QString lastAttemptLine(int previous, int now) {
    const int change = now - previous;
    return QStringLiteral("Last attempt: %1/1000 (%2%3)")
        .arg(previous)
        .arg(change >= 0 ? QStringLiteral("+") : QString())
        .arg(change);
}

}  // namespace history
