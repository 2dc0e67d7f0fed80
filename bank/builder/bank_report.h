#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "bank_fairness.h"
#include "import_model.h"
#include "stem_similarity.h"

namespace bank {

// How fair a bank is: per exam, then the stems asked twice.
struct BankReport {
    QList<ExamFairness> exams;
    AlikeFindings alike;

    QStringList warnings() const;  // each ready to print after "warning: "
    QStringList lines() const;     // the whole report, warnings last
};

BankReport reportOn(const QList<FairExam>& exams);

// Reads the key tables of a database file (exam1 is read from exam11, and so on) without
// writing anything. A missing, unreadable or non-bank file is refused with a SourceError
// that names the file and the reason.
QList<FairExam> readBankExams(const QString& database);

// The bank's name from its test information, as results sent to a record store are filed
// under; empty when it has none. Refused like readBankExams.
QString readBankName(const QString& database);

// The questions an import accepted, numbered in file order as the written sources number them.
QList<FairExam> importedExams(const QList<ImportedFile>& files);

}  // namespace bank
