#include "examdb/row_writer.h"

#include <QStringList>

#include "examdb/connection.h"
#include "examdb/error.h"
#include "examdb/transaction.h"

namespace examdb {
namespace {

enum class Affinity { Integer, Real, Numeric, Text, None };

// SQLite's rules for a declared type's affinity.
Affinity affinityOf(const QString& declType) {
    const QString t = declType.toUpper();
    if (t.contains(u"INT")) {
        return Affinity::Integer;
    }
    if (t.contains(u"CHAR") || t.contains(u"CLOB") || t.contains(u"TEXT")) {
        return Affinity::Text;
    }
    if (t.isEmpty() || t.contains(u"BLOB")) {
        return Affinity::None;
    }
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB")) {
        return Affinity::Real;
    }
    return Affinity::Numeric;
}

// The value as the column can hold it; texts written to number columns must read as numbers.
QVariant storable(const ColumnInfo& column, const QVariant& value) {
    const Affinity affinity = affinityOf(column.declType);
    if (affinity == Affinity::Text || affinity == Affinity::None) {
        return value;
    }
    if (value.metaType().id() == QMetaType::Bool) {
        return QVariant(value.toBool() ? 1 : 0);
    }
    if (value.metaType().id() != QMetaType::QString) {
        return value;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty()) {
        return QVariant();
    }
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok) {
        return QVariant(whole);
    }
    const double real = text.toDouble(&ok);
    if (ok) {
        return QVariant(real);
    }
    throw Error(errc::ConversionError,
                QStringLiteral("Data type conversion error: '%1' cannot be stored in %2.%3.")
                    .arg(value.toString(), column.table, column.origin));
}

const ColumnInfo& writableColumn(const QueryPlan& plan, int field) {
    const ColumnInfo& c = plan.fields.column(field);
    if (c.table.isEmpty() || c.origin.isEmpty()) {
        throw Error(errc::FieldNotUpdatable,
                    QStringLiteral("Field '%1' can't be updated: it is computed.").arg(c.name));
    }
    return c;
}

QString placeholders(int count) {
    QStringList marks;
    for (int i = 1; i <= count; ++i) {
        marks << QStringLiteral("?") + QString::number(i);
    }
    return marks.join(QStringLiteral(", "));
}

}  // namespace

void writeChanges(const Connection& connection, const QueryPlan& plan, RowStore::Row& row,
                  const FieldChanges& changes) {
    // One UPDATE per source row: rowid slot -> (origin column -> value).
    std::map<int, std::map<QString, QVariant>> bySlot;
    std::map<int, QString> tableOfSlot;
    for (const auto& [field, value] : changes) {
        const ColumnInfo& c = writableColumn(plan, field);
        if (c.rowidSlot < 0 || row[size_t(c.rowidSlot)].isNull()) {
            throw Error(errc::ReadOnly,
                        QStringLiteral("Cannot update. Database or object is read-only: field "
                                       "'%1' maps to no single row of '%2'.")
                            .arg(c.name, c.table));
        }
        bySlot[c.rowidSlot][c.origin] = storable(c, value);
        tableOfSlot[c.rowidSlot] = c.table;
    }

    Transaction transaction(connection.handle());
    for (const auto& [slot, assignments] : bySlot) {
        const QString table = quoteName(tableOfSlot[slot]);
        QStringList sets;
        QStringList names;
        for (const auto& entry : assignments) {
            names << quoteName(entry.first);
            sets << quoteName(entry.first) + QStringLiteral(" = ?") +
                        QString::number(sets.size() + 1);
        }
        Statement update = connection.prepare(
            QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets.join(u", ") +
            QStringLiteral(" WHERE rowid = ?") + QString::number(sets.size() + 1));
        int index = 1;
        for (const auto& entry : assignments) {
            update.bind(index++, entry.second);
        }
        update.bind(index, row[size_t(slot)]);
        update.step();
        if (sqlite3_changes(connection.handle()) == 0) {
            throw Error(errc::RecordDeleted,
                        QStringLiteral("Record is deleted: row %1 of '%2'.")
                            .arg(row[size_t(slot)].toString(), tableOfSlot[slot]));
        }

        // Read back what the table holds now (its types and affinities apply).
        Statement reread = connection.prepare(QStringLiteral("SELECT ") + names.join(u", ") +
                                              QStringLiteral(" FROM ") + table +
                                              QStringLiteral(" WHERE rowid = ?1"));
        reread.bind(1, row[size_t(slot)]);
        reread.step();
        int column = 0;
        for (const auto& entry : assignments) {
            const QVariant stored = reread.value(column++);
            for (int i = 0; i < plan.fields.count(); ++i) {
                const ColumnInfo& c = plan.fields.column(i);
                if (c.rowidSlot == slot &&
                    c.origin.compare(entry.first, Qt::CaseInsensitive) == 0) {
                    row[size_t(i)] = stored;
                }
            }
        }
    }
    transaction.commit();
}

RowStore::Row insertRow(const Connection& connection, const QueryPlan& plan,
                        const FieldChanges& values) {
    if (plan.table.isEmpty()) {
        throw Error(errc::ReadOnly,
                    QStringLiteral("Cannot update. Database or object is read-only: new rows "
                                   "need a record set over one table."));
    }
    std::map<QString, QVariant> assignments;
    for (const auto& [field, value] : values) {
        const ColumnInfo& c = writableColumn(plan, field);
        if (c.table.compare(plan.table, Qt::CaseInsensitive) != 0) {
            throw Error(errc::ReadOnly,
                        QStringLiteral("Cannot update. Database or object is read-only: field "
                                       "'%1' is not a column of '%2'.")
                            .arg(c.name, plan.table));
        }
        assignments[c.origin] = storable(c, value);
    }

    // One INSERT is atomic by itself; the reread only reads.
    const QString table = quoteName(plan.table);
    QString sql;
    if (assignments.empty()) {
        sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList names;
        for (const auto& entry : assignments) {
            names << quoteName(entry.first);
        }
        sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names.join(u", ") +
              QStringLiteral(") VALUES (") + placeholders(int(assignments.size())) +
              QLatin1Char(')');
    }
    qlonglong rowid = 0;
    {
        const CachedStatement insert = connection.cached(sql);
        int index = 1;
        for (const auto& entry : assignments) {
            insert->bind(index++, entry.second);
        }
        insert->step();
        rowid = sqlite3_last_insert_rowid(connection.handle());
    }

    // The new row as the set shows it: its own columns, null for computed ones.
    QStringList select;
    for (int i = 0; i < plan.fields.count(); ++i) {
        const ColumnInfo& c = plan.fields.column(i);
        const bool own =
            c.table.compare(plan.table, Qt::CaseInsensitive) == 0 && !c.origin.isEmpty();
        select << (own ? quoteName(c.origin) : QStringLiteral("NULL"));
    }
    select << QStringLiteral("rowid");
    const CachedStatement reread =
        connection.cached(QStringLiteral("SELECT ") + select.join(u", ") +
                          QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE rowid = ?1"));
    reread->bind(1, rowid);
    reread->step();
    RowStore::Row row;
    for (int i = 0; i < reread->columnCount(); ++i) {
        row.push_back(reread->value(i));
    }
    return row;
}

}  // namespace examdb
