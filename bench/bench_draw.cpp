// The random draw against two references measured in the same run: the draw written literally
// (a random candidate, a seek and a search of the draw so far per try, one committed insert per
// accepted row) and the storage floor (the same rows inserted in one transaction).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <numeric>
#include <random>
#include <vector>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "bench_bank.h"
#include "exam/random_draw.h"
#include "examdb/database.h"
#include "laps.h"
#include "session/custom_draw.h"

namespace {

void prepared(sqlite3* db, const char* sql, sqlite3_stmt** stmt) {
    if (sqlite3_prepare_v2(db, sql, -1, stmt, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

void literalDraw(sqlite3* db, int count, std::mt19937& random) {
    sqlite3_exec(db, "DELETE FROM tblRandom", nullptr, nullptr, nullptr);
    sqlite3_stmt* bounds = nullptr;
    prepared(db,
             "SELECT (SELECT ID FROM exam1 ORDER BY rowid LIMIT 1), "
             "(SELECT ID FROM exam1 ORDER BY rowid DESC LIMIT 1), (SELECT count(*) FROM exam1)",
             &bounds);
    sqlite3_step(bounds);
    const qint64 low = sqlite3_column_int64(bounds, 0);
    const qint64 high = sqlite3_column_int64(bounds, 1);
    sqlite3_finalize(bounds);

    sqlite3_stmt* seek = nullptr;
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* add = nullptr;
    prepared(db, "SELECT 1 FROM exam1 WHERE ID = ?", &seek);
    prepared(db, "SELECT 1 FROM tblRandom WHERE ID = ?", &find);  // no index: a linear search
    prepared(db, "INSERT INTO tblRandom (sl_no, ID) VALUES (?, ?)", &add);
    std::uniform_real_distribution<float> unit(0.0F, 1.0F);
    for (int i = 1; i <= count;) {
        const qint64 candidate =
            qint64(double(unit(random)) * double(high - low + 1) + double(low));
        sqlite3_bind_int64(seek, 1, candidate);
        const bool exists = sqlite3_step(seek) == SQLITE_ROW;
        sqlite3_reset(seek);
        if (!exists) {
            continue;
        }
        sqlite3_bind_int64(find, 1, candidate);
        const bool drawn = sqlite3_step(find) == SQLITE_ROW;
        sqlite3_reset(find);
        if (drawn) {
            continue;
        }
        sqlite3_bind_int(add, 1, i);
        sqlite3_bind_int64(add, 2, candidate);
        sqlite3_step(add);  // autocommit: one transaction per row
        sqlite3_reset(add);
        ++i;
    }
    sqlite3_finalize(seek);
    sqlite3_finalize(find);
    sqlite3_finalize(add);
}

void storageFloor(sqlite3* db, const std::vector<qint64>& ids) {
    sqlite3_exec(db, "DELETE FROM tblRandom", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* add = nullptr;
    prepared(db, "INSERT INTO tblRandom (sl_no, ID) VALUES (?, ?)", &add);
    for (size_t i = 0; i < ids.size(); ++i) {
        sqlite3_bind_int(add, 1, int(i + 1));
        sqlite3_bind_int64(add, 2, ids[i]);
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// Arguments: bank size, draw count, ID step (2 leaves a gap after every ID).
void BM_Draw(benchmark::State& state) {
    BenchBank bank(int(state.range(0)), int(state.range(2)));
    app::setEdition(app::fullEdition());
    ExamSettings.ActiveExam = 1;
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { DrawRandomQuestions(qint32(state.range(1))); });
    }
    laps.report(state);
}

void BM_LiteralDraw(benchmark::State& state) {
    BenchBank bank(int(state.range(0)), int(state.range(2)));
    std::mt19937 random(42);
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { literalDraw(bank.handle(), int(state.range(1)), random); });
    }
    laps.report(state);
}

void BM_StorageFloor(benchmark::State& state) {
    BenchBank bank(int(state.range(0)), int(state.range(2)));
    std::vector<qint64> ids(size_t(state.range(1)));
    std::iota(ids.begin(), ids.end(), 1);
    for (qint64& id : ids) {
        id = 1 + (id - 1) * state.range(2);
    }
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { storageFloor(bank.handle(), ids); });
    }
    laps.report(state);
}

// A custom exam: count questions from the first `categories` of the bank's ten categories.
void BM_CustomDraw(benchmark::State& state) {
    BenchBank bank(int(state.range(0)));
    examdb::Database db = examdb::Database::open(bank.path());
    exam::CustomDraw draw{1, {}, int(state.range(1)), {}, {}, {}};
    for (int c = 0; c < state.range(2); ++c) {
        draw.categories.push_back(c);
    }
    Laps laps;
    for (auto _ : state) {
        laps.time(state, [&] { benchmark::DoNotOptimize(exam::drawCustom(db, draw)); });
    }
    laps.report(state);
}

void drawSizes(benchmark::internal::Benchmark* b) {
    b->Args({116, 116, 1})->Args({10000, 116, 1})->Args({100000, 116, 1});
    b->Args({10000, 10000, 1})->Args({100000, 100000, 1});
    b->Args({116, 116, 2})->Args({10000, 10000, 2});
    // A fixed count, so that each bank is built once.
    b->ArgNames({"bank", "count", "idstep"})->Unit(benchmark::kMillisecond);
    b->UseManualTime()->Iterations(10);
}

void literalSizes(benchmark::internal::Benchmark* b) {
    b->Args({116, 116, 1})->Args({10000, 116, 1})->Args({10000, 10000, 1})->Args({116, 116, 2});
    b->ArgNames({"bank", "count", "idstep"})->Unit(benchmark::kMillisecond);
    b->UseManualTime()->Iterations(3);
}

}  // namespace

BENCHMARK(BM_Draw)->Apply(drawSizes);
BENCHMARK(BM_StorageFloor)->Apply(drawSizes);
BENCHMARK(BM_LiteralDraw)->Apply(literalSizes);
BENCHMARK(BM_CustomDraw)
    ->Args({100000, 20, 3})
    ->Args({100000, 20, 10})
    ->Args({10000, 20, 1})
    ->ArgNames({"bank", "count", "categories"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(15);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
