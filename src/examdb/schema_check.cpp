#include "examdb/schema_check.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include "examdb/error.h"
#include "examdb/statement.h"

namespace examdb {
namespace {

QStringList numbered(const QString& stem) {
    QStringList names;
    for (int i = 1; i <= 5; ++i) {
        names << stem + QString::number(i);
    }
    return names;
}

QStringList examColumns() {
    return QStringList{QStringLiteral("ID"), QStringLiteral("catID"), QStringLiteral("cat_desc"),
                       QStringLiteral("question")} +
           numbered(QStringLiteral("answer")) + numbered(QStringLiteral("correctanswer")) +
           QStringList{QStringLiteral("explanation"), QStringLiteral("question_type"),
                       QStringLiteral("diagram1")};
}

QStringList keyColumns() {
    return QStringList{QStringLiteral("ID"), QStringLiteral("question")} +
           numbered(QStringLiteral("answer")) + numbered(QStringLiteral("correctanswer")) +
           QStringList{QStringLiteral("explanation"), QStringLiteral("diagram1"),
                       QStringLiteral("question_type")};
}

std::vector<TableRequirement> buildRequirements() {
    std::vector<TableRequirement> tables;
    tables.push_back(
        {QStringLiteral("cat"), {QStringLiteral("sl_no"), QStringLiteral("cat_desc")}, 0, {}});
    for (int exam = 1; exam <= 3; ++exam) {
        tables.push_back({QStringLiteral("exam%1").arg(exam), examColumns(), 0, {}});
        tables.push_back({QStringLiteral("exam%1%1").arg(exam), keyColumns(), 0, {}});
    }
    tables.push_back(
        {QStringLiteral("tblRandom"), {QStringLiteral("sl_no"), QStringLiteral("ID")}, 0, {}});
    tables.push_back({QStringLiteral("showans"), {}, 2, {{1, QStringLiteral("id")}}});
    tables.push_back({QStringLiteral("cat_scores"),
                      {QStringLiteral("Cat_correct"), QStringLiteral("cat_scores")},
                      5,
                      {}});
    tables.push_back({QStringLiteral("Test Information"),
                      {QStringLiteral("test_name"), QStringLiteral("number_of_questions"),
                       QStringLiteral("test_disclaimer"), QStringLiteral("test_description"),
                       QStringLiteral("copyright_date"), QStringLiteral("author_name")},
                      0,
                      {}});
    return tables;
}

QStringList columnsOf(sqlite3* db, const QString& table, const QString& fileLabel) {
    Statement info(db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"), fileLabel);
    info.bind(1, table);
    QStringList columns;
    while (info.step()) {
        columns << info.value(0).toString();
    }
    return columns;
}

bool containsNoCase(const QStringList& names, const QString& name) {
    return names.contains(name, Qt::CaseInsensitive);
}

}  // namespace

const std::vector<TableRequirement>& requiredTables() {
    static const std::vector<TableRequirement> tables = buildRequirements();
    return tables;
}

void checkSchema(sqlite3* db, const QString& fileLabel) {
    for (const TableRequirement& req : requiredTables()) {
        const QStringList columns = columnsOf(db, req.table, fileLabel);
        if (columns.isEmpty()) {
            throw Error(errc::TableNotFound,
                        QStringLiteral("Cannot find the input table '%1' in '%2'.")
                            .arg(req.table, fileLabel));
        }
        for (const QString& column : req.columns) {
            if (!containsNoCase(columns, column)) {
                throw Error(errc::ItemNotFound,
                            QStringLiteral("Item not found in this collection: column '%1' of "
                                           "table '%2' in '%3'.")
                                .arg(column, req.table, fileLabel));
            }
        }
        if (columns.size() < req.minColumns) {
            throw Error(errc::ItemNotFound,
                        QStringLiteral("Item not found in this collection: table '%1' in '%2' "
                                       "has %3 columns, needs at least %4.")
                            .arg(req.table, fileLabel)
                            .arg(columns.size())
                            .arg(req.minColumns));
        }
        for (const auto& [position, name] : req.named) {
            if (position >= columns.size() ||
                columns.at(position).compare(name, Qt::CaseInsensitive) != 0) {
                throw Error(errc::ItemNotFound,
                            QStringLiteral("Item not found in this collection: column '%1' at "
                                           "position %2 of table '%3' in '%4'.")
                                .arg(name)
                                .arg(position)
                                .arg(req.table, fileLabel));
            }
        }
    }
}

void checkSchemaCached(sqlite3* db, const QString& canonicalPath, const QString& fileLabel) {
    static QMutex mutex;
    static QSet<QString> checked;
    const QFileInfo info(canonicalPath);
    const QString key = canonicalPath + QLatin1Char('|') +
                        QString::number(info.lastModified().toMSecsSinceEpoch()) +
                        QLatin1Char('|') + QString::number(info.size());
    {
        const QMutexLocker lock(&mutex);
        if (checked.contains(key)) {
            return;
        }
    }
    checkSchema(db, fileLabel);
    const QMutexLocker lock(&mutex);
    checked.insert(key);
}

}  // namespace examdb
