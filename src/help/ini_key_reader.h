#pragma once

#include "help/key_reader.h"

namespace help {

// Stands in for the registry where there is none: "[Key\Name]" sections hold "Value=text"
// entries, all read as string values. Names match regardless of case, as registry names do.
class IniKeyReader final : public KeyReader {
public:
    explicit IniKeyReader(QString fileName) : file(std::move(fileName)) {}

    std::optional<RawValue> read(const QString& keyName, const QString& valueName) const override;

    // Where the program looks for the file on this platform.
    static QString defaultFileName();

private:
    QString file;
};

}  // namespace help
