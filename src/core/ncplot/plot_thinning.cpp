// Leaves out of a plot picture what a later item paints over on the same pixels.
#include "core/ncplot/plot_thinning.h"

#include "core/ncplot/view_transform.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillane {
namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h *= 0xff51afd7ed558ccdULL;
    return h ^ (h >> 33);
}

// A device coordinate in steps of 1/`steps` pixel, packed into 21 bits; nothing for a
// position so far off the picture that it does not fit (such an item is simply kept).
constexpr double kLimit = 1 << 20;
std::optional<std::uint64_t> Cell(double device, double steps) {
    const double v = device * steps;
    if (!(std::fabs(v) < kLimit)) {
        return std::nullopt;
    }
    // Rounding by hand: the library call costs more than all the rest of the key.
    const auto rounded = static_cast<std::int64_t>(v < 0 ? v - 0.5 : v + 0.5);
    return static_cast<std::uint64_t>(rounded + (1 << 20)) & 0x1FFFFF;
}

}  // namespace

Drawing ThinForPainting(const Drawing& drawing, double width, double height) {
    Drawing thin;
    if (!drawing.Scale) {
        thin = drawing;
        return thin;
    }
    ThinningScratch scratch;
    ThinForPainting(drawing, *drawing.Scale, width, height, thin, scratch);
    return thin;
}

void ThinForPainting(const Drawing& drawing, const UserScale& view, double width, double height, Drawing& out,
                     ThinningScratch& scratch) {
    out.Background = drawing.Background;
    out.Scale = view;
    out.Texts = drawing.Texts;
    out.ReadoutVisible = drawing.ReadoutVisible;
    out.Crosshair = drawing.Crosshair;
    out.Items.clear();
    if (drawing.Items.empty() || PixelBox{0, 0, width, height}.Empty()) {
        out.Items = drawing.Items;
        return;
    }
    const ViewTransform map(view, PixelBox{0, 0, width, height});

    // The key of an item: kind, colour, style and its rounded device geometry. Rings and dots
    // are drawn smoothed, so they are told apart to a quarter pixel; lines to the pixel.
    const auto key = [&](const Primitive& item) -> std::optional<std::uint64_t> {
        const bool line = item.Kind == PrimitiveKind::Line;
        const double steps = line ? 1.0 : 4.0;
        const auto x0 = Cell(map.DeviceX(static_cast<double>(item.At.X)), steps);
        const auto y0 = Cell(map.DeviceY(static_cast<double>(item.At.Y)), steps);
        const auto third =
            line ? Cell(map.DeviceX(static_cast<double>(item.To.X)), steps)
                 : Cell(item.Kind == PrimitiveKind::Circle ? static_cast<double>(item.Radius) * map.PixelsPerUnitX()
                                                           : 0.0,
                        steps);
        const auto fourth =
            line ? Cell(map.DeviceY(static_cast<double>(item.To.Y)), steps) : std::optional<std::uint64_t>(0);
        if (!x0 || !y0 || !third || !fourth) {
            return std::nullopt;
        }
        const std::uint64_t look =
            static_cast<std::uint64_t>(item.Kind) << 40 | static_cast<std::uint64_t>(item.Colour.Role) << 32 |
            static_cast<std::uint64_t>(item.Style) << 24 | static_cast<std::uint64_t>(item.Colour.Red) << 16 |
            static_cast<std::uint64_t>(item.Colour.Green) << 8 | item.Colour.Blue;
        std::uint64_t h = Mix(look, *x0 << 42 | *y0 << 21 | *third);
        h = Mix(h, *fourth);
        return h | 1;  // 0 marks an empty slot
    };

    // A direct-mapped table of what has been seen, walking from the last item back: a clash
    // only keeps an item that could have gone, never drops one that must stay.
    constexpr std::size_t kSlots = std::size_t{1} << 14;  // small enough to stay in the cache
    std::vector<std::uint64_t>& seen = scratch.Seen;
    seen.assign(kSlots, 0);
    std::vector<char>& keep = scratch.Keep;
    keep.assign(drawing.Items.size(), 1);
    std::size_t kept = drawing.Items.size();
    for (std::size_t i = drawing.Items.size(); i-- > 0;) {
        const Primitive& item = drawing.Items[i];
        if (item.Kind == PrimitiveKind::Text) {
            continue;
        }
        const std::optional<std::uint64_t> k = key(item);
        if (!k) {
            continue;
        }
        std::uint64_t& slot = seen[*k & (kSlots - 1)];
        if (slot == *k) {
            keep[i] = 0;
            --kept;
        } else {
            slot = *k;
        }
    }
    out.Items.reserve(kept);
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        if (keep[i] != 0) {
            out.Items.push_back(drawing.Items[i]);
        }
    }
}

}  // namespace quillane
