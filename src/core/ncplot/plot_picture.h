// What the two plots share: a picture that records into a Drawing, bounded loops, the line walk.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_limits.h"
#include "core/numeric/single_precision.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace quillane::plot {

// Colours of the plots.
inline constexpr Color Background = Color::Rgb(8, 0, 0);
inline constexpr Color Grid = Color::Rgb(0, 128, 0);
inline constexpr Color ZeroLine = Color::System(ColorRole::ButtonShadow);
inline constexpr Color BlankLine = Color::Rgb(0, 0, 255);
inline constexpr Color Label = Color::Rgb(192, 192, 192);
inline constexpr Color Rapid = Color::Rgb(128, 0, 128);
inline constexpr Color Cut = Color::Rgb(255, 255, 0);
inline constexpr Color Ring = Color::Rgb(0, 255, 255);
inline constexpr std::uint8_t LabelFontSize = 12;

// Thrown when the picture cannot do what it is asked: a plot stops there, silently, and keeps
// what it has drawn.
struct PictureFailure {};

// A point as the plots compute it, in double precision; the picture stores it in single.
struct Point {
    double X = 0;
    double Y = 0;
};

// What a picture shows of one axis: the lower and upper ends of its scale, whichever way the
// axis runs.
struct ShownRange {
    double Low = 0;
    double High = 0;
};
inline ShownRange ShownX(const UserScale& s) {
    const double a = static_cast<double>(s.Left), b = a + static_cast<double>(s.Width);
    return {std::min(a, b), std::max(a, b)};
}
inline ShownRange ShownY(const UserScale& s) {
    const double a = static_cast<double>(s.Top), b = a + static_cast<double>(s.Height);
    return {std::min(a, b), std::max(a, b)};
}

// Largest integer not greater than the value.
inline double Int(double value) { return std::floor(value); }

// A plot picture being drawn. Every value it takes must fit its single-precision
// coordinates; anything else is a PictureFailure.
class Picture {
public:
    // `recycled` lends its storage: a picture no longer shown, whose lists are emptied and
    // filled again, so that a replot of a large program neither asks for fresh memory nor
    // touches fresh pages.
    // `drain`, when given, takes the items drawn so far whenever many have gathered (see
    // DrawingDrain); Take() then returns only those drawn since.
    explicit Picture(Color background, Drawing recycled = {}, DrawingDrain drain = {})
        : drawing_(std::move(recycled)), drain_(std::move(drain)) {
        drawing_.ClearItems();
        drawing_.Texts.clear();
        drawing_.Scale.reset();
        drawing_.ReadoutVisible = false;
        drawing_.Crosshair = false;
        drawing_.Background = background;
        drainAt_ = drain_ ? DrainAt : SIZE_MAX;
    }

    // Room for the primitives a text of this size is likely to draw: a program line draws at
    // most a line and two rings, and most lines are longer than six characters. Growing the
    // list item by item would copy it over and over for a large program.
    void ReserveFor(std::size_t textSize);

    // Sets the user scale; a width or height of 0 fails, as on a real picture.
    void SetScale(double left, double top, double width, double height);
    const UserScale& Scale() const { return *drawing_.Scale; }

    // A path draws one of these for nearly every line of a program: they are written here, where
    // the plots' loops see them, each item in one piece.
    void Line(Point from, Point to, Color colour, LineStyle style, int ncLine = NoNcLine) {
        const DrawPoint a = Single(from);
        StoredLine(a, Single(to), colour, style, ncLine);
    }
    void Dot(Point at, Color colour, int ncLine) { StoredDot(Single(at), colour, ncLine); }
    void Circle(Point centre, double radius, Color colour, int ncLine) {
        const DrawPoint c = Single(centre);
        const float r = Single(radius);
        Add([&](Primitive& p) {
            Set(p, PrimitiveKind::Circle, c, colour, ncLine);
            p.Radius = r;
        });
    }
    void Text(Point at, std::string text);  // in the label colour and size

    // The same on points already in the picture's precision (see Single): a path's moves start
    // where the one before ended, which need not be converted and checked again.
    void StoredLine(DrawPoint from, DrawPoint to, Color colour, LineStyle style, int ncLine) {
        Add([&](Primitive& p) {
            Set(p, PrimitiveKind::Line, from, colour, ncLine);
            p.To = to;
            p.Style = style;
        });
    }
    void StoredDot(DrawPoint at, Color colour, int ncLine) {
        Add([&](Primitive& p) { Set(p, PrimitiveKind::Dot, at, colour, ncLine); });
    }

    // A point as the picture stores it; a coordinate beyond single precision cannot be drawn.
    static DrawPoint Single(Point p) { return {static_cast<double>(Single(p.X)), static_cast<double>(Single(p.Y))}; }

    void Complete() {
        drawing_.Crosshair = true;
        drawing_.ReadoutVisible = true;
    }
    Drawing Take() { return std::move(drawing_); }
    std::size_t ItemCount() const { return drawing_.Items.size(); }

private:
    // What every kind of item has: where it is, its colour and the line that drew it.
    static void Set(Primitive& p, PrimitiveKind kind, DrawPoint at, Color colour, int ncLine) {
        p.Kind = kind;
        p.At = at;
        p.Colour = colour;
        p.NcLine = ncLine;
    }
    static float Single(double value) {
        // FitsSingle in one comparison: NaN and infinities fail it as well.
        if (!(std::fabs(value) < kSingleRoundsToInfinity)) [[unlikely]]
            throw PictureFailure{};
        return static_cast<float>(value);
    }

