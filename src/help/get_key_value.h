#pragma once

#include <QString>

namespace help {

class KeyReader;

struct KeyValue {
    bool found = false;
    QString text;
};

// Reads one value of the local machine's key store as text: strings as they are, 32-bit
// numbers in decimal, other types as an empty text.
KeyValue GetKeyValue(const KeyReader& store, const QString& keyName, const QString& valueName);

}  // namespace help
