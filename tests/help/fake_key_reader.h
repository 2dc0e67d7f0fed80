#pragma once

#include <QMap>
#include <QPair>

#include "help/key_reader.h"

// A key store held in memory; names match regardless of case, as the real stores' do.
class FakeKeyReader final : public help::KeyReader {
public:
    FakeKeyReader& set(const QString& key, const QString& value, help::RawValue raw) {
        values.insert({key.toLower(), value.toLower()}, std::move(raw));
        return *this;
    }
    FakeKeyReader& setString(const QString& key, const QString& value, const QString& text) {
        return set(key, value, {help::kStringValue, text.toLocal8Bit() + QByteArray(1, '\0')});
    }

    std::optional<help::RawValue> read(const QString& key, const QString& value) const override {
        ++reads;
        const auto it = values.constFind({key.toLower(), value.toLower()});
        if (it == values.constEnd()) {
            return std::nullopt;
        }
        return *it;
    }

    mutable int reads = 0;

private:
    QMap<QPair<QString, QString>, help::RawValue> values;
};

inline const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
