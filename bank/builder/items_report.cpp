#include "items_report.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <memory>

#include "item_analysis.h"
#include "source_fields.h"

namespace bank {
namespace {

QString letter(int c) {
    return QString(QChar(u'A' + c));
}

QString figure(const std::optional<double>& value, int decimals = 2) {
    if (!value) {
        return QStringLiteral("–");
    }
    QString text = QString::number(*value, 'f', decimals);
    // A small negative rounds to zero, not to "-0.00".
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - (decimals > 0 ? 2 : 1)) {
        text.remove(0, 1);
    }
    return text;
}

// The exams' questions by ID, to place each answer.
struct ExamIndex {
    QHash<qint64, int> place;  // question ID -> item
    const FairExam* exam = nullptr;
};

// One pass over every source: each attempt once, whatever source holds it.
struct Pass {
    using Take = std::function<void(int exam, const std::vector<ItemResponse>&)>;
    Pass(const std::vector<ExamIndex>& index, Take take) : index(index), take(std::move(take)) {}

    const std::vector<ExamIndex>& index;
    Take take;
    // Each attempt's identity as 128 bits of hash: a classroom's hundred thousand attempts are
    // told apart in a few megabytes, and two identities share a hash with odds beyond counting.
    QSet<std::pair<size_t, size_t>> seen;
    int duplicates = 0;
    int unknownExam = 0;
    int unknownQuestions = 0;  // answers to questions the bank lacks
    int blank = 0;             // every answer left blank
    std::map<QString, int> leftOut;

    void over(const std::vector<ResponseSource>& sources) {
        for (const ResponseSource& source : sources) {
            const SourceReading reading = source.read([this](const SourcedAttempt& a) { one(a); });
            for (const auto& [why, count] : reading.leftOut) {
                leftOut[why] += count;
            }
        }
    }

    void one(const SourcedAttempt& attempt) {
        const std::pair<size_t, size_t> identity{qHash(attempt.identity, size_t(0x9E3779B9)),
                                                 qHash(attempt.identity, size_t(0x85EBCA6B))};
        if (seen.contains(identity)) {
            ++duplicates;
            return;
        }
        seen.insert(identity);
        if (attempt.exam < 1 || attempt.exam > int(index.size())) {
            ++unknownExam;
            return;
        }
        const ExamIndex& exam = index[size_t(attempt.exam - 1)];
        std::vector<ItemResponse> responses;
        bool anyAnswer = false;
        for (const SourcedAnswer& a : attempt.answers) {
            anyAnswer = anyAnswer || !a.chosen || *a.chosen != 0;
            const auto found = exam.place.constFind(a.question);
            if (found == exam.place.constEnd()) {
                ++unknownQuestions;
                continue;
            }
            responses.push_back({found.value(), a.correct, a.chosen, a.seconds});
        }
        if (!anyAnswer) {
            ++blank;  // walked away at the first question: no measure of anything
        } else if (!responses.empty()) {
            take(attempt.exam - 1, responses);
        }
    }
};

QStringList flagsOf(const FairQuestion& q, const ItemFigures& item, int minAttempts) {
    if (item.attempts < minAttempts) {
        return {QStringLiteral("too few attempts (%1)").arg(item.attempts)};
    }
    QStringList flags;
    if (item.facility < 0.25) {
        flags << QStringLiteral("too hard (facility %1)").arg(item.facility, 0, 'f', 2);
    }
    if (item.facility > 0.95) {
        flags << QStringLiteral("too easy (facility %1)").arg(item.facility, 0, 'f', 2);
    }
    if (!item.pointBiserial || *item.pointBiserial < 0.10) {
        flags << QStringLiteral("not discriminating (point-biserial %1)")
                     .arg(figure(item.pointBiserial));
    }
    if (item.knownChoices >= minAttempts) {
        double weakestKey = 1;
        for (int c = 0; c < kLetters && c < q.correct.size(); ++c) {
            if (q.correct[c]) {
                weakestKey = std::min(weakestKey, item.upperChoiceShare[size_t(c)]);
            }
        }
        for (int c = 0; c < kLetters && c < q.answers.size(); ++c) {
            if (q.answers[c].trimmed().isEmpty()) {
                continue;
            }
            if (!q.correct[c] && item.upperChoiceShare[size_t(c)] > weakestKey) {
                flags << QStringLiteral(
                             "choice %1 draws the upper group more than the key "
                             "(%2 against %3): check the key")
                             .arg(letter(c))
                             .arg(item.upperChoiceShare[size_t(c)], 0, 'f', 2)
                             .arg(weakestKey, 0, 'f', 2);
            }
            // On a question everyone gets right every distractor is dead: "too easy" says it.
            if (item.choiceShare[size_t(c)] == 0 && item.facility <= 0.95) {
                flags << QStringLiteral("choice %1 is picked by nobody (a dead distractor)")
                             .arg(letter(c));
            }
        }
    }
    return flags;
}

}  // namespace

