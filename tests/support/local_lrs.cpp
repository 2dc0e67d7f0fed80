#include "local_lrs.h"

#include <csignal>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

namespace {

QString storeFolder() {
    const QString set = qEnvironmentVariable("PRAXILO_LRS_DIR");
    if (!set.isEmpty()) {
        return set;
    }
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME", QDir::homePath() + "/.cache");
    return cache + QStringLiteral("/praxilo/lrs");
}

void stopByPid(std::unique_ptr<QProcess>& process) {
    if (!process || process->state() == QProcess::NotRunning) {
        process.reset();
        return;
    }
    ::kill(pid_t(process->processId()), SIGTERM);
    if (!process->waitForFinished(5000)) {
        ::kill(pid_t(process->processId()), SIGKILL);
        process->waitForFinished(5000);
    }
    process.reset();
}

// One GET, waited for on a local event loop.
QByteArray get(const QUrl& url, const QByteArray& credentials, int* status) {
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setRawHeader("X-Experience-API-Version", "1.0.3");
    request.setRawHeader("Authorization", "Basic " + credentials.toBase64());
    request.setTransferTimeout(10000);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

}  // namespace

int freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

LocalLrs::LocalLrs() : LocalLrs(Options{}) {}

LocalLrs::LocalLrs(Options options) : options_(std::move(options)) {
    if (options_.port == 0) {
        options_.port = freeLoopbackPort();
    }
}

LocalLrs::~LocalLrs() {
    stop();
}

QString LocalLrs::endpoint() const {
    return QStringLiteral("http://127.0.0.1:%1/xAPI/").arg(options_.port);
}

QString LocalLrs::start() {
    const QString package = storeFolder() + QStringLiteral("/node_modules/xapi-statements");
    if (!QFileInfo::exists(package + QStringLiteral("/dist/index.js"))) {
        return QStringLiteral("no record store in %1: scripts/deps installs it").arg(package);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("EXPRESS_PORT"), QString::number(options_.port));
    env.insert(QStringLiteral("EVENTS_REPO"), QStringLiteral("test"));
    env.insert(QStringLiteral("MODELS_REPO"), QStringLiteral("memory"));
    env.insert(QStringLiteral("STORAGE_REPO"), QStringLiteral("local"));
    env.insert(QStringLiteral("FS_LOCAL_STORAGE_DIR"), dir_.filePath(QStringLiteral("storage")));
    env.insert(QStringLiteral("EXPRESS_MORGAN_DIRECTORY"), dir_.filePath(QStringLiteral("logs")));
    env.insert(QStringLiteral("SERVICE_AWAIT_UPDATES"), QStringLiteral("true"));
    env.insert(QStringLiteral("WINSTON_CONSOLE_LEVEL"), QStringLiteral("error"));
    QDir(dir_.path()).mkpath(QStringLiteral("storage"));
    QDir(dir_.path()).mkpath(QStringLiteral("logs"));
    if (options_.key.isEmpty()) {
        env.insert(QStringLiteral("AUTH_REPO"), QStringLiteral("test"));
    } else {
        const int keysPort = freeLoopbackPort();
        QProcessEnvironment keysEnv = QProcessEnvironment::systemEnvironment();
        keysEnv.insert(QStringLiteral("PRAXILO_KEYS_PORT"), QString::number(keysPort));
        keysEnv.insert(QStringLiteral("PRAXILO_LRS_KEY"), options_.key);
        keysEnv.insert(QStringLiteral("PRAXILO_LRS_SECRET"), options_.secret);
        keys_ = std::make_unique<QProcess>();
        keys_->setProcessEnvironment(keysEnv);
        keys_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        keys_->start(QStringLiteral("node"), {QStringLiteral(PRAXILO_LRS_KEYS_JS)});
        env.insert(QStringLiteral("AUTH_REPO"), QStringLiteral("fetch"));
        env.insert(QStringLiteral("LL_CLIENT_INFO_ENDPOINT"),
                   QStringLiteral("http://127.0.0.1:%1/").arg(keysPort));
    }
    server_ = std::make_unique<QProcess>();
    server_->setWorkingDirectory(package);
    server_->setProcessEnvironment(env);
    server_->setStandardOutputFile(dir_.filePath(QStringLiteral("server.log")));
    server_->setStandardErrorFile(dir_.filePath(QStringLiteral("server.log")), QIODevice::Append);
    server_->start(QStringLiteral("node"), {QStringLiteral("dist/index.js")});
    if (!server_->waitForStarted(10000)) {
        return QStringLiteral("node did not start: %1").arg(server_->errorString());
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000) {
        int status = 0;
        get(QUrl(endpoint() + QStringLiteral("about")), credentials(), &status);
        if (status == 200) {
            return QString();
        }
        if (server_->state() == QProcess::NotRunning) {
            break;
        }
        QThread::msleep(100);
    }
    QFile log(dir_.filePath(QStringLiteral("server.log")));
    log.open(QIODevice::ReadOnly);
    return QStringLiteral("the record store did not answer on port %1: %2")
        .arg(options_.port)
        .arg(QString::fromUtf8(log.readAll().right(2000)));
}

QByteArray LocalLrs::credentials() const {
    return options_.key.isEmpty() ? QByteArrayLiteral("reader:reader")
                                  : (options_.key + u':' + options_.secret).toUtf8();
}

void LocalLrs::stop() {
    stopByPid(server_);
    stopByPid(keys_);
}

void LocalLrs::awayFromPagingWrap(int seconds) {
    constexpr qint64 kGregorianToUnix = Q_INT64_C(0x01B21DD213814000);  // in 100 ns
    const qint64 ticks = QDateTime::currentMSecsSinceEpoch() * 10000 + kGregorianToUnix;
    const qint64 toWrap = (Q_INT64_C(1) << 32) - (ticks & Q_INT64_C(0xFFFFFFFF));
    if (toWrap < qint64(seconds) * 10000000) {
        QThread::msleep(quint64(toWrap / 10000 + 500));
    }
}

QJsonArray LocalLrs::statements(QUrlQuery query) const {
    QJsonArray all;
    // One page wherever it can be: this store's paging in memory can skip statements.
    query.addQueryItem(QStringLiteral("limit"), QStringLiteral("20000"));
    QUrl url(endpoint() + QStringLiteral("statements"));
    url.setQuery(query);
    const QUrl base(QStringLiteral("http://127.0.0.1:%1").arg(options_.port));
    while (url.isValid()) {
        int status = 0;
        const QJsonObject page = QJsonDocument::fromJson(get(url, credentials(), &status)).object();
        if (status != 200) {
            break;
        }
        for (const QJsonValue& s : page.value(QStringLiteral("statements")).toArray()) {
            all.append(s);
        }
        const QString more = page.value(QStringLiteral("more")).toString();
        url = more.isEmpty() ? QUrl() : base.resolved(QUrl(more));
    }
    return all;
}
