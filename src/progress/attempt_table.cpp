#include "progress/attempt_table.h"

#include <QLocale>

#include "app/display_text.h"
#include "app/plain_text.h"
#include "progress/category_figures.h"

namespace progress {

void AttemptTableModel::show(const std::vector<history::AttemptRecord>* attempts) {
    beginResetModel();
    attempts_ = attempts;
    endResetModel();
}

int AttemptTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !attempts_ ? 0 : int(attempts_->size());
}

int AttemptTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

QVariant AttemptTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !attempts_ || index.row() >= rowCount()) {
        return {};
    }
    const history::AttemptRecord& a = (*attempts_)[size_t(index.row())];
    if (role == Qt::TextAlignmentRole && (index.column() == 3 || index.column() == 5)) {
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole && index.column() == 1 && isCustom(a)) {
        return plain::forToolTip(customDetails(a));
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (index.column()) {
        case 0:
            return QLocale::system().toString(a.ended, QLocale::ShortFormat);
        case 1:
            return examText(a);
        case 2:
            // Cut short, so the columns after it stay in view.
            return app::shortName(a.candidate);
        case 3:
            return QStringLiteral("%1/1000").arg(a.score);
        case 4:
            return a.passed ? QStringLiteral("Pass") : QStringLiteral("Fail");
        default:
            return timeUsedText(a.secondsUsed);
    }
}

QVariant AttemptTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kHeadings[] = {"Date",  "Exam",    "Name",
                                            "Score", "Verdict", "Time used"};
    return section >= 0 && section < 6 ? QString::fromLatin1(kHeadings[section]) : QVariant();
}

}  // namespace progress
