#include "progress_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <optional>

#include "app/prompts.h"

namespace {

using OpsEntry = void (*)(flow::WindowOps*);

// Loaded at most once; a failure is remembered so it is told only once.
const flow::WindowOps* loaded(bool load) {
    static std::optional<flow::WindowOps> ops;
    static bool failed = false;
    if (ops || failed || !load) {
        return ops ? &*ops : nullptr;
    }
    // Never unloaded: the window's code must stay while its object lives. Beside the program in
    // the build folder; in its own library folder once installed.
    const QDir programs(QCoreApplication::applicationDirPath());
    QLibrary module(programs.filePath(QStringLiteral("praxilo_progress")));
    if (!QFileInfo::exists(module.fileName() + QStringLiteral(".so"))) {
        module.setFileName(programs.filePath(QStringLiteral(PRAXILO_MODULE_FROM_BIN) +
                                             QStringLiteral("/praxilo_progress")));
    }
    const auto entry = reinterpret_cast<OpsEntry>(module.resolve("praxiloProgressWindowOps"));
    if (!entry) {
        failed = true;
        prompts::MsgBox(
            QStringLiteral("The Progress window cannot be opened: %1").arg(module.errorString()),
            prompts::Buttons::OkOnly, prompts::Icon::Exclamation);
        return nullptr;
    }
    ops.emplace();
    entry(&*ops);
    return &*ops;
}

}  // namespace

flow::WindowOps progressWindowLoadedOnFirstUse() {
    return {[] {
                if (const flow::WindowOps* ops = loaded(true)) {
                    ops->show();
                }
            },
            [] {
                if (const flow::WindowOps* ops = loaded(false)) {
                    ops->unload();
                }
            },
            [] {
                if (const flow::WindowOps* ops = loaded(false)) {
                    ops->discard();
                }
            },
            []() -> QWidget* {
                const flow::WindowOps* ops = loaded(false);
                return ops ? ops->existing() : nullptr;
            }};
}