    // A new item, written in place by `fill` (an item put together first and then copied would be
    // read back in pieces before its parts have arrived). The list grows out of line: the loops
    // that draw see only the stores of the item.
    template <class Fill>
    void Add(Fill&& fill) {
        std::vector<Primitive>& items = drawing_.Items;
        if (items.size() == items.capacity()) [[unlikely]]
            MakeRoom();
        // The storage is asked for ahead of the items written into it, so that a recycled
        // picture's lines have arrived by the time they are written; asking about pages not yet
        // there costs nothing.
        __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(items.data() + items.size()) +
                                                         WriteAhead * sizeof(Primitive)),
                           1);
        fill(items.emplace_back());
        if (items.size() >= drainAt_) [[unlikely]]
            Drain();
    }
    void MakeRoom();

    // Items ahead of the one written whose storage is asked for (about 3 kB).
    static constexpr std::size_t WriteAhead = 96;

    // Items gathered before a drain takes them.
    static constexpr std::size_t DrainAt = std::size_t{1} << 14;
    // Hands the items to the drain once enough have gathered and the scale, which a consumer
    // needs before any item, is set.
    void Drain();

    Drawing drawing_;
    DrawingDrain drain_;
    std::size_t drainAt_ = SIZE_MAX;  // DrainAt with a drain
};

// A 16-bit loop counter's start or end: the value rounded half to even; beyond 16 bits it fails.
std::int16_t ToInt16(double value);

// A loop over start, start + step, ... while the value has not passed `end`, accumulated like a
// counted loop. When that is more than MaxStepsAcross values, only those inside [low, high]
// (the picture's extent in that direction) are visited, and none when those are still too many.
template <class Visit>
void ForEachStep(double start, double end, double step, double low, double high, Visit&& visit) {
    if (!(step != 0) || !std::isfinite(step) || !std::isfinite(start) || !std::isfinite(end)) return;
    const double count = std::floor((end - start) / step) + 1;
    if (!(count >= 1)) return;
    const auto inside = [&](double v) { return step > 0 ? v <= end : v >= end; };
    if (count <= static_cast<double>(MaxStepsAcross)) {
        double v = start;
        for (std::int64_t i = 0; i <= MaxStepsAcross && inside(v); ++i) {
            visit(v);
            const double next = v + step;
            if (next == v) break;  // too large to step: the value would repeat
            v = next;
        }
        return;
    }
    // Indexes i with start + i * step inside [low, high], within 0 .. count - 1.
    double first = step > 0 ? std::ceil((low - start) / step) : std::ceil((high - start) / step);
    double last = step > 0 ? std::floor((high - start) / step) : std::floor((low - start) / step);
    first = std::max(first, 0.0);
    last = std::min(last, count - 1);
    if (!(first <= last) || last - first + 1 > static_cast<double>(MaxStepsAcross)) return;
    const auto i0 = static_cast<std::int64_t>(first), i1 = static_cast<std::int64_t>(last);
    for (std::int64_t i = i0; i <= i1; ++i) visit(start + static_cast<double>(i) * step);
}

// Scans the lines of `text` that a CR LF ends, from the line that starts at byte `start`, numbering
// them from `index`; after each, calls `afterScan(lineIndex, nextStart)` with the byte where the
// next line starts, and stops when it returns false. Every line after the first starts with the
// LF of the CR LF before it, as the plots hand lines over; a last line without CR LF is not
// scanned. Returns the last line scanned, if any.
template <class AfterScan>
std::optional<std::string_view> WalkNcLines(std::string_view text, std::size_t start, int index, ScanState& scan,
                                            AfterScan&& afterScan) {
    // Lines are scanned a batch at a time, the scanner's state in registers across each batch.
    constexpr std::size_t batchSize = 256;
    ScannedLine batch[batchSize];
    std::size_t lastStart = 0, lastEnd = std::string_view::npos;
    const auto last = [&]() -> std::optional<std::string_view> {
        if (lastEnd == std::string_view::npos) return std::nullopt;
        return text.substr(lastStart, lastEnd - lastStart);
    };
    for (;;) {
        const std::size_t count = ScanNcLines(scan, text, start, batch, batchSize);
        for (std::size_t k = 0; k < count; ++k) {
            const ScannedLine& line = batch[k];
            ApplyScannedLine(scan, line, start);
            lastStart = start;
            lastEnd = line.End;
            start = line.End + 1;
            const bool more = afterScan(index, start);
            if (index < INT32_MAX) ++index;
            if (!more) return last();
        }
        if (count < batchSize) return last();
    }
}

// Calls `afterScan(lineIndex)` after scanning each line of `text` that a CR LF ends, from the
// first. Lines are scanned where they lie; LineText ends up holding the last one, as if each had
// been copied there in turn.
template <class AfterScan>
void ForEachNcLine(std::string_view text, ScanState& scan, AfterScan&& afterScan) {
    const std::optional<std::string_view> last = WalkNcLines(text, 0, 0, scan, [&](int index, std::size_t) {
        afterScan(index);
        return true;
    });
    if (last) scan.LineText.assign(*last);
}

}  // namespace quillane::plot
