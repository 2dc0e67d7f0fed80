#include "standing/standing_panel.h"

#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/custom_exam.h"
#include "app/display_text.h"
#include "app/edition.h"
#include "examdb/error.h"
#include "history/history_access.h"
#include "standing/due_review.h"
#include "standing/readiness_line.h"

namespace standing {
namespace {

const QColor kLinkColour(0xff, 0xe0, 0x8a);

// A flat button that reads as a link and shows where the keyboard is: the style draws no focus
// frame on a flat button.
class LinkLine : public QPushButton {
public:
    explicit LinkLine(QWidget* parent) : QPushButton(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QPushButton::paintEvent(event);
        if (hasFocus()) {
            QPainter painter(this);
            painter.setPen(QPen(kLinkColour, 1, Qt::DotLine));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
};

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

StandingPanel::StandingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("panStanding"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const char* const names[] = {"cmdLastAttempt", "cmdDueQuestions", "cmdReadiness"};
    for (int n = 0; n < 3; ++n) {
        auto* button = new LinkLine(this);
        button->setObjectName(QLatin1String(names[n]));
        button->setFlat(true);
        // Enter takes it, as Space does, though this is no dialog.
        button->setAutoDefault(true);
        button->setCursor(Qt::PointingHandCursor);
        // Light on the menu's slate, whatever the look, and underlined as a link is.
        QPalette light = button->palette();
        light.setColor(QPalette::ButtonText, kLinkColour);
        button->setPalette(light);
        QFont underlined = button->font();
        underlined.setUnderline(true);
        button->setFont(underlined);
        layout->addWidget(button, 0, Qt::AlignLeft);
        connect(button, &QPushButton::clicked, this,
                [this, n] { Q_EMIT linkActivated(targets_[n]); });
        lines_[n] = button;
        button->hide();
    }
    setAccessibleName(QStringLiteral("Where you stand"));
    hide();
}

void StandingPanel::showLine(int n, const QString& text, const char* target) {
    lines_[n]->setText(QString(text).replace(u'&', QStringLiteral("&&")));
    lines_[n]->setAccessibleName(text);
    lines_[n]->show();
    targets_[n] = QLatin1String(target);
}

QStringList StandingPanel::lines() const {
    QStringList shown;
    for (const QPushButton* button : lines_) {
        if (!button->isHidden()) {
            shown << button->accessibleName();
        }
    }
    return shown;
}

void StandingPanel::refresh() {
    for (QPushButton* button : lines_) {
        button->hide();
    }
    const QString name = app::lastCandidateName();
    if (const std::optional<history::AttemptRecord> last = lastAttemptOf(name)) {
        showLine(0, attemptText(*last), "progress");
        if (const std::optional<review::DueSummary> due = dueNow(name)) {
            if (due->due > 0) {
                showLine(1, QStringLiteral("Questions due for review: %1").arg(due->due), "due");
            } else if (due->next) {
                showLine(1,
                         QStringLiteral("No questions due; the next is due %1")
                             .arg(dueDayText(*due->next)),
                         "due");
            }
        }
        if (const std::optional<ExamReadiness> ready = readinessFor(name, last->exam)) {
            showLine(2, readinessLine(*ready), "progress");
        }
    }
    setVisible(!lines().isEmpty());
    if (isVisible()) {
        lines_[0]->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace standing
