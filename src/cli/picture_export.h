// Plot pictures as PNG or SVG files, for quillane-cli plot: the picture export library's work
// (picture_library.h says how the tool reaches it).
#pragma once

#include "core/ncplot/drawing.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace quillane::cli {

// Paints `drawing` into a `width` x `height` picture and returns the bytes of its SVG or PNG
// file. What lies outside the picture or is painted over on the same pixels is left out first
// (the drawing is taken by value for that: move it in). On failure says why on `err` (naming `path`, where it was to
// go) and returns nothing.
std::optional<std::string> RenderPicture(Drawing drawing, const std::string& path, bool svg, int width, int height,
                                         std::ostream& err);

}  // namespace quillane::cli
