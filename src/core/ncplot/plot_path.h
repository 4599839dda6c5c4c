// The path of both plots: what each scanned NC line adds to the picture, and what the drawing
// carries from one line to the next.
#pragma once

#include "core/ncplot/plot_picture.h"
#include "core/shape/shape_data.h"

#include <cstdint>
#include <string_view>
#include <type_traits>

namespace quillane::plot {

// What the drawing of a path carries from one line to the next besides the scanner's state: the
// last plotted point and the ring pairs drawn so far.
struct PathWalk {
    double PrevX = 0;
    double PrevZ = 0;
    std::int64_t RingPairs = 0;
};

// What one scanned line adds to a plot's path. Both plots draw a position change as a yellow dot
// when a path starts and a line from the previous point otherwise; the cutting graphic draws
// rapid moves (G0) purple and rings every pitch along a cut towards smaller Z.
class PathStep {
public:
    // The point graphic: Z relative to the start point; rapid and cutting moves look the same.
    static PathStep PointData(const ShapeData& shape) {
        PathStep step;
        step.startPointZ_ = shape.StartPointZ;
        return step;
    }
    // The cutting graphic on the picture's `scale`: rings need a pitch that steps at all.
    static PathStep CuttingPath(const ShapeData& shape, const UserScale& scale) {
        PathStep step;
        step.cutting_ = true;
        step.pitch_ = shape.Pitch;
        step.rings_ = shape.Pitch > 0 && std::isfinite(shape.Pitch);
        step.xLow_ = ShownX(scale).Low;
        step.xHigh_ = ShownX(scale).High;
        return step;
    }

    // After `line` has been scanned into `scan`.
    void operator()(Picture& picture, ScanState& scan, PathWalk& walk, int line) const {
        PathEnd end;
        Draw(picture, scan.XValue, scan.ZValue, scan.GValue, scan.StartNewPath, walk, end, line);
    }

    // The last point a path drew as the picture holds it, where the next move starts.
    struct PathEnd {
        DrawPoint At;
        bool Known = false;  // At is the walk's PrevZ, PrevX in the picture
    };

    // The same on a line's values; `startNewPath` stands for the scanner's StartNewPath and
    // `end` follows the walk's last point.
    [[gnu::always_inline]] void Draw(Picture& picture, double x, double z, float g, bool& startNewPath, PathWalk& walk,
                                     PathEnd& end, int line) const {
        if (x == walk.PrevX && z == walk.PrevZ) return;
        const double prevX = walk.PrevX, prevZ = walk.PrevZ;
        const DrawPoint to = Picture::Single(Point{z - startPointZ_, -x / 2});
        if (startNewPath) {
            picture.StoredDot(to, Cut, line);
            startNewPath = false;
        } else {
            // One line for every kind of move, drawn from one place (the cutting graphic's Z
            // origin is 0, and subtracting 0 leaves any Z as it is).
            const bool rapid = cutting_ && g == 0;
            const DrawPoint from = end.Known ? end.At : Picture::Single(Point{prevZ - startPointZ_, -prevX / 2});
            picture.StoredLine(from, to, rapid ? Rapid : Cut, LineStyle::Solid, line);
            if (cutting_ && !rapid && rings_ && walk.RingPairs < MaxRingPairs) {
                ForEachStep(prevZ, z, -pitch_, xLow_ - 0.1, xHigh_ + 0.1, [&](double k) {
                    if (walk.RingPairs >= MaxRingPairs) return;
                    ++walk.RingPairs;
                    // A cut without Z travel has its one ring where it starts.
                    const double xk = z == prevZ ? prevX : prevX + (x - prevX) * (k - prevZ) / (z - prevZ);
                    picture.Circle({k, -xk / 2}, 0.05, Ring, line);
                    picture.Circle({k, -xk / 2}, 0.1, Ring, line);
                });
            }
        }
        walk.PrevX = x;
        walk.PrevZ = z;
        end = {to, true};
    }

private:
    bool cutting_ = false;
    double startPointZ_ = 0;  // the point graphic's Z origin (0 for the cutting graphic)
    double pitch_ = 0;
    bool rings_ = false;
    double xLow_ = 0, xHigh_ = 0;
};

// What DrawPath calls after a line when nothing is to follow it: the path is then drawn straight
// from the scanner's lines, without the scan state brought up to date after each.
struct NothingAfterLine {
    void operator()(int, std::size_t, const PathWalk&) const {}
};

// The path of `text` from its first line, after a plot's grid: the scanner's position starts at
// 0 and with a new path, and `afterLine(line, nextStart, walk)` follows each line's drawing
// (nextStart: the byte where the next line starts). LineText ends up holding the last line.
template <class AfterLine>
void DrawPath(Picture& picture, const PathStep& step, std::string_view text, ScanState& scan, AfterLine&& afterLine) {
    scan.StartNewPath = true;
    scan.XValue = 0;
    scan.ZValue = 0;
    PathWalk walk;
    if constexpr (std::is_same_v<std::remove_cvref_t<AfterLine>, NothingAfterLine>) {
        // The lines a batch at a time; `scan` takes the state of the last line of each, or of the
        // line where the picture stops.
        constexpr std::size_t batchSize = 256;
        ScannedLine batch[batchSize];
        PathStep::PathEnd end;
        bool startNewPath = true;
        std::size_t start = 0, lineStart = 0;
        int index = 0;
        const ScannedLine* line = nullptr;
        try {
            for (;;) {
                const std::size_t count = ScanNcLines(scan, text, start, batch, batchSize);
                for (std::size_t k = 0; k < count; ++k) {
                    line = &batch[k];
                    lineStart = start;
                    startNewPath |= (line->Flags & ScannedLine::NewPath) != 0;
                    step.Draw(picture, line->XValue, line->ZValue, line->GValue, startNewPath, walk, end, index);
                    start = line->End + 1;
                    if (index < INT32_MAX) ++index;
                }
                if (line != nullptr) ApplyScannedLine(scan, *line, lineStart);
                if (count < batchSize) break;
            }
        } catch (const PictureFailure&) {
            ApplyScannedLine(scan, *line, lineStart);
            scan.StartNewPath = startNewPath;
            throw;
        }
        scan.StartNewPath = startNewPath;
        if (line != nullptr) scan.LineText.assign(text.substr(lineStart, line->End - lineStart));
    } else {
        const std::optional<std::string_view> last = WalkNcLines(text, 0, 0, scan, [&](int line, std::size_t next) {
            step(picture, scan, walk, line);
            afterLine(line, next, walk);
            return true;
        });
        if (last) scan.LineText.assign(*last);
    }
}

}  // namespace quillane::plot
