#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "input_file.h"

namespace bank {

// The whole of a file of at most limit bytes. Pipes and devices are read up to the limit;
// a folder, a file that cannot be opened or one over the limit is refused with a SourceError.
QByteArray readInputBytes(const QString& path, qint64 limit = kMaxInputBytes);

// bytes as UTF-8 text without a byte-order mark; invalid UTF-8 is refused naming its line.
QString decodeUtf8(const QString& path, const QByteArray& bytes);

// Reads a UTF-8 file a line at a time, so that a large file is never held whole.
class Utf8Lines {
public:
    explicit Utf8Lines(const QString& path, qint64 limit = kMaxInputBytes);

    // The next line without its "\n"; false after the last one.
    bool next(QString& line);
    // The number of the line next() returned last, from 1.
    int number() const { return number_; }

private:
    QString path_;
    QFile file_;
    qint64 limit_;
    qint64 read_ = 0;
    QByteArray buffer_;
    qsizetype start_ = 0;  // where the next line starts in buffer_
    int number_ = 0;
};

}  // namespace bank
