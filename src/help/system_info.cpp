#include "help/system_info.h"

#include <QFileInfo>
#include <QProcess>

#include "app/prompts.h"
#include "help/get_key_value.h"
#include "help/key_reader.h"

namespace help {
namespace {

#ifdef Q_OS_WIN
const QString kProgramInFolder = QStringLiteral("\\MSINFO32.EXE");
#else
const QString kProgramInFolder = QStringLiteral("/MSINFO32.EXE");
#endif

const SystemInfoOverride* active = nullptr;

}  // namespace

std::optional<QString> findSystemInfoProgram(const KeyReader& store) {
    const KeyValue path = GetKeyValue(
        store, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
    if (path.found) {
        return path.text;
    }
    const KeyValue folder =
        GetKeyValue(store, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"));
    if (!folder.found) {
        return std::nullopt;
    }
    const QString program = folder.text + kProgramInFolder;
    if (!QFileInfo(program).isFile()) {
        return std::nullopt;
    }
    return program;
}

void StartSysInfo(const KeyReader& store, const ProgramStarter& start) {
    const std::optional<QString> program = findSystemInfoProgram(store);
    if (program && !program->isEmpty() && start(*program)) {
        return;
    }
    prompts::MsgBox(kSysInfoUnavailable, prompts::Buttons::OkOnly);
}

const KeyReader& keyStore() {
    if (active) {
        return *active->store;
    }
    static const std::unique_ptr<KeyReader> platform = systemKeyReader();
    return *platform;
}

const ProgramStarter& programStarter() {
    if (active) {
        return active->start;
    }
    static const ProgramStarter platform = [](const QString& program) {
        return QProcess::startDetached(program, {});
    };
    return platform;
}

SystemInfoOverride::SystemInfoOverride(std::unique_ptr<KeyReader> s, ProgramStarter p)
    : store(std::move(s)), start(std::move(p)), previous(active) {
    active = this;
}

SystemInfoOverride::~SystemInfoOverride() {
    active = previous;
}

}  // namespace help
