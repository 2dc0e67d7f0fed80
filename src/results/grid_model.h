#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace examdb {
class Recordset;
}

namespace results {

// The rows of a record set as a data grid shows them: a snapshot of chosen columns, read-only,
// so the grid keeps what it showed after its data source closes.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum class Format {
        General,
        Percent,  // a whole percentage followed by "%"
    };
    struct Column {
        QString field;
        Format format = Format::General;
    };

    explicit GridModel(QList<Column> columns, QObject* parent = nullptr);

    // Reads every row of the set; the set is left on its last row.
    void load(examdb::Recordset& set);
    void clear();
    // Rows whose figures mean nothing (a category with no drawn question) show a dash in
    // every column instead of a zero that would read as failed.
    void setRowsWithoutFigures(QSet<int> rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text a cell of the given format shows for a stored value.
    static QString formatted(const QString& value, Format format);

private:
    QList<Column> columns_;
    QList<QStringList> rows_;
    QSet<int> withoutFigures_;
};

}  // namespace results
