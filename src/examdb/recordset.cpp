#include "examdb/recordset.h"

#include <algorithm>

#include "examdb/connection.h"
#include "examdb/criteria.h"
#include "examdb/error.h"
#include "examdb/record_source.h"
#include "examdb/row_writer.h"

namespace examdb {

struct Recordset::Impl {
    std::shared_ptr<Connection> connection;
    RecordsetType type = RecordsetType::Dynaset;
    QString source;
    QueryPlan plan;
    RowStore rows;

    // pos runs from -1 (before the first row) to count (after the last). The flags are kept
    // apart from it because they stay set after an AddNew on an empty set, until a move.
    int pos = 0;
    bool bof = true;
    bool eof = true;

    EditMode mode = EditMode::None;
    FieldChanges changes;

    QString index;
    bool noMatch = false;
    std::function<void()> beforeMove;
    std::function<void()> afterChange;

    int count() const { return rows.count(); }
    bool hasCurrent() const { return !bof && !eof && pos >= 0 && pos < count(); }

    void standOnFirst() {
        pos = 0;
        bof = eof = count() == 0;
    }

    void requireCurrent() const {
        if (!hasCurrent()) {
            throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
        }
    }

    void requireRows() const {
        if (count() == 0) {
            throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
        }
    }

    // A move drops an edit the caller did not Update; the hook lets a data source write its
    // bound controls' edit first.
    void leaveRow() {
        if (beforeMove) {
            beforeMove();
        }
        mode = EditMode::None;
        changes.clear();
    }

    void arrived(int newPos) {
        pos = newPos;
        bof = eof = false;
        changed();
    }

    void changed() const {
        if (afterChange) {
            afterChange();
        }
    }

    int field(const QString& name) const {
        const auto found = plan.fields.find(name);
        if (!found) {
            throw Error(errc::ItemNotFound,
                        QStringLiteral("Item not found in this collection: field '%1' of '%2'.")
                            .arg(name, source));
        }
        return *found;
    }

    void checkIndex(int field) const {
        if (field < 0 || field >= plan.visibleCount) {
            throw Error(errc::ItemNotFound,
                        QStringLiteral("Item not found in this collection: field %1 of '%2' "
                                       "(it has %3).")
                            .arg(field)
                            .arg(source)
                            .arg(plan.visibleCount));
        }
    }

