#include "session/fixed_draw.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <unordered_set>
#include <vector>

#include "examdb/transaction.h"
#include "session/attempt_store.h"
#include "session/draw_connection.h"
#include "session/draw_random.h"

namespace session {
namespace {

// Fewer candidates than this share of a draw were real IDs: the bank's IDs are too sparse for
// drawing by candidate, and reading every ID is quicker.
constexpr double kLeastHitRate = 0.125;

// A kept statement is reset however its use ends, so that it holds no lock afterwards.
class InUse {
public:
    explicit InUse(examdb::Statement& statement) : statement_(statement) {}
    ~InUse() { statement_.reset(); }
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;

private:
    examdb::Statement& statement_;
};

struct IdRange {
    qint64 lowest = 0;
    qint64 highest = 0;
    bool empty = true;
};

IdRange idRangeOf(examdb::Statement& bounds) {
    const InUse use(bounds);
    if (!bounds.step() || bounds.value(0).isNull()) {
        return {};
    }
    return {bounds.integer(0), bounds.integer(1), false};
}

// One pass over the IDs: only IDs that exist can be drawn, so gaps cost nothing and the
// draw never loops on numbers no row carries. Their order does not matter to the shuffle.
std::vector<qint64> existingIds(examdb::Statement& table) {
    const InUse use(table);
    std::vector<qint64> ids;
    while (table.step()) {
        ids.push_back(table.integer(0));
    }
    return ids;
}

std::mt19937_64& generator() {
    return exam::drawGenerator();
}

// A few questions of a big bank: random numbers between the lowest and highest ID, each
// kept when a row carries it and it was not drawn before. Taken in the order made, that is a
// uniform draw without reading the bank. Empty when the IDs turn out too sparse for it, or
// too few for the draw.
std::vector<qint64> drawByCandidates(examdb::Statement& has, const IdRange& range, qint32 count) {
    std::uniform_int_distribution<qint64> candidate(range.lowest, range.highest);
    std::vector<qint64> drawn;
    std::unordered_set<qint64> taken;
    drawn.reserve(size_t(count));
    qint64 made = 0;
    while (qint32(drawn.size()) < count) {
        const qint64 c = candidate(generator());
        ++made;
        bool exists = false;
        {
            const InUse use(has);
            has.bind(1, c);
            exists = has.step();
        }
        if (exists && taken.insert(c).second) {
            drawn.push_back(c);
        } else if (made > 64 && double(drawn.size()) < kLeastHitRate * double(made)) {
            return {};
        }
    }
    return drawn;
}

// Partial Fisher-Yates: position i takes a uniform pick among the IDs not yet drawn.
std::vector<qint64> drawByShuffle(std::vector<qint64> ids, qint32 count) {
    for (qint32 i = 0; i < count; ++i) {
        std::uniform_int_distribution<size_t> pick(size_t(i), ids.size() - 1);
        std::swap(ids[size_t(i)], ids[pick(generator())]);
    }
    ids.resize(size_t(count));
    return ids;
}

void run(examdb::Statement& statement) {
    const InUse use(statement);
    statement.step();
}

}  // namespace

bool drawFixed(exam::DrawConnection& connection, int exam, const QString& candidate, qint32 count) {
    exam::DrawStatements& statements = connection.statements(exam);
    exam::AttemptStatements& attempt = connection.attemptStatements();
    examdb::Transaction transaction(connection.database());
    run(statements.clearDraw);
    // Marks left behind by a program that ended before its score sheet was left would
    // otherwise count as this candidate's answers.
    run(statements.clearMarks);
    // The exam this draw replaces can no longer be taken up again.
    run(attempt.create);
    run(attempt.clear);

    // Drawing by candidates pays off while most of them hit a new question, and needs no count
    // of the bank; a large share of the bank is quicker shuffled.
    std::vector<qint64> drawn;
    const IdRange range = idRangeOf(statements.bounds);
    // Unsigned: the distance between the extreme IDs a file can hold does not fit a qint64.
    const quint64 span = quint64(range.highest) - quint64(range.lowest);
    if (!range.empty && count > 0 && quint64(count) <= span / 4 + 1) {
        drawn = drawByCandidates(statements.has, range, count);
    }
    if (qint32(drawn.size()) < count) {
        std::vector<qint64> ids = existingIds(statements.ids);
        if (qint64(count) > qint64(ids.size())) {
            transaction.commit();
            return false;
        }
        drawn = drawByShuffle(std::move(ids), count);
    }
    for (size_t i = 0; i < drawn.size(); ++i) {
        const InUse use(statements.insert);
        statements.insert.bind(1, qint64(i) + 1);
        statements.insert.bind(2, drawn[i]);
        statements.insert.step();
    }
    {
        const InUse use(attempt.begin);
        exam::attempt::bindBegin(attempt.begin, exam, candidate, count);
        attempt.begin.step();
    }
    transaction.commit();
    return true;
}

}  // namespace session
