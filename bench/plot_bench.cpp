// Back-plotting speed: scanning and plotting standard programs and point data of 1 MB and 10 MB.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_picture.h"
#include "core/ncplot/point_graphic.h"
#include "core/shape/program_writers.h"

#include "worked_example.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quillane;

// The worked internal groove, as one press of "Program Output" leaves it.
RunResult WorkedExampleRun(bool fanuc) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    OutputOptions options;
    options.Fanuc = fanuc;
    options.Trv = !fanuc;
    return RunGenerator(state, options, "", "");
}

// A pane that has had "Program Output" pressed until it holds `bytes`.
std::string Repeated(const std::string& oneRun, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + oneRun.size());
    while (text.size() < bytes) text += oneRun;
    return text;
}

constexpr std::size_t MB = 1 << 20;

void BM_ScanStandardProgram(benchmark::State& bench) {
    const std::string text =
        Repeated(WorkedExampleRun(true).ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    for (auto _ : bench) {
        int lines = 0;
        plot::ForEachNcLine(text, scan, [&](int) { ++lines; });
        benchmark::DoNotOptimize(lines);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

void BM_PlotCuttingPath(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(true);
    const std::string text = Repeated(run.ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    std::size_t items = 0;
    for (auto _ : bench) {
        std::optional<Drawing> d = PlotCuttingPath(text, run.State, scan);
        items = d->Items.size();
        benchmark::DoNotOptimize(d);
    }
    bench.counters["items"] = static_cast<double>(items);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

void BM_PlotCuttingPathTrv(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(false);
    const std::string text = Repeated(run.ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    for (auto _ : bench) benchmark::DoNotOptimize(PlotCuttingPath(text, run.State, scan));
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

void BM_PlotPointData(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(false);
    const std::string text = Repeated(run.PointText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    for (auto _ : bench) benchmark::DoNotOptimize(PlotPointData(text, run.State.Shape, scan));
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ScanStandardProgram)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCuttingPath)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCuttingPathTrv)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPointData)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
