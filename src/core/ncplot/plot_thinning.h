// Leaves out of a plot picture what a later item paints over on the same pixels.
#pragma once

#include "core/ncplot/drawing.h"

#include <cstdint>
#include <vector>

namespace quillane {

// The items of `drawing` as they would show at `width` x `height` device pixels, without those that a
// later item of the same kind and colour covers once positions are rounded to the pixel.
// Programs of thousands of passes a few hundredths of a millimetre apart plot almost every
// ring and line onto the same pixels; painting each of them again is what would make a
// keystroke slow. Later items win, so the picture stays the same. Texts are always kept.
Drawing ThinForPainting(const Drawing& drawing, double width, double height);

// Working memory of the thinning, kept between pictures so that each one reuses it.
struct ThinningScratch {
    std::vector<std::uint64_t> Seen;
    std::vector<char> Keep;
};

// The same for the picture shown with `view` as its scale (a zoomed view of it), written into
// `out`, whose storage is reused, as is `scratch`'s. `out` takes `view` as its scale.
void ThinForPainting(const Drawing& drawing, const UserScale& view, double width, double height, Drawing& out,
                     ThinningScratch& scratch);

}  // namespace quillane
