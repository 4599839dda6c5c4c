// The cutting graphic: the tool path of a standard program over a millimetre grid.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_path.h"
#include "core/shape/program_writers.h"

#include <optional>
#include <string_view>

namespace quillane {

// Draws `plotText` (CR LF line ends; a last line without CR LF is not drawn) between EndPointZ
// and StartPointZ + Pitch: rapid moves (G0) purple, other moves yellow with cyan ring pairs
// every Pitch along a cut towards smaller Z, the first point of each path a yellow dot.
// Returns nothing while gen.CutSpanZ is not greater than 0 (no program generated yet): the
// window then keeps its previous picture. A picture that cannot be drawn (D1 equal to D2, a
// grid counter beyond 16 bits, values beyond the single-precision range) stops silently: the
// result holds what was drawn up to there, at least the cleared background.
// `recycled`: a picture no longer needed, whose storage the new one takes over. `drain`: takes the
// items as they are drawn (see DrawingDrain); the result then holds only the last of them.
std::optional<Drawing> PlotCuttingPath(std::string_view plotText, const GeneratorState& gen, ScanState& scan,
                                       Drawing recycled = {}, DrawingDrain drain = {});

namespace plot {
// The cutting graphic's scale, grid, blank line and labels (gen.CutSpanZ > 0), drawn into
// `picture`; returns what draws its path. Throws PictureFailure where the picture stops.
PathStep DrawCuttingPathGrid(Picture& picture, const GeneratorState& gen);
}  // namespace plot

}  // namespace quillane
