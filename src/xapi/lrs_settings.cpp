#include "xapi/lrs_settings.h"

#include <QHostAddress>

namespace xapi {
namespace {

bool onLoopback(const QUrl& url) {
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QUrl endpointUrl(const LrsSettings& settings) {
    return QUrl(settings.endpoint.trimmed(), QUrl::StrictMode);
}

}  // namespace

QString endpointRefusal(const LrsSettings& settings) {
    const QUrl url = endpointUrl(settings);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        return QStringLiteral("its address \"%1\" is not an http or https address")
            .arg(settings.endpoint.trimmed().left(200));
    }
    if (scheme == QLatin1String("http") && !onLoopback(url)) {
        return QStringLiteral(
                   "its address %1 is not encrypted; only an https:// address may "
                   "carry names and answers over a network")
            .arg(url.toString(QUrl::RemoveUserInfo));
    }
    return QString();
}

QUrl statementsUrl(const LrsSettings& settings) {
    QUrl url = endpointUrl(settings);
    QString path = url.path();
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    url.setPath(path + QStringLiteral("statements"));
    return url;
}

QString endpointHost(const LrsSettings& settings) {
    return endpointUrl(settings).host();
}

}  // namespace xapi
