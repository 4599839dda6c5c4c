// The path of both plots: what each scanned NC line adds to the picture, and what the drawing
// carries from one line to the next.
#pragma once

#include "core/ncplot/plot_picture.h"
#include "core/shape/shape_data.h"

#include <cstdint>
#include <string_view>

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
        if (scan.XValue == walk.PrevX && scan.ZValue == walk.PrevZ) return;
        const double x = scan.XValue, z = scan.ZValue;
        const double prevX = walk.PrevX, prevZ = walk.PrevZ;
        const Point to{z - startPointZ_, -x / 2};
        if (scan.StartNewPath) {
            picture.Dot(to, Cut, line);
            scan.StartNewPath = false;
        } else {
            // One line for every kind of move, drawn from one place (the cutting graphic's Z
            // origin is 0, and subtracting 0 leaves any Z as it is).
            const bool rapid = cutting_ && scan.GValue == 0;
            picture.Line({prevZ - startPointZ_, -prevX / 2}, to, rapid ? Rapid : Cut, LineStyle::Solid, line);
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
    }

private:
    bool cutting_ = false;
    double startPointZ_ = 0;  // the point graphic's Z origin (0 for the cutting graphic)
    double pitch_ = 0;
    bool rings_ = false;
    double xLow_ = 0, xHigh_ = 0;
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
    const std::optional<std::string_view> last = WalkNcLines(text, 0, 0, scan, [&](int line, std::size_t next) {
        step(picture, scan, walk, line);
        afterLine(line, next, walk);
        return true;
    });
    if (last) scan.LineText.assign(*last);
}

}  // namespace quillane::plot
