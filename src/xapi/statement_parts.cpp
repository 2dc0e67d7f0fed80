#include "xapi/statement_parts.h"

#include <QDateTime>
#include <QJsonArray>
#include <QStringList>
#include <QUuid>

namespace xapi {

QString bankIri(const QString& bankName) {
    QString slug;
    for (const QChar c : bankName.toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            slug += c;
        } else if (!slug.isEmpty() && !slug.endsWith(u'-')) {
            slug += u'-';
        }
    }
    while (slug.endsWith(u'-')) {
        slug.chop(1);
    }
    return QStringLiteral("urn:praxilo:bank:") +
           (slug.isEmpty() ? QStringLiteral("unnamed") : slug);
}

QString examIri(const QString& bankName, int exam, const QString& kind) {
    QString iri = bankIri(bankName) + QStringLiteral(":exam:") + QString::number(exam);
    if (!kind.isEmpty()) {
        iri += u':' + kind;
    }
    return iri;
}

QString questionIri(const QString& bankName, int exam, qint64 questionId) {
    return examIri(bankName, exam) + QStringLiteral(":question:") + QString::number(questionId);
}

QString isoDuration(int seconds) {
    seconds = qMax(0, seconds);
    const int hours = seconds / 3600;
    const int minutes = seconds / 60 % 60;
    QString text = QStringLiteral("PT");
    if (hours > 0) {
        text += QString::number(hours) + u'H';
    }
    if (minutes > 0) {
        text += QString::number(minutes) + u'M';
    }
    if (seconds % 60 > 0 || seconds == 0) {
        text += QString::number(seconds % 60) + u'S';
    }
    return text;
}

QString responseLetters(const std::array<bool, 5>& chosen) {
    QStringList letters;
    for (int n = 0; n < 5; ++n) {
        if (chosen[size_t(n)]) {
            letters << QString(QChar(u'A' + n));
        }
    }
    return letters.join(QStringLiteral("[,]"));
}

QJsonObject agent(const QString& homePage, const QString& name) {
    return {{QStringLiteral("objectType"), QStringLiteral("Agent")},
            {QStringLiteral("name"), name},
            {QStringLiteral("account"),
             QJsonObject{{QStringLiteral("homePage"), homePage}, {QStringLiteral("name"), name}}}};
}

QJsonObject adlVerb(const QString& word) {
    return {
        {QStringLiteral("id"), QString(QStringLiteral("http://adlnet.gov/expapi/verbs/") + word)},
        {QStringLiteral("display"), QJsonObject{{QStringLiteral("en-US"), word}}}};
}

QJsonObject statement(const QJsonObject& actor, const QJsonObject& verb, const QJsonObject& object,
                      const QJsonObject& result, const QString& registration,
                      const QString& parentIri) {
    QJsonObject context{{QStringLiteral("registration"), registration},
                        {QStringLiteral("platform"), QStringLiteral("Praxilo")},
                        {QStringLiteral("language"), QStringLiteral("en-US")}};
    if (!parentIri.isEmpty()) {
        const QJsonObject parent{{QStringLiteral("objectType"), QStringLiteral("Activity")},
                                 {QStringLiteral("id"), parentIri}};
        context.insert(QStringLiteral("contextActivities"),
                       QJsonObject{{QStringLiteral("parent"), QJsonArray{parent}}});
    }
    return {
        {QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
        {QStringLiteral("timestamp"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("actor"), actor},
        {QStringLiteral("verb"), verb},
        {QStringLiteral("object"), object},
        {QStringLiteral("result"), result},
        {QStringLiteral("context"), context}};
}

}  // namespace xapi
