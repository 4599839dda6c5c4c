// Fuzz target: the shape-file reader (TOML to record, text values, options) on arbitrary text,
// and "Program Output" on every record it accepts. Built with clang's libFuzzer (QUILLANE_FUZZ).
#include "core/shape/program_writers.h"
#include "core/shape/shape_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace quillane;

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ShapeFile file;
    try {
        file = ParseShapeFile(text, "fuzz.toml");
    } catch (const ShapeFileError& e) {
        // Every refusal names the file, so the user knows which one of a batch it was.
        Require(std::string_view(e.what()).substr(0, 9) == "fuzz.toml");
        return 0;
    }
    // Twice on the same panes, as two files of a batch: the texts only ever grow.
    GeneratorState state;
    std::string points, program;
    for (int run = 0; run < 2; ++run) {
        const RunResult r = ProgramOutput(state, file.Boxes, OptionsFor(file, OutputOptions{}), points, program);
        Require(r.PointText.size() >= points.size() && r.PointText.compare(0, points.size(), points) == 0);
        Require(r.ProgramText.size() >= program.size() && r.ProgramText.compare(0, program.size(), program) == 0);
        Require(r.Succeeded || r.ProgramText == program);
        if (!r.Succeeded) break;
        state = r.State;
        points = r.PointText;
        program = r.ProgramText;
    }
    return 0;
}
