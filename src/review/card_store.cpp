#include "review/card_store.h"

#include <QDateTime>

#include "examdb/statement.h"

namespace review {
namespace {

const QString kContext = QStringLiteral("the review cards");
constexpr qint64 kDay = 86400;

const Fsrs& model() {
    static const Fsrs fsrs;
    return fsrs;
}

// Never NULL: a name or bank left empty is the empty text.
QVariant text(const QString& s) {
    return QVariant(s.isNull() ? QStringLiteral("") : s);
}

// The owner as bound: ?1 the candidate's key, ?2 the bank.
struct BoundOwner {
    explicit BoundOwner(const CardOwner& owner)
        : candidate(text(candidateKey(owner.candidate))), bank(text(owner.bank)) {}
    QVariant candidate;
    QVariant bank;
};

void bindOwner(examdb::Statement& s, const BoundOwner& owner) {
    s.bind(1, owner.candidate);
    s.bind(2, owner.bank);
}

}  // namespace

QString candidateKey(const QString& name) {
    return name.simplified().toCaseFolded();
}

Grade gradeOf(bool correct, int seconds, double averageSeconds) {
    if (!correct) {
        return Grade::Again;
    }
    return averageSeconds > 0 && seconds >= 0 && seconds < averageSeconds / 3 ? Grade::Easy
                                                                              : Grade::Good;
}

void scheduleAnswers(sqlite3* db, const CardOwner& owner, const std::vector<ScoredAnswer>& answers,
                     double averageSeconds, qint64 now) {
    examdb::Statement read(db,
                           QStringLiteral("SELECT stability, difficulty, last_review FROM "
                                          "review_card WHERE candidate = ?1 AND bank = ?2 AND "
                                          "exam = ?3 AND question_id = ?4"),
                           kContext);
    examdb::Statement update(
        db,
        QStringLiteral("UPDATE review_card SET stability = ?5, difficulty = ?6, last_review = ?7, "
                       "due = ?8, reviews = reviews + 1, lapses = lapses + ?9 WHERE candidate = "
                       "?1 AND bank = ?2 AND exam = ?3 AND question_id = ?4"),
        kContext);
    examdb::Statement insert(
        db,
        QStringLiteral("INSERT INTO review_card (candidate, bank, exam, question_id, stability, "
                       "difficulty, last_review, due, reviews, lapses, first_right) VALUES (?1, "
                       "?2, ?3, ?4, ?5, ?6, ?7, ?8, 1, ?9, ?10)"),
        kContext);
    const BoundOwner owned(owner);
    // A reset clears the bindings: each answer binds all of its own.
    for (const ScoredAnswer& a : answers) {
        const Grade grade = gradeOf(a.correct, a.seconds, averageSeconds);
        bindOwner(read, owned);
        read.bind(3, qint64(a.exam));
        read.bind(4, a.question);
        MemoryState state;
        examdb::Statement* write = &insert;
        if (read.step()) {
            const MemoryState before{sqlite3_column_double(read.handle(), 0),
                                     sqlite3_column_double(read.handle(), 1)};
            // Whole calendar days, as the model counts them; a clock set back since counts as
            // none.
            const qint64 days = QDateTime::fromSecsSinceEpoch(read.integer(2))
                                    .date()
                                    .daysTo(QDateTime::fromSecsSinceEpoch(now).date());
            state = model().next(before, double(std::max<qint64>(0, days)), grade);
            write = &update;
        } else {
            state = model().first(grade);
            insert.bind(10, qint64(a.correct ? 1 : 0));
        }
        read.reset();
        const qint64 due = now + qint64(model().intervalDays(state.stability)) * kDay;
        bindOwner(*write, owned);
        write->bind(3, qint64(a.exam));
        write->bind(4, a.question);
        write->bind(5, QVariant(state.stability));
        write->bind(6, QVariant(state.difficulty));
        write->bind(7, now);
        write->bind(8, due);
        write->bind(9, qint64(grade == Grade::Again ? 1 : 0));
        write->step();
        write->reset();
    }
}

std::vector<DueCard> dueCards(sqlite3* db, const CardOwner& owner, qint64 now, int limit,
                              int exam) {
    examdb::Statement read(db,
                           QStringLiteral("SELECT exam, question_id, due FROM review_card WHERE "
                                          "candidate = ?1 AND bank = ?2 AND due <= ?3 AND (?4 = 0 "
                                          "OR exam = ?4) ORDER BY due, exam, question_id LIMIT ?5"),
                           kContext);
    bindOwner(read, BoundOwner(owner));
    read.bind(3, now);
    read.bind(4, qint64(exam));
    read.bind(5, qint64(std::max(0, limit)));
    std::vector<DueCard> due;
    while (read.step()) {
        due.push_back({int(read.integer(0)), read.integer(1), read.integer(2)});
    }
    return due;
}

DueSummary dueSummary(sqlite3* db, const CardOwner& owner, qint64 now) {
    examdb::Statement read(db,
                           QStringLiteral("SELECT count(*) FILTER (WHERE due <= ?3), min(due) "
                                          "FILTER (WHERE due > ?3) FROM review_card WHERE "
                                          "candidate = ?1 AND bank = ?2"),
                           kContext);
    bindOwner(read, BoundOwner(owner));
    read.bind(3, now);
    DueSummary summary;
    if (read.step()) {
        summary.due = int(read.integer(0));
        if (sqlite3_column_type(read.handle(), 1) != SQLITE_NULL) {
            summary.next = read.integer(1);
        }
    }
    return summary;
}

std::vector<FirstAnswer> firstAnswers(sqlite3* db, const CardOwner& owner, int exam) {
    examdb::Statement read(db,
                           QStringLiteral("SELECT question_id, first_right FROM review_card WHERE "
                                          "candidate = ?1 AND bank = ?2 AND exam = ?3"),
                           kContext);
    bindOwner(read, BoundOwner(owner));
    read.bind(3, qint64(exam));
    std::vector<FirstAnswer> first;
    while (read.step()) {
        first.push_back({read.integer(0), read.integer(1) != 0});
    }
    return first;
}

}  // namespace review
