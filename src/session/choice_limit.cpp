#include "session/choice_limit.h"

#include <QRegularExpression>
#include <array>

namespace session {
namespace {

constexpr std::array<const char*, 5> kWords{"one", "two", "three", "four", "five"};

}  // namespace

int choiceLimit(const QString& stem) {
    // The bank writes "(Choose two.)"; a missing full stop or a word more inside the brackets
    // ("(Choose two answers.)") asks the same.
    static const QRegularExpression ask(
        QStringLiteral("\\(\\s*choose\\s+(one|two|three|four|five|[1-5])\\b[^()]*\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = ask.match(stem);
    if (!found.hasMatch()) {
        return 0;
    }
    const QString number = found.captured(1).toLower();
    for (size_t i = 0; i < kWords.size(); ++i) {
        if (number == QLatin1String(kWords[i])) {
            return int(i) + 1;
        }
    }
    return number.toInt();
}

QString choiceLimitNote(int limit) {
    const QString number = limit >= 1 && limit <= int(kWords.size())
                               ? QString::fromLatin1(kWords[size_t(limit - 1)])
                               : QString::number(limit);
    return QStringLiteral("Choose %1: untick one first.").arg(number);
}

}  // namespace session
