#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>

// The main of a benchmark program that drives windows on the offscreen platform: Qt's notes on
// every shown window are kept out of the report, and hidden windows never end the program.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtWarningMsg && type != QtInfoMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
