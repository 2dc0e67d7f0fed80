#include "examdb/record_source.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <map>
#include <memory>

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

RowStore::Row wholeRow(const Statement& query, int total) {
    RowStore::Row row;
    row.reserve(size_t(total));
    for (int i = 0; i < total; ++i) {
        row.push_back(query.value(i));
    }
    return row;
}

int eagerRows = kDefaultEagerRows;

// The statement without its closing semicolon, so that it can stand inside another.
QString withoutEnd(const QString& sql) {
    const auto tokens = sql::tokenize(sql);
    for (auto t = tokens.rbegin(); t != tokens.rend(); ++t) {
        if (sql::isSignificant(*t)) {
            return sql::isPunct(sql, *t, u";") ? sql.left(t->begin) : sql;
        }
    }
    return sql;
}

// Reads a block of rows of a keyed store by their rowids: one statement over the record set's
// own query, restricted to the block's keys in every slot, matched back by the whole key.
RowStore::Loader keyedLoader(const Connection& connection, const QString& sql, int visible,
                             int hidden) {
    QString where;
    for (int slot = 0; slot < hidden; ++slot) {
        QStringList marks;
        for (int i = 0; i < RowStore::kBlock; ++i) {
            marks << QStringLiteral("?") + QString::number(slot * RowStore::kBlock + i + 1);
        }
        where += (slot == 0 ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
                 hiddenRowidName(slot) + QStringLiteral(" IN (") + marks.join(u',') +
                 QLatin1Char(')');
    }
    auto fetch = std::make_shared<Statement>(connection.prepare(
        QStringLiteral("SELECT * FROM (\n") + withoutEnd(sql) + QStringLiteral("\n)") + where));
    return [fetch, visible, hidden](const RowStore& store, int first, int last) {
        std::vector<int> wanted;
        for (int i = first; i < last; ++i) {
            if (!store.isLoaded(i)) {
                wanted.push_back(i);
            }
        }
        if (wanted.empty()) {
            return;
        }
        // Unused places repeat a wanted key, so one prepared statement serves every block.
        for (int slot = 0; slot < hidden; ++slot) {
            for (int i = 0; i < RowStore::kBlock; ++i) {
                const int row = wanted[size_t(std::min(i, int(wanted.size()) - 1))];
                fetch->bind(slot * RowStore::kBlock + i + 1, store.key(row, slot));
            }
        }
        std::map<std::vector<qlonglong>, RowStore::Row> found;
        const int total = visible + hidden;
        while (fetch->step()) {
            RowStore::Row row = wholeRow(*fetch, total);
            std::vector<qlonglong> key;
            for (int slot = 0; slot < hidden; ++slot) {
                key.push_back(row[size_t(visible + slot)].toLongLong());
            }
            found.emplace(std::move(key), std::move(row));
        }
        fetch->reset();
        for (int i : wanted) {
            std::vector<qlonglong> key;
            for (int slot = 0; slot < hidden; ++slot) {
                key.push_back(store.key(i, slot));
            }
            auto hit = found.find(key);
            if (hit != found.end()) {
                store.setLoaded(i, hit->second);
                continue;
            }
            // Deleted since the set was opened: the row stays, its fields empty.
            RowStore::Row gone(static_cast<size_t>(total));
            for (int slot = 0; slot < hidden; ++slot) {
                gone[size_t(visible + slot)] = QVariant(key[size_t(slot)]);
            }
            store.setLoaded(i, std::move(gone));
        }
    };
}

const QueryPlan& loadWhole(const QueryPlan& plan, Statement& query, int total, RowStore& rows) {
    rows.reset(plan.visibleCount, total - plan.visibleCount);
    while (query.step()) {
        rows.append(wholeRow(query, total));
    }
    return plan;
}

QString text(const char* utf8) {
    return utf8 == nullptr ? QString() : QString::fromUtf8(utf8);
}

}  // namespace

void setEagerRowLimit(int rows) {
    eagerRows = std::max(0, rows);
}

QString quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QueryPlan runQuery(const Connection& connection, const QString& source, RowStore& rows) {
    QueryPlan plan;
    QString sql = toSqlite(source);
    if (!isSelect(sql)) {
        const QString table = declaredTable(connection, bareName(source));
        sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quoteName(table));
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

    if (!shape.rowsMapToTables || hidden == 0) {
        return loadWhole(plan, query, total, rows);
    }
    rows.reset(plan.visibleCount, hidden);

    std::vector<int> rowidFields(size_t(plan.visibleCount), -1);
    QHash<QString, QString> keyOf;
    for (int i = 0; i < plan.visibleCount; ++i) {
        const ColumnInfo& c = plan.fields.column(i);
        if (c.rowidSlot < 0) {
            continue;
        }
        const QString table = c.table.toLower();
        if (!keyOf.contains(table)) {
            keyOf.insert(table, integerPrimaryKey(connection, c.table));
        }
        if (c.origin.compare(keyOf.value(table), Qt::CaseInsensitive) == 0) {
            rowidFields[size_t(i)] = c.rowidSlot - plan.visibleCount;
        }
    }

    // Past the eager limit the same statement goes on, so the rows keep its order, but only
    // the keys are taken from it: no text of the rows is copied here.
    std::vector<qlonglong> keys(static_cast<size_t>(hidden));
    while (query.step()) {
        if (rows.count() < eagerRows) {
            rows.append(wholeRow(query, total));
            continue;
        }
        if (!rows.isKeyed()) {
            rows.makeKeyed(keyedLoader(connection, plan.sql, plan.visibleCount, hidden),
                           rowidFields);
        }
        bool complete = true;
        for (int slot = 0; slot < hidden; ++slot) {
            const int column = plan.visibleCount + slot;
            complete = complete && sqlite3_column_type(s, column) == SQLITE_INTEGER;
            keys[size_t(slot)] = sqlite3_column_int64(s, column);
        }
        if (complete) {
            rows.appendKeys(keys.data());
        } else {
            // A row without a source row (an outer join) cannot be read back by its keys.
            rows.append(wholeRow(query, total));
        }
    }
    return plan;
}

}  // namespace examdb
