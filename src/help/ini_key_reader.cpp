#include "help/ini_key_reader.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace help {

QString IniKeyReader::defaultFileName() {
    return QStringLiteral("/etc/xdg/praxilo/sysinfo.ini");
}

std::optional<RawValue> IniKeyReader::read(const QString& keyName, const QString& valueName) const {
    // QSettings would happily report an empty store for a missing or unreadable file.
    if (!QFileInfo(file).isReadable()) {
        return std::nullopt;
    }
    const QSettings settings(file, QSettings::IniFormat);
    QString wanted = keyName + QLatin1Char('\\') + valueName;
    wanted.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString& key : settings.allKeys()) {
        if (key.compare(wanted, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QVariant value = settings.value(key);
        // An unquoted comma makes QSettings split the text; put it back together.
        const QString text = value.typeId() == QMetaType::QStringList
                                 ? value.toStringList().join(QLatin1Char(','))
                                 : value.toString();
        // Stored like a registry string: local code page, with its terminating zero.
        return RawValue{kStringValue, text.toLocal8Bit() + QByteArray(1, '\0')};
    }
    return std::nullopt;
}

#ifndef Q_OS_WIN
std::unique_ptr<KeyReader> systemKeyReader() {
    return std::make_unique<IniKeyReader>(IniKeyReader::defaultFileName());
}
#endif

}  // namespace help
