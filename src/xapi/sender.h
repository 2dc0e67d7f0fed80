#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "xapi/lrs_settings.h"
#include "xapi/outbox.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace xapi {

// Sends the outbox to the record store from the event loop, oldest first, in batches. Nothing
// here waits: a request runs while the windows go on, and a store that cannot be reached is
// tried again later, at growing pauses.
class Sender : public QObject {
    Q_OBJECT

public:
    struct Timing {
        int firstPauseMs = 5000;      // after the first failure; doubled after each further one
        int longestPauseMs = 600000;  // ten minutes
        int requestTimeoutMs = 30000;
    };
    enum class State { Waiting, Sending, Unreachable, CredentialsRefused };

    Sender(LrsSettings settings, QString historyPath, QObject* parent = nullptr);
    ~Sender() override;

    void setTiming(const Timing& timing) { timing_ = timing; }
    // At most this many statements to one request.
    void setBatchSize(int statements) { batchSize_ = qMax(1, statements); }

    // Statements were queued, or the program started: send what waits.
    void nudge();

    State state() const { return state_; }
    OutboxCounts counts() const;
    // "Results: all sent to lrs.example.org", "Results: 12 waiting to be sent (...)".
    QString statusLine() const;

Q_SIGNALS:
    // Counts or state changed.
    void changed();
    // Nothing waits any more: everything was sent or set aside.
    void drained();
    // The store refused the user name and password: nothing more is sent this session.
    void credentialsRefused(const QString& message);

private:
    void sendNext();
    void answered(QNetworkReply* reply);
    void retryLater();
    std::unique_ptr<Outbox> outbox() const;

    LrsSettings settings_;
    QString historyPath_;
    Timing timing_;
    int batchSize_ = 100;
    // Shrinks, by halves, while a rejected batch is searched for the statement at fault.
    int probeSize_ = 0;
    int failures_ = 0;
    State state_ = State::Waiting;
    QNetworkAccessManager* network_;
    QTimer* retry_;
    QPointer<QNetworkReply> inFlight_;
    std::vector<QueuedStatement> batch_;
};

}  // namespace xapi
