#include "standing/due_review.h"

#include <QDateTime>
#include <QLocale>

#include "app/custom_exam.h"
#include "app/edition.h"
#include "app/prompts.h"
#include "examdb/database.h"
#include "examdb/error.h"
#include "examdb/statements.h"
#include "history/history_access.h"
#include "look/preferences.h"
#include "session/score_report.h"

namespace standing {
namespace {

const QString kTitle = QStringLiteral("Due Questions");

QString bankName() {
    examdb::Database bank = examdb::Database::open(app::edition().databaseFile);
    return session::bankName(bank);
}

}  // namespace

QString dueDayText(qint64 when) {
    const QDateTime at = QDateTime::fromSecsSinceEpoch(when);
    const QDate today = QDate::currentDate();
    if (at.date() == today) {
        return QStringLiteral("today at ") +
               QLocale::system().toString(at.time(), QLocale::ShortFormat);
    }
    if (at.date() == today.addDays(1)) {
        return QStringLiteral("tomorrow");
    }
    return QStringLiteral("on ") + QLocale::system().toString(at.date(), QLocale::ShortFormat);
}

namespace {

void tell(const QString& text) {
    prompts::MsgBox(text, prompts::Buttons::OkOnly, prompts::Icon::Information, kTitle);
}

}  // namespace

std::optional<review::DueSummary> dueNow(const QString& candidate) {
    history::HistoryStore* store = history::store();
    if (!store) {
        return std::nullopt;
    }
    try {
        const review::CardOwner owner{candidate, bankName()};
        review::DueSummary summary;
        store->read([&](sqlite3* db) {
            summary = review::dueSummary(db, owner, QDateTime::currentSecsSinceEpoch());
        });
        return summary;
    } catch (const examdb::Error&) {
        return std::nullopt;
    }
}

QString dueMenuText(const std::optional<review::DueSummary>& due) {
    if (due && due->due > 0) {
        return QStringLiteral("Due &Questions (%1)...").arg(due->due);
    }
    if (due && due->next) {
        return QStringLiteral("Due &Questions (next %1)...").arg(dueDayText(*due->next));
    }
    return QStringLiteral("Due &Questions...");
}

bool startDueReview(const QString& candidate, const QString& returnTo) {
    history::HistoryStore* store = history::store();
    if (!store) {
        return false;
    }
    const int limit = std::max(1, look::preference(QStringLiteral("review/questions"), 20).toInt());
    std::vector<review::DueCard> due;
    review::DueSummary summary;
    try {
        const review::CardOwner owner{candidate, bankName()};
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        store->read([&](sqlite3* db) {
            const std::vector<review::DueCard> first = review::dueCards(db, owner, now, 1);
            if (!first.empty()) {
                due = review::dueCards(db, owner, now, limit, first.front().exam);
            }
            summary = review::dueSummary(db, owner, now);
        });
    } catch (const examdb::Error& e) {
        tell(QStringLiteral("The questions due could not be read from the progress history: %1.")
                 .arg(history::faultReason(e)));
        return false;
    }
    if (due.empty()) {
        tell(summary.next ? QStringLiteral("No question is due for review. The next one is due %1.")
                                .arg(dueDayText(*summary.next))
                          : QStringLiteral("No question is due for review yet. Every question "
                                           "answered in an exam comes back here when it is due."));
        return false;
    }
    std::vector<qint64> ids;
    for (const review::DueCard& card : due) {
        ids.push_back(card.question);
    }
    return startQuestionReview(candidate, due.front().exam, ids, returnTo);
}

bool startQuestionReview(const QString& candidate, int exam, const std::vector<qint64>& ids,
                         const QString& returnTo) {
    session::CustomExam run;
    run.exam = exam;
    run.minutes = 0;
    run.practice = true;
    try {
        examdb::Database bank = examdb::Database::open(app::edition().databaseFile);
        examdb::Statement held = bank.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE ID = ?1")
                                                  .arg(examdb::statements::examTable(exam)));
        for (qint64 id : ids) {
            held.bind(1, id);
            if (held.step()) {
                run.ids.push_back(id);
            }
            held.reset();
        }
    } catch (const examdb::Error&) {
        return false;
    }
    if (run.ids.empty()) {
        tell(QStringLiteral("The questions to review are no longer in %1.")
                 .arg(app::edition().demo ? QStringLiteral("the demo's bank")
                                          : QStringLiteral("the bank")));
        return false;
    }
    run.questions = int(run.ids.size());
    return app::startCustomExam(run, candidate, returnTo);
}

}  // namespace standing
