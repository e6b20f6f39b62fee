#pragma once
// The main of every benchmark program: the benchmarks named on the command
// line run inside a Qt application, then `release` lets go of what they
// kept (their bases close while the database layer is still there).
//
// Rounds: the figures of a benchmark's rounds (a time, or a ratio to its
// floor) given as the median and the worst round, with the machine's load
// beside them, since a loaded machine moves every figure.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// The machine's load over the last minute, as /proc/loadavg gives it (0 where
// it cannot be read).
inline double MachineLoad()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine().split(' ').value(0).toDouble();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One figure over a benchmark's rounds.
class Rounds {
public:
    void add(double value) { values_.push_back(value); }
    double median() const { return Median(values_); }
    double worst() const { return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end()); }
    const std::vector<double>& values() const { return values_; }

    // The counters `name` (the median), `name`_worst and, once for the
    // benchmark, `load`.
    void report(benchmark::State& state, const std::string& name) const
    {
        state.counters[name] = median();
        state.counters[name + "_worst"] = worst();
        state.counters["load"] = MachineLoad();
    }

private:
    std::vector<double> values_;
};

// A benchmark timed by the library run in three repetitions, given as their
// median (with the mean and spread the library adds) and the worst of them
// (`->Apply(InRounds)`).
inline void InRounds(benchmark::internal::Benchmark* b)
{
    b->Repetitions(3)
        ->ComputeStatistics("worst",
                            [](const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); })
        ->DisplayAggregatesOnly(true);
}

template <class Application = QCoreApplication>
int RunBenchmarks(int argc, char** argv, const std::function<void()>& release = {})
{
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("load_at_start", std::to_string(MachineLoad()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (release)
        release();
    return 0;
}
