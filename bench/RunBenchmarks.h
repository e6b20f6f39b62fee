#pragma once
// The main of every benchmark program: the benchmarks named on the command
// line run inside a Qt application, then `release` lets go of what they
// kept (their bases close while the database layer is still there).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <functional>

template <class Application = QCoreApplication>
int RunBenchmarks(int argc, char** argv, const std::function<void()>& release = {})
{
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (release)
        release();
    return 0;
}
