#include "stem_echo.h"

#include <QRegularExpression>
#include <algorithm>

namespace bank {
namespace {

// Words every question uses, which tell nothing of its answer.
const QSet<QString>& commonWords() {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* w :
             {"about",  "above",     "across",    "action",   "after",   "again",   "against",
              "also",   "among",     "answer",    "anything", "because", "been",    "before",
              "being",  "below",     "best",      "between",  "both",    "cannot",  "choice",
              "choose", "correct",   "could",     "describe", "does",    "doing",   "done",
              "during", "each",      "even",      "every",    "exhibit", "first",   "following",
              "from",   "give",      "given",     "have",     "having",  "here",    "into",
              "just",   "know",      "known",     "least",    "like",    "likely",  "made",
              "make",   "many",      "more",      "most",     "much",    "must",    "need",
              "next",   "nothing",   "once",      "only",     "onto",    "option",  "other",
              "over",   "question",  "refer",     "same",     "should",  "shown",   "since",
              "some",   "something", "statement", "step",     "still",   "such",    "take",
              "than",   "that",      "their",     "them",     "then",    "there",   "these",
              "they",   "thing",     "this",      "those",    "three",   "through", "true",
              "under",  "until",     "upon",      "used",     "using",   "very",    "want",
              "well",   "were",      "what",      "when",     "where",   "which",   "while",
              "whose",  "will",      "with",      "within",   "without", "would",   "your"}) {
            set.insert(QString::fromLatin1(w));
        }
        return set;
    }();
    return words;
}

}  // namespace

QSet<QString> contentWords(const QString& text) {
    // A token runs over letters and digits and the marks inside addresses, paths and names.
    static const QRegularExpression token(
        QStringLiteral("[\\p{L}\\p{N}]+(?:[./:_-][\\p{L}\\p{N}]+)*"));
    QSet<QString> words;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        QString word = it.next().captured().toCaseFolded();
        const bool digits =
            std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.isDigit(); });
        if (digits) {
            if (word.size() >= 2) {
                words.insert(word);
            }
            continue;
        }
        if (word.size() > 4 && word.endsWith(u's') && !word.endsWith(QStringLiteral("ss"))) {
            // "switches" and "boxes" as "switch" and "box", "servers" as "server".
            const bool es =
                word.endsWith(QStringLiteral("ches")) || word.endsWith(QStringLiteral("shes")) ||
                word.endsWith(QStringLiteral("sses")) || word.endsWith(QStringLiteral("xes"));
            word.chop(es ? 2 : 1);
        }
        if (word.size() >= 4 && !commonWords().contains(word)) {
            words.insert(word);
        }
    }
    return words;
}

namespace {

QSet<QString> allWordsOf(const FairQuestion& q) {
    QSet<QString> words = contentWords(q.stem);
    for (const QString& answer : q.answers) {
        words |= contentWords(answer);
    }
    return words;
}

}  // namespace

StemEcho::StemEcho(const FairExam& exam)
    : rare_(std::max(2, int(exam.questions.size() * 5 / 100))) {
    for (const FairQuestion& q : exam.questions) {
        for (const QString& word : allWordsOf(q)) {
            ++questionsWith_[word];
        }
    }
}

bool StemEcho::distinctive(const QString& word) const {
    return std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.isDigit(); }) ||
           questionsWith_.value(word) <= rare_;
}

bool StemEcho::keyEchoesStem(const FairQuestion& q) const {
    const QSet<QString> stem = contentWords(q.stem);
    QSet<QString> key;
    QSet<QString> wrong;
    for (int c = 0; c < q.answers.size() && c < kLetters; ++c) {
        if (q.answers[c].trimmed().isEmpty()) {
            continue;
        }
        (c < q.correct.size() && q.correct[c] ? key : wrong) |= contentWords(q.answers[c]);
    }
    for (const QString& word : key) {
        if (stem.contains(word) && !wrong.contains(word) && distinctive(word)) {
            return true;
        }
    }
    return false;
}

}  // namespace bank
