// Time of one "Program Output" at full capacity (361 profile points), in each dialect.
#include "core/shape/pass_geometry.h"
#include "core/shape/program_writers.h"
#include "worked_example.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quillane;

// The worked internal groove with a lead long enough for exactly 361 points.
ShapeData FullCapacityShape() {
    ShapeData s = testing_shapes::WorkedExample();
    s.Pitch = 179.2;
    return s;
}

void ProgramOutputRun(benchmark::State& bench, bool fanuc) {
    GeneratorState state;
    state.Shape = FullCapacityShape();
    OutputOptions options;
    options.Fanuc = fanuc;
    options.Trv = !fanuc;
    if (ComputeProfile(state.Shape).size() != MaxProfilePoints) {
        bench.SkipWithError("the shape does not give 361 points");
        return;
    }
    for (auto _ : bench) {
        RunResult r = RunGenerator(state, options, "", "");
        benchmark::DoNotOptimize(r);
    }
}

void BM_ProgramOutputTrv(benchmark::State& bench) { ProgramOutputRun(bench, false); }
void BM_ProgramOutputFanuc(benchmark::State& bench) { ProgramOutputRun(bench, true); }

void BM_ProfileOnly(benchmark::State& bench) {
    const ShapeData s = FullCapacityShape();
    for (auto _ : bench) benchmark::DoNotOptimize(ComputeProfile(s));
}

}  // namespace

BENCHMARK(BM_ProgramOutputTrv)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProgramOutputFanuc)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProfileOnly)->Unit(benchmark::kMicrosecond);
