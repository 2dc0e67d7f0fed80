#include "progress/progress_csv.h"

#include <QStringList>
#include <algorithm>
#include <optional>

#include "progress/category_figures.h"
#include "session/custom_settings.h"

namespace progress {
namespace {

QString field(const QString& text) {
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quoted) {
        return text;
    }
    QString inner = text;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// A name a spreadsheet would take for a formula is kept as text.
QString text(const QString& value) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !value.isEmpty() && formulaStarts.contains(value.front()) ? QLatin1Char('\'') + value
                                                                     : value;
}

QString line(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) {
        out << field(f);
    }
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString when(const history::AttemptRecord& a) {
    // To the second: attempts minutes apart, or a review run at once, still sort apart.
    return a.ended.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A custom attempt's settings as a reader knows them, the categories by name: "20 questions
// from Exam #1; categories: Net | Disk; 20 minutes; timed". Settings that cannot be read are
// written as kept.
QString settingsText(const history::AttemptRecord& a) {
    if (!isCustom(a)) {
        return {};
    }
    const std::optional<session::CustomExam> custom = session::decodeCustom(a.custom);
    if (!custom) {
        return text(a.custom);
    }
    QStringList parts{
        QStringLiteral("%1 from %2").arg(session::questionCount(custom->questions), examOf(a))};
    if (custom->ids.empty()) {
        QStringList names;
        for (int number : custom->categories) {
            const auto found = std::find_if(
                a.categories.begin(), a.categories.end(),
                [number](const history::CategoryResult& c) { return c.category == number; });
            names << (found == a.categories.end() ? QStringLiteral("category %1").arg(number)
                      : found->name.isEmpty()     ? QStringLiteral("(no name)")
                                                  : found->name.simplified());
        }
        parts << QStringLiteral("categories: ") + names.join(QStringLiteral(" | "));
    } else {
        parts << QStringLiteral("questions chosen");
    }
    parts << (custom->untimed() ? QStringLiteral("untimed")
                                : QStringLiteral("%1 minutes").arg(custom->minutes));
    parts << (custom->practice ? QStringLiteral("practice") : QStringLiteral("timed"));
    return parts.join(QStringLiteral("; "));
}

}  // namespace

QString csvText(const std::vector<history::AttemptRecord>& attempts) {
    QString out = line({QStringLiteral("Date"), QStringLiteral("Exam"), QStringLiteral("Name"),
                        QStringLiteral("Score"), QStringLiteral("Pass mark"),
                        QStringLiteral("Verdict"), QStringLiteral("Time used"),
                        QStringLiteral("Seconds used"), QStringLiteral("Custom settings")});
    for (const history::AttemptRecord& a : attempts) {
        out += line({when(a), examText(a), text(a.candidate), QString::number(a.score),
                     QString::number(a.passMark),
                     a.passed ? QStringLiteral("Pass") : QStringLiteral("Fail"),
                     timeUsedText(a.secondsUsed), QString::number(a.secondsUsed), settingsText(a)});
    }
    out += QStringLiteral("\r\n");
    out += line({QStringLiteral("Date"), QStringLiteral("Exam"), QStringLiteral("Name"),
                 QStringLiteral("Category"), QStringLiteral("Questions"), QStringLiteral("Correct"),
                 QStringLiteral("% Correct")});
    for (const history::AttemptRecord& a : attempts) {
        for (const history::CategoryResult& c : a.categories) {
            out += line({when(a), examText(a), text(a.candidate), text(c.name),
                         QString::number(c.total), QString::number(c.correct),
                         c.total > 0 ? QString::number(c.correct * 100 / c.total) : kNoFigure});
        }
    }
    return out;
}

}  // namespace progress
