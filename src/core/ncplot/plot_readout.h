// The X and Z under the mouse over a plot, as the read-out box in the tool bar shows them.
#pragma once

#include <string>

namespace quillane {

// Status bar texts while a plot has the focus.
inline constexpr const char* PointGraphicTitle = "Point Graphic";
inline constexpr const char* CuttingGraphicTitle = "Cutting Graphic";

// The read-out line for the drawing position (x, y): "  X" and the diameter -2y, "  Z" and x,
// each with three decimals ("  X31.500  Z-50.123"). The caller ends the line.
std::string ReadoutText(float x, float y);

// One value of the read-out: a single-precision value rounded, as the number its seven digits
// show, to "###0.000".
std::string ReadoutNumber(float value);

}  // namespace quillane
