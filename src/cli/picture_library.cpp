// Loading the picture export library (see picture_library.h).
#include "cli/picture_library.h"

#include <dlfcn.h>

#include <ostream>
#include <string_view>

namespace quillane::cli {

const PictureExport* LoadPictureExport(std::ostream& err) {
    // A bare file name: the dynamic loader looks for it on the tool's run path, which is the
    // build folder in a build and the library folder of the installation once installed.
    // Never closed: the toolkit does not unload, and the process ends soon after.
    void* library = ::dlopen(QUILLANE_PICTURE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        err << "quillane-cli plot: pictures (.png, .svg) need the picture export library " QUILLANE_PICTURE_LIBRARY
               ", which cannot be loaded ("
            << (why != nullptr ? why : "no reason given")
            << "); build or install it with quillane-cli, or write .json, which needs no library\n";
        return nullptr;
    }
    const auto* entry = static_cast<const PictureExport*>(::dlsym(library, kPictureExportSymbol));
    if (entry == nullptr || entry->Interface != kPictureExportInterface ||
        std::string_view(entry->Version) != QUILLANE_VERSION || entry->Render == nullptr ||
        entry->StartToolkit == nullptr || entry->StopToolkit == nullptr) {
        err << "quillane-cli plot: the picture export library " QUILLANE_PICTURE_LIBRARY
               " that was found belongs to another build of quillane-cli (this is " QUILLANE_VERSION
               "); install both from the same build\n";
        return nullptr;
    }
    return entry;
}

}  // namespace quillane::cli
