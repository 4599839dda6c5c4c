// Back-plotting speed: scanning and plotting standard programs and point data of 1 MB and 10 MB,
// and one key in a program of 10 MB and 100 MB plotted edit by edit.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/incremental_plot.h"
#include "core/ncplot/nc_highlight.h"
#include "core/ncplot/plot_picture.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/point_graphic.h"
#include "core/shape/program_writers.h"

#include "worked_example.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace quillane;

using testing_shapes::Repeated;
using testing_shapes::WorkedExampleRun;

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

// For reference: the lines of the same text found with memchr alone, nothing scanned.
void BM_SplitLinesMemchr(benchmark::State& bench) {
    const std::string text =
        Repeated(WorkedExampleRun(true).ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    for (auto _ : bench) {
        int lines = 0;
        std::size_t from = 0;
        while (from + 1 < text.size()) {
            const void* cr = std::memchr(text.data() + from, '\r', text.size() - from - 1);
            if (cr == nullptr) break;
            const auto end = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
            if (text[end + 1] == '\n') ++lines;
            from = end + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

// One key in a large standard program, plotted through IncrementalPlot: a Z value in the middle
// changes back and forth (its line draws another cut and other rings), Enter splits a line and
// the next key joins it again, or the Z word becomes a Y and back (its line draws no cut and fewer
// rings: the items after it move). Arguments: megabytes, 0 for a changed character, 1 for a line
// added and removed or 2 for items removed and added, 1 when the links follow.
void BM_IncrementalEdit(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(true);
    std::string text = Repeated(run.ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    const bool enter = bench.range(1) == 1, items = bench.range(1) == 2;
    // The first cutting move past the middle: "G32 Z-80. F…"; its Z digit becomes another.
    const std::size_t cut = text.find("G32 Z-", text.size() / 2);
    const std::size_t digit = cut + 6;
    int line = 0;
    for (std::size_t i = 0; i < cut; ++i) line += text[i] == '\n' ? 1 : 0;
    std::string split = text;
    split.insert(cut + 4, "\r\n");  // Enter before the Z word: the Z moves to a line of its own
    IncrementalPlot plot(PlotKind::CuttingPath, 4096, bench.range(2) != 0);
    ScanState scan;
    plot.Replot(text, run.State, scan);
    bool changed = false;
    std::int64_t spliced = 0;
    for (auto _ : bench) {
        changed = !changed;
        if (enter) {
            const LineEdit edit = changed ? LineEdit{line, 1, 2} : LineEdit{line, 2, 1};
            spliced += plot.Update(changed ? split : text, edit, run.State, scan).Spliced ? 1 : 0;
        } else if (items) {
            text[cut + 4] = changed ? 'Y' : 'Z';
            spliced += plot.Update(text, {line, 1, 1}, run.State, scan).Spliced ? 1 : 0;
        } else {
            text[digit] = changed ? '7' : '8';
            spliced += plot.Update(text, {line, 1, 1}, run.State, scan).Spliced ? 1 : 0;
        }
    }
    bench.counters["items"] = static_cast<double>(plot.Picture().Items.size());
    bench.counters["spliced"] = static_cast<double>(spliced) / static_cast<double>(bench.iterations());
    bench.counters["rescanned"] = static_cast<double>(plot.LastUpdate().RescannedLines);
}

// The links of a plotted program made whole, as after a replot of a pasted text.
void BM_LinksRebuild(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(true);
    const std::string text = Repeated(run.ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    const std::optional<Drawing> drawing = PlotCuttingPath(text, run.State, scan);
    PlotLinks links;
    for (auto _ : bench) {
        links.Rebuild(*drawing, PlotKind::CuttingPath);
        benchmark::DoNotOptimize(links.Passes().size());
    }
    bench.counters["passes"] = static_cast<double>(links.Passes().size());
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

// The same, each plot drawn into the storage of the picture before it, as the window replots: what
// is left is the drawing itself, without fresh memory to fault in.
void BM_PlotCuttingPathRecycled(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(true);
    const std::string text = Repeated(run.ProgramText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    Drawing last;
    for (auto _ : bench) {
        std::optional<Drawing> d = PlotCuttingPath(text, run.State, scan, std::move(last));
        benchmark::DoNotOptimize(d->Items.data());
        last = std::move(*d);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

void BM_PlotPointDataRecycled(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(false);
    const std::string text = Repeated(run.PointText, static_cast<std::size_t>(bench.range(0)) * MB);
    ScanState scan;
    Drawing last;
    for (auto _ : bench) {
        Drawing d = PlotPointData(text, run.State.Shape, scan, std::move(last));
        benchmark::DoNotOptimize(d.Items.data());
        last = std::move(d);
    }
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

// The colouring of a pane's text, line by line as the editor asks for it: the standard program
// (G00/G34 blocks) and the point data (N X Z lines).
void BM_HighlightProgram(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(false);
    const std::string text =
        Repeated(bench.range(1) == 0 ? run.ProgramText : run.PointText, static_cast<std::size_t>(bench.range(0)) * MB);
    std::vector<NcRun> runs;
    for (auto _ : bench) {
        std::size_t count = 0;
        bool open = false;
        const char* at = text.data();
        const char* const end = at + text.size();
        while (at < end) {
            const auto* cr = static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
            const char* lineEnd = cr == nullptr ? end : cr;
            open = HighlightNcLine({at, static_cast<std::size_t>(lineEnd - at)}, open, runs);
            count += runs.size();
            at = cr == nullptr ? end : cr + 2;  // the texts end with CR LF
        }
        benchmark::DoNotOptimize(count);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

// The cutting graphic of a program of 10 MB thinned for a picture of 800 x 533 pixels: all of it
// (a zoom, a new picture), or after a splice that changed one line in the middle (a keystroke).
// Argument: 0 whole, 1 following a splice.
void BM_ThinCuttingPath(benchmark::State& bench) {
    const RunResult run = WorkedExampleRun(true);
    const std::string text = Repeated(run.ProgramText, 10 * MB);
    IncrementalPlot plot(PlotKind::CuttingPath, 4096, false);
    ScanState scan;
    plot.Replot(text, run.State, scan);
    const Drawing& drawing = plot.Picture();
    const UserScale view = *drawing.Scale;
    ThinnedPicture thinned;
    thinned.Thin(drawing, view, 800, 533);
    const std::size_t middle = drawing.Items.size() / 2;
    for (auto _ : bench) {
        if (bench.range(0) == 0) {
            thinned.Thin(drawing, view, 800, 533);
        } else {
            thinned.Follow(drawing, {middle, middle + 4, middle + 4, 0});
        }
        benchmark::DoNotOptimize(thinned.Picture().Items.data());
    }
    bench.counters["items"] = static_cast<double>(drawing.Items.size());
    bench.counters["kept"] = static_cast<double>(thinned.Picture().Items.size());
}

}  // namespace

BENCHMARK(BM_ThinCuttingPath)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HighlightProgram)
    ->ArgNames({"MB", "pointdata"})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitLinesMemchr)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanStandardProgram)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCuttingPath)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinksRebuild)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCuttingPathTrv)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPointData)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotCuttingPathRecycled)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotPointDataRecycled)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncrementalEdit)
    ->Args({10, 0, 0})
    ->Args({10, 1, 0})
    ->Args({10, 0, 1})
    ->Args({100, 0, 0})
    ->Args({100, 1, 0})
    ->Args({100, 0, 1})
    ->Args({100, 1, 1})
    ->Args({100, 2, 1})
    ->Unit(benchmark::kMillisecond);
