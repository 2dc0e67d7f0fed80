#include "bank_fairness.h"

#include "stem_echo.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bank {

namespace {

// Choices run from the first answer to the last non-empty one: the window always shows the
// first three, and hides only empty fourth and fifth ones.
int choicesOffered(const FairQuestion& q) {
    int last = 0;
    for (int i = 0; i < std::min<int>(int(q.answers.size()), kLetters); ++i) {
        if (!q.answers[i].trimmed().isEmpty()) {
            last = i + 1;
        }
    }
    return last;
}

bool isRight(const FairQuestion& q, int i) {
    return i < q.correct.size() && q.correct[i];
}

double combinations(int n, int k) {
    double c = 1.0;
    for (int i = 1; i <= k; ++i) {
        c = c * (n - k + i) / i;
    }
    return c;
}

QString idList(const QList<qint64>& ids) {
    QStringList texts;
    for (const qint64 id : ids) {
        texts << QString::number(id);
    }
    return texts.join(QLatin1String(", "));
}

QChar letter(int i) {
    return QChar(u'A' + i);
}

int percent(double share) {
    return int(std::floor(share * 100.0));
}

}  // namespace

int ExamFairness::fewerThanFourChoices() const {
    int n = 0;
    for (auto it = choiceCounts.constBegin(); it != choiceCounts.constEnd(); ++it) {
        n += it.key() < 4 ? it.value() : 0;
    }
    return n;
}

double ExamFairness::longestRightShare() const {
    return singleAnswer == 0 ? 0.0 : double(singleLongestRight) / singleAnswer;
}

double ExamFairness::stemEchoShare() const {
    return questions == 0 ? 0.0 : double(stemEchoes.size()) / questions;
}

ExamFairness measureExam(const FairExam& exam) {
    ExamFairness f;
    f.name = exam.name;
    f.questions = int(exam.questions.size());
    double chance = 0.0;
    const StemEcho echo(exam);
    for (const FairQuestion& q : exam.questions) {
        if (echo.keyEchoesStem(q)) {
            f.stemEchoes << q.id;
        }
        const int offered = choicesOffered(q);
        ++f.choiceCounts[offered];
        int keyed = 0;
        bool emptyChoice = offered < 3;
        for (int i = 0; i < kLetters; ++i) {
            const bool right = isRight(q, i);
            keyed += right ? 1 : 0;
            const bool empty = i >= q.answers.size() || q.answers[i].trimmed().isEmpty();
            if ((i < std::max(offered, 3) || right) && empty) {
                emptyChoice = true;
            }
        }
        if (emptyChoice) {
            f.emptyChoices << q.id;
        }
        if (keyed == 0) {
            f.noKey << q.id;
            continue;
        }
        if (keyed == 1) {
            ++f.singleAnswer;
        } else {
            ++f.multipleAnswer;
        }
        for (int i = 0; i < kLetters; ++i) {
            f.rightByLetter[i] += isRight(q, i) ? 1 : 0;
            if (i < offered) {
                f.fairShareByLetter[i] += double(keyed) / offered;
            }
        }
        if (offered == 0 || keyed > offered) {
            continue;
        }
        chance += 1.0 / combinations(offered, keyed);

        std::vector<int> order(size_t(offered), 0);
        std::iota(order.begin(), order.end(), 0);
        const auto length = [&](int i) { return q.answers[i].trimmed().size(); };
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return length(a) > length(b); });
        bool won = true;
        for (int rank = 0; rank < offered; ++rank) {
            won = won && (rank < keyed) == isRight(q, order[size_t(rank)]);
        }
        f.guesserRight += won ? 1 : 0;
        if (keyed == 1 && isRight(q, order[0]) &&
            (offered == 1 || length(order[1]) < length(order[0]))) {
            ++f.singleLongestRight;
        }
    }
    if (f.questions > 0) {
        f.guesserScore = int(std::floor(double(f.guesserRight) / f.questions * 1000.0));
        f.chanceScore = int(std::floor(chance / f.questions * 1000.0));
    }
    return f;
}

