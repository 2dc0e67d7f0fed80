#include "stem_similarity.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <vector>

namespace bank {

namespace {

struct Stem {
    int exam = 0;
    int index = 0;
    int exhibit = 0;
    std::vector<int> words;  // word numbers in order, for telling "the same" from "alike"
    std::vector<int> set;    // distinct word ranks, ascending: the least common words first
};

QStringList wordsOf(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return text.toLower().split(separators, Qt::SkipEmptyParts);
}

qsizetype overlap(const std::vector<int>& a, const std::vector<int>& b) {
    qsizetype shared = 0;
    for (auto i = a.begin(), j = b.begin(); i != a.end() && j != b.end();) {
        if (*i < *j) {
            ++i;
        } else if (*j < *i) {
            ++j;
        } else {
            ++shared;
            ++i;
            ++j;
        }
    }
    return shared;
}

bool listedBefore(const AlikeStems& x, const AlikeStems& y) {
    return std::tie(x.examA, x.idA, x.examB, x.idB) < std::tie(y.examA, y.idA, y.examB, y.idB);
}

// Keeps the first `limit` pairs in listing order without holding every pair found.
class FirstPairs {
public:
    explicit FirstPairs(int limit) : limit_(std::max(limit, 0)) {}

    void add(AlikeStems pair) {
        if (limit_ == 0) {
            return;
        }
        pairs_.push_back(std::move(pair));
        if (pairs_.size() >= 2 * size_t(limit_)) {
            trim();
        }
    }

    QList<AlikeStems> take() {
        trim();
        return QList<AlikeStems>(pairs_.begin(), pairs_.end());
    }

private:
    void trim() {
        std::sort(pairs_.begin(), pairs_.end(), listedBefore);
        if (pairs_.size() > size_t(limit_)) {
            pairs_.erase(pairs_.begin() + limit_, pairs_.end());
        }
    }

    int limit_;
    std::vector<AlikeStems> pairs_;
};

int numberOf(QHash<QString, int>& numbers, const QString& text) {
    const auto it = numbers.constFind(text);
    return it != numbers.cend() ? *it : *numbers.insert(text, int(numbers.size()));
}

std::vector<Stem> stemsOf(const QList<FairExam>& exams) {
    QHash<QString, int> wordNumbers;
    QHash<QString, int> exhibitNumbers;
    std::vector<int> frequency;
    std::vector<Stem> stems;
    for (int e = 0; e < exams.size(); ++e) {
        for (int i = 0; i < exams[e].questions.size(); ++i) {
            const FairQuestion& q = exams[e].questions[i];
            Stem s{e, i, 0, {}, {}};
            for (const QString& w : wordsOf(q.stem)) {
                s.words.push_back(numberOf(wordNumbers, w));
                frequency.resize(wordNumbers.size());
            }
            s.set = s.words;
            std::sort(s.set.begin(), s.set.end());
            s.set.erase(std::unique(s.set.begin(), s.set.end()), s.set.end());
            if (s.set.empty()) {
                continue;
            }
            for (const int w : s.set) {
                ++frequency[size_t(w)];
            }
            s.exhibit = numberOf(exhibitNumbers, q.exhibit.trimmed());
            stems.push_back(std::move(s));
        }
    }
    // Rank the words rarest first, so that a set's first words are the most telling.
    std::vector<QString> spelling(wordNumbers.size());
    for (auto it = wordNumbers.cbegin(); it != wordNumbers.cend(); ++it) {
        spelling[size_t(it.value())] = it.key();
    }
    std::vector<int> order(spelling.size());
    for (size_t w = 0; w < order.size(); ++w) {
        order[w] = int(w);
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return std::tie(frequency[size_t(a)], spelling[size_t(a)]) <
               std::tie(frequency[size_t(b)], spelling[size_t(b)]);
    });
    std::vector<int> rank(order.size());
    for (size_t r = 0; r < order.size(); ++r) {
        rank[size_t(order[r])] = int(r);
    }
    for (Stem& s : stems) {
        for (int& w : s.set) {
            w = rank[size_t(w)];
        }
        std::sort(s.set.begin(), s.set.end());
    }
    return stems;
}

}  // namespace

AlikeFindings findAlikeStems(const QList<FairExam>& exams, int minPercent, int listed,
                             qint64 maxComparisons) {
    const double threshold = std::clamp(minPercent, 1, 100) / 100.0;
    const std::vector<Stem> stems = stemsOf(exams);

    // Prefix filter: two sets alike by the threshold share a word among the first
    // |set| - ceil(threshold * |set|) + 1 of their rarest words, so only those are indexed.
    std::vector<std::vector<int>> byPrefixWord;
    std::vector<int> seenWith(stems.size(), -1);
    AlikeFindings out;
    FirstPairs first(listed);
    for (size_t n = 0; n < stems.size() && !out.stopped; ++n) {
        const Stem& s = stems[n];
        const size_t size = s.set.size();
        const size_t prefix =
            std::min(size, size - size_t(std::ceil(threshold * double(size) - 1e-9)) + 1);
        for (size_t p = 0; p < prefix && !out.stopped; ++p) {
            const size_t word = size_t(s.set[p]);
            if (byPrefixWord.size() <= word) {
                byPrefixWord.resize(word + 1);
            }
            for (const int m : byPrefixWord[word]) {
                if (seenWith[size_t(m)] == int(n)) {
                    continue;
                }
                seenWith[size_t(m)] = int(n);
                if (out.comparisons == maxComparisons) {
                    out.stopped = true;
                    break;
                }
                ++out.comparisons;
                const Stem& t = stems[size_t(m)];
                const double smaller = double(std::min(t.set.size(), size));
                const double larger = double(std::max(t.set.size(), size));
                if (t.exhibit != s.exhibit || smaller + 1e-9 < threshold * larger) {
                    continue;
                }
                const qsizetype shared = overlap(s.set, t.set);
                const double jaccard =
                    double(shared) / double(qsizetype(size + t.set.size()) - shared);
                if (jaccard + 1e-9 < threshold) {
                    continue;
                }
                ++out.count;
                const int alike =
                    t.words == s.words ? 100 : std::min(99, int(std::floor(jaccard * 100)));
                first.add(AlikeStems{exams[t.exam].name, exams[t.exam].questions[t.index].id,
                                     exams[s.exam].name, exams[s.exam].questions[s.index].id,
                                     alike});
            }
            byPrefixWord[word].push_back(int(n));
        }
    }
    out.first = first.take();
    return out;
}

}  // namespace bank
