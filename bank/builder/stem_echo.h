#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include "bank_fairness.h"

namespace bank {

// The words of a text that may carry a cue: words of four letters or more and every token
// holding a digit (two characters or more), case-folded, a plural "s" or "es" dropped, common
// English words left out.
QSet<QString> contentWords(const QString& text);

// Whether a question's key alone repeats a distinctive word of its stem: a candidate who matches
// words finds the key without knowing the subject. Distinctive within its exam: a value (a
// number, an address, a version) or a word found in at most 5 % of the exam's questions (2 at
// least), so "server" or "file" is not one, "PCIe" or "compatibility" is.
class StemEcho {
public:
    explicit StemEcho(const FairExam& exam);
    bool keyEchoesStem(const FairQuestion& question) const;

private:
    bool distinctive(const QString& word) const;

    QHash<QString, int> questionsWith_;
    int rare_ = 2;
};

inline constexpr double kStemEchoWarnAbove = 0.15;

}  // namespace bank
