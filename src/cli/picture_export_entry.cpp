// The picture export library's one exported name, which quillane-cli plot looks up after loading it.
#include "cli/picture_export.h"
#include "cli/picture_library.h"

extern "C" __attribute__((visibility("default"))) const quillane::cli::PictureExport quillane_picture_export{
    quillane::cli::kPictureExportInterface, QUILLANE_VERSION, &quillane::cli::StartToolkit, &quillane::cli::StopToolkit,
    &quillane::cli::RenderPicture};
