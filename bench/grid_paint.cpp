// Painting and scrolling a large grid: 10,000 rows by 20 columns. One
// screenful is painted into an image, as the paint handler does; the scroll
// case pages down and repaints.
#include "RunBenchmarks.h"
#include "grid/GridCtrl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<CGridCtrl> MakeBigGrid()
{
    auto grid = std::make_unique<CGridCtrl>();
    grid->resize(1000, 700);
    grid->show();
    grid->SetRowCount(10000);
    grid->SetColumnCount(20);
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(1);
    for (int r = 0; r < 10000; ++r)
        for (int c = 0; c < 20; ++c) grid->SetItemText(r, c, QString::number(r * 20 + c) + QStringLiteral(".00"));
    for (int c = 0; c < 20; ++c) grid->SetColumnWidth(c, 70);
    grid->ResetScrollBars();
    return grid;
}

std::unique_ptr<CGridCtrl> g_grid;

CGridCtrl* BigGrid()
{
    if (!g_grid)
        g_grid = MakeBigGrid();
    return g_grid.get();
}

void BM_PaintOneScreenful(benchmark::State& state)
{
    CGridCtrl* grid = BigGrid();
    grid->SetScrollPos32(Qt::Vertical, 5000 * grid->GetRowHeight(1));
    QImage img(grid->viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        grid->OnDraw(&p, img.rect());
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_PaintOneScreenful)->Unit(benchmark::kMillisecond)->Apply(InRounds);

void BM_PageDownAndRepaint(benchmark::State& state)
{
    CGridCtrl* grid = BigGrid();
    grid->SetScrollPos32(Qt::Vertical, 0);
    QImage img(grid->viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid->OnVScroll(CGridCtrl::SB_PAGEDOWN);
        if (grid->GetScrollPos32(Qt::Vertical) >= grid->verticalScrollBar()->maximum())
            grid->OnVScroll(CGridCtrl::SB_TOP);
        QPainter p(&img);
        grid->OnDraw(&p, img.rect());
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_PageDownAndRepaint)->Unit(benchmark::kMillisecond)->Apply(InRounds);

void BM_PaintHandlerNearTheEnd(benchmark::State& state)
{
    CGridCtrl* grid = BigGrid();
    grid->OnVScroll(CGridCtrl::SB_BOTTOM);
    QImage img(grid->viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid->viewport()->render(&img);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_PaintHandlerNearTheEnd)->Unit(benchmark::kMillisecond)->Apply(InRounds);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<QApplication>(argc, argv, [] { g_grid.reset(); });
}
