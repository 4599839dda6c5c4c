// Leaves out of a plot picture what a later item paints over on the same pixels.
#pragma once

#include "platform/drawing.h"

#include <QSizeF>

namespace quillane {

// The items of `drawing` as they would show at `size` (device pixels), without those that a
// later item of the same kind and colour covers once positions are rounded to the pixel.
// Programs of thousands of passes a few hundredths of a millimetre apart plot almost every
// ring and line onto the same pixels; painting each of them again is what would make a
// keystroke slow. Later items win, so the picture stays the same. Texts are always kept.
Drawing ThinForPainting(const Drawing& drawing, const QSizeF& size);

}  // namespace quillane
