// The point graphic: the pass start points of the point-data text over one pitch of the groove.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_path.h"
#include "core/shape/shape_data.h"

#include <string_view>

namespace quillane {

// Draws `plotText` (CR LF line ends; a last line without CR LF is not drawn) over a 1 mm grid
// spanning one Pitch from StartPointZ. Each position change is a yellow line from the previous
// point; the first point of a path, and the first after a comment, is a yellow dot.
// A picture that cannot be drawn (Pitch or D1 - D2 of 0, a grid counter beyond 16 bits, values
// beyond the single-precision range) stops silently: the result holds what was drawn up to
// there and leaves ReadoutVisible and Crosshair off.
// `recycled`: a picture no longer needed, whose storage the new one takes over. `drain`: takes the
// items as they are drawn (see DrawingDrain); the result then holds only the last of them.
Drawing PlotPointData(std::string_view plotText, const ShapeData& shape, ScanState& scan, Drawing recycled = {},
                      DrawingDrain drain = {});

namespace plot {
// The point graphic's scale, grid, blank line and labels, drawn into `picture`; returns what draws
// its path. Throws PictureFailure where the picture stops.
PathStep DrawPointDataGrid(Picture& picture, const ShapeData& shape);
}  // namespace plot

}  // namespace quillane
