#include "look/preferences.h"

#include <QSettings>
#include <memory>

namespace look {
namespace {

QString& overrideFile() {
    static QString file;
    return file;
}

std::unique_ptr<QSettings> settings() {
    if (!overrideFile().isEmpty()) {
        return std::make_unique<QSettings>(overrideFile(), QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Praxilo"), QStringLiteral("Praxilo"));
}

}  // namespace

QVariant preference(const QString& key, const QVariant& fallback) {
    return settings()->value(key, fallback);
}

void setPreference(const QString& key, const QVariant& value) {
    settings()->setValue(key, value);
}

void setPreferencesFile(const QString& path) {
    overrideFile() = path;
}

}  // namespace look
