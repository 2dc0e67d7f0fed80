#include "source_fields.h"

#include <QRegularExpression>

#include "text_input.h"

namespace bank {

SourceError::SourceError(QString f, int l, QString r)
    : std::runtime_error(
          QString(f + QLatin1Char(':') + QString::number(l) + QStringLiteral(": ") + r)
              .toStdString()),
      file(std::move(f)),
      line(l),
      reason(std::move(r)) {}

QString SourceError::message() const {
    return QString::fromStdString(what());
}

QString readUtf8File(const QString& path, qint64 limit) {
    return decodeUtf8(path, readInputBytes(path, limit));
}

namespace {

// Prose lines flow into one line; "|" lines stay lines of their own (code, command output);
// "." is an empty line between paragraphs.
void appendContinuation(Field& field, const QString& rest) {
    const QString trimmed = rest.trimmed();
    if (trimmed == QLatin1String(".")) {
        field.value += QStringLiteral("\n");
        field.verbatimTail = true;
        return;
    }
    if (rest.startsWith(QLatin1Char('|'))) {
        const QString verbatim = rest.mid(rest.startsWith(QLatin1String("| ")) ? 2 : 1);
        field.value += QLatin1Char('\n') + verbatim;
        field.verbatimTail = true;
        return;
    }
    if (field.verbatimTail || field.value.isEmpty()) {
        field.value += (field.value.isEmpty() ? QString() : QStringLiteral("\n")) + trimmed;
    } else {
        field.value += QLatin1Char(' ') + trimmed;
    }
    field.verbatimTail = false;
}

}  // namespace

namespace {

// nextLine(line, number) gives the lines in order and false after the last.
template <typename NextLine>
ParsedText parseLines(const QString& file, bool rawAfterRule, NextLine nextLine) {
    static const QRegularExpression fieldPattern(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*):(.*)$"));
    ParsedText out;
    Field* open = nullptr;
    bool inBody = false;
    QString line;
    int lineNo = 0;
    while (nextLine(line, lineNo)) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (inBody) {
            out.body << line;
            continue;
        }
        if (line.startsWith(QLatin1String("  ")) && !line.trimmed().isEmpty()) {
            if (!open) {
                throw SourceError(file, lineNo,
                                  QStringLiteral("continuation line outside a field"));
            }
            appendContinuation(*open, line.mid(2));
            continue;
        }
        open = nullptr;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (trimmed.startsWith(QLatin1String("==")) || trimmed == QLatin1String("---")) {
            Entry e;
            e.isMarker = true;
            e.marker = {trimmed, lineNo};
            out.entries << e;
            if (rawAfterRule && trimmed == QLatin1String("---")) {
                inBody = true;
            }
            continue;
        }
        const QRegularExpressionMatch m = fieldPattern.match(line);
        if (!m.hasMatch()) {
            throw SourceError(
                file, lineNo,
                QStringLiteral("expected 'name: value', found '%1'").arg(trimmed.left(60)));
        }
        Entry e;
        e.field = {m.captured(1), m.captured(2).trimmed(), lineNo};
        out.entries << e;
        open = &out.entries.last().field;
    }
    // A file that ends with a newline gives one empty last body line; drop trailing blanks.
    while (!out.body.isEmpty() && out.body.last().trimmed().isEmpty()) {
        out.body.removeLast();
    }
    return out;
}

}  // namespace

ParsedText parseFields(const QString& file, const QString& text, bool rawAfterRule) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype next = 0;
    return parseLines(file, rawAfterRule, [&](QString& line, int& number) {
        if (next == lines.size()) {
            return false;
        }
        line = lines[next++];
        number = int(next);
        return true;
    });
}

ParsedText parseFieldsOf(const QString& file, qint64 limit, bool rawAfterRule) {
    Utf8Lines lines(file, limit);
    return parseLines(file, rawAfterRule, [&](QString& line, int& number) {
        const bool more = lines.next(line);
        number = lines.number();
        return more;
    });
}

}  // namespace bank
