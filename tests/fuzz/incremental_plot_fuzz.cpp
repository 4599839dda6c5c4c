// Fuzz target: a plot updated for an edit against a replot of the whole edited text. The input is
// two texts (before and after the edit, split at the first 0xFF byte) after two bytes that choose
// the plot, the checkpoint spacing, how much wider than the change the edit is told, and what
// the scanner brings from the other plot. Built with clang's libFuzzer (QUILLANE_FUZZ).
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/incremental_plot.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/point_graphic.h"

#include <algorithm>
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

// The lines as an edit counts them: split at CR LF, the rest after the last one a line too.
std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t crlf = text.find("\r\n"); crlf != std::string_view::npos; crlf = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, crlf - start));
        start = crlf + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// The lines that differ between the texts, widened by `wider` on each side where there are lines.
LineEdit EditBetween(std::string_view before, std::string_view after, int wider) {
    const std::vector<std::string_view> a = LinesOf(before), b = LinesOf(after);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    const auto w = static_cast<std::size_t>(wider);
    const std::size_t less = std::min(head, w), lessTail = std::min(tail, w);
    head -= less;
    tail -= lessTail;
    return {static_cast<int>(head), static_cast<int>(a.size() - head - tail), static_cast<int>(b.size() - head - tail)};
}

void RequireSameScan(const ScanState& a, const ScanState& b) {
    Require(std::memcmp(&a.GValue, &b.GValue, sizeof a.GValue) == 0);
    Require(std::memcmp(&a.XValue, &b.XValue, sizeof a.XValue) == 0);
    Require(std::memcmp(&a.ZValue, &b.ZValue, sizeof a.ZValue) == 0);
    Require(a.InComment == b.InComment && a.StartNewPath == b.StartNewPath);
    Require(a.LineText == b.LineText && a.LineLength == b.LineLength && a.ScanPos == b.ScanPos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t how = data[0], carry = data[1];
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t split = rest.find('\xff');
    const std::string_view before = rest.substr(0, split);
    const std::string_view after = split == std::string_view::npos ? before : rest.substr(split + 1);

    const PlotKind kind = (how & 1) != 0 ? PlotKind::CuttingPath : PlotKind::PointData;
    GeneratorState gen;
    gen.Shape.Pitch = 2.5;
    gen.Shape.D1 = 36;
    gen.Shape.D2 = 30;
    gen.Shape.BlankDiaX = 29;
    gen.Shape.StartPointZ = 5;
    gen.Shape.EndPointZ = -20;
    gen.CutSpanZ = 27.5;

    IncrementalPlot plot(kind, 1 + (how >> 1) % 4);
    ScanState scan;
    scan.GValue = static_cast<float>(carry & 3);
    scan.InComment = (carry & 4) != 0;
    plot.Replot(before, gen, scan);
    // A thinned picture of it, small enough that much is covered, follows a splice.
    ThinnedPicture thinned;
    const double side = 40 + (carry >> 7) * 400;
    if (plot.Picture().Scale) thinned.Thin(plot.Picture(), *plot.Picture().Scale, side, side);
    // The other plot may have run in between and left other values.
    if ((carry & 8) != 0) {
        scan.GValue = static_cast<float>((carry >> 4) & 3);
        scan.InComment = (carry & 64) != 0;
    }
    ScanState whole = scan;
    const LineEdit edit = EditBetween(before, after, (how >> 3) % 3);
    // Handed from where it is read, as the window hands its editor's buffer, the bytes before
    // made what the scanner acts on: they must never be read.
    if ((how & 0x80) != 0) {
        // The scanner's values taken up first from the lines before the edit alone.
        plot.TakeCarry(after.substr(0, plot.CarryReach(edit, gen, scan)), edit, gen, scan);
    }
    const std::size_t from = plot.ReadsFrom(edit, gen, scan);
    std::string tail(after);
    std::fill_n(tail.begin(), std::min(from, tail.size()), 'X');
    const PlotUpdate* tried = &plot.Update(tail, edit, gen, scan, from);
    if (tried->NeedsWholeText) tried = &plot.Update(after, edit, gen, scan);
    const PlotUpdate update = *tried;
    const Drawing expected =
        kind == PlotKind::PointData ? PlotPointData(after, gen.Shape, whole) : *PlotCuttingPath(after, gen, whole);
    Require(plot.Picture() == expected);
    Require(plot.Links() == PlotLinks(expected, kind));
    if (update.Spliced && thinned.Picture().Scale) {
        thinned.Follow(plot.Picture(), update.Items);
        ThinnedPicture again;
        again.Thin(plot.Picture(), *thinned.Picture().Scale, side, side);
        Require(thinned.Picture() == again.Picture());
    }
    RequireSameScan(scan, whole);
    return 0;
}
