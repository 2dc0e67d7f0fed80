#include "exam/module3.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <unordered_set>
#include <vector>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/prompts.h"
#include "examdb/database.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"

namespace {

// The demo bank holds exam 1 only.
int drawnExam() {
    return app::edition().demo ? 1 : ExamSettings.ActiveExam;
}

// Fewer candidates than this share of a draw were real IDs: the bank's IDs are too sparse for
// drawing by candidate, and reading every ID is quicker.
constexpr double kLeastHitRate = 0.125;

struct Bank {
    qint64 lowest = 0;
    qint64 highest = 0;
    qint64 rows = 0;
};

Bank bankOf(examdb::Database& db, int exam) {
    examdb::Recordset set = db.openRecordset(examdb::statements::drawBounds(exam));
    return {set.value(0).toLongLong(), set.value(1).toLongLong(), set.value(2).toLongLong()};
}

// One pass over the IDs: only IDs that exist can be drawn, so gaps cost nothing and the
// draw never loops on numbers no row carries. Their order does not matter to the shuffle.
std::vector<qint64> existingIds(examdb::Database& db, int exam) {
    examdb::Recordset table = db.openRecordset(examdb::statements::drawIds(exam));
    std::vector<qint64> ids;
    ids.reserve(size_t(table.recordCount()));
    if (table.recordCount() == 0) {
        return ids;
    }
    const int idField = table.fieldIndex(QStringLiteral("ID"));
    for (table.moveFirst(); !table.eof(); table.moveNext()) {
        ids.push_back(table.value(idField).toLongLong());
    }
    return ids;
}

std::mt19937_64 freshGenerator() {
    std::random_device device;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{std::uint64_t(now), std::uint64_t(now) >> 32, std::uint64_t(device()),
                       std::uint64_t(device())};
    return std::mt19937_64(seed);
}

// A few questions of a big bank: random numbers between the lowest and highest ID, each
// kept when a row carries it and it was not drawn before. Taken in the order made, that is a
// uniform draw without reading the bank. Empty when the IDs turn out too sparse for it.
std::vector<qint64> drawByCandidates(examdb::Database& db, int exam, const Bank& bank, qint32 count,
                                     std::mt19937_64& generator) {
    std::uniform_int_distribution<qint64> candidate(bank.lowest, bank.highest);
    std::vector<qint64> drawn;
    std::unordered_set<qint64> taken;
    qint64 made = 0;
    while (qint32(drawn.size()) < count) {
        const size_t wanted = size_t(count) - drawn.size();
        std::vector<qint64> candidates(wanted * 2 + 8);
        for (qint64& c : candidates) {
            c = candidate(generator);
        }
        made += qint64(candidates.size());
        std::unordered_set<qint64> existing;
        examdb::Recordset found =
            db.openRecordset(examdb::statements::drawCandidates(exam, candidates));
        if (found.recordCount() > 0) {
            for (found.moveFirst(); !found.eof(); found.moveNext()) {
                existing.insert(found.value(0).toLongLong());
            }
        }
        for (qint64 c : candidates) {
            if (qint32(drawn.size()) < count && existing.count(c) > 0 && taken.insert(c).second) {
                drawn.push_back(c);
            }
        }
        if (double(drawn.size()) < kLeastHitRate * double(made)) {
            return {};
        }
    }
    return drawn;
}

// Partial Fisher-Yates: position i takes a uniform pick among the IDs not yet drawn.
std::vector<qint64> drawByShuffle(examdb::Database& db, int exam, qint32 count,
                                  std::mt19937_64& generator) {
    std::vector<qint64> ids = existingIds(db, exam);
    for (qint32 i = 0; i < count; ++i) {
        std::uniform_int_distribution<size_t> pick(size_t(i), ids.size() - 1);
        std::swap(ids[size_t(i)], ids[pick(generator)]);
    }
    ids.resize(size_t(count));
    return ids;
}

}  // namespace

void DrawRandomQuestions(qint32 count) {
    const int exam = drawnExam();
    examdb::Database db = examdb::Database::open(app::edition().databaseFile);
    examdb::Transaction transaction(db);
    db.execute(examdb::statements::d1());
    // Marks left behind by a program that ended before its score sheet was left would
    // otherwise count as this candidate's answers.
    db.execute(examdb::statements::s8Marked(exam));

    const Bank bank = bankOf(db, exam);
    if (count > bank.rows) {
        transaction.commit();
        db.close();
        prompts::MsgBox(QStringLiteral("Request is greated than the total number of records."));
        return;
    }

    std::mt19937_64 generator = freshGenerator();
    // Drawing by candidates pays off while most of them are new; a large share of the bank
    // is quicker shuffled.
    std::vector<qint64> drawn;
    if (qint64(count) * 4 <= bank.rows) {
        drawn = drawByCandidates(db, exam, bank, count, generator);
    }
    if (qint32(drawn.size()) < count) {
        drawn = drawByShuffle(db, exam, count, generator);
    }
    // Many rows to one statement: the draw costs about what storing its rows costs.
    for (size_t first = 0; first < drawn.size(); first += examdb::statements::kDrawRowsPerInsert) {
        const size_t n =
            std::min(drawn.size() - first, size_t(examdb::statements::kDrawRowsPerInsert));
        db.execute(examdb::statements::drawInsert(
            qint64(first) + 1, std::vector<qint64>(drawn.begin() + qsizetype(first),
                                                   drawn.begin() + qsizetype(first + n))));
    }
    transaction.commit();
}
