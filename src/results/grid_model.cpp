#include "results/grid_model.h"

#include "app/plain_text.h"
#include "examdb/control_binding.h"
#include "examdb/recordset.h"

namespace results {

GridModel::GridModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void GridModel::load(examdb::Recordset& set) {
    QList<int> fields;
    for (const Column& c : columns_) {
        fields << set.fieldIndex(c.field);
    }
    QList<QStringList> rows;
    if (set.recordCount() > 0) {
        for (set.moveFirst(); !set.eof(); set.moveNext()) {
            QStringList row;
            for (int field : fields) {
                row << examdb::displayText(set.value(field));
            }
            rows << row;
        }
        set.moveLast();
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void GridModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    const QString& value = rows_.at(index.row()).at(index.column());
    const Format format = columns_.at(index.column()).format;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            if (withoutFigures_.contains(index.row())) {
                return QStringLiteral("\u2013");
            }
            // A category name from the bank is shown as typed in its tool tip too.
            return role == Qt::ToolTipRole ? plain::forToolTip(formatted(value, format))
                                           : formatted(value, format);
        case Qt::TextAlignmentRole: {
            bool number = false;
            value.toDouble(&number);
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (number ? Qt::AlignRight : Qt::AlignLeft));
        }
        default:
            return QVariant();
    }
}

void GridModel::setRowsWithoutFigures(QSet<int> rows) {
    withoutFigures_ = std::move(rows);
    if (!rows_.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QString GridModel::formatted(const QString& value, Format format) {
    if (format != Format::Percent) {
        return value;
    }
    bool number = false;
    const qlonglong whole = value.trimmed().toLongLong(&number);
    return number ? QString::number(whole) + QLatin1Char('%') : value;
}

}  // namespace results
