// Views of a plot other than its own scale: fitted to the plotted path, or with equal scales.
#include "core/ncplot/view_fit.h"

#include <cmath>

namespace quillane {
namespace {

// One axis of a fitted view: its start and its signed span, running the way `ownSpan` does.
struct Span {
    double Start = 0;
    double Length = 0;
};

// `before` and `after` are the shares free at the picture's left (top) and right (bottom) edge.
Span FitAxis(double low, double high, double ownSpan, double before, double after) {
    const double length = (high - low) / (1 - before - after);
    if (!(length > 0)) {
        const double own = std::fabs(ownSpan);
        const double middle = (low + high) / 2;
        return ownSpan < 0 ? Span{middle + own / 2, -own} : Span{middle - own / 2, own};
    }
    // The picture's left (top) edge shows the low end where the axis runs forwards.
    return ownSpan < 0 ? Span{high + before * length, -length} : Span{low - before * length, length};
}

}  // namespace

std::optional<UserScale> FitView(const PlotExtents& extents, const UserScale& own, const FitMargins& margins) {
    if (!(margins.Left + margins.Right < 1) || !(margins.Top + margins.Bottom < 1)) return std::nullopt;
    const Span x = FitAxis(static_cast<double>(extents.Left), static_cast<double>(extents.Right),
                           static_cast<double>(own.Width), margins.Left, margins.Right);
    const Span y = FitAxis(static_cast<double>(extents.Top), static_cast<double>(extents.Bottom),
                           static_cast<double>(own.Height), margins.Top, margins.Bottom);
    return MakeUserScale(x.Start, y.Start, x.Length, y.Length);
}

UserScale EqualScales(const UserScale& view, double width, double height) {
    const double w = static_cast<double>(view.Width), h = static_cast<double>(view.Height);
    if (!(width > 0) || !(height > 0)) return view;
    // Pixels per millimetre along each axis; the smaller one is taken for both, so nothing
    // that showed is pushed out.
    const double perUnit = std::fmin(width / std::fabs(w), height / std::fabs(h));
    const double newW = std::copysign(width / perUnit, w), newH = std::copysign(height / perUnit, h);
    const double centreX = static_cast<double>(view.Left) + w / 2, centreY = static_cast<double>(view.Top) + h / 2;
    return MakeUserScale(centreX - newW / 2, centreY - newH / 2, newW, newH).value_or(view);
}

}  // namespace quillane
