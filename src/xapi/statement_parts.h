#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace xapi {

// A statement as it is queued and sent: its ID and its JSON text, both made once.
struct Statement {
    QString id;
    QByteArray json;
};

// The IRIs a report tool groups by: a bank's own name made into a stable identifier, then the
// exam and the question, e.g. urn:praxilo:bank:korvane-practice-exam:exam:1:question:57.
QString bankIri(const QString& bankName);
QString examIri(const QString& bankName, int exam, const QString& kind = QString());
QString questionIri(const QString& bankName, int exam, qint64 questionId);

// ISO 8601 as the statements carry it: "PT1H2M5S", "PT0S".
QString isoDuration(int seconds);
// Whole seconds of such a duration as any store may write it ("PT1M5.25S", "P1DT2H"); nothing
// for a text that is no duration. Years and months have no fixed length and are refused.
std::optional<int> durationSeconds(const QString& iso);

// The letters of the chosen answers, "[,]"-joined as choice interactions spell a response.
QString responseLetters(const std::array<bool, 5>& chosen);

// The candidate as the centre knows them: an account at the centre's home page, named as typed.
QByteArray agentJson(const QString& homePage, const QString& name);

// One of ADL's verbs by its last word: "answered", "passed", "failed", "completed".
QByteArray adlVerbJson(const QString& word);

// The context every statement of an attempt shares: its registration and, for an answer, the
// exam it belongs to.
QByteArray contextJson(const QString& registration, const QString& parentIri = QString());

// Now, as a statement's timestamp: UTC to the millisecond.
QString timestampNow();

// A statement with its own new ID and the given timestamp; the parts are JSON texts.
Statement statement(const QString& timestamp, const QByteArray& actor, const QByteArray& verb,
                    const QByteArray& object, const QByteArray& result, const QByteArray& context);

}  // namespace xapi
