#pragma once

#include <QString>

namespace bank {

// The most kvn_bank reads from one file: a bank source, an imported file, or a database that
// report or export loads. Real banks are a few megabytes; this keeps a wrong file (a disk
// image, /dev/zero) from exhausting memory.
inline constexpr qint64 kMaxInputBytes = 64 * 1024 * 1024;
// An exam source (.kvq) spells out what an imported file abbreviates (a 64 MB Aiken file becomes
// about 100 MB of source), so the builder takes more of it.
inline constexpr qint64 kMaxExamSourceBytes = 4 * kMaxInputBytes;
// A database holds three exams of such sources, and report and export load them whole.
inline constexpr qint64 kMaxDatabaseBytes = 4 * kMaxInputBytes;

// Empty for a regular file (or a link to one); otherwise why path is no file to read, such as
// "no such file" or "is a folder, not a file".
QString notAFile(const QString& path);

// True for a folder, which no reader can take whatever it asks for.
bool isFolder(const QString& path);

// The reason for refusing a file over limit bytes.
QString tooLargeReason(qint64 limit = kMaxInputBytes);

}  // namespace bank
