#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "bank_fairness.h"
#include "response_source.h"

namespace bank {

struct ItemsOptions {
    int minAttempts = 30;  // fewer give "too few attempts" instead of figures
};

// The item analysis of every exam of a bank from the attempts its sources hold.
struct ItemsReport {
    QStringList lines;    // the report as printed
    QStringList csv;      // the per-question table, a header and a row per question
    QStringList skipped;  // each source or attempt left out, with why
    QStringList summary;  // a line per exam: attempts, reliability, questions flagged
};

// Reads every source twice (counting, then the upper and lower groups). A source that cannot
// be read throws SourceError.
ItemsReport itemsReport(const QString& database, const QList<FairExam>& exams,
                        const std::vector<ResponseSource>& sources, const ItemsOptions& options);

// "full" or "demo", as the bank's file name or its test information says.
QString bankEdition(const QString& database);

}  // namespace bank
