// Fuzz target: "Program Output" and the shape check on arbitrary box texts, twice on the same
// panes, and the numeric rule and number formats on arbitrary text. Built with clang's libFuzzer (QUILLANE_FUZZ).
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_check.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace quillane;

void Require(bool condition) {
    if (!condition) std::abort();
}

// Generated text is plain ASCII in CR LF lines, and never spells a non-finite number.
void CheckText(const std::string& text) {
    Require(text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        Require((c >= 0x20 && c < 0x7f) || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                (c == '\n' && i > 0 && text[i - 1] == '\r'));
    }
    Require(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos);
}

void CheckNumbers(std::string_view text) {
    const double v = NumericValue(text);
    Require(!std::isnan(v));
    if (!std::isfinite(v)) return;
    const std::string pattern = FormatPattern(v, "####0.000");
    Require(!pattern.empty());
    double floored = v;
    const std::string nc = FormatNcNumber(floored);
    double parsed = 0;
    std::from_chars(nc.data(), nc.data() + nc.size(), parsed);
    Require(parsed == floored);  // the text and the written-back value agree
    Require(floored <= v || std::fabs(floored - v) <= std::fabs(v) * 1e-14);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckNumbers(input.substr(0, std::min<std::size_t>(input.size(), 64)));

    // Boxes separated by '|': 18 dimensions, 8 feeds; a leading 'E' selects External,
    // the first byte's low bits pick the output options.
    ShapeBoxTexts boxes;
    OutputOptions options;
    if (!input.empty()) {
        const auto flags = static_cast<unsigned char>(input.front());
        options.Trv = flags & 1;
        options.Fanuc = flags & 2;
        options.SequenceNumbers = flags & 4;
        options.OutputModin = flags & 8;
        boxes.External = flags & 16;
        input.remove_prefix(1);
    }
    for (std::size_t i = 0; i < 26 && !input.empty(); ++i) {
        const auto bar = input.find('|');
        std::string field(input.substr(0, bar));
        if (i < 18) {
            boxes.Text[i] = field;
        } else {
            boxes.Feed[i - 18] = field;
        }
        input.remove_prefix(bar == std::string_view::npos ? input.size() : bar + 1);
    }

    for (const Finding& f : CheckShapeBoxes(boxes)) {
        Require(!f.Text.empty());
        for (ShapeBox box : f.Boxes) Require(static_cast<int>(box) < ShapeBoxCount);
    }

    GeneratorState state;
    std::string a, b;
    for (int run = 0; run < 2; ++run) {
        const RunResult r = ProgramOutput(state, boxes, options, a, b);
        CheckText(r.PointText);
        CheckText(r.ProgramText);
        Require(r.PointText.compare(0, a.size(), a) == 0 && r.ProgramText.compare(0, b.size(), b) == 0);
        if (r.Succeeded) {
            Require(r.PointCount >= 8 && r.PointCount <= 361);
            Require(r.State.PassCounter >= state.PassCounter);
        } else {
            Require(!r.ErrorDetail.empty());
            Require(r.ProgramText == b && r.State.PassCounter == state.PassCounter);
        }
        state = r.State;
        a = r.PointText;
        b = r.ProgramText;
    }
    return 0;
}
