// The cutting graphic: the tool path of a standard program over a millimetre grid.
#include "core/ncplot/cutting_graphic.h"

#include "core/ncplot/plot_path.h"
#include "core/ncplot/plot_picture.h"
#include "core/numeric/number_text.h"

#include <algorithm>
#include <utility>

namespace quillane {

namespace plot {

PathStep DrawCuttingPathGrid(Picture& picture, const GeneratorState& gen) {
    const ShapeData& s = gen.Shape;
    picture.SetScale(s.EndPointZ - 0.1 * gen.CutSpanZ, -Int(s.D1 / 2) - 1.7, 1.2 * gen.CutSpanZ,
                     1.4 * std::fabs(s.D1 - s.D2));
    const UserScale scale = picture.Scale();
    // The picture's properties are single precision: their sum is too.
    const double bottomLimit = static_cast<double>(scale.Top + scale.Height) - 0.3;
    const double topY = Int(-s.D1) * 0.5 - 0.5;
    const double gridStartZ = 5 * Int((s.EndPointZ - 2) / 5);
    const double gridEndZ = 5 * Int((s.StartPointZ + s.Pitch + 5) / 5);
    const double yLow = ShownY(scale).Low, yHigh = ShownY(scale).High;
    const double xLow = ShownX(scale).Low, xHigh = ShownX(scale).High;

    ForEachStep(topY, bottomLimit, 0.5, yLow, yHigh, [&](double y) {
        picture.Line({gridStartZ, y}, {gridEndZ, y}, Grid, LineStyle::Solid);
    });
    picture.Line({gridStartZ, -s.BlankDiaX / 2}, {gridEndZ, -s.BlankDiaX / 2}, BlankLine, LineStyle::Dotted);
    const double bottomY = Int(bottomLimit / 0.5) * 0.5;

    // Vertical grid on a 16-bit counter: beyond its range the picture stops here.
    const std::int16_t kStart = ToInt16(gridStartZ), kEnd = ToInt16(gridEndZ);
    ForEachStep(kStart, kEnd, 5, xLow, xHigh, [&](double k) {
        picture.Line({k, topY}, {k, bottomY}, k == 0 ? ZeroLine : Grid, LineStyle::Solid);
    });
    if (kStart <= kEnd && kStart + (kEnd - kStart) / 5 * 5 + 5 > 32767) throw PictureFailure{};

    ForEachStep(topY, bottomY, 0.5, yLow - 1, yHigh + 1, [&](double y) {
        picture.Text({gridStartZ - 3.2, y - 0.1}, "X" + GeneralNumberText(-2 * y));
    });
    picture.Text({gridStartZ, topY - 0.2}, "mm");
    ForEachStep(gridStartZ, gridEndZ, 5, xLow - 5, xHigh + 5, [&](double z) {
        picture.Text({z - 1.1, bottomY + 0.05}, (z >= 0 ? " " : "") + GeneralNumberText(z));
    });
    picture.Text({gridStartZ > gridEndZ ? gridStartZ - 2.5 : gridEndZ + 2.5, bottomY + 0.05}, "mm");

    return PathStep::CuttingPath(s, scale);
}

}  // namespace plot

std::optional<Drawing> PlotCuttingPath(std::string_view plotText, const GeneratorState& gen, ScanState& scan,
                                       Drawing recycled, DrawingDrain drain) {
    using namespace plot;
    // No program has been generated yet: the picture keeps what it shows.
    if (!(gen.CutSpanZ > 0)) return std::nullopt;

    Picture picture(Background, std::move(recycled), std::move(drain));
    picture.ReserveFor(plotText.size());
    try {
        const PathStep step = DrawCuttingPathGrid(picture, gen);
        DrawPath(picture, step, plotText, scan, NothingAfterLine{});
        picture.Complete();
    } catch (const PictureFailure&) {
        // Stops silently with what has been drawn.
    }
    return picture.Take();
}

}  // namespace quillane
