#include "text_input.h"

#include <QStringDecoder>

#include "source_fields.h"

namespace bank {

namespace {

void open(QFile& file, const QString& path, qint64 limit) {
    if (isFolder(path)) {
        throw SourceError(path, 0, QStringLiteral("is a folder, not a file"));
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw SourceError(path, 0, QStringLiteral("cannot be read: ") + file.errorString());
    }
    // A regular file is refused before any of it is read; a pipe only once it has given more.
    if (!file.isSequential() && file.size() > limit) {
        throw SourceError(path, 0, tooLargeReason(limit));
    }
}

}  // namespace

QByteArray readInputBytes(const QString& path, qint64 limit) {
    QFile file;
    open(file, path, limit);
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        throw SourceError(path, 0, tooLargeReason(limit));
    }
    return bytes;
}

QString decodeUtf8(const QString& path, const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        qsizetype start = 0;
        for (int line = 1;; ++line) {
            const qsizetype end = bytes.indexOf('\n', start);
            QStringDecoder lineDecoder(QStringDecoder::Utf8);
            const QString decoded = lineDecoder.decode(
                QByteArrayView(bytes).sliced(start, (end < 0 ? bytes.size() : end) - start));
            if (lineDecoder.hasError() || end < 0) {
                throw SourceError(path, lineDecoder.hasError() ? line : 0,
                                  QStringLiteral("is not valid UTF-8 text"));
            }
            start = end + 1;
        }
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

Utf8Lines::Utf8Lines(const QString& path, qint64 limit) : path_(path), limit_(limit) {
    open(file_, path, limit);
}

bool Utf8Lines::next(QString& line) {
    constexpr qint64 kChunk = 64 * 1024;
    qsizetype end = buffer_.indexOf('\n', start_);
    while (end < 0) {
        buffer_.remove(0, start_);
        start_ = 0;
        const qsizetype scanned = buffer_.size();
        const QByteArray chunk = file_.read(kChunk);
        if (chunk.isEmpty()) {
            if (file_.error() != QFileDevice::NoError) {
                throw SourceError(path_, number_ + 1,
                                  QStringLiteral("cannot be read: ") + file_.errorString());
            }
            break;
        }
        read_ += chunk.size();
        if (read_ > limit_) {
            throw SourceError(path_, 0, tooLargeReason(limit_));
        }
        buffer_ += chunk;
        end = buffer_.indexOf('\n', scanned);
    }
    if (end < 0) {
        if (start_ >= buffer_.size()) {
            return false;
        }
        end = buffer_.size();  // the last line, without a "\n"
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    line = decoder.decode(QByteArrayView(buffer_).sliced(start_, end - start_));
    start_ = end + 1;
    ++number_;
    if (decoder.hasError()) {
        throw SourceError(path_, number_, QStringLiteral("is not valid UTF-8 text"));
    }
    if (number_ == 1 && line.startsWith(QChar(0xFEFF))) {
        line.remove(0, 1);
    }
    return true;
}

}  // namespace bank
