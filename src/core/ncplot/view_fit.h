// Views of a plot other than its own scale: fitted to the plotted path, or with equal scales.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_links.h"

#include <optional>

namespace quillane {

// The share of the view left free on each side of a fitted path.
inline constexpr double FitMargin = 0.05;

// Shares of the view left free at each edge of the picture (as seen, whichever way an axis
// runs): more where a ruler covers the edge.
struct FitMargins {
    double Left = FitMargin;
    double Right = FitMargin;
    double Top = FitMargin;
    double Bottom = FitMargin;
};

// The view of `own`'s orientation that shows `extents` across all of it but `margins`. An axis
// along which the path does not extend (one point, a straight cut) keeps `own`'s span there,
// centred on the path. None when the values cannot make a picture's scale (or the margins
// leave no room).
std::optional<UserScale> FitView(const PlotExtents& extents, const UserScale& own, const FitMargins& margins = {});

// `view` widened along one axis so that a millimetre along Z (x) and a millimetre on the radius
// (y) are as many pixels long on a picture of `width` x `height` pixels; its centre stays, and
// everything it showed still shows. Shapes then look as they are: a 60-degree flank at 60
// degrees. `view` itself when the picture is empty or the result cannot be a scale.
UserScale EqualScales(const UserScale& view, double width, double height);

}  // namespace quillane
