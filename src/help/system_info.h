#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace help {

class KeyReader;

// Starts a program in a normal window with the focus; false when it could not be started.
using ProgramStarter = std::function<bool(const QString& program)>;

inline const QString kSysInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");

// The system-information program's path: where the store names it directly, else its folder's
// program file if that file exists; nothing otherwise.
std::optional<QString> findSystemInfoProgram(const KeyReader& store);

// Finds and starts the system-information program; every failure ends in the one message.
void StartSysInfo(const KeyReader& store, const ProgramStarter& start);

// The store and the program start the About box uses.
const KeyReader& keyStore();
const ProgramStarter& programStarter();

// Test seam: while one exists, the About box reads this store and starts programs through
// this function instead of the platform's.
class SystemInfoOverride {
public:
    SystemInfoOverride(std::unique_ptr<KeyReader> store, ProgramStarter start);
    ~SystemInfoOverride();
    SystemInfoOverride(const SystemInfoOverride&) = delete;
    SystemInfoOverride& operator=(const SystemInfoOverride&) = delete;

private:
    friend const KeyReader& keyStore();
    friend const ProgramStarter& programStarter();
    std::unique_ptr<KeyReader> store;
    ProgramStarter start;
    const SystemInfoOverride* previous;
};

}  // namespace help
