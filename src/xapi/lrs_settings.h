#pragma once

#include <QString>
#include <QUrl>

namespace xapi {

// Where a training centre's record store takes the results, as the [xapi] preferences give it.
struct LrsSettings {
    QString endpoint;  // the store's base address; empty: results stay on this PC
    QString username;
    QString password;  // only ever sent, in the Basic authorization of a request
    QString homepage;  // the candidate accounts' home page, the centre's address

    bool configured() const { return !endpoint.trimmed().isEmpty(); }
};

// Why results are not sent to settings.endpoint, to end a sentence; empty when they may be.
// Credentials and answers never cross a network unencrypted: plain http only on loopback.
QString endpointRefusal(const LrsSettings& settings);

// The statements resource under the endpoint, with or without its closing slash.
QUrl statementsUrl(const LrsSettings& settings);

// The endpoint's host, as the candidate is told where results go.
QString endpointHost(const LrsSettings& settings);

}  // namespace xapi
