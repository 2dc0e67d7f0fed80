#include "xapi/exam_statements.h"

#include "xapi/json_text.h"

namespace xapi {
namespace {

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

QString examIriOf(const AttemptFacts& attempt) {
    return examIri(attempt.bank, attempt.exam, kindWord(attempt.kind));
}

void inEnglish(JsonText& json, const char* key, QStringView text) {
    json.key(key).open('{').key("en-US").text(text).close('}');
}

QByteArray examActivity(const AttemptFacts& attempt) {
    JsonText json;
    json.open('{').key("objectType").text(u"Activity").key("id").text(examIriOf(attempt));
    json.key("definition").open('{');
    json.key("type").text(u"http://adlnet.gov/expapi/activities/assessment");
    inEnglish(json, "name", examTitle(attempt));
    return json.close('}').close('}').take();
}

QByteArray questionActivity(const AttemptFacts& attempt, const session::QuestionScore& q) {
    JsonText json;
    json.open('{').key("objectType").text(u"Activity");
    json.key("id").text(questionIri(attempt.bank, attempt.exam, q.id));
    json.key("definition").open('{');
    json.key("type").text(u"http://adlnet.gov/expapi/activities/cmi.interaction");
    inEnglish(json, "name", q.question);
    json.key("interactionType").text(u"choice");
    json.key("correctResponsesPattern").open('[').text(responseLetters(q.key)).close(']');
    json.key("choices").open('[');
    for (int n = 0; n < 5; ++n) {
        const QString& text = q.choices[size_t(n)];
        if (!text.trimmed().isEmpty()) {
            json.open('{').key("id").text(QString(QChar(u'A' + n)));
            inEnglish(json, "description", text);
            json.close('}');
        }
    }
    return json.close(']').close('}').close('}').take();
}

QByteArray answeredResult(const session::QuestionScore& q) {
    JsonText json;
    json.open('{').key("response").text(responseLetters(q.chosen));
    json.key("success").boolean(q.correct).key("duration").text(isoDuration(q.seconds));
    return json.close('}').take();
}

QByteArray examResult(const AttemptFacts& attempt, const session::ScoreReport& report) {
    JsonText json;
    json.open('{').key("score").open('{').key("raw").number(qint64(report.score));
    json.key("min").number(qint64(0)).key("max").number(qint64(1000));
    json.key("scaled").number(report.score / 1000.0).close('}');
    if (attempt.kind != AttemptFacts::Kind::Practice) {
        json.key("success").boolean(report.passed);
    }
    json.key("completion").boolean(true).key("duration").text(isoDuration(attempt.secondsUsed));
    json.key("extensions").open('{').key(kCategoriesExtension).open('[');
    for (const session::CategoryScore& c : report.categories) {
        json.open('{').key("name").text(c.name);
        json.key("total").number(qint64(c.total)).key("correct").number(qint64(c.correct));
        json.close('}');
    }
    return json.close(']').close('}').close('}').take();
}

}  // namespace

Statement answeredStatement(const AttemptFacts& attempt, const session::QuestionScore& q) {
    return statement(timestampNow(), agentJson(attempt.homePage, attempt.candidate),
                     adlVerbJson(QStringLiteral("answered")), questionActivity(attempt, q),
                     answeredResult(q), contextJson(attempt.registration, examIriOf(attempt)));
}

std::vector<Statement> examStatements(const AttemptFacts& attempt,
                                      const session::ScoreReport& report) {
    // What every statement of the attempt shares is written once; each keeps its own ID.
    const QString timestamp = timestampNow();
    const QByteArray actor = agentJson(attempt.homePage, attempt.candidate);
    std::vector<Statement> statements;
    QString verb = QStringLiteral("completed");
    if (attempt.kind != AttemptFacts::Kind::Practice) {
        statements.reserve(report.drawn.size() + 1);
        const QByteArray answered = adlVerbJson(QStringLiteral("answered"));
        const QByteArray context = contextJson(attempt.registration, examIriOf(attempt));
        for (const session::QuestionScore& q : report.drawn) {
            statements.push_back(statement(timestamp, actor, answered, questionActivity(attempt, q),
                                           answeredResult(q), context));
        }
        verb = report.passed ? QStringLiteral("passed") : QStringLiteral("failed");
    }
    statements.push_back(statement(timestamp, actor, adlVerbJson(verb), examActivity(attempt),
                                   examResult(attempt, report), contextJson(attempt.registration)));
    return statements;
}

}  // namespace xapi
