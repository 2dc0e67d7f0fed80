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

// A bank of templated stems can hold millions of alike pairs: they are counted, and only the
// first few kept for listing.
inline constexpr int kAlikeListed = 50;
// Pairs of stems looked at before the search gives up: a few seconds of work, and room for
// every pair of 6,000 stems.
inline constexpr qint64 kAlikeComparisons = 20'000'000;

struct AlikeFindings {
    QList<AlikeStems> first;  // at most the number asked for, in the order of exams and IDs
    qint64 count = 0;         // every pair found
    qint64 comparisons = 0;   // pairs of stems looked at
    bool stopped = false;     // the comparisons ran out: count is a lower bound

    bool isEmpty() const { return count == 0; }
};

// Stems are alike when their sets of words overlap by at least minPercent (Jaccard), case and
// punctuation aside. Questions showing different exhibits are never alike, since the picture
// is part of what they ask. Pairs are ordered by the exams and IDs given.
AlikeFindings findAlikeStems(const QList<FairExam>& exams, int minPercent = 80,
                             int listed = kAlikeListed, qint64 maxComparisons = kAlikeComparisons);

}  // namespace bank