QStringList fairnessWarnings(const ExamFairness& f) {
    QStringList w;
    if (f.questions == 0) {
        return w;
    }
    if (f.guesserScore > kGuesserWarnAbove) {
        w << QStringLiteral("%1: picking the longest choice scores %2/1000, above %3")
                 .arg(f.name)
                 .arg(f.guesserScore)
                 .arg(kGuesserWarnAbove);
    }
    if (f.longestRightShare() > kLongestShareWarnAbove) {
        w << QStringLiteral(
                 "%1: the right choice is the strictly longest in %2 % of single-answer "
                 "questions, above %3 %")
                 .arg(f.name)
                 .arg(percent(f.longestRightShare()))
                 .arg(percent(kLongestShareWarnAbove));
    }
    if (f.fewerThanFourChoices() > 0) {
        w << QStringLiteral("%1: %2 question(s) offer three choices or fewer")
                 .arg(f.name)
                 .arg(f.fewerThanFourChoices());
    }
    for (int i = 0; i < kLetters; ++i) {
        if (f.rightByLetter[i] > kLetterShareWarnFactor * f.fairShareByLetter[i]) {
            w << QStringLiteral("%1: %2 is right %3 time(s), more than twice its fair share of %4")
                     .arg(f.name)
                     .arg(letter(i))
                     .arg(f.rightByLetter[i])
                     .arg(f.fairShareByLetter[i], 0, 'f', 1);
        }
    }
    if (f.stemEchoShare() > kStemEchoWarnAbove) {
        w << QStringLiteral(
                 "%1: the key alone repeats a distinctive word of the stem in %2 % of "
                 "questions, above %3 %")
                 .arg(f.name)
                 .arg(percent(f.stemEchoShare()))
                 .arg(percent(kStemEchoWarnAbove));
    }
    if (!f.noKey.isEmpty()) {
        w << QStringLiteral("%1: %2 question(s) have no right choice")
                 .arg(f.name)
                 .arg(f.noKey.size());
    }
    if (!f.emptyChoices.isEmpty()) {
        w << QStringLiteral("%1: %2 question(s) show an empty choice")
                 .arg(f.name)
                 .arg(f.emptyChoices.size());
    }
    return w;
}

QStringList fairnessLines(const ExamFairness& f) {
    if (f.questions == 0) {
        return {QStringLiteral("%1: no questions").arg(f.name)};
    }
    QStringList lines;
    lines << QStringLiteral("%1: %2 questions (%3 single answer, %4 multiple answer)")
                 .arg(f.name)
                 .arg(f.questions)
                 .arg(f.singleAnswer)
                 .arg(f.multipleAnswer);
    QStringList counts;
    for (auto it = f.choiceCounts.constBegin(); it != f.choiceCounts.constEnd(); ++it) {
        counts << QStringLiteral("%1 choices: %2").arg(it.key()).arg(it.value());
    }
    lines << QStringLiteral("  choices per question: ") + counts.join(QLatin1String(", "));
    QStringList letters;
    for (int i = 0; i < kLetters; ++i) {
        if (f.fairShareByLetter[i] > 0.0 || f.rightByLetter[i] > 0) {
            letters << QStringLiteral("%1 %2 (fair %3)")
                           .arg(letter(i))
                           .arg(f.rightByLetter[i])
                           .arg(f.fairShareByLetter[i], 0, 'f', 1);
        }
    }
    lines << QStringLiteral("  right letters: ") + letters.join(QLatin1String(", "));
    lines << QStringLiteral("  longest choice right: %1 of %2 single-answer questions (%3 %)")
                 .arg(f.singleLongestRight)
                 .arg(f.singleAnswer)
                 .arg(percent(f.longestRightShare()));
    lines << QStringLiteral("  stem echo: %1 of %2 questions (%3 %)")
                 .arg(f.stemEchoes.size())
                 .arg(f.questions)
                 .arg(percent(f.stemEchoShare()));
    lines << QStringLiteral("  longest-choice guesser: %1/1000 (blind chance %2/1000)")
                 .arg(f.guesserScore)
                 .arg(f.chanceScore);
    if (!f.noKey.isEmpty()) {
        lines << QStringLiteral("  no right choice: ID ") + idList(f.noKey);
    }
    if (!f.emptyChoices.isEmpty()) {
        lines << QStringLiteral("  empty choice shown: ID ") + idList(f.emptyChoices);
    }
    return lines;
}

}  // namespace bank
