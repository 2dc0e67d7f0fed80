#include <QtGlobal>

#ifdef Q_OS_WIN

#include <windows.h>

#include "help/key_reader.h"

namespace help {
namespace {

// The store's query buffer; a longer value fails to read, as it always has.
constexpr DWORD kBufferSize = 1024;

class KeyHandle {
public:
    explicit KeyHandle(HKEY handle) : key(handle) {}
    ~KeyHandle() { RegCloseKey(key); }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY get() const { return key; }

private:
    HKEY key;
};

class RegistryKeyReader final : public KeyReader {
public:
    std::optional<RawValue> read(const QString& keyName, const QString& valueName) const override {
        HKEY opened = nullptr;
        // Read access only: full access is refused to users without administrator rights.
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.toLocal8Bit().constData(), 0, KEY_READ,
                          &opened) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        const KeyHandle key(opened);
        QByteArray buffer(kBufferSize, '\0');
        DWORD type = 0;
        DWORD length = kBufferSize;
        if (RegQueryValueExA(key.get(), valueName.toLocal8Bit().constData(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &length) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        buffer.truncate(static_cast<qsizetype>(length));
        return RawValue{static_cast<quint32>(type), buffer};
    }
};

}  // namespace

std::unique_ptr<KeyReader> systemKeyReader() {
    return std::make_unique<RegistryKeyReader>();
}

}  // namespace help

#endif
