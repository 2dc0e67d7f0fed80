#include "app/custom_exam.h"

#include <QStringList>
#include <algorithm>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/window_flow.h"
#include "app/window_names.h"
#include "look/preferences.h"

namespace app {
namespace {

std::optional<CustomExam> current;

const QString kNameKey = QStringLiteral("exam/candidate");

std::optional<int> wholeNumber(QStringView text, int lowest, int highest) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < lowest || n > highest) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

QString questionCount(int n) {
    return n == 1 ? QStringLiteral("1 question") : QStringLiteral("%1 questions").arg(n);
}

QString customTitle(const CustomExam& custom) {
    const QString exam = edition().demo ? QStringLiteral("Exam #%1 Demo").arg(custom.exam)
                                        : QStringLiteral("Exam #%1").arg(custom.exam);
    return QStringLiteral("Custom exam: %1 from %2").arg(questionCount(custom.questions), exam);
}

QString encodeCustom(const CustomExam& custom) {
    QStringList categories;
    for (int category : custom.categories) {
        categories << QString::number(category);
    }
    return QStringLiteral("exam=%1 categories=%2 questions=%3 minutes=%4 mode=%5")
        .arg(custom.exam)
        .arg(categories.join(QLatin1Char(',')))
        .arg(custom.questions)
        .arg(custom.minutes)
        .arg(custom.practice ? QStringLiteral("practice") : QStringLiteral("timed"));
}

std::optional<CustomExam> decodeCustom(const QString& text) {
    CustomExam custom;
    QStringList seen;
    for (const QStringView part : QStringView(text).split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals <= 0) {
            return std::nullopt;
        }
        const QString key = part.left(equals).toString();
        const QStringView value = part.mid(equals + 1);
        if (seen.contains(key)) {
            return std::nullopt;
        }
        seen << key;
        std::optional<int> n;
        if (key == QLatin1String("exam")) {
            n = wholeNumber(value, 1, 3);
            custom.exam = n.value_or(0);
        } else if (key == QLatin1String("questions")) {
            n = wholeNumber(value, 1, 32767);
            custom.questions = n.value_or(0);
        } else if (key == QLatin1String("minutes")) {
            n = wholeNumber(value, 0, kMaxCustomMinutes);
            custom.minutes = n.value_or(0);
        } else if (key == QLatin1String("mode")) {
            if (value != u"practice" && value != u"timed") {
                return std::nullopt;
            }
            custom.practice = value == u"practice";
            n = 0;
        } else if (key == QLatin1String("categories")) {
            custom.categories.clear();
            for (const QStringView item : value.split(u',', Qt::SkipEmptyParts)) {
                const std::optional<int> category = wholeNumber(item, 0, 1000000);
                if (!category) {
                    return std::nullopt;
                }
                custom.categories.push_back(*category);
            }
            std::sort(custom.categories.begin(), custom.categories.end());
            const bool distinct =
                std::adjacent_find(custom.categories.begin(), custom.categories.end()) ==
                custom.categories.end();
            n = distinct && !custom.categories.empty() ? std::optional<int>(0) : std::nullopt;
        }
        if (!n) {
            return std::nullopt;
        }
    }
    if (seen.size() != 5) {
        return std::nullopt;
    }
    return custom;
}

const std::optional<CustomExam>& customExam() {
    return current;
}

bool isCustomExam() {
    return current.has_value();
}

void setCustomExam(const CustomExam& custom) {
    current = custom;
    ExamSettings.ActiveExam = qint16(custom.exam);
    ExamSettings.QuestionsPerExam = qint16(custom.questions);
}

void clearCustomExam() {
    current.reset();
    ExamSettings.QuestionsPerExam = edition().questionsPerExam;
}

QString lastCandidateName() {
    if (!ExamSettings.CandidateName.isEmpty()) {
        return ExamSettings.CandidateName;
    }
    return look::preference(kNameKey, edition().nameDefault).toString();
}

void rememberCandidateName(const QString& name) {
    look::setPreference(kNameKey, name);
}

bool startCustomExam(const CustomExam& custom) {
    if (examUnderWay() || custom.questions < 1 || custom.categories.empty()) {
        return false;
    }
    const qint16 activeBefore = ExamSettings.ActiveExam;
    ExamSettings.CandidateName = lastCandidateName();
    setCustomExam(custom);
    beginExam();
    // Without an exam window to go to nothing changes: the menu must stay reachable.
    if (!flow::open(win::Exam)) {
        endExam();
        clearCustomExam();
        ExamSettings.ActiveExam = activeBefore;
        return false;
    }
    flow::hide(win::Intro);
    flow::hide(win::Notice);
    flow::hide(win::MainMenu);
    return true;
}

}  // namespace app
