#pragma once

#include <QJsonObject>
#include <QString>
#include <array>

namespace xapi {

// The IRIs a report tool groups by: a bank's own name made into a stable identifier, then the
// exam and the question, e.g. urn:praxilo:bank:korvane-practice-exam:exam:1:question:57.
QString bankIri(const QString& bankName);
QString examIri(const QString& bankName, int exam, const QString& kind = QString());
QString questionIri(const QString& bankName, int exam, qint64 questionId);

// ISO 8601 as the statements carry it: "PT1H2M5S", "PT0S".
QString isoDuration(int seconds);

// The letters of the chosen answers, "[,]"-joined as choice interactions spell a response.
QString responseLetters(const std::array<bool, 5>& chosen);

// The candidate as the centre knows them: an account at the centre's home page, named as typed.
QJsonObject agent(const QString& homePage, const QString& name);

// One of ADL's verbs by its last word: "answered", "passed", "failed", "completed".
QJsonObject adlVerb(const QString& word);

// A statement with everything a queued one keeps for good: its own ID and its timestamp,
// made now, and the attempt's registration.
QJsonObject statement(const QJsonObject& actor, const QJsonObject& verb, const QJsonObject& object,
                      const QJsonObject& result, const QString& registration,
                      const QString& parentIri = QString());

}  // namespace xapi
