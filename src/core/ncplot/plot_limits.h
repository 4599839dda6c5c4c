// How much one plot draws at most, so that no text or shape can make a plot hang.
#pragma once

#include <cstdint>

namespace quillane {

// No picture is wider or taller than this many pixels. A grid, label or ring loop that would
// draw more than this many across the picture draws only those inside the picture, and none
// when even those are more (they would fill it solid and tell nothing).
inline constexpr std::int64_t MaxStepsAcross = 4096;

// Ring pairs one cutting graphic draws at most; cutting moves after that get their line only.
inline constexpr std::int64_t MaxRingPairs = 65536;

}  // namespace quillane
