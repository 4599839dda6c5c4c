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

Span FitAxis(double low, double high, double ownSpan) {
    const double middle = (low + high) / 2;
    double length = (high - low) / (1 - 2 * FitMargin);
    if (!(length > 0)) length = std::fabs(ownSpan);
    const double signedLength = ownSpan < 0 ? -length : length;
    return {middle - signedLength / 2, signedLength};
}

}  // namespace

std::optional<UserScale> FitView(const PlotExtents& extents, const UserScale& own) {
    const Span x =
        FitAxis(static_cast<double>(extents.Left), static_cast<double>(extents.Right), static_cast<double>(own.Width));
    const Span y =
        FitAxis(static_cast<double>(extents.Top), static_cast<double>(extents.Bottom), static_cast<double>(own.Height));
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
