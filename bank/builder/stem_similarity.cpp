#include "stem_similarity.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace bank {

namespace {

struct Stem {
    int exam = 0;
    int index = 0;
    QStringList words;        // in order, for telling "the same" from "alike"
    QStringList rarestFirst;  // the word set, least common words first
};

QStringList wordsOf(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}

}  // namespace

QList<AlikeStems> findAlikeStems(const QList<FairExam>& exams, int minPercent) {
    const double threshold = std::clamp(minPercent, 1, 100) / 100.0;
    QList<Stem> stems;
    QHash<QString, int> frequency;
    for (int e = 0; e < exams.size(); ++e) {
        for (int i = 0; i < exams[e].questions.size(); ++i) {
            Stem s{e, i, wordsOf(exams[e].questions[i].stem), {}};
            s.rarestFirst = QStringList(QSet<QString>(s.words.cbegin(), s.words.cend()).values());
            if (s.rarestFirst.isEmpty()) {
                continue;
            }
            for (const QString& w : s.rarestFirst) {
                ++frequency[w];
            }
            stems << s;
        }
    }
    for (Stem& s : stems) {
        std::sort(s.rarestFirst.begin(), s.rarestFirst.end(),
                  [&](const QString& a, const QString& b) {
                      const int fa = frequency.value(a);
                      const int fb = frequency.value(b);
                      return fa != fb ? fa < fb : a < b;
                  });
    }

    // Prefix filter: two sets alike by the threshold share a word among the first
    // |set| - ceil(threshold * |set|) + 1 of their rarest words, so only those are indexed.
    QHash<QString, QList<int>> byPrefixWord;
    QList<AlikeStems> found;
    for (int n = 0; n < stems.size(); ++n) {
        const Stem& s = stems[n];
        const qsizetype size = s.rarestFirst.size();
        const qsizetype prefix = size - qsizetype(std::ceil(threshold * double(size))) + 1;
        QSet<int> candidates;
        for (qsizetype p = 0; p < prefix && p < size; ++p) {
            for (const int other : byPrefixWord.value(s.rarestFirst[p])) {
                candidates.insert(other);
            }
            byPrefixWord[s.rarestFirst[p]] << n;
        }
        QList<int> ordered(candidates.cbegin(), candidates.cend());
        std::sort(ordered.begin(), ordered.end());
        const QSet<QString> mine(s.rarestFirst.cbegin(), s.rarestFirst.cend());
        for (const int m : ordered) {
            const Stem& t = stems[m];
            const FairQuestion& a = exams[t.exam].questions[t.index];
            const FairQuestion& b = exams[s.exam].questions[s.index];
            if (a.exhibit.trimmed() != b.exhibit.trimmed()) {
                continue;
            }
            const QSet<QString> theirs(t.rarestFirst.cbegin(), t.rarestFirst.cend());
            const qsizetype shared = QSet<QString>(mine).intersect(theirs).size();
            const double jaccard = double(shared) / double(mine.size() + theirs.size() - shared);
            if (jaccard + 1e-9 < threshold) {
                continue;
            }
            const int alike =
                t.words == s.words ? 100 : std::min(99, int(std::floor(jaccard * 100)));
            found << AlikeStems{exams[t.exam].name, a.id, exams[s.exam].name, b.id, alike};
        }
    }
    std::sort(found.begin(), found.end(), [&](const AlikeStems& x, const AlikeStems& y) {
        return std::tie(x.examA, x.idA, x.examB, x.idB) < std::tie(y.examA, y.idA, y.examB, y.idB);
    });
    return found;
}

}  // namespace bank
