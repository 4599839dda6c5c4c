// The point graphic: the pass start points of the point-data text over one pitch of the groove.
#include "core/ncplot/point_graphic.h"

#include "core/ncplot/plot_path.h"
#include "core/ncplot/plot_picture.h"
#include "core/numeric/number_text.h"

#include <algorithm>
#include <utility>

namespace quillane {

namespace plot {

PathStep DrawPointDataGrid(Picture& picture, const ShapeData& shape) {
    const ShapeData& s = shape;
    picture.SetScale(-0.06 * s.Pitch, -Int(s.D1 / 2) - 1.7, 1.18 * s.Pitch, 1.3 * std::fabs(s.D1 - s.D2));
    const UserScale scale = picture.Scale();
    const double topY = Int(-s.D1) * 0.5 - 0.5;
    // The picture's properties are single precision, and so is the bottom line.
    const double bottomY =
        static_cast<double>(static_cast<float>(Int((static_cast<double>(scale.Top + scale.Height) - 0.5) / 0.5) * 0.5));
    const double gridRight = Int(s.Pitch + 1);
    const double yLow = ShownY(scale).Low, yHigh = ShownY(scale).High;
    const double xLow = ShownX(scale).Low, xHigh = ShownX(scale).High;

    ForEachStep(topY, bottomY, 0.5, yLow, yHigh, [&](double y) {
        picture.Line({0, y}, {gridRight, y}, Grid, LineStyle::Solid);
    });
    picture.Line({0, -s.BlankDiaX / 2}, {gridRight, -s.BlankDiaX / 2}, BlankLine, LineStyle::Dotted);

    // Vertical grid on a 16-bit counter: beyond its range the picture stops here.
    const std::int16_t kEnd = ToInt16(s.Pitch + 0.5);
    ForEachStep(0, kEnd, 1, xLow, xHigh, [&](double k) {
        picture.Line({k, topY}, {k, bottomY}, Grid, LineStyle::Solid);
    });
    if (kEnd == 32767) throw PictureFailure{};

    ForEachStep(topY, bottomY, 0.5, yLow - 1, yHigh + 1, [&](double y) {
        picture.Text({-0.6, y - 0.1}, "X" + GeneralNumberText(-2 * y));
    });
    picture.Text({0.1, topY - 0.2}, "mm");
    ForEachStep(0, s.Pitch + 1, 1, xLow - 1, xHigh + 1, [&](double z) {
        picture.Text({z - 0.11, bottomY + 0.05}, " " + GeneralNumberText(z));
    });
    // "mm" follows the last Z label, at the first whole number past the grid.
    const double afterLast = s.Pitch + 1 >= 0 ? Int(s.Pitch + 1) + 1 : 0;
    picture.Text({afterLast - 0.6, bottomY + 0.05}, "mm");
    return PathStep::PointData(s);
}

}  // namespace plot

Drawing PlotPointData(std::string_view plotText, const ShapeData& shape, ScanState& scan, Drawing recycled,
                      DrawingDrain drain) {
    using namespace plot;
    Picture picture(Background, std::move(recycled), std::move(drain));
    picture.ReserveFor(plotText.size());
    try {
        const PathStep step = DrawPointDataGrid(picture, shape);
        DrawPath(picture, step, plotText, scan, NothingAfterLine{});
        picture.Complete();
    } catch (const PictureFailure&) {
        // Stops silently with what has been drawn.
    }
    return picture.Take();
}

}  // namespace quillane
