// One "Program Output": the record turned into point data and a standard program.
#pragma once

#include "core/shape/shape_data.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// State that a window (or a command-line run, or a test) keeps between runs.
struct GeneratorState {
    ShapeData Shape;
    double CutSpanZ = 0;    // axial extent of the last run's cutting, for the cutting plot
    float PassCounter = 1;  // number of the next pass; exactly 1 means nothing written yet
};

// Output options: read from the dialog's controls, not part of the record. The two dialect
// switches are independent, as the dialog's two option buttons are tested one by one.
struct OutputOptions {
    bool Trv = true;
    bool Fanuc = false;
    bool SequenceNumbers = true;
    bool OutputModin = true;
};

struct RunResult {
    GeneratorState State;  // the record after the run, including the floored write-backs
    // The record as it stood when the point data was complete: the standard program may floor
    // Pitch further, and the point-data pane is replotted before that happens.
    ShapeData ShapeAtPointData;
    std::string PointText;    // new text of the point-data pane
    std::string ProgramText;  // new text of the standard-program pane
    bool Succeeded = false;
    std::string ErrorDetail;  // on failure: which input made the arithmetic fail
    int PointCount = 0;       // profile points computed (0 when the geometry failed)
    int PassCount = 0;        // passes written to the standard program
};

// Computes the passes of the record in `state` and appends the texts to the two panes.
// On a data error the run stops where it failed: the point data stays appended if it was,
// the standard program and PassCounter stay as they were.
RunResult RunGenerator(const GeneratorState& state, const OutputOptions& options, std::string_view pointText,
                       std::string_view programText);

// The whole of "Program Output": reads the dialog's boxes into the record, then runs.
RunResult ProgramOutput(const GeneratorState& state, const ShapeBoxTexts& boxes, const OutputOptions& options,
                        std::string_view pointText, std::string_view programText);

}  // namespace quillane
