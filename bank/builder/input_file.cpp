#include "input_file.h"

#include <QFile>
#include <filesystem>

namespace bank {

namespace {

std::filesystem::file_type typeOf(const QString& path) {
    std::error_code error;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), error);
    return error ? std::filesystem::file_type::not_found : status.type();
}

}  // namespace

QString notAFile(const QString& path) {
    using std::filesystem::file_type;
    switch (typeOf(path)) {
        case file_type::regular:
            return {};
        case file_type::not_found:
        case file_type::none:
            return QStringLiteral("no such file");
        case file_type::directory:
            return QStringLiteral("is a folder, not a file");
        case file_type::fifo:
            return QStringLiteral("is a named pipe (FIFO), not a file");
        case file_type::block:
        case file_type::character:
            return QStringLiteral("is a device, not a file");
        case file_type::socket:
            return QStringLiteral("is a socket, not a file");
        default:
            return QStringLiteral("is not a regular file");
    }
}

bool isFolder(const QString& path) {
    return typeOf(path) == std::filesystem::file_type::directory;
}

QString tooLargeReason(qint64 limit) {
    const qint64 mb = 1024 * 1024;
    const QString size = limit % mb == 0 ? QStringLiteral("%1 MB").arg(limit / mb)
                                         : QStringLiteral("%1 bytes").arg(limit);
    return QStringLiteral("holds more than %1, the most kvn_bank reads from one file").arg(size);
}

}  // namespace bank
