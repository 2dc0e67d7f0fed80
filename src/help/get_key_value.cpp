#include "help/get_key_value.h"

#include "help/key_reader.h"

namespace help {
namespace {

// The size of the buffer the value is queried into; a longer value cannot be read.
constexpr qsizetype kBufferSize = 1024;

QString numberText(const QByteArray& bytes) {
    // The store keeps numbers little-endian; only a zero high byte can have been cut off.
    if (bytes.size() > 4) {
        return {};
    }
    quint32 number = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        number = (number << 8) | static_cast<quint8>(bytes.at(i));
    }
    return QString::number(number);
}

}  // namespace

KeyValue GetKeyValue(const KeyReader& store, const QString& keyName, const QString& valueName) {
    const std::optional<RawValue> raw = store.read(keyName, valueName);
    if (!raw || raw->bytes.size() > kBufferSize) {
        return {};
    }
    QByteArray bytes = raw->bytes;
    if (bytes.endsWith('\0')) {
        bytes.chop(1);
    }
    switch (raw->type) {
        case kStringValue:
            return {true, QString::fromLocal8Bit(bytes)};
        case kDWordValue:
            return {true, numberText(bytes)};
        default:
            return {true, QString()};
    }
}

}  // namespace help
