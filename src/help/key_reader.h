#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace help {

// Value types as the system's key store numbers them.
inline constexpr quint32 kStringValue = 1;
inline constexpr quint32 kDWordValue = 4;

// A value as the store hands it out: its type and exactly the bytes the query returned,
// terminating zero included if the store kept one.
struct RawValue {
    quint32 type = 0;
    QByteArray bytes;
};

// Read-only access to the local machine's key store, where the system-information program is
// registered. Keys are named with backslashes ("SOFTWARE\Vendor\Tool").
class KeyReader {
public:
    virtual ~KeyReader() = default;
    // Nothing when the key cannot be opened for reading or the value cannot be read.
    virtual std::optional<RawValue> read(const QString& keyName,
                                         const QString& valueName) const = 0;
};

// The store of this platform: the registry on Windows, an INI file elsewhere.
std::unique_ptr<KeyReader> systemKeyReader();

}  // namespace help
