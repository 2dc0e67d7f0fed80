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

// A text box lays out a long unbroken text in time that grows faster than its length; past
// this many characters (what a form's text box holds) a window would stop answering.
constexpr int kLongestText = 65535;

QString firstValue(sqlite3* db, const QString& sql, const QString& fileLabel) {
    Statement query(db, sql, fileLabel);
    return query.step() ? query.value(0).toString() : QString();
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// An INTEGER PRIMARY KEY named ID is the row id: whole numbers, never repeated.
bool idIsRowKey(sqlite3* db, const QString& table, const QString& fileLabel) {
    Statement keys(
        db, QStringLiteral("SELECT name, upper(type) FROM pragma_table_info(?1) WHERE pk > 0"),
        fileLabel);
    keys.bind(1, table);
    int count = 0;
    bool idKey = false;
    while (keys.step()) {
        ++count;
        idKey = keys.value(0).toString().compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0 &&
                keys.value(1).toString() == QLatin1String("INTEGER");
    }
    return count == 1 && idKey;
}

// The largest row of a table in bytes, taken from the page headers without decoding a row;
// -1 where this SQLite lacks the page statistics or cannot tell.
qint64 largestRowBytes(sqlite3* db, const QString& table) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT max(mx_payload) FROM dbstat WHERE name = ?1 AND aggregate = 1",
                           -1, &raw, nullptr) != SQLITE_OK) {
        return -1;
    }
    const StatementHandle stats(raw);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(raw, 1, name.constData(), int(name.size()), SQLITE_STATIC);
    if (sqlite3_step(raw) != SQLITE_ROW || sqlite3_column_type(raw, 0) != SQLITE_INTEGER) {
        return -1;
    }
    return sqlite3_column_int64(raw, 0);
}

bool anyRuleBroken(sqlite3* db, const TableRequirement& req, const QString& fileLabel) {
    const bool questions = req.table.startsWith(QLatin1String("exam"));
    // A row key is a whole number and never repeats; any other ID takes the queries that
    // name the fault.
    if (questions && !idIsRowKey(db, req.table, fileLabel)) {
        return true;
    }
    QStringList broken;
    if (questions && req.table.size() == 6) {
        for (int n = 1; n <= 5; ++n) {
            broken << QStringLiteral(
                          "NOT (typeof(correctanswer%1) = 'integer' AND correctanswer%1 IN (0, 1))")
                          .arg(n);
        }
    }
    // No text is longer in characters than its row is in bytes, so rows that all fit spare
    // reading every text.
    const qint64 largest = largestRowBytes(db, req.table);
    if (largest < 0 || largest > kLongestText) {
        for (const QString& column : req.columns) {
            broken << QStringLiteral("(typeof(%1) = 'text' AND length(%1) > %2)")
                          .arg(quoted(column))
                          .arg(kLongestText);
        }
    }
    if (broken.isEmpty()) {
        return false;
    }
    return !firstValue(db,
                       QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1")
                           .arg(quoted(req.table), broken.join(QLatin1String(" OR "))),
                       fileLabel)
                .isEmpty();
}

// Rows a hand-edited bank can hold that the tables' definitions do not forbid, and that would
// score an exam wrongly or freeze a window: IDs that are missing or repeated, keys that are
// not Yes/No, texts too long to show.
void checkContents(sqlite3* db, const QString& fileLabel) {
    const auto fail = [&](const QString& table, const QString& problem) {
        throw Error(errc::ConversionError,
                    QStringLiteral("The question bank in '%1' is damaged: table '%2' %3.")
                        .arg(fileLabel, table, problem));
    };
    for (const TableRequirement& req : requiredTables()) {
        const bool questions = req.table.startsWith(QLatin1String("exam"));
        const QString table = quoted(req.table);
        // Sound files are the rule: one scan settles every rule at once, and the queries below,
        // one per rule, run only to name what that scan found.
        if (!anyRuleBroken(db, req, fileLabel)) {
            continue;
        }
        if (questions) {
            if (firstValue(db,
                           QStringLiteral("SELECT count(*) FROM %1 WHERE typeof(ID) <> 'integer'")
                               .arg(table),
                           fileLabel)
                    .toLongLong() > 0) {
                fail(req.table, QStringLiteral("has a question without a whole-number ID"));
            }
            const QString repeated = firstValue(
                db,
                QStringLiteral("SELECT ID FROM %1 GROUP BY ID HAVING count(*) > 1 LIMIT 1")
                    .arg(table),
                fileLabel);
            if (!repeated.isEmpty()) {
                fail(req.table,
                     QStringLiteral("has more than one question with ID %1").arg(repeated));
            }
        }
        // Key tables: examNN. The exam tables' own Yes/No columns are the candidate's, cleared
        // by every draw.
        if (questions && req.table.size() == 6) {
            for (int n = 1; n <= 5; ++n) {
                const QString column = QStringLiteral("correctanswer%1").arg(n);
                const QString bad = firstValue(
                    db,
                    QStringLiteral("SELECT 'ID ' || quote(ID) || ' holds ' || quote(%2) FROM %1 "
                                   "WHERE NOT (typeof(%2) = 'integer' AND %2 IN (0, 1)) LIMIT 1")
                        .arg(table, column),
                    fileLabel);
                if (!bad.isEmpty()) {
                    fail(req.table, QStringLiteral("column '%1': %2 where only Yes or No belongs")
                                        .arg(column, bad));
                }
            }
        }
        for (const QString& column : req.columns) {
            const QString c = quoted(column);
            const QString tooLong =
                firstValue(db,
                           QStringLiteral("SELECT quote(rowid) || ' holds ' || length(%2) FROM %1 "
                                          "WHERE typeof(%2) = 'text' AND length(%2) > %3 LIMIT 1")
                               .arg(table, c)
                               .arg(kLongestText),
                           fileLabel);
            if (!tooLong.isEmpty()) {
                fail(req.table, QStringLiteral("column '%1': row %2 characters, more than the %3 "
                                               "a window can show")
                                    .arg(column, tooLong)
                                    .arg(kLongestText));
            }
        }
    }
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
    checkContents(db, fileLabel);
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
