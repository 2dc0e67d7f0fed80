#include "progress/progress_csv.h"

#include <QStringList>

#include "progress/category_figures.h"

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
    return a.ended.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
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
                     timeUsedText(a.secondsUsed), QString::number(a.secondsUsed), text(a.custom)});
    }
    out += QStringLiteral("\r\n");
    out += line({QStringLiteral("Date"), QStringLiteral("Exam"), QStringLiteral("Name"),
                 QStringLiteral("Category"), QStringLiteral("Questions"), QStringLiteral("Correct"),
                 QStringLiteral("% Correct")});
    for (const history::AttemptRecord& a : attempts) {
        for (const history::CategoryResult& c : a.categories) {
            out += line({when(a), examText(a), text(a.candidate), text(c.name),
                         QString::number(c.total), QString::number(c.correct),
                         QString::number(c.total > 0 ? c.correct * 100 / c.total : 0)});
        }
    }
    return out;
}

}  // namespace progress
