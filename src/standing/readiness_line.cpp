#include "standing/readiness_line.h"

#include <QHash>
#include <map>

#include "app/custom_exam.h"
#include "app/edition.h"
#include "examdb/database.h"
#include "examdb/error.h"
#include "examdb/statement.h"
#include "examdb/statements.h"
#include "history/history_access.h"
#include "review/card_store.h"
#include "session/category_quota.h"
#include "session/score_report.h"

namespace standing {
namespace {

struct Category {
    QString name;
    int size = 0;  // questions of the exam's table in it
    int answered = 0;
    int right = 0;
};

int attemptsAt(history::HistoryStore& store, const QString& candidate, int exam) {
    const QString who = review::candidateKey(candidate);
    int attempts = 0;
    store.read([&](sqlite3* db) {
        examdb::Statement names(db,
                                QStringLiteral("SELECT candidate FROM attempt WHERE edition = ?1 "
                                               "AND exam = ?2 AND custom NOT LIKE '% ids=%'"),
                                QStringLiteral("the progress history"));
        names.bind(1,
                   QVariant(app::edition().demo ? QStringLiteral("demo") : QStringLiteral("full")));
        names.bind(2, qint64(exam));
        while (names.step()) {
            attempts += review::candidateKey(names.value(0).toString()) == who ? 1 : 0;
        }
    });
    return attempts;
}

}  // namespace

QString examName(int exam) {
    return app::edition().demo ? QStringLiteral("Exam #%1 Demo").arg(exam)
                               : QStringLiteral("Exam #%1").arg(exam);
}

std::optional<ExamReadiness> readinessFor(const QString& candidate, int exam) {
    ExamReadiness readiness;
    readiness.exam = exam;
    try {
        history::HistoryStore* store = history::store();
        if (!store) {
            return std::nullopt;
        }
        readiness.attempts = attemptsAt(*store, candidate, exam);
        if (readiness.attempts == 0) {
            return std::nullopt;
        }
        const app::Edition& edition = app::edition();
        examdb::Database bank = examdb::Database::open(edition.databaseFile);
        const QString bankName = session::bankName(bank);
        // The exam's categories as its table holds them: the blueprint of a new draw.
        std::map<qint64, Category> categories;
        QHash<qint64, qint64> categoryOf;
        examdb::Statement questions =
            bank.prepare(QStringLiteral("SELECT ID, catID, cat_desc FROM %1")
                             .arg(examdb::statements::examTable(exam)));
        while (questions.step()) {
            Category& c = categories[questions.integer(1)];
            c.size += 1;
            if (c.name.isEmpty()) {
                c.name = questions.value(2).toString().trimmed();
            }
            categoryOf.insert(questions.integer(0), questions.integer(1));
        }
        std::vector<review::FirstAnswer> first;
        store->read([&](sqlite3* db) {
            first = review::firstAnswers(db, {candidate, bankName}, exam);
        });
        // A card of a question the bank no longer holds counts for nothing.
        for (const review::FirstAnswer& f : first) {
            const auto found = categoryOf.constFind(f.question);
            if (found != categoryOf.constEnd()) {
                Category& c = categories[found.value()];
                c.answered += 1;
                c.right += f.right ? 1 : 0;
            }
        }
        std::vector<int> sizes;
        for (const auto& [id, c] : categories) {
            sizes.push_back(c.size);
        }
        const std::vector<int> blueprint = exam::shareOut(sizes, edition.questionsPerExam);
        std::vector<review::CategoryRecord> records;
        size_t n = 0;
        for (const auto& [id, c] : categories) {
            records.push_back({c.name.isEmpty() ? QStringLiteral("category %1").arg(id) : c.name,
                               blueprint[n++], c.answered, c.right});
        }
        readiness.figures = review::estimateReadiness(records, edition.passingScore);
    } catch (const examdb::Error&) {
        return std::nullopt;
    }
    return readiness;
}

QString readinessLine(const ExamReadiness& r, bool withInterval) {
    const review::Readiness& f = r.figures;
    if (!f.enough) {
        QStringList missing;
        if (f.moreAnswersNeeded > 0) {
            missing << QStringLiteral("%1 more answer%2 needed")
                           .arg(f.moreAnswersNeeded)
                           .arg(f.moreAnswersNeeded == 1 ? QString() : QStringLiteral("s"));
        }
        if (!f.unanswered.isEmpty()) {
            missing << QStringLiteral("none yet in ") + f.unanswered.join(QStringLiteral(", "));
        }
        const QString line =
            QStringLiteral("Not enough answers yet to estimate ") + examName(r.exam);
        if (missing.isEmpty()) {
            return line + u'.';
        }
        return line + QStringLiteral(": ") + missing.join(QStringLiteral("; ")) + u'.';
    }
    QString line = QStringLiteral(
                       "Estimated chance to pass %1: %2 (from %3 attempt%4; %5 first "
                       "answers)")
                       .arg(examName(r.exam), review::chanceText(f.chance))
                       .arg(r.attempts)
                       .arg(r.attempts == 1 ? QString() : QStringLiteral("s"))
                       .arg(f.firstAnswers);
    if (withInterval) {
        line += QStringLiteral("; a new draw would likely score %1–%2")
                    .arg(f.lowScore)
                    .arg(f.highScore);
    }
    return line;
}

}  // namespace standing
