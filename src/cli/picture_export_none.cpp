// Plot pictures in a build without the toolkit: there are none, only the JSON form.
#include "cli/picture_export.h"

#include <ostream>

namespace quillane::cli {

bool CanWritePictures() { return false; }

std::optional<std::string> RenderPicture(Drawing /*drawing*/, const std::string& path, bool /*svg*/, int /*width*/,
                                         int /*height*/, std::ostream& err) {
    err << "quillane-cli plot: this build writes .json only (it has no picture export): " << path << "\n";
    return std::nullopt;
}

}  // namespace quillane::cli
