// Plot pictures as PNG or SVG files, for quillane-cli plot.
#pragma once

#include "core/ncplot/drawing.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace quillane::cli {

// Whether this build can write pictures (a build without the toolkit writes JSON only).
bool CanWritePictures();

// Paints `drawing` into a `width` x `height` picture and returns the bytes of its SVG or PNG
// file. On failure says why on `err` (naming `path`, where it was to go) and returns nothing.
std::optional<std::string> RenderPicture(const Drawing& drawing, const std::string& path, bool svg, int width,
                                         int height, std::ostream& err);

}  // namespace quillane::cli