    qlonglong rowidAt(int row) const { return rows.key(row, 0); }
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Recordset::open(std::shared_ptr<Connection> connection, const QString& source,
                          RecordsetType type) {
    auto impl = std::make_unique<Impl>();
    impl->plan = runQuery(*connection, source, type, impl->rows);
    impl->connection = std::move(connection);
    impl->type = type;
    impl->source = source;
    impl->standOnFirst();
    Recordset rs;
    rs.d = std::move(impl);
    return rs;
}

bool Recordset::isOpen() const {
    return d && d->connection;
}

void Recordset::requireOpen() const {
    if (!isOpen()) {
        throw Error(errc::ObjectClosed,
                    QStringLiteral("Object invalid or no longer set: the record set is closed."));
    }
}

RecordsetType Recordset::type() const {
    requireOpen();
    return d->type;
}

QString Recordset::source() const {
    return d ? d->source : QString();
}

void Recordset::close() {
    if (d) {
        d.reset();
    }
}

void Recordset::requery() {
    requireOpen();
    d->leaveRow();
    d->plan = runQuery(*d->connection, d->source, d->type, d->rows);
    d->standOnFirst();
    d->changed();
}

bool Recordset::bof() const {
    requireOpen();
    return d->bof;
}

bool Recordset::eof() const {
    requireOpen();
    return d->eof;
}

int Recordset::recordCount() const {
    requireOpen();
    return d->count();
}

int Recordset::absolutePosition() const {
    requireOpen();
    return d->hasCurrent() ? d->pos : -1;
}

void Recordset::setAbsolutePosition(int position) {
    requireOpen();
    if (position < 0 || position >= d->count()) {
        throw Error(errc::NoCurrentRecord,
                    QStringLiteral("No current record: position %1 of %2 rows.")
                        .arg(position)
                        .arg(d->count()));
    }
    d->leaveRow();
    d->arrived(position);
}

void Recordset::moveFirst() {
    requireOpen();
    d->requireRows();
    d->leaveRow();
    d->arrived(0);
}

void Recordset::moveLast() {
    requireOpen();
    d->requireRows();
    d->leaveRow();
    d->arrived(d->count() - 1);
}

void Recordset::moveNext() {
    requireOpen();
    if (d->eof || d->count() == 0) {
        throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
    }
    d->leaveRow();
    const int next = d->bof ? 0 : d->pos + 1;
    if (next >= d->count()) {
        d->pos = d->count();
        d->bof = false;
        d->eof = true;
        d->changed();
        return;
    }
    d->arrived(next);
}

void Recordset::movePrevious() {
    requireOpen();
    if (d->bof || d->count() == 0) {
        throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
    }
    d->leaveRow();
    const int previous = d->eof ? d->count() - 1 : d->pos - 1;
    if (previous < 0) {
        d->pos = -1;
        d->bof = true;
        d->eof = false;
        d->changed();
        return;
    }
    d->arrived(previous);
}

int Recordset::fieldCount() const {
    requireOpen();
    return d->plan.visibleCount;
}

QString Recordset::fieldName(int index) const {
    requireOpen();
    d->checkIndex(index);
    return d->plan.fields.column(index).name;
}

int Recordset::fieldIndex(const QString& name) const {
    requireOpen();
    return d->field(name);
}

bool Recordset::hasField(const QString& name) const {
    requireOpen();
    return d->plan.fields.find(name).has_value();
}

QVariant Recordset::value(int index) const {
    requireOpen();
    d->checkIndex(index);
    if (d->mode != EditMode::None) {
        const auto changed = d->changes.find(index);
        if (changed != d->changes.end()) {
            return changed->second;
        }
        if (d->mode == EditMode::AddNew) {
            return QVariant();
        }
    }
    d->requireCurrent();
    return d->rows.value(d->pos, index);
}

QVariant Recordset::value(const QString& name) const {
    return value(fieldIndex(name));
}

void Recordset::setValue(int index, const QVariant& value) {
    requireOpen();
    d->checkIndex(index);
    if (d->mode == EditMode::None) {
        throw Error(errc::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit: field '%1'.")
                        .arg(d->plan.fields.column(index).name));
    }
    d->changes[index] = value;
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    setValue(fieldIndex(name), value);
}

void Recordset::edit() {
    requireOpen();
    d->requireCurrent();
    d->mode = EditMode::Edit;
    d->changes.clear();
}

void Recordset::addNew() {
    requireOpen();
    d->mode = EditMode::AddNew;
    d->changes.clear();
}

void Recordset::update() {
    requireOpen();
    if (d->mode == EditMode::None) {
        throw Error(errc::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    }
    if (d->mode == EditMode::Edit) {
        d->requireCurrent();
        if (!d->changes.empty()) {
            writeChanges(*d->connection, d->plan, d->rows.at(d->pos), d->changes);
        }
        d->mode = EditMode::None;
        d->changes.clear();
        d->changed();
        return;
    }

    RowStore::Row row = insertRow(*d->connection, d->plan, d->changes);
    d->mode = EditMode::None;
    d->changes.clear();
    // A table keeps key order; a dynaset shows new rows at its end.
    int at = d->count();
    if (d->type == RecordsetType::Table) {
        const qlonglong rowid = row[size_t(d->plan.visibleCount)].toLongLong();
        int lo = 0;
        int hi = d->count();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (d->rowidAt(mid) <= rowid) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        at = lo;
    }
    d->rows.insert(at, std::move(row));
    if (d->eof) {
        d->pos = d->count();
    } else if (!d->bof && at <= d->pos) {
        ++d->pos;
    }
}

void Recordset::cancelUpdate() {
    requireOpen();
    if (d->mode == EditMode::None) {
        throw Error(errc::UpdateWithoutEdit,
                    QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    }
    d->mode = EditMode::None;
    d->changes.clear();
}

EditMode Recordset::editMode() const {
    requireOpen();
    return d->mode;
}

void Recordset::setIndex(const QString& name) {
    requireOpen();
    if (d->type != RecordsetType::Table) {
        throw Error(errc::NotSupported,
                    QStringLiteral("Operation is not supported for this type of object: Index "
                                   "on '%1', which is not a table record set.")
                        .arg(d->source));
    }
    if (name.compare(u"primaryKey", Qt::CaseInsensitive) != 0 || d->plan.primaryKey.isEmpty()) {
        throw Error(errc::IndexNotFound,
                    QStringLiteral("'%1' isn't an index in table '%2'.").arg(name, d->plan.table));
    }
    d->index = name;
}

QString Recordset::index() const {
    return d ? d->index : QString();
}

void Recordset::seek(const QString& comparison, const QVariant& key) {
    requireOpen();
    if (d->type != RecordsetType::Table) {
        throw Error(errc::NotSupported,
                    QStringLiteral("Operation is not supported for this type of object: Seek "
                                   "on '%1', which is not a table record set.")
                        .arg(d->source));
    }
    if (d->index.isEmpty()) {
        throw Error(errc::NoCurrentIndex,
                    QStringLiteral("Operation invalid without a current index: Seek on '%1'.")
                        .arg(d->source));
    }
    const QString op = comparison.trimmed();
    if (op != u"=" && op != u"<" && op != u"<=" && op != u">" && op != u">=") {
        throw Error(errc::CriteriaSyntax,
                    QStringLiteral("Syntax error in Seek comparison '%1'.").arg(comparison));
    }
    bool ok = false;
    const double wanted = key.toDouble(&ok);
    if (!ok || !key.isValid() || key.isNull()) {
        throw Error(errc::CriteriaTypeMismatch,
                    QStringLiteral("Data type mismatch in criteria expression: Seek key '%1' "
                                   "for '%2'.")
                        .arg(key.toString(), d->plan.primaryKey));
    }

    d->leaveRow();
    // Rows of a table set are in rowid order, and its primary key is the rowid.
    const int n = d->count();
    auto firstNotBelow = [&](bool strictlyAbove) {
        int lo = 0;
        int hi = n;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            const double k = double(d->rowidAt(mid));
            if (k < wanted || (strictlyAbove && k == wanted)) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    };
    int found = -1;
    if (op == u"=") {
        const int i = firstNotBelow(false);
        found = i < n && double(d->rowidAt(i)) == wanted ? i : -1;
    } else if (op == u">=") {
        found = firstNotBelow(false);
    } else if (op == u">") {
        found = firstNotBelow(true);
    } else if (op == u"<=") {
        found = firstNotBelow(true) - 1;
    } else {
        found = firstNotBelow(false) - 1;
    }
    d->noMatch = found < 0 || found >= n;
    if (!d->noMatch) {
        d->arrived(found);
    }
}

void Recordset::findFirst(const QString& criteria) {
    requireOpen();
    if (d->type != RecordsetType::Dynaset) {
        throw Error(errc::NotSupported,
                    QStringLiteral("Operation is not supported for this type of object: "
                                   "FindFirst on the table record set '%1'.")
                        .arg(d->source));
    }
    const Criteria c = Criteria::parse(criteria);
    const auto field = d->plan.fields.find(c.field);
    if (!field) {
        throw Error(errc::UnknownCriteriaField,
                    QStringLiteral("The engine does not recognize '%1' as a valid field name or "
                                   "expression of '%2'.")
                        .arg(c.field, d->source));
    }
    d->leaveRow();
    for (int i = 0; i < d->count(); ++i) {
        if (c.matches(d->rows.value(i, *field))) {
            d->noMatch = false;
            d->arrived(i);
            return;
        }
    }
    d->noMatch = true;
}

bool Recordset::noMatch() const {
    requireOpen();
    return d->noMatch;
}

void Recordset::setHooks(std::function<void()> beforeMove, std::function<void()> afterChange) {
    requireOpen();
    d->beforeMove = std::move(beforeMove);
    d->afterChange = std::move(afterChange);
}

}  // namespace examdb
