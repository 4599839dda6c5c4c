// The internal cam groove used throughout the generator tests.
#pragma once

#include "core/shape/program_writers.h"
#include "core/shape/shape_data.h"

#include <cstddef>
#include <string>

namespace quillane::testing_shapes {

// Lead 12.7, floor D36 between tops D30, 60-degree flanks, corner radii 0.5/1/1/0.5,
// nose radius 0.4, every feed 0.5: 28 profile points, all inside the blank.
inline ShapeData WorkedExample() {
    ShapeData s;
    s.Side = -1;
    s.DimensionsSet = true;
    s.Pitch = 12.7;
    s.Width = 3;
    s.NoseR = 0.4;
    s.D1 = 36;
    s.D2 = 30;
    s.D3 = 30;
    s.A1 = 60;
    s.A2 = 60;
    s.R1 = 0.5;
    s.R2 = 1;
    s.R3 = 1;
    s.R4 = 0.5;
    s.BlankDiaX = 29;
    s.FinishStock = 0;
    s.StartPointZ = 5;
    s.EndPointZ = -80;
    s.TaperAngle = 0;
    s.RetractX = 28;
    s.Feed.fill(0.5f);
    return s;
}

// The worked groove as one press of "Program Output" leaves it, in either dialect.
inline RunResult WorkedExampleRun(bool fanuc) {
    GeneratorState state;
    state.Shape = WorkedExample();
    OutputOptions options;
    options.Fanuc = fanuc;
    options.Trv = !fanuc;
    return RunGenerator(state, options, "", "");
}

// A pane that has had "Program Output" pressed until it holds `bytes`.
inline std::string Repeated(const std::string& oneRun, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + oneRun.size());
    while (text.size() < bytes) text += oneRun;
    return text;
}

}  // namespace quillane::testing_shapes
