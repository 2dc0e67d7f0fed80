#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include "app/edition.h"
#include "app/exam_settings.h"
#include "app/fatal.h"
#include "app/forms.h"
#include "app/prompts.h"
#include "app/window_flow.h"
#include "history/history_access.h"
#include "look/look.h"
#include "look/preferences.h"
#include "look/text_zoom.h"
#include "start/startup.h"
#include "window_probe.h"

// Puts the process back to the state a program starts in, under the given edition, with the
// shell's windows registered and the program's ending recorded instead of carried out.
struct AppTestEnv {
    int endings = 0;
    int lastExitCode = -1;
    // No real dialog ever blocks a test: unscripted prompts take their default answers here.
    prompts::Script prompts;
    // Each test's score sheets and preferences go to files of its own, never the user's.
    QTemporaryDir historyDir;

    explicit AppTestEnv(const app::Edition& edition) {
        history::setLocation(QDir(historyDir.path()).filePath(QStringLiteral("history.sqlite")));
        // Preferences too: the standard look at full size, whatever an earlier test chose.
        look::setPreferencesFile(QDir(historyDir.path()).filePath(QStringLiteral("prefs.ini")));
        look::setZoomPercent(100);
        look::apply(look::Look::Standard);
        app::setEdition(edition);
        resetExamSettings();
        flow::clearWindows();
        app::registerShellWindows();
        app::setEnding([this](int code) {
            ++endings;
            lastExitCode = code;
        });
    }
    ~AppTestEnv() {
        forms::discardAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        flow::clearWindows();
        app::resetEnding();
        app::setEdition(app::fullEdition());
        history::closeStore();
    }
    AppTestEnv(const AppTestEnv&) = delete;
    AppTestEnv& operator=(const AppTestEnv&) = delete;

    // A stand-in for a window of another subsystem: counts how often it was shown.
    static flow::WindowOps fakeWindow(std::function<void()> show) {
        return {std::move(show), [] {}, [] {}, [] { return static_cast<QWidget*>(nullptr); }};
    }
};
