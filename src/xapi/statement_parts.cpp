#include "xapi/statement_parts.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <QUuid>
#include <limits>

#include "xapi/json_text.h"

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

std::optional<int> durationSeconds(const QString& iso) {
    static const QRegularExpression form(QStringLiteral(
        "^P(?:(\\d+)W)?(?:(\\d+)D)?(?:T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+(?:\\.\\d+)?)S)?)?$"));
    const QRegularExpressionMatch m = form.match(iso);
    // "P" and "PT" alone name no length.
    if (!m.hasMatch() || iso == u"P" || iso.endsWith(u'T')) {
        return std::nullopt;
    }
    const double seconds = m.captured(1).toDouble() * 604800 + m.captured(2).toDouble() * 86400 +
                           m.captured(3).toDouble() * 3600 + m.captured(4).toDouble() * 60 +
                           m.captured(5).toDouble();
    if (seconds > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return int(seconds);
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

QByteArray agentJson(const QString& homePage, const QString& name) {
    JsonText json;
    json.open('{').key("objectType").text(u"Agent").key("name").text(name);
    json.key("account").open('{').key("homePage").text(homePage).key("name").text(name);
    return json.close('}').close('}').take();
}

QByteArray adlVerbJson(const QString& word) {
    JsonText json;
    json.open('{').key("id").text(
        QString(QStringLiteral("http://adlnet.gov/expapi/verbs/") + word));
    json.key("display").open('{').key("en-US").text(word).close('}');
    return json.close('}').take();
}

QByteArray contextJson(const QString& registration, const QString& parentIri) {
    JsonText json;
    json.open('{').key("registration").text(registration);
    json.key("platform").text(u"Praxilo").key("language").text(u"en-US");
    if (!parentIri.isEmpty()) {
        json.key("contextActivities").open('{').key("parent").open('[');
        json.open('{').key("objectType").text(u"Activity").key("id").text(parentIri).close('}');
        json.close(']').close('}');
    }
    return json.close('}').take();
}

QString timestampNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

Statement statement(const QString& timestamp, const QByteArray& actor, const QByteArray& verb,
                    const QByteArray& object, const QByteArray& result, const QByteArray& context) {
    Statement s{QUuid::createUuid().toString(QUuid::WithoutBraces), {}};
    JsonText json;
    json.open('{').key("id").text(s.id).key("timestamp").text(timestamp);
    json.key("actor").raw(actor).key("verb").raw(verb).key("object").raw(object);
    json.key("result").raw(result).key("context").raw(context);
    s.json = json.close('}').take();
    return s;
}

}  // namespace xapi
