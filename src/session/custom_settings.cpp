#include "session/custom_settings.h"

#include <QStringList>
#include <algorithm>

namespace session {
namespace {

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

QString encodeCustom(const CustomExam& custom) {
    QStringList categories;
    for (int category : custom.categories) {
        categories << QString::number(category);
    }
    QString text = QStringLiteral("exam=%1 categories=%2 questions=%3 minutes=%4 mode=%5")
                       .arg(custom.exam)
                       .arg(categories.join(QLatin1Char(',')))
                       .arg(custom.questions)
                       .arg(custom.minutes)
                       .arg(custom.practice ? QStringLiteral("practice") : QStringLiteral("timed"));
    if (!custom.ids.empty()) {
        QStringList ids;
        for (qint64 id : custom.ids) {
            ids << QString::number(id);
        }
        text += QStringLiteral(" ids=") + ids.join(QLatin1Char(','));
    }
    return text;
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
            n = distinct ? std::optional<int>(0) : std::nullopt;
        } else if (key == QLatin1String("ids")) {
            for (const QStringView item : value.split(u',', Qt::SkipEmptyParts)) {
                bool ok = false;
                const qint64 id = item.toLongLong(&ok);
                if (!ok) {
                    return std::nullopt;
                }
                custom.ids.push_back(id);
            }
            n = custom.ids.empty() ? std::nullopt : std::optional<int>(0);
        }
        if (!n) {
            return std::nullopt;
        }
    }
    // A draw needs categories; a review its questions, checked one by one.
    const bool review = !custom.ids.empty();
    if (seen.size() != (review ? 6 : 5) || (!review && custom.categories.empty()) ||
        (review && (!custom.practice || custom.questions != int(custom.ids.size())))) {
        return std::nullopt;
    }
    return custom;
}

}  // namespace session
