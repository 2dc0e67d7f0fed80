#include "progress/column_fit.h"

#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace progress {
namespace {

QChar widestDigit(const QFontMetrics& metrics) {
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest)) {
            widest = QChar(digit);
        }
    }
    return widest;
}

// The text with every digit its widest: dates, scores and times then come in a few shapes,
// each measured once, and never narrower than any text of that shape.
QString shapeOf(QString text, QChar digit) {
    for (QChar& c : text) {
        if (c.isDigit()) {
            c = digit;
        }
    }
    return text;
}

}  // namespace

void fitColumns(QTableView& view) {
    const QAbstractItemModel* model = view.model();
    if (!model) {
        return;
    }
    // Laying out each cell of a long history takes tens of milliseconds; each shape once, and
    // the delegate's margins once, take a few.
    const QFontMetrics metrics(view.font());
    const QChar digit = widestDigit(metrics);
    const int grid = view.showGrid() ? 1 : 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        QHash<QString, int> measured;
        int widest = -1;
        QModelIndex widestCell;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex cell = model->index(row, column);
            const QString shape = shapeOf(cell.data().toString(), digit);
            auto known = measured.constFind(shape);
            if (known == measured.constEnd()) {
                known = measured.insert(shape, metrics.horizontalAdvance(shape));
            }
            if (*known > widest) {
                widest = *known;
                widestCell = cell;
            }
        }
        int width = view.horizontalHeader()->sectionSizeHint(column);
        if (widestCell.isValid()) {
            const int margins = view.sizeHintForIndex(widestCell).width() -
                                metrics.horizontalAdvance(widestCell.data().toString());
            width = std::max(width, widest + margins + grid);
        }
        view.setColumnWidth(column, width);
    }
}

}  // namespace progress
