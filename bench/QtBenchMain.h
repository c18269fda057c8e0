#pragma once
// The main of a benchmark program that needs a Qt application: offscreen
// unless the caller chose a platform.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <functional>

inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& Prepare = {})
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qt(argc, argv);
    if (Prepare) Prepare();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
