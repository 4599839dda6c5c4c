// Fuzz targets: the NC word scanner and the pane colouring on arbitrary lines, and both plots on
// arbitrary text and shapes.
// Built with clang's libFuzzer (QUILLANE_FUZZ); NCPLOT_FUZZ_PLOTS selects the plot target.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_highlight.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_limits.h"
#include "core/ncplot/point_graphic.h"
#ifndef NCPLOT_FUZZ_PLOTS
#include "ncplot/reference_scanner.h"
#endif

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quillane;

void Require(bool condition) {
    if (!condition) std::abort();
}

#ifndef NCPLOT_FUZZ_PLOTS
// The scanner's values are always seven-digit numbers within the single-precision range.
void CheckScan(const ScanState& s) {
    Require(std::isfinite(s.XValue) && std::fabs(s.XValue) <= 3.5e38);
    Require(std::isfinite(s.ZValue) && std::fabs(s.ZValue) <= 3.5e38);
    Require(std::isfinite(s.GValue));
    Require(s.ScanPos >= s.LineLength + 1);
}

// The colouring's runs tile the line, and it sees a comment open where the scanner does.
void CheckHighlight(const std::string& line, bool open, const ScanState& scanned) {
    std::vector<NcRun> runs;
    const bool after = HighlightNcLine(line, open, runs);
    Require(after == scanned.InComment);
    std::size_t at = 0;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        Require(runs[k].Start == at && runs[k].Length > 0);
        Require(static_cast<int>(runs[k].Style) < NcStyleCount);
        Require(k == 0 || runs[k].Style != runs[k - 1].Style);
        at += runs[k].Length;
    }
    Require(at == line.size());
}

// The scanner reads each word where it lies; its literal form reads back the word's text.
// Both must leave the same state, the values to the bit.
void CheckAgainstLiteral(const ScanState& fast, ScanState literal) {
    reference::ScanNcLine(literal);
    Require(std::memcmp(&fast.XValue, &literal.XValue, sizeof fast.XValue) == 0);
    Require(std::memcmp(&fast.ZValue, &literal.ZValue, sizeof fast.ZValue) == 0);
    Require(std::memcmp(&fast.GValue, &literal.GValue, sizeof fast.GValue) == 0);
    Require(fast.InComment == literal.InComment && fast.StartNewPath == literal.StartNewPath);
    Require(fast.ScanPos == literal.ScanPos && fast.LineLength == literal.LineLength);
}

void RequireSameScan(const ScanState& a, const ScanState& b) {
    Require(std::memcmp(&a.XValue, &b.XValue, sizeof a.XValue) == 0);
    Require(std::memcmp(&a.ZValue, &b.ZValue, sizeof a.ZValue) == 0);
    Require(std::memcmp(&a.GValue, &b.GValue, sizeof a.GValue) == 0);
    Require(a.InComment == b.InComment && a.StartNewPath == b.StartNewPath);
    Require(a.ScanPos == b.ScanPos && a.LineLength == b.LineLength);
}

// The input as a whole text: walking it line by line, or many lines per call (in batches of
// `capacity`), leaves after each line what scanning that line alone leaves, and a last line
// without CR LF is not scanned.
void CheckWalk(std::string_view text, std::size_t capacity, bool open) {
    ScanState walked, alone, batched;
    walked.InComment = alone.InComment = batched.InComment = open;
    std::vector<ScannedLine> lines(capacity);
    std::size_t start = 0, k = 0, n = 0;
    for (;;) {
        const std::size_t end = ScanNextNcLine(walked, text, start);
        const std::size_t cr = text.find("\r\n", start);
        Require(end == cr);
        if (k == n && (n == capacity || start == 0)) {  // the batch is used up and the text goes on
            n = ScanNcLines(batched, text, start, lines.data(), capacity);
            k = 0;
        }
        if (end == std::string_view::npos) {
            Require(k == n);
            break;
        }
        Require(k < n && lines[k].End == cr);
        ApplyScannedLine(batched, lines[k++], start);
        ScanNcLine(alone, text.substr(start, end - start));
        RequireSameScan(walked, alone);
        RequireSameScan(batched, alone);
        start = end + 1;
    }
}
#else
// Shape values: raw doubles (any bit pattern, NaN and infinities included) or small decimals.
double ShapeValue(const std::uint8_t*& data, std::size_t& size) {
    if (size < 9) return 0;
    const std::uint8_t mode = *data;
    double v = 0;
    std::memcpy(&v, data + 1, sizeof v);
    data += 9;
    size -= 9;
    if (mode & 1) return v;
    std::int64_t n = 0;
    std::memcpy(&n, &v, sizeof n);
    return static_cast<double>(n % 2000000) / ((mode & 2) ? 10.0 : 1000.0);
}

void CheckDrawing(const Drawing& d, std::size_t textSize) {
    // Bounded work: path items by line, rings by budget, grid and labels by the picture.
    Require(d.Items.size() <= textSize / 2 + 2 * static_cast<std::size_t>(MaxRingPairs) +
                                  8 * static_cast<std::size_t>(MaxStepsAcross) + 16);
    for (const Primitive& p : d.Items) {
        Require(std::isfinite(p.At.X) && std::isfinite(p.At.Y) && std::isfinite(p.To.X) && std::isfinite(p.To.Y));
        Require(p.Kind != PrimitiveKind::Text || p.Text < d.Texts.size());
    }
    if (d.Items.size() < 2000) Require(!DrawingJson(d).empty());
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifndef NCPLOT_FUZZ_PLOTS
    // One line, scanned twice: from a clean state and with a comment left open.
    ScanState scan;
    scan.LineText.assign(reinterpret_cast<const char*>(data), size);
    const ScanState before = scan;
    ScanNcLine(scan);
    CheckScan(scan);
    CheckHighlight(scan.LineText, false, scan);
    CheckAgainstLiteral(scan, before);
    ScanState open;
    open.InComment = true;
    open.LineText = scan.LineText;
    const ScanState openBefore = open;
    ScanNcLine(open);
    CheckScan(open);
    CheckHighlight(open.LineText, true, open);
    CheckAgainstLiteral(open, openBefore);
    CheckWalk(scan.LineText, 256, false);
    CheckWalk(scan.LineText, 1 + size % 3, true);
#else
    GeneratorState gen;
    double* fields[] = {&gen.Shape.Pitch,       &gen.Shape.D1,        &gen.Shape.D2, &gen.Shape.BlankDiaX,
                        &gen.Shape.StartPointZ, &gen.Shape.EndPointZ, &gen.CutSpanZ};
    for (double* f : fields) *f = ShapeValue(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    ScanState scan;
    const Drawing points = PlotPointData(text, gen.Shape, scan);
    CheckDrawing(points, text.size());
    if (const auto cutting = PlotCuttingPath(text, gen, scan)) CheckDrawing(*cutting, text.size());
#endif
    return 0;
}
