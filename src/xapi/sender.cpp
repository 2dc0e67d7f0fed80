#include "xapi/sender.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "examdb/error.h"

namespace xapi {
namespace {

// About a megabyte to one request: well under what stores accept, and many exams at a time.
constexpr qint64 kBatchBytes = 1 << 20;

// What a store says when it rejects a statement: its message or its validation warnings.
QString rejectionReason(const QByteArray& body, int status) {
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    QStringList parts;
    const QString message = answer.value(QStringLiteral("message")).toString();
    if (!message.isEmpty()) {
        parts << message;
    }
    for (const QJsonValue& warning : answer.value(QStringLiteral("warnings")).toArray()) {
        parts << warning.toString();
    }
    if (parts.isEmpty() && !body.trimmed().isEmpty()) {
        parts << QString::fromUtf8(body.left(500)).trimmed();
    }
    return QStringLiteral("HTTP %1: %2")
        .arg(status)
        .arg(parts.isEmpty() ? QStringLiteral("no reason given") : parts.join(u' '));
}

}  // namespace

Sender::Sender(LrsSettings settings, QString historyPath, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      historyPath_(std::move(historyPath)),
      network_(new QNetworkAccessManager(this)),
      retry_(new QTimer(this)) {
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &Sender::sendNext);
    connect(network_, &QNetworkAccessManager::finished, this, &Sender::answered);
}

Sender::~Sender() {
    // A request in flight is dropped, not waited for: its statements stay queued.
    network_->disconnect(this);
    if (inFlight_) {
        inFlight_->abort();
    }
}

// Opened for each use: a history moved aside and started anew is the new file at once.
std::unique_ptr<Outbox> Sender::outbox() const {
    if (!QFileInfo::exists(historyPath_)) {
        return nullptr;
    }
    try {
        return std::make_unique<Outbox>(historyPath_);
    } catch (const examdb::Error&) {
        return nullptr;  // the history says why, when it is next used
    }
}

void Sender::nudge() {
    if (state_ == State::CredentialsRefused || inFlight_) {
        return;
    }
    // Sent from the event loop, after whatever queued the statements has finished.
    retry_->stop();
    QTimer::singleShot(0, this, &Sender::sendNext);
}

OutboxCounts Sender::counts() const {
    const std::unique_ptr<Outbox> box = outbox();
    if (!box) {
        return {};
    }
    try {
        return box->counts();
    } catch (const examdb::Error&) {
        return {};
    }
}

QString Sender::statusLine() const {
    const OutboxCounts n = counts();
    QStringList parts;
    if (n.waiting > 0) {
        QString waiting = QStringLiteral("%1 waiting to be sent").arg(n.waiting);
        if (state_ == State::Unreachable) {
            waiting += QStringLiteral(" (the record store cannot be reached)");
        } else if (state_ == State::CredentialsRefused) {
            waiting += QStringLiteral(" (the record store refused the user name and password)");
        }
        parts << waiting;
    }
    if (n.rejected > 0) {
        parts << QStringLiteral("%1 rejected by the record store").arg(n.rejected);
    }
    if (parts.isEmpty()) {
        return QStringLiteral("Results: all sent to %1").arg(endpointHost(settings_));
    }
    return QStringLiteral("Results: ") + parts.join(QStringLiteral("; "));
}

void Sender::sendNext() {
    if (inFlight_ || state_ == State::CredentialsRefused) {
        return;
    }
    const std::unique_ptr<Outbox> box = outbox();
    if (!box) {
        return;
    }
    try {
        batch_ = box->oldest(probeSize_ > 0 ? probeSize_ : batchSize_, kBatchBytes);
    } catch (const examdb::Error&) {
        retryLater();  // the history is busy or damaged; its own window says which
        return;
    }
    if (batch_.empty()) {
        probeSize_ = 0;
        if (state_ != State::Waiting) {
            state_ = State::Waiting;
        }
        Q_EMIT changed();
        Q_EMIT drained();
        return;
    }
    QByteArray body = "[";
    for (size_t i = 0; i < batch_.size(); ++i) {
        body += (i == 0 ? "" : ",") + batch_[i].body;
    }
    body += ']';

    QNetworkRequest request(statementsUrl(settings_));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setRawHeader("X-Experience-API-Version", "1.0.3");
    request.setRawHeader(
        "Authorization",
        "Basic " + (settings_.username + u':' + settings_.password).toUtf8().toBase64());
    request.setTransferTimeout(timing_.requestTimeoutMs);
    state_ = State::Sending;
    inFlight_ = network_->post(request, body);
}

void Sender::answered(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != inFlight_) {
        return;
    }
    inFlight_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const std::unique_ptr<Outbox> box = outbox();
    if (!box) {
        return;
    }
    try {
        if (status >= 200 && status < 300) {
            box->remove(batch_);
            failures_ = 0;
            state_ = State::Waiting;
            Q_EMIT changed();
            sendNext();
            return;
        }
        if (status == 401 || status == 403) {
            state_ = State::CredentialsRefused;
            Q_EMIT changed();
            Q_EMIT credentialsRefused(
                QStringLiteral("The record store at %1 refused the user name and password of "
                               "the [xapi] settings (HTTP %2). Results are kept on this PC and "
                               "sent once the settings are right and the program starts again.")
                    .arg(
                        statementsUrl(settings_).toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery))
                    .arg(status));
            return;
        }
        // Any other refusal of the request itself is the statements' fault: the batch is
        // halved until the one at fault stands alone and is set aside.
        if (status >= 400 && status < 500 && status != 408 && status != 429) {
            if (batch_.size() > 1) {
                probeSize_ = int((batch_.size() + 1) / 2);
            } else {
                box->setAside(batch_.front(), rejectionReason(reply->readAll(), status));
                probeSize_ = 0;
                Q_EMIT changed();
            }
            sendNext();
            return;
        }
    } catch (const examdb::Error&) {
        // The outbox could not be written; the statements stay and go again later.
    }
    retryLater();
}

void Sender::retryLater() {
    state_ = State::Unreachable;
    const qint64 pause =
        qMin<qint64>(qint64(timing_.firstPauseMs) << qMin(failures_, 20), timing_.longestPauseMs);
    ++failures_;
    retry_->start(int(pause));
    Q_EMIT changed();
}

}  // namespace xapi
