#include "stem_similarity.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>
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

// Words are runs of letters and digits, case aside.
QStringList wordsOf(const QString& text) {
    QStringList words;
    const QList<uint> points = text.toLower().toUcs4();
    qsizetype start = -1;
    for (qsizetype i = 0; i <= points.size(); ++i) {
        const bool inWord = i < points.size() && QChar::isLetterOrNumber(char32_t(points[i]));
        if (inWord && start < 0) {
            start = i;
        } else if (!inWord && start >= 0) {
            words << QString::fromUcs4(
                reinterpret_cast<const char32_t*>(points.constData()) + start, i - start);
            start = -1;
        }
    }
    return words;
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

// Where a pair stands in the listing: exams by name, then IDs.
struct PairKey {
    int examA = 0;
    qint64 idA = 0;
    int examB = 0;
    qint64 idB = 0;
    auto operator<=>(const PairKey&) const = default;
};

// Keeps the first `limit` pairs in listing order without holding every pair found.
class FirstPairs {
public:
    explicit FirstPairs(int limit) : limit_(size_t(std::max(limit, 0))) {}

    void add(const PairKey& key, int percent) {
        if (limit_ == 0 || (last_ && !(key < *last_))) {
            return;
        }
        pairs_.push_back({key, percent});
        if (pairs_.size() >= 2 * limit_) {
            trim();
        }
    }

    std::vector<std::pair<PairKey, int>> take() {
        trim();
        return std::move(pairs_);
    }

private:
    void trim() {
        std::sort(pairs_.begin(), pairs_.end());
        if (pairs_.size() > limit_) {
            pairs_.resize(limit_);
        }
        if (pairs_.size() == limit_ && limit_ > 0) {
            last_ = pairs_.back().first;  // from now on only pairs before it matter
        }
    }

    size_t limit_;
    std::optional<PairKey> last_;
    std::vector<std::pair<PairKey, int>> pairs_;
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
    // What the cheap filters need, side by side, so that a rejected candidate costs little.
    std::vector<int> sizes;
    std::vector<int> exhibits;
    for (const Stem& s : stems) {
        sizes.push_back(int(s.set.size()));
        exhibits.push_back(s.exhibit);
    }
    std::vector<int> examRank(size_t(exams.size()));
    for (int e = 0; e < exams.size(); ++e) {
        for (int o = 0; o < exams.size(); ++o) {
            const bool before =
                exams[o].name < exams[e].name || (exams[o].name == exams[e].name && o < e);
            examRank[size_t(e)] += before ? 1 : 0;
        }
    }
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
                const double smaller = double(std::min(size_t(sizes[size_t(m)]), size));
                const double larger = double(std::max(size_t(sizes[size_t(m)]), size));
                if (exhibits[size_t(m)] != s.exhibit || smaller + 1e-9 < threshold * larger) {
                    continue;
                }
                const Stem& t = stems[size_t(m)];
                const qsizetype shared = overlap(s.set, t.set);
                const double jaccard =
                    double(shared) / double(qsizetype(size + t.set.size()) - shared);
                if (jaccard + 1e-9 < threshold) {
                    continue;
                }
                ++out.count;
                const int alike =
                    t.words == s.words ? 100 : std::min(99, int(std::floor(jaccard * 100)));
                first.add({examRank[size_t(t.exam)], exams[t.exam].questions[t.index].id,
                           examRank[size_t(s.exam)], exams[s.exam].questions[s.index].id},
                          alike);
            }
            byPrefixWord[word].push_back(int(n));
        }
    }
    std::vector<QString> names(exams.size());
    for (int e = 0; e < exams.size(); ++e) {
        names[size_t(examRank[size_t(e)])] = exams[e].name;
    }
    for (const auto& [key, percent] : first.take()) {
        out.first << AlikeStems{names[size_t(key.examA)], key.idA, names[size_t(key.examB)],
                                key.idB, percent};
    }
    return out;
}

}  // namespace bank
