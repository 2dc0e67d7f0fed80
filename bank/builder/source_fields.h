#pragma once

#include <QList>
#include <QString>
#include <stdexcept>

#include "input_file.h"

namespace bank {

// A refusal that names where in which file the author must look.
struct SourceError : std::runtime_error {
    SourceError(QString file, int line, QString reason);
    QString file;
    int line;
    QString reason;
    QString message() const;
};

// One `name: value` field with its continuation lines folded in.
struct Field {
    QString name;
    QString value;
    int line = 0;
    // The value so far ends in a verbatim line or a paragraph break: prose starts a new line.
    bool verbatimTail = false;
};

// One line of the file that is not a field: a `== N` header or the `---` rule.
struct Marker {
    QString text;
    int line = 0;
};

struct Entry {
    bool isMarker = false;
    Field field;
    Marker marker;
};

// Splits a source text into fields and marker lines. `rawAfterRule` keeps every line after the
// first `---` verbatim (exhibit bodies); they come back in `body`.
struct ParsedText {
    QList<Entry> entries;
    QStringList body;
};
ParsedText parseFields(const QString& file, const QString& text, bool rawAfterRule = false);
// The same, read from a file a line at a time so that its text is never held whole.
ParsedText parseFieldsOf(const QString& file, qint64 limit, bool rawAfterRule = false);

// A whole UTF-8 file of at most limit bytes, without a byte-order mark.
QString readUtf8File(const QString& path, qint64 limit = kMaxInputBytes);

}  // namespace bank
