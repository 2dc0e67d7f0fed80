#include "examdb/recordset.h"

#include "examdb/connection.h"
#include "examdb/error.h"
#include "examdb/record_source.h"
#include "examdb/row_writer.h"

namespace examdb {

struct Recordset::Impl {
    std::shared_ptr<Connection> connection;
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
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Recordset::open(std::shared_ptr<Connection> connection, const QString& source) {
    auto impl = std::make_unique<Impl>();
    impl->plan = runQuery(*connection, source, impl->rows);
    impl->connection = std::move(connection);
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

void Recordset::close() {
    if (d) {
        d.reset();
    }
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

void Recordset::moveTo(int index) {
    requireOpen();
    if (index < 0 || index >= d->count()) {
        throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
    }
    d->leaveRow();
    d->arrived(index);
}

int Recordset::position() const {
    requireOpen();
    return d->hasCurrent() ? d->pos : -1;
}

QVariant Recordset::valueAt(int index, int field) const {
    requireOpen();
    d->checkIndex(field);
    if (index < 0 || index >= d->count()) {
        throw Error(errc::NoCurrentRecord, QStringLiteral("No current record."));
    }
    if (index == d->pos && d->mode == EditMode::Edit) {
        return value(field);
    }
    return d->rows.value(index, field);
}

int Recordset::fieldIndex(const QString& name) const {
    requireOpen();
    return d->field(name);
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
    d->rows.append(std::move(row));
    if (d->eof) {
        d->pos = d->count();
    }
}

EditMode Recordset::editMode() const {
    requireOpen();
    return d->mode;
}

void Recordset::setHooks(std::function<void()> beforeMove, std::function<void()> afterChange) {
    requireOpen();
    d->beforeMove = std::move(beforeMove);
    d->afterChange = std::move(afterChange);
}

}  // namespace examdb
