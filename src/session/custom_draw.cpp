#include "session/custom_draw.h"

#include <algorithm>
#include <random>

#include "examdb/statement.h"
#include "examdb/statements.h"
#include "examdb/transaction.h"
#include "session/attempt_store.h"
#include "session/category_quota.h"
#include "session/draw_random.h"

namespace exam {
namespace {

namespace s = examdb::statements;

std::mt19937_64& generator() {
    return drawGenerator();
}

QString idsOfCategory(int exam) {
    return QStringLiteral("SELECT ID FROM %1 WHERE catID = ?1").arg(s::examTable(exam));
}

std::vector<qint64> idsOf(examdb::Statement& query, int category) {
    query.reset();
    query.bind(1, qint64(category));
    std::vector<qint64> ids;
    while (query.step()) {
        ids.push_back(query.integer(0));
    }
    query.reset();
    return ids;
}

void run(examdb::Database& db, const QString& sql) {
    examdb::Statement statement = db.prepare(sql);
    statement.step();
}

}  // namespace

std::vector<int> categorySizes(examdb::Database& db, const CustomDraw& draw) {
    examdb::Statement query = db.prepare(
        QStringLiteral("SELECT count(*) FROM %1 WHERE catID = ?1").arg(s::examTable(draw.exam)));
    std::vector<int> sizes;
    for (int category : draw.categories) {
        query.reset();
        query.bind(1, qint64(category));
        sizes.push_back(query.step() ? int(query.integer(0)) : 0);
    }
    return sizes;
}

namespace {

// The questions of ids the exam's table holds, in the order given.
std::vector<qint64> presentOf(examdb::Database& db, int exam, const std::vector<qint64>& ids) {
    examdb::Statement query =
        db.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE ID = ?1").arg(s::examTable(exam)));
    std::vector<qint64> present;
    for (qint64 id : ids) {
        query.reset();
        query.bind(1, id);
        if (query.step()) {
            present.push_back(id);
        }
    }
    return present;
}

// count questions from the chosen categories, each its share; false when they hold too few.
bool drawFromCategories(examdb::Database& db, const CustomDraw& draw, std::vector<qint64>& drawn) {
    examdb::Statement query = db.prepare(idsOfCategory(draw.exam));
    std::vector<std::vector<qint64>> pools;
    std::vector<int> sizes;
    for (int category : draw.categories) {
        pools.push_back(idsOf(query, category));
        sizes.push_back(int(pools.back().size()));
    }
    qint64 available = 0;
    for (int size : sizes) {
        available += size;
    }
    if (draw.count <= 0 || draw.count > available) {
        return false;
    }
    const std::vector<int> shares = shareOut(sizes, draw.count);
    drawn.reserve(size_t(draw.count));
    for (size_t c = 0; c < pools.size(); ++c) {
        std::vector<qint64>& ids = pools[c];
        // Partial Fisher-Yates: a uniform pick without repeats from this category.
        for (int i = 0; i < shares[c]; ++i) {
            std::uniform_int_distribution<size_t> pick(size_t(i), ids.size() - 1);
            std::swap(ids[size_t(i)], ids[pick(generator())]);
            drawn.push_back(ids[size_t(i)]);
        }
    }
    // Categories mixed, as in a fixed exam.
    std::shuffle(drawn.begin(), drawn.end(), generator());
    return true;
}

}  // namespace

int drawCustom(examdb::Database& db, const CustomDraw& draw) {
    examdb::Transaction transaction(db);
    run(db, s::d1());
    run(db, s::s8Marked(draw.exam));
    // The exam this draw replaces can no longer be taken up again.
    run(db, attempt::createSql());
    run(db, attempt::clearSql());
    std::vector<qint64> drawn;
    if (!draw.ids.empty()) {
        drawn = presentOf(db, draw.exam, draw.ids);
        if (draw.count != int(draw.ids.size()) || drawn.size() != draw.ids.size()) {
            transaction.commit();
            return 0;
        }
    } else if (!drawFromCategories(db, draw, drawn)) {
        transaction.commit();
        return 0;
    }
    examdb::Statement insert = db.prepare(s::drawInsert());
    for (size_t i = 0; i < drawn.size(); ++i) {
        insert.reset();
        insert.bind(1, qint64(i) + 1);
        insert.bind(2, drawn[i]);
        insert.step();
    }
    insert.reset();
    examdb::Statement begin = db.prepare(attempt::beginSql());
    attempt::bindBegin(begin, draw.exam, draw.candidate, draw.count);
    begin.step();
    begin.reset();
    attempt::saveCustom(db, draw.settings);
    transaction.commit();
    return int(drawn.size());
}

}  // namespace exam
