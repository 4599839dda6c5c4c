// Plot pictures in a build without the toolkit: there are none, only the JSON form.
#include "cli/picture_library.h"

#include <ostream>

namespace quillane::cli {

const PictureExport* LoadPictureExport(std::ostream& err) {
    err << "quillane-cli plot: this build writes .json only (it has no picture export)\n";
    return nullptr;
}

}  // namespace quillane::cli
