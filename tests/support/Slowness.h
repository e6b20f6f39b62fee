#pragma once
// How starved the test's threads are while a bound of the program's contract
// is measured (a stop within 5 s, a cut after 5 s of the server's silence),
// so that a machine loaded many times over its cores is told apart from a
// program that waits: a probe thread works in short bursts and keeps the wall
// time the bursts took against the processor time they got. The ratio is 1
// on an idle machine and about 4 where a thread gets a quarter of a core; a
// bound is stretched by it, and the raw figures are printed with every
// bound measured.
#include <gtest/gtest.h>

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include <time.h>

namespace servertest {

class Slowness {
public:
    Slowness() : probe_([this](std::stop_token stop) { run(stop); }) {}
    Slowness(const Slowness&) = delete;
    Slowness& operator=(const Slowness&) = delete;

    // The measure starts again from now (the stretch before is forgotten).
    void restart()
    {
        wallNs_ = 0;
        cpuNs_ = 0;
    }
    // The wall time of the bursts since the start over the processor time
    // they got; at least 1.
    double factor() const
    {
        const long long cpu = cpuNs_.load();
        return cpu > 0 ? std::max(1.0, double(wallNs_.load()) / double(cpu)) : 1.0;
    }
    // A bound of an idle machine, stretched by the slowness measured.
    qint64 scaled(qint64 boundMs) const { return scaled(boundMs, factor()); }
    // Whether `what`, which took `tookMs` (-1: it did not end), ended within
    // a bound of the program's (`boundMs` on an idle machine) stretched by
    // the slowness measured since the restart. The raw figures are printed
    // either way and go with a failure.
    ::testing::AssertionResult within(const std::string& what, qint64 tookMs, qint64 boundMs) const
    {
        const double f = factor();
        std::ostringstream figures;
        figures << what << ": ";
        if (tookMs < 0)
            figures << "did not end";
        else
            figures << "took " << tookMs << " ms";
        figures << "; the bound " << boundMs << " ms on an idle machine, " << scaled(boundMs, f)
                << " ms with the machine's slowness " << f << " (wall time over processor time of a probe)";
        std::cout << figures.str() << "\n";
        if (tookMs >= 0 && tookMs < scaled(boundMs, f))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << figures.str();
    }

private:
    static qint64 scaled(qint64 boundMs, double factor) { return qint64(double(boundMs) * factor); }
    static long long now(clockid_t clock)
    {
        timespec t{};
        clock_gettime(clock, &t);
        return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
    }
    // Bursts of 20 ms of the probe's own processor time, 2 ms apart: the
    // probe stays runnable, as a working thread of the program is, and gets
    // the share of a core that the machine's load leaves it (a thread that
    // mostly sleeps is favoured when it wakes, and would not show it).
    void run(const std::stop_token& stop)
    {
        constexpr long long kBurstNs = 20'000'000;
        while (!stop.stop_requested()) {
            const long long wall = now(CLOCK_MONOTONIC), cpu = now(CLOCK_THREAD_CPUTIME_ID);
            while (now(CLOCK_THREAD_CPUTIME_ID) - cpu < kBurstNs) {
            }
            wallNs_ += now(CLOCK_MONOTONIC) - wall;
            cpuNs_ += now(CLOCK_THREAD_CPUTIME_ID) - cpu;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::atomic<long long> wallNs_{0}, cpuNs_{0};
    std::jthread probe_; // last: it starts once the counts are made
};

} // namespace servertest
