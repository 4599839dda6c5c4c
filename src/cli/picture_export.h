// Plot pictures as PNG or SVG files, for quillane-cli plot.
#pragma once

#include "core/ncplot/drawing.h"

#include <iosfwd>
#include <string>

namespace quillane::cli {

// Whether this build can write pictures (a build without the toolkit writes JSON only).
bool CanWritePictures();

// Paints `drawing` into a `width` x `height` picture and writes it to `path` as SVG or PNG.
// On failure says why on `err` and returns false.
bool WritePicture(const Drawing& drawing, const std::string& path, bool svg, int width, int height, std::ostream& err);

}  // namespace quillane::cli
