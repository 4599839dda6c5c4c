// quillane-cli plot of a 10 MB program to a picture, in-process with the toolkit already started
// (as a batch of exports would run), against reading the same file and finding its lines.
#include "cli/commands.h"
#include "cli/file_access.h"
#include "cli/picture_library.h"

#include "worked_example.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using namespace quillane;

constexpr std::size_t MB = 1 << 20;

// A scratch folder with the program of `megabytes`, removed when the run ends.
struct ScratchProgram {
    std::string Folder, Program;
    explicit ScratchProgram(std::size_t megabytes) {
        char pattern[] = "/tmp/quillane-export-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) std::abort();
        Folder = pattern;
        Program = Folder + "/program.nc";
        std::ofstream(Program, std::ios::binary)
            << testing_shapes::Repeated(testing_shapes::WorkedExampleRun(true).ProgramText, megabytes * MB);
    }
    ~ScratchProgram() {
        for (const char* name : {"/program.nc", "/plot.png", "/plot.json"}) std::remove((Folder + name).c_str());
        ::rmdir(Folder.c_str());
    }
};

const ScratchProgram& TenMegabytes() {
    static const ScratchProgram program(10);
    return program;
}

// The reference: the file read as plot reads it, and its lines found with memchr.
void BM_ReadAndSplitLines(benchmark::State& bench) {
    const std::string& path = TenMegabytes().Program;
    for (auto _ : bench) {
        const std::string text = cli::ReadInput(path, cli::DefaultInputLimit);
        int lines = 0;
        for (const char* at = text.data();
             (at = static_cast<const char*>(std::memchr(at, '\n', text.data() + text.size() - at))) != nullptr; ++at) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * 10 * MB));
}

void Plot(benchmark::State& bench, const char* output) {
    const ScratchProgram& program = TenMegabytes();
    const std::vector<std::string> args = {
        "--cutting",    "--shape", QUILLANE_SOURCE_DIR "/examples/worked-example.toml", "-o", program.Folder + output,
        program.Program};
    std::ostringstream out, err;
    for (auto _ : bench) {
        if (cli::RunPlot(args, out, err) != cli::ExitOk) {
            bench.SkipWithError(err.str().c_str());
            break;
        }
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * 10 * MB));
}

void BM_PlotToPng(benchmark::State& bench) { Plot(bench, "/plot.png"); }
void BM_PlotToJson(benchmark::State& bench) { Plot(bench, "/plot.json"); }

BENCHMARK(BM_ReadAndSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotToJson)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The toolkit is started once, as by a process that exports many pictures; plot then uses it.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const cli::PictureExport* library = cli::LoadPictureExport(std::cerr);
    if (library == nullptr) return 1;
    void* toolkit = library->StartToolkit();
    benchmark::RunSpecifiedBenchmarks();
    library->StopToolkit(toolkit);
    benchmark::Shutdown();
    return 0;
}
