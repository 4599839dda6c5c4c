// Plot pictures as PNG or SVG files, for quillane-cli plot: the picture export library's work
// (picture_library.h says how the tool reaches it).
#pragma once

#include "core/ncplot/drawing.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace quillane::cli {

// Starts the toolkit for painting, fonts included, and returns it for StopToolkit; nothing when
// the caller runs the toolkit itself. Plots never need a display: without a platform chosen,
// the offscreen one is used.
void* StartToolkit();
void StopToolkit(void* toolkit);

// Paints `drawing`, as the picture shows it (ClipToPicture and ThinForPainting for `width` x
// `height`), into a picture and returns the bytes of its SVG or PNG file; starts the toolkit if
// nobody has. On failure says why on `err` (naming `path`, where it was to go) and returns
// nothing.
std::optional<std::string> RenderPicture(const Drawing& drawing, const std::string& path, bool svg, int width,
                                         int height, std::ostream& err);

}  // namespace quillane::cli
