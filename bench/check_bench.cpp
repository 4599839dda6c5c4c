// Time of the cross-section check of a point-data text, at full capacity (361 passes).
#include "core/check/section_check.h"
#include "core/shape/pass_geometry.h"
#include "core/shape/program_writers.h"
#include "worked_example.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quillane;

struct Generated {
    ShapeData Shape;
    std::string PointText;
};

// The worked internal groove with a lead long enough for exactly 361 passes, or as it is.
Generated Generate(double pitch) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    state.Shape.Pitch = pitch;
    const RunResult r = RunGenerator(state, OutputOptions{}, "", "");
    return {r.State.Shape, r.PointText};
}

void Check(benchmark::State& bench, double pitch, double toolAngle) {
    const Generated g = Generate(pitch);
    SectionCheck first = CheckSection(g.Shape, g.PointText, toolAngle);
    if (!first.Problem.empty()) {
        bench.SkipWithError(first.Problem.c_str());
        return;
    }
    for (auto _ : bench) benchmark::DoNotOptimize(CheckSection(g.Shape, g.PointText, toolAngle));
    bench.counters["passes"] = static_cast<double>(first.Passes.size());
}

// 361 passes over a lead of 179.2 mm: 179,200 samples.
void BM_Check361Passes(benchmark::State& bench) { Check(bench, 179.2, 0); }
void BM_Check361PassesInsert60(benchmark::State& bench) { Check(bench, 179.2, 60); }
// The worked example itself: 28 passes over 12.7 mm.
void BM_CheckWorkedExample(benchmark::State& bench) { Check(bench, 12.7, 0); }

}  // namespace

BENCHMARK(BM_Check361Passes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check361PassesInsert60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckWorkedExample)->Unit(benchmark::kMillisecond);
