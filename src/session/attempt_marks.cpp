#include "session/attempt_marks.h"

#include <QStringList>

namespace exam::attempt {

QString encodeMarks(const Marks& marks) {
    QStringList parts;
    for (size_t i = 0; i < marks.flagged.size(); ++i) {
        if (marks.flagged[i]) {
            parts << QString::number(i + 1);
        }
        const unsigned char rows = i < marks.struck.size() ? marks.struck[i] : 0;
        if (rows != 0) {
            QString letters;
            for (int row = 0; row < 5; ++row) {
                if (rows & (1u << row)) {
                    letters += QChar(u'A' + row);
                }
            }
            parts << QStringLiteral("%1:%2").arg(i + 1).arg(letters);
        }
        if (i < marks.checked.size() && marks.checked[i]) {
            parts << QStringLiteral("%1!").arg(i + 1);
        }
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<Marks> decodeMarks(const QString& text, int questions) {
    if (questions < 0) {
        return std::nullopt;
    }
    Marks marks = Marks::none(questions);
    for (const QStringView part : QStringView(text).split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        const bool checked = colon < 0 && part.endsWith(u'!');
        bool ok = false;
        const int number =
            part.left(colon < 0 ? part.size() - (checked ? 1 : 0) : colon).toInt(&ok);
        if (!ok || number < 1 || number > questions) {
            return std::nullopt;
        }
        const size_t index = size_t(number - 1);
        if (checked) {
            if (marks.checked[index]) {
                return std::nullopt;
            }
            marks.checked[index] = true;
            continue;
        }
        if (colon < 0) {
            if (marks.flagged[index]) {
                return std::nullopt;
            }
            marks.flagged[index] = true;
            continue;
        }
        const QStringView letters = part.mid(colon + 1);
        if (letters.isEmpty() || marks.struck[index] != 0) {
            return std::nullopt;
        }
        for (const QChar letter : letters) {
            const int row = letter.unicode() - u'A';
            if (row < 0 || row > 4 || (marks.struck[index] & (1u << row))) {
                return std::nullopt;
            }
            marks.struck[index] |= static_cast<unsigned char>(1u << row);
        }
    }
    return marks;
}

}  // namespace exam::attempt