QString bankEdition(const QString& database) {
    const QString name = QFileInfo(database).fileName();
    if (name.compare(QLatin1String("kvn009.mdb"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("demo");
    }
    return QStringLiteral("full");
}

ItemsReport itemsReport(const QString& database, const QList<FairExam>& exams,
                        const std::vector<ResponseSource>& sources, const ItemsOptions& options) {
    ItemsReport report;
    std::vector<ExamIndex> index(size_t(exams.size()));
    std::vector<std::unique_ptr<ItemAnalysis>> analyses;
    for (qsizetype e = 0; e < exams.size(); ++e) {
        index[size_t(e)].exam = &exams[e];
        for (qsizetype i = 0; i < exams[e].questions.size(); ++i) {
            index[size_t(e)].place.insert(exams[e].questions[i].id, int(i));
        }
        analyses.push_back(std::make_unique<ItemAnalysis>(int(exams[e].questions.size())));
    }
    Pass counting{
        index, [&](int e, const std::vector<ItemResponse>& r) { analyses[size_t(e)]->count(r); }};
    counting.over(sources);
    Pass grouping{index, [&](int e, const std::vector<ItemResponse>& r) {
                      analyses[size_t(e)]->countGroups(r);
                  }};
    grouping.over(sources);

    if (counting.duplicates > 0) {
        report.skipped << QStringLiteral("%1 attempt(s) held by more than one source, counted once")
                              .arg(counting.duplicates);
    }
    for (const auto& [why, count] : counting.leftOut) {
        report.skipped << QStringLiteral("%1 %2, left out").arg(count).arg(why);
    }
    if (counting.blank > 0) {
        report.skipped << QStringLiteral("%1 attempt(s) with every answer blank, left out")
                              .arg(counting.blank);
    }
    if (counting.unknownExam > 0) {
        report.skipped << QStringLiteral("%1 attempt(s) of an exam the bank lacks, left out")
                              .arg(counting.unknownExam);
    }
    if (counting.unknownQuestions > 0) {
        report.skipped << QStringLiteral("%1 answer(s) to questions the bank lacks, left out")
                              .arg(counting.unknownQuestions);
    }

    report.csv << QStringLiteral(
        "exam,question,attempts,facility,point_biserial,discrimination,share_a,share_b,"
        "share_c,share_d,share_e,r_a,r_b,r_c,r_d,r_e,median_seconds,alpha_if_dropped,flags");
    report.lines << QStringLiteral("%1, %2 source(s)").arg(database).arg(sources.size());
    for (qsizetype e = 0; e < exams.size(); ++e) {
        const ExamFigures figures = analyses[size_t(e)]->figures();
        const FairExam& exam = exams[e];
        QString head = QStringLiteral("Exam #%1 (%2): %3 attempt(s)")
                           .arg(e + 1)
                           .arg(exam.name)
                           .arg(figures.attempts);
        if (figures.attempts >= options.minAttempts) {
            head += QStringLiteral("; score mean %1, sd %2 (questions right); KR-20 %3; SEM %4")
                        .arg(figures.meanScore, 0, 'f', 1)
                        .arg(figures.sdScore, 0, 'f', 1)
                        .arg(figure(figures.kr20))
                        .arg(figure(figures.sem, 1));
        } else if (figures.attempts > 0) {
            head += QStringLiteral("; too few attempts for its figures (under %1)")
                        .arg(options.minAttempts);
        }
        report.lines << head;
        const QString examName = QStringLiteral("Exam #%1 (%2)").arg(e + 1).arg(exam.name);
        if (figures.attempts == 0) {
            report.summary << examName + QStringLiteral(": no attempts in the responses");
            continue;
        }
        int flagged = 0;
        int tooFew = 0;
        report.lines << QStringLiteral(
            "  question attempts facility  r_pb     D  choices: share (r with rest)  median s  "
            "alpha w/o");
        QStringList flagLines;
        for (qsizetype i = 0; i < exam.questions.size(); ++i) {
            const FairQuestion& q = exam.questions[i];
            const ItemFigures& item = figures.items[size_t(i)];
            const bool enough = item.attempts >= options.minAttempts;
            QStringList choices;
            QStringList csvShares;
            QStringList csvR;
            for (int c = 0; c < kLetters; ++c) {
                const bool shown = c < q.answers.size() && !q.answers[c].trimmed().isEmpty();
                const QString mark =
                    c < q.correct.size() && q.correct[c] ? QStringLiteral("*") : QString();
                if (shown && enough) {
                    choices << QStringLiteral("%1%2 %3 (%4)")
                                   .arg(letter(c), mark)
                                   .arg(item.choiceShare[size_t(c)], 0, 'f', 2)
                                   .arg(figure(item.choiceRestCorrelation[size_t(c)]));
                }
                csvShares << (shown && enough ? QString::number(item.choiceShare[size_t(c)], 'f', 4)
                                              : QString());
                csvR << (shown && enough && item.choiceRestCorrelation[size_t(c)]
                             ? QString::number(*item.choiceRestCorrelation[size_t(c)], 'f', 4)
                             : QString());
            }
            const QStringList flags = flagsOf(q, item, options.minAttempts);
            if (enough) {
                report.lines << QStringLiteral("  %1 %2 %3 %4 %5  %6  %7  %8")
                                    .arg(q.id, 8)
                                    .arg(item.attempts, 8)
                                    .arg(item.facility, 8, 'f', 2)
                                    .arg(figure(item.pointBiserial), 5)
                                    .arg(figure(item.discrimination), 5)
                                    .arg(choices.join(QStringLiteral(", ")))
                                    .arg(figure(item.medianSeconds, 0), 5)
                                    .arg(figure(figures.alphaIfDropped[size_t(i)]));
            } else {
                report.lines << QStringLiteral("  %1 %2  too few attempts")
                                    .arg(q.id, 8)
                                    .arg(item.attempts, 8);
            }
            for (const QString& flag : flags) {
                flagLines << QStringLiteral("  question %1: %2").arg(q.id).arg(flag);
            }
            tooFew += enough ? 0 : 1;
            flagged += enough && !flags.isEmpty() ? 1 : 0;
            const auto csvFigure = [enough](const std::optional<double>& v) {
                return enough && v ? QString::number(*v, 'f', 4) : QString();
            };
            report.csv << QStringList{QString::number(e + 1),
                                      QString::number(q.id),
                                      QString::number(item.attempts),
                                      enough ? QString::number(item.facility, 'f', 4) : QString(),
                                      csvFigure(item.pointBiserial),
                                      csvFigure(item.discrimination),
                                      csvShares.join(u','),
                                      csvR.join(u','),
                                      csvFigure(item.medianSeconds),
                                      csvFigure(figures.alphaIfDropped[size_t(i)]),
                                      QStringLiteral("\"%1\"").arg(
                                          flags.join(QStringLiteral("; ")).replace(u'"', u'\''))}
                              .join(u',');
        }
        if (!flagLines.isEmpty()) {
            report.lines << QStringLiteral(" flags:") << flagLines;
        }
        if (figures.attempts < options.minAttempts) {
            report.summary << examName + QStringLiteral(": %1 attempt(s), too few for figures")
                                             .arg(figures.attempts);
            continue;
        }
        report.summary << examName + QStringLiteral(
                                         ": %1 attempt(s), KR-20 %2, SEM %3; %4 "
                                         "question(s) flagged, %5 with too few attempts")
                                         .arg(figures.attempts)
                                         .arg(figure(figures.kr20))
                                         .arg(figure(figures.sem, 1))
                                         .arg(flagged)
                                         .arg(tooFew);
    }
    return report;
}

}  // namespace bank
