#include "exam/module3.h"

#include <chrono>
#include <random>
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

// One pass over the table: only IDs that exist can be drawn, so gaps cost nothing and the
// draw never loops on numbers no row carries.
std::vector<qint64> existingIds(examdb::Database& db, int exam) {
    examdb::Recordset table =
        db.openRecordset(examdb::statements::examTable(exam), examdb::RecordsetType::Table);
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

}  // namespace

void DrawRandomQuestions(qint32 count) {
    const int exam = drawnExam();
    examdb::Database db = examdb::Database::open(app::edition().databaseFile);
    examdb::Transaction transaction(db);
    db.execute(examdb::statements::d1());
    // Marks left behind by a program that ended before its score sheet was left would
    // otherwise count as this candidate's answers.
    db.execute(examdb::statements::s8(exam));

    std::vector<qint64> ids = existingIds(db, exam);
    if (count > qint64(ids.size())) {
        transaction.commit();
        db.close();
        prompts::MsgBox(QStringLiteral("Request is greated than the total number of records."));
        return;
    }

    examdb::Recordset drawn = db.openRecordset(QStringLiteral("tblrandom"));
    const int slField = drawn.fieldIndex(QStringLiteral("sl_no"));
    const int idField = drawn.fieldIndex(QStringLiteral("ID"));
    std::mt19937_64 generator = freshGenerator();
    // Partial Fisher-Yates: position i takes a uniform pick among the IDs not yet drawn.
    for (qint32 i = 0; i < count; ++i) {
        std::uniform_int_distribution<size_t> pick(size_t(i), ids.size() - 1);
        std::swap(ids[size_t(i)], ids[pick(generator)]);
        drawn.addNew();
        drawn.setValue(slField, qlonglong(i) + 1);
        drawn.setValue(idField, qlonglong(ids[size_t(i)]));
        drawn.update();
    }
    drawn.close();
    transaction.commit();
}
