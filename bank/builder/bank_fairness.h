#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace bank {

// One question as the fairness figures see it: texts and key, nothing about the candidate.
struct FairQuestion {
    qint64 id = 0;
    QString stem;
    QString exhibit;
    QStringList answers;  // answer1 to answer5 as stored; empty ones included
    QList<bool> correct;  // one per answer
};

struct FairExam {
    QString name;  // "exam1"
    QList<FairQuestion> questions;
};

inline constexpr int kLetters = 5;

// How far an exam can be passed without knowing its subject.
struct ExamFairness {
    QString name;
    int questions = 0;
    int singleAnswer = 0;
    int multipleAnswer = 0;
    QMap<int, int> choiceCounts;  // choices offered -> questions
    int rightByLetter[kLetters] = {};
    double fairShareByLetter[kLetters] = {};  // what an even spread would give each letter
    int singleLongestRight = 0;               // single-answer questions won by strict length
    int guesserRight = 0;
    int guesserScore = 0;  // out of 1000
    int chanceScore = 0;   // blind chance, out of 1000
    QList<qint64> noKey;
    QList<qint64> emptyChoices;
    QList<qint64> stemEchoes;  // questions whose key alone repeats a distinctive stem word

    int fewerThanFourChoices() const;
    double longestRightShare() const;  // 0..1, 0 without single-answer questions
    double stemEchoShare() const;      // 0..1
};

// The longest-choice guesser ticks the k longest choices, k being the number of right ones
// (which the stem states); of equal lengths the earlier letter wins. A question counts as won
// only when exactly its key is ticked, as the exam scores it.
ExamFairness measureExam(const FairExam& exam);

inline constexpr int kGuesserWarnAbove = 300;
inline constexpr double kLongestShareWarnAbove = 0.35;
inline constexpr double kLetterShareWarnFactor = 2.0;

// One line per threshold an exam crosses; advice for the author, never a refusal.
QStringList fairnessWarnings(const ExamFairness& f);

// The report body for one exam, several lines.
QStringList fairnessLines(const ExamFairness& f);

}  // namespace bank
