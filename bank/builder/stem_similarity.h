#pragma once

#include <QList>
#include <QString>

#include "bank_fairness.h"

namespace bank {

// Two questions whose stems ask the same thing, within one exam or across two.
struct AlikeStems {
    QString examA;
    qint64 idA = 0;
    QString examB;
    qint64 idB = 0;
    int percentAlike = 0;  // 100: the same words in the same order
};

// Stems are alike when their sets of words overlap by at least minPercent (Jaccard), case and
// punctuation aside. Questions showing different exhibits are never alike, since the picture
// is part of what they ask. Pairs come in the order of the exams and IDs given.
QList<AlikeStems> findAlikeStems(const QList<FairExam>& exams, int minPercent = 80);

}  // namespace bank
