#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// The main function of a benchmark of windows: a QApplication on Qt's offscreen platform
// (unless QT_QPA_PLATFORM names another one), then every registered benchmark.
inline int runQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
