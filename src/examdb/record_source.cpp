#include "examdb/record_source.h"

#include <QHash>

#include "examdb/connection.h"
#include "examdb/dialect.h"
#include "examdb/error.h"
#include "examdb/query_shape.h"
#include "examdb/sql_lexer.h"

namespace examdb {
namespace {

bool isSelect(const QString& sql) {
    const auto tokens = sql::tokenize(sql);
    for (const sql::Token& t : tokens) {
        if (sql::isSignificant(t)) {
            return sql::isWord(sql, t, u"select");
        }
    }
    return false;
}

QString bareName(const QString& source) {
    const QString s = source.trimmed();
    if (s.size() >= 2 && ((s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']'))) ||
                          (s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'))))) {
        return s.mid(1, s.size() - 2);
    }
    return s;
}

// The table's name as declared, found without regard to case.
QString declaredTable(const Connection& connection, const QString& name) {
    Statement find = connection.prepare(QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
    find.bind(1, name);
    if (!find.step()) {
        throw Error(errc::TableNotFound, QStringLiteral("Cannot find the input table '%1' in '%2'.")
                                             .arg(name, connection.label()));
    }
    return find.value(0).toString();
}

QString integerPrimaryKey(const Connection& connection, const QString& table) {
    Statement info = connection.prepare(
        QStringLiteral("SELECT name, type FROM pragma_table_info(?1) WHERE pk > 0"));
    info.bind(1, table);
    QString key;
    int keys = 0;
    while (info.step()) {
        ++keys;
        if (info.value(1).toString().compare(u"INTEGER", Qt::CaseInsensitive) == 0) {
            key = info.value(0).toString();
        }
    }
    return keys == 1 ? key : QString();
}

QString text(const char* utf8) {
    return utf8 == nullptr ? QString() : QString::fromUtf8(utf8);
}

}  // namespace

QString quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QueryPlan runQuery(const Connection& connection, const QString& source, RecordsetType type,
                   RowStore& rows) {
    QueryPlan plan;
    QString sql = toSqlite(source);
    const bool statement = isSelect(sql);
    if (statement && type == RecordsetType::Table) {
        throw Error(errc::NotSupported,
                    QStringLiteral("Operation is not supported for this type of object: a "
                                   "table record set needs a table name, not '%1'.")
                        .arg(source));
    }
    if (!statement) {
        const QString table = declaredTable(connection, bareName(source));
        sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quoteName(table));
        if (type == RecordsetType::Table) {
            plan.primaryKey = integerPrimaryKey(connection, table);
        }
    }

    const QueryShape shape = analyseSelect(sql);
    plan.sql = shape.rowsMapToTables ? withRowids(sql, shape) : sql;
    Statement query = connection.prepare(plan.sql);
    sqlite3_stmt* s = query.handle();
    const int total = query.columnCount();
    const int hidden = shape.rowsMapToTables ? int(shape.sources.size()) : 0;
    plan.visibleCount = total - hidden;

    // Hidden rowid slot per table; a table read twice (self-join) has no unambiguous row.
    QHash<QString, int> slotOf;
    for (int k = 0; k < hidden; ++k) {
        const QString table = text(sqlite3_column_table_name(s, plan.visibleCount + k)).toLower();
        slotOf.insert(table, slotOf.contains(table) ? -1 : plan.visibleCount + k);
    }
    if (hidden == 1 && !slotOf.isEmpty() && slotOf.begin().value() >= 0) {
        plan.table = text(sqlite3_column_table_name(s, plan.visibleCount));
    }

    std::vector<ColumnInfo> columns;
    columns.reserve(size_t(plan.visibleCount));
    for (int i = 0; i < plan.visibleCount; ++i) {
        ColumnInfo c;
        c.name = text(sqlite3_column_name(s, i));
        c.table = text(sqlite3_column_table_name(s, i));
        c.origin = text(sqlite3_column_origin_name(s, i));
        c.declType = text(sqlite3_column_decltype(s, i));
        c.rowidSlot = c.table.isEmpty() ? -1 : slotOf.value(c.table.toLower(), -1);
        columns.push_back(c);
    }
    std::vector<std::pair<QString, QString>> aliases;
    for (const QueryShape::Source& src : shape.sources) {
        if (!src.alias.isEmpty()) {
            aliases.emplace_back(src.alias, src.table);
        }
    }
    plan.fields = FieldLookup(std::move(columns), std::move(aliases));

    rows.clear();
    while (query.step()) {
        RowStore::Row row;
        row.reserve(size_t(total));
        for (int i = 0; i < total; ++i) {
            row.push_back(query.value(i));
        }
        rows.append(std::move(row));
    }
    return plan;
}

}  // namespace examdb
