#include "bank_report.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "examdb/error.h"
#include "examdb/sqlite_handles.h"
#include "examdb/statement.h"
#include "input_file.h"
#include "read_only_database.h"
#include "source_fields.h"

namespace bank {

namespace {

const QStringList& keyColumns() {
    static const QStringList columns{QStringLiteral("ID"),
                                     QStringLiteral("question"),
                                     QStringLiteral("answer1"),
                                     QStringLiteral("answer2"),
                                     QStringLiteral("answer3"),
                                     QStringLiteral("answer4"),
                                     QStringLiteral("answer5"),
                                     QStringLiteral("correctanswer1"),
                                     QStringLiteral("correctanswer2"),
                                     QStringLiteral("correctanswer3"),
                                     QStringLiteral("correctanswer4"),
                                     QStringLiteral("correctanswer5"),
                                     QStringLiteral("diagram1")};
    return columns;
}

void requireKeyTable(sqlite3* db, const QString& database, const QString& table) {
    examdb::Statement info(db, QStringLiteral("SELECT lower(name) FROM pragma_table_info(?)"),
                           database);
    info.bind(1, table);
    QStringList present;
    while (info.step()) {
        present << info.value(0).toString();
    }
    if (present.isEmpty()) {
        throw SourceError(database, 0,
                          QStringLiteral("is not a question bank: table %1 is missing").arg(table));
    }
    for (const QString& column : keyColumns()) {
        if (!present.contains(column.toLower())) {
            throw SourceError(
                database, 0,
                QStringLiteral("is not a question bank: %1 has no column %2").arg(table, column));
        }
    }
}

FairExam readExam(sqlite3* db, const QString& database, int exam) {
    const QString table = QStringLiteral("exam%1").arg(exam * 11);
    requireKeyTable(db, database, table);
    FairExam out{QStringLiteral("exam%1").arg(exam), {}};
    // Any stored value other than No (0, empty) counts as a right choice, as a Yes would.
    examdb::Statement rows(
        db,
        QStringLiteral("SELECT ID, question, diagram1, answer1, answer2, answer3, answer4, "
                       "answer5, coalesce(correctanswer1, 0) NOT IN (0, ''), "
                       "coalesce(correctanswer2, 0) NOT IN (0, ''), "
                       "coalesce(correctanswer3, 0) NOT IN (0, ''), "
                       "coalesce(correctanswer4, 0) NOT IN (0, ''), "
                       "coalesce(correctanswer5, 0) NOT IN (0, '') FROM %1 ORDER BY ID")
            .arg(table),
        database);
    while (rows.step()) {
        FairQuestion q;
        q.id = rows.integer(0);
        q.stem = rows.value(1).toString();
        q.exhibit = rows.value(2).toString();
        for (int i = 0; i < kLetters; ++i) {
            q.answers << rows.value(3 + i).toString();
            q.correct << (rows.integer(3 + kLetters + i) != 0);
        }
        out.questions << q;
    }
    return out;
}

}  // namespace

QStringList BankReport::warnings() const {
    QStringList w;
    for (const ExamFairness& e : exams) {
        w << fairnessWarnings(e);
    }
    if (!alike.isEmpty()) {
        w << QStringLiteral("%1%2 pair(s) of questions ask the same or nearly the same")
                 .arg(alike.stopped ? QStringLiteral("at least ") : QString())
                 .arg(alike.count);
    }
    return w;
}

QStringList BankReport::lines() const {
    QStringList out;
    for (const ExamFairness& e : exams) {
        out << fairnessLines(e);
    }
    if (alike.isEmpty()) {
        out << QStringLiteral("same or nearly the same stems: none");
    } else if (alike.stopped) {
        out << QStringLiteral(
                   "same or nearly the same stems: at least %1 pair(s) (the search stopped "
                   "after %2 comparisons), the first %3:")
                   .arg(alike.count)
                   .arg(alike.comparisons)
                   .arg(alike.first.size());
    } else if (alike.count > alike.first.size()) {
        out << QStringLiteral("same or nearly the same stems: %1 pair(s), the first %2:")
                   .arg(alike.count)
                   .arg(alike.first.size());
    } else {
        out << QStringLiteral("same or nearly the same stems:");
    }
    for (const AlikeStems& a : alike.first) {
        out << QStringLiteral("  %1 ID %2 and %3 ID %4: %5")
                   .arg(a.examA)
                   .arg(a.idA)
                   .arg(a.examB)
                   .arg(a.idB)
                   .arg(a.percentAlike == 100 ? QStringLiteral("the same")
                                              : QStringLiteral("%1 % alike").arg(a.percentAlike));
    }
    const QStringList w = warnings();
    if (w.isEmpty()) {
        out << QStringLiteral("no warnings");
    }
    for (const QString& line : w) {
        out << QStringLiteral("warning: ") + line;
    }
    return out;
}

BankReport reportOn(const QList<FairExam>& exams) {
    BankReport report;
    for (const FairExam& exam : exams) {
        report.exams << measureExam(exam);
    }
    report.alike = findAlikeStems(exams);
    return report;
}

QList<FairExam> readBankExams(const QString& database) {
    const examdb::ConnectionHandle db = openReadOnly(database);
    // Every question is held for the figures.
    if (QFileInfo(database).size() > kMaxDatabaseBytes) {
        throw SourceError(database, 0, tooLargeReason(kMaxDatabaseBytes));
    }
    try {
        QList<FairExam> exams;
        for (int exam = 1; exam <= 3; ++exam) {
            exams << readExam(db.get(), database, exam);
        }
        return exams;
    } catch (const examdb::Error& e) {
        throw SourceError(database, 0, e.text);
    }
}

QString readBankName(const QString& database) {
    const examdb::ConnectionHandle db = openReadOnly(database);
    try {
        examdb::Statement name(db.get(),
                               QStringLiteral("SELECT test_name FROM \"Test Information\" LIMIT 1"),
                               database);
        return name.step() ? name.value(0).toString() : QString();
    } catch (const examdb::Error& e) {
        throw SourceError(database, 0, e.text);
    }
}

QList<FairExam> importedExams(const QList<ImportedFile>& files) {
    QList<FairExam> exams;
    for (int i = 0; i < files.size(); ++i) {
        FairExam exam{QStringLiteral("exam%1").arg(i + 1), {}};
        qint64 id = 0;
        for (const ImportedQuestion& imported : files[i].questions) {
            // Pictures are told apart by content: the writer names them only later.
            const QString exhibit =
                imported.picture.png.isEmpty()
                    ? QString()
                    : QString::fromLatin1(
                          QCryptographicHash::hash(imported.picture.png, QCryptographicHash::Sha1)
                              .toHex());
            exam.questions << FairQuestion{++id, imported.question, exhibit, imported.answers,
                                           imported.correct};
        }
        exams << exam;
    }
    return exams;
}

}  // namespace bank
