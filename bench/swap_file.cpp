// Speed of the swap work file for 1,000 employees, next to a plain sequential
// write and read of the same number of bytes in the same folder.
//
// Argument 0: the page cache absorbs the writes; argument 1: each run ends with
// fdatasync, so the disk itself is measured.
#include "RunBenchmarks.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

using namespace kalvor::infobase;

namespace {

constexpr int Employees = 1000;

struct Setup {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/swap-bench-XXXXXX")};
    CInfoBase base;
    FixtureBase fixture;
    Setup()
    {
        fixture = BuildFixtureBase(base, Employees, 42);
        base.workFolder = dir.path() + QLatin1Char('/');
    }
    qint64 bytes() const { return qint64(base.list.size()) * SwapFile::SlotSize; }
};

Setup& setup()
{
    static Setup s;
    return s;
}

int swapFd(Setup& s) { return ::open(QFile::encodeName(s.base.swapPath()).constData(), O_RDONLY); }

void syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::close(fd);
    }
}

void BM_SwapWriteSlots(benchmark::State& state)
{
    Setup& s = setup();
    for (auto _ : state) {
        WriteFixtureToSwap(s.base, s.fixture);
        if (state.range(0))
            syncFile(s.base.swapPath());
        s.base.CloseSwapFile();
    }
    state.SetBytesProcessed(state.iterations() * s.bytes());
}

void BM_PlainSequentialWrite(benchmark::State& state)
{
    Setup& s = setup();
    const QString path = s.dir.filePath(QStringLiteral("plain"));
    std::vector<char> chunk(std::size_t(SwapFile::SlotSize), 'x');
    for (auto _ : state) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::size_t i = 0; i < s.base.list.size(); ++i)
            if (::write(fd, chunk.data(), chunk.size()) != ssize_t(chunk.size()))
                state.SkipWithError("write failed");
        if (state.range(0))
            ::fdatasync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * s.bytes());
}

void BM_SwapReadSlots(benchmark::State& state)
{
    Setup& s = setup();
    WriteFixtureToSwap(s.base, s.fixture);
    EmployeeRecord rec;
    for (auto _ : state) {
        for (const EmployeeListEntry& e : s.base.list)
            if (!s.base.swap.readSlot(e.slot, rec))
                state.SkipWithError("short read");
        benchmark::DoNotOptimize(rec.rows[0].sum);
    }
    s.base.CloseSwapFile();
    state.SetBytesProcessed(state.iterations() * s.bytes());
}

void BM_SwapReadRowBlocks(benchmark::State& state)
{
    Setup& s = setup();
    WriteFixtureToSwap(s.base, s.fixture);
    AccrualRow rows[SwapFile::PassRowCount];
    for (auto _ : state) {
        for (const EmployeeListEntry& e : s.base.list)
            if (!s.base.swap.readRows(e.slot, rows))
                state.SkipWithError("short read");
        benchmark::DoNotOptimize(rows[0].sum);
    }
    s.base.CloseSwapFile();
    state.SetBytesProcessed(state.iterations() * qint64(s.base.list.size()) * SwapFile::PassRowCount * 21);
}

void BM_PlainSequentialRead(benchmark::State& state)
{
    Setup& s = setup();
    WriteFixtureToSwap(s.base, s.fixture);
    s.base.CloseSwapFile();
    std::vector<char> chunk(std::size_t(SwapFile::SlotSize));
    for (auto _ : state) {
        const int fd = swapFd(s);
        for (std::size_t i = 0; i < s.base.list.size(); ++i)
            if (::read(fd, chunk.data(), chunk.size()) != ssize_t(chunk.size()))
                state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(chunk.data());
    }
    state.SetBytesProcessed(state.iterations() * s.bytes());
}

} // namespace

BENCHMARK(BM_SwapWriteSlots)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);
BENCHMARK(BM_PlainSequentialWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);
BENCHMARK(BM_SwapReadSlots)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);
BENCHMARK(BM_PlainSequentialRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);
BENCHMARK(BM_SwapReadRowBlocks)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
