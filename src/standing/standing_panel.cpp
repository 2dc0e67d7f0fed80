#include "standing/standing_panel.h"

#include "app/custom_exam.h"
#include "app/display_text.h"
#include "app/edition.h"
#include "examdb/error.h"
#include "history/history_access.h"
#include "standing/due_review.h"
#include "standing/readiness_line.h"

namespace standing {
namespace {

// Light on the menu's slate in every look: a link's colour is the document's, not the palette's.
QString link(const char* target, const QString& text) {
    return QStringLiteral("<a href=\"%1\" style=\"color: #ffe08a\">%2</a>")
        .arg(QLatin1String(target), text.toHtmlEscaped());
}

std::optional<history::AttemptRecord> lastAttemptOf(const QString& candidate) {
    history::HistoryStore* store = history::store();
    if (!store || candidate.trimmed().isEmpty()) {
        return std::nullopt;
    }
    const QString edition = app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full");
    try {
        for (history::AttemptRecord& a : store->attempts(candidate)) {
            // A review of chosen questions is no attempt at an exam.
            if (a.edition == edition && !a.custom.contains(QStringLiteral(" ids="))) {
                return std::move(a);
            }
        }
    } catch (const examdb::Error&) {
    }
    return std::nullopt;
}

QString attemptText(const history::AttemptRecord& a) {
    const std::optional<session::CustomExam> custom = session::decodeCustom(a.custom);
    const QString exam = custom ? app::customTitle(*custom) : examName(a.exam);
    return QStringLiteral("Last attempt: %1 by %2: %3/1000, %4")
        .arg(exam, app::shortName(a.candidate))
        .arg(a.score)
        .arg(custom && custom->practice ? QStringLiteral("practice")
             : a.passed                 ? QStringLiteral("passed")
                                        : QStringLiteral("not passed"));
}

}  // namespace

StandingPanel::StandingPanel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("lblStanding"));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(true);
    setAccessibleName(QStringLiteral("Where you stand"));
    hide();
}

void StandingPanel::refresh() {
    lines_.clear();
    QStringList html;
    const QString name = app::lastCandidateName();
    if (const std::optional<history::AttemptRecord> last = lastAttemptOf(name)) {
        lines_ << attemptText(*last);
        html << link("progress", lines_.back());
        if (const std::optional<review::DueSummary> due = dueNow(name)) {
            if (due->due > 0) {
                lines_ << QStringLiteral("Questions due for review: %1").arg(due->due);
                html << link("due", lines_.back());
            } else if (due->next) {
                lines_ << QStringLiteral("No questions due; the next is due %1")
                              .arg(dueDayText(*due->next));
                html << link("due", lines_.back());
            }
        }
        if (const std::optional<ExamReadiness> ready = readinessFor(name, last->exam)) {
            lines_ << readinessLine(*ready);
            html << link("progress", lines_.back());
        }
    }
    setText(html.join(QStringLiteral("<br>")));
    setAccessibleDescription(lines_.join(u'\n'));
    setVisible(!lines_.isEmpty());
}

}  // namespace standing
