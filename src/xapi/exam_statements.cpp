#include "xapi/exam_statements.h"

#include <QJsonArray>

#include "xapi/statement_parts.h"

namespace xapi {
namespace {

QJsonObject inEnglish(const QString& text) {
    return {{QStringLiteral("en-US"), text}};
}

QString kindWord(AttemptFacts::Kind kind) {
    switch (kind) {
        case AttemptFacts::Kind::Custom:
            return QStringLiteral("custom");
        case AttemptFacts::Kind::Practice:
            return QStringLiteral("practice");
        case AttemptFacts::Kind::Fixed:
            break;
    }
    return QString();
}

QString examTitle(const AttemptFacts& attempt) {
    const QString exam = QStringLiteral("Exam #%1").arg(attempt.exam);
    switch (attempt.kind) {
        case AttemptFacts::Kind::Custom:
            return QStringLiteral("%1, custom exam from %2").arg(attempt.bank, exam);
        case AttemptFacts::Kind::Practice:
            return QStringLiteral("%1, practice from %2").arg(attempt.bank, exam);
        case AttemptFacts::Kind::Fixed:
            break;
    }
    return QStringLiteral("%1, %2").arg(attempt.bank, exam);
}

QJsonObject examActivity(const AttemptFacts& attempt) {
    const QJsonObject definition{
        {QStringLiteral("type"), QStringLiteral("http://adlnet.gov/expapi/activities/assessment")},
        {QStringLiteral("name"), inEnglish(examTitle(attempt))}};
    return {{QStringLiteral("objectType"), QStringLiteral("Activity")},
            {QStringLiteral("id"), examIri(attempt.bank, attempt.exam, kindWord(attempt.kind))},
            {QStringLiteral("definition"), definition}};
}

QJsonObject questionActivity(const AttemptFacts& attempt, const session::QuestionScore& q) {
    QJsonArray choices;
    for (int n = 0; n < 5; ++n) {
        const QString& text = q.choices[size_t(n)];
        if (!text.trimmed().isEmpty()) {
            choices.append(QJsonObject{{QStringLiteral("id"), QString(QChar(u'A' + n))},
                                       {QStringLiteral("description"), inEnglish(text)}});
        }
    }
    const QJsonObject definition{
        {QStringLiteral("type"),
         QStringLiteral("http://adlnet.gov/expapi/activities/cmi.interaction")},
        {QStringLiteral("name"), inEnglish(q.question)},
        {QStringLiteral("interactionType"), QStringLiteral("choice")},
        {QStringLiteral("correctResponsesPattern"), QJsonArray{responseLetters(q.key)}},
        {QStringLiteral("choices"), choices}};
    return {{QStringLiteral("objectType"), QStringLiteral("Activity")},
            {QStringLiteral("id"), questionIri(attempt.bank, attempt.exam, q.id)},
            {QStringLiteral("definition"), definition}};
}

QJsonObject actorOf(const AttemptFacts& attempt) {
    return agent(attempt.homePage, attempt.candidate);
}

QJsonObject examResult(const AttemptFacts& attempt, const session::ScoreReport& report) {
    QJsonArray categories;
    for (const session::CategoryScore& c : report.categories) {
        categories.append(QJsonObject{{QStringLiteral("name"), c.name},
                                      {QStringLiteral("total"), c.total},
                                      {QStringLiteral("correct"), c.correct}});
    }
    const QJsonObject score{{QStringLiteral("raw"), report.score},
                            {QStringLiteral("min"), 0},
                            {QStringLiteral("max"), 1000},
                            {QStringLiteral("scaled"), report.score / 1000.0}};
    QJsonObject result{{QStringLiteral("score"), score},
                       {QStringLiteral("completion"), true},
                       {QStringLiteral("duration"), isoDuration(attempt.secondsUsed)},
                       {QStringLiteral("extensions"),
                        QJsonObject{{QString::fromLatin1(kCategoriesExtension), categories}}}};
    if (attempt.kind != AttemptFacts::Kind::Practice) {
        result.insert(QStringLiteral("success"), report.passed);
    }
    return result;
}

}  // namespace

QJsonObject answeredStatement(const AttemptFacts& attempt, const session::QuestionScore& q) {
    const QJsonObject result{{QStringLiteral("response"), responseLetters(q.chosen)},
                             {QStringLiteral("success"), q.correct},
                             {QStringLiteral("duration"), isoDuration(q.seconds)}};
    return statement(actorOf(attempt), adlVerb(QStringLiteral("answered")),
                     questionActivity(attempt, q), result, attempt.registration,
                     examIri(attempt.bank, attempt.exam, kindWord(attempt.kind)));
}

std::vector<QJsonObject> examStatements(const AttemptFacts& attempt,
                                        const session::ScoreReport& report) {
    std::vector<QJsonObject> statements;
    QString verb = QStringLiteral("completed");
    if (attempt.kind != AttemptFacts::Kind::Practice) {
        statements.reserve(report.drawn.size() + 1);
        for (const session::QuestionScore& q : report.drawn) {
            statements.push_back(answeredStatement(attempt, q));
        }
        verb = report.passed ? QStringLiteral("passed") : QStringLiteral("failed");
    }
    statements.push_back(statement(actorOf(attempt), adlVerb(verb), examActivity(attempt),
                                   examResult(attempt, report), attempt.registration));
    return statements;
}

}  // namespace xapi
