// The picture export as a library of its own, loaded by quillane-cli plot only when a picture is
// asked for: the toolkit it needs (painter, fonts, image formats, SVG) is some fifty shared
// libraries, whose loading would otherwise cost every command several times its own work.
#pragma once

#include "core/ncplot/drawing.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace quillane::cli {

// What the library offers (see picture_export.h), under the one name that is looked up in it. A
// library of another build or interface is refused rather than called with data it lays out
// differently.
struct PictureExport {
    int Interface;        // kPictureExportInterface of the build that made it
    const char* Version;  // the version of that build
    void* (*StartToolkit)();
    void (*StopToolkit)(void* toolkit);
    std::optional<std::string> (*Render)(const Drawing& drawing, const std::string& path, bool svg, int width,
                                         int height, std::ostream& err);
};
inline constexpr int kPictureExportInterface = 2;
inline constexpr const char* kPictureExportSymbol = "quillane_picture_export";

// The picture export, or nothing when this build has none or its library cannot be loaded
// (said on `err`, with what to do about it).
const PictureExport* LoadPictureExport(std::ostream& err);

}  // namespace quillane::cli

// The library's one exported name.
extern "C" const quillane::cli::PictureExport quillane_picture_export;
