#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "history/attempt_record.h"

namespace progress {

// The attempts as table rows: date, exam, name, score, verdict, time used.
class AttemptTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const std::vector<history::AttemptRecord>* attempts);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<history::AttemptRecord>* attempts_ = nullptr;
};

}  // namespace progress
