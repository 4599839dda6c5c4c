// Leaves out of a plot picture what a later item paints over on the same pixels.
#include "core/ncplot/plot_thinning.h"

#include "core/ncplot/vector_splice.h"
#include "core/ncplot/view_transform.h"

#include <algorithm>
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

// How far past the picture items count, in device pixels: a pan moves the thinned picture by up
// to its own size less a few pixels either way before it is thinned again (see Reaches), so
// nothing beyond can ever show from it.
struct Reach {
    double Left, Top, Right, Bottom;
};
Reach ReachOf(double width, double height) { return {-width, -height, 2 * width, 2 * height}; }
// Pixels of a pan that the reach keeps free: the painter clips two pixels past the picture, and
// dots reach a pixel and a half past their centre.
constexpr double kReachSlack = 4;

// The part of a-b inside the reach (Liang-Barsky); false when no part of it is.
bool ClipToReach(double& x0, double& y0, double& x1, double& y1, const Reach& r) {
    // Most lines lie wholly inside: the crossings below would leave them as they are, at the cost
    // of four divisions.
    if (x0 >= r.Left && x0 <= r.Right && x1 >= r.Left && x1 <= r.Right && y0 >= r.Top && y0 <= r.Bottom &&
        y1 >= r.Top && y1 <= r.Bottom) {
        return true;
    }
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    // Where the segment crosses one edge, as p * t <= q.
    const auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, x0 - r.Left) || !edge(dx, r.Right - x0) || !edge(-dy, y0 - r.Top) || !edge(dy, r.Bottom - y0)) {
        return false;
    }
    const double ax = x0, ay = y0;
    if (t1 < 1) {
        x1 = ax + t1 * dx;
        y1 = ay + t1 * dy;
    }
    if (t0 > 0) {
        x0 = ax + t0 * dx;
        y0 = ay + t0 * dy;
    }
    return true;
}

// The key of an item that lies wholly beyond the reach: it is left out (keys are odd otherwise).
constexpr std::uint64_t kBeyond = 2;

// What an item covers: kind, colour, style and its rounded device geometry within the reach,
// mixed into 64 bits, never 0; kBeyond for an item wholly beyond the reach; 0 for an item that
// is always kept (a text, or one whose position is not a number). Two lines that come from far
// away and show the same inside the reach are one: a program's long approaches from a start
// far off the picture paint the same pixels again and again. Rings and dots are drawn smoothed,
// so they are told apart to a quarter pixel; lines to the pixel.
std::uint64_t KeyOf(const Primitive& item, const ViewTransform& map, const Reach& reach) {
    if (item.Kind == PrimitiveKind::Text) return 0;
    const bool line = item.Kind == PrimitiveKind::Line;
    const double steps = line ? 1.0 : 4.0;
    double x0 = map.DeviceX(static_cast<double>(item.At.X)), y0 = map.DeviceY(static_cast<double>(item.At.Y));
    double x1 = x0, y1 = y0, third = 0;
    if (line) {
        x1 = map.DeviceX(static_cast<double>(item.To.X));
        y1 = map.DeviceY(static_cast<double>(item.To.Y));
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return 0;
        if (!ClipToReach(x0, y0, x1, y1, reach)) return kBeyond;
    } else {
        const double r =
            item.Kind == PrimitiveKind::Circle ? static_cast<double>(item.Radius) * map.PixelsPerUnitX() : 0;
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(r)) return 0;
        const double extent = std::fabs(r) + 2;  // a dot's own size, and a ring's pen
        if (x0 + extent < reach.Left || x0 - extent > reach.Right || y0 + extent < reach.Top ||
            y0 - extent > reach.Bottom) {
            return kBeyond;
        }
        third = r;
    }
    const auto cx0 = Cell(x0, steps), cy0 = Cell(y0, steps);
    const auto cThird = Cell(line ? x1 : third, steps);
    const auto cFourth = line ? Cell(y1, steps) : std::optional<std::uint64_t>(0);
    if (!cx0 || !cy0 || !cThird || !cFourth) return 0;
    const std::uint64_t look =
        static_cast<std::uint64_t>(item.Kind) << 40 | static_cast<std::uint64_t>(item.Colour.Role) << 32 |
        static_cast<std::uint64_t>(item.Style) << 24 | static_cast<std::uint64_t>(item.Colour.Red) << 16 |
        static_cast<std::uint64_t>(item.Colour.Green) << 8 | item.Colour.Blue;
    std::uint64_t h = Mix(look, *cx0 << 42 | *cy0 << 21 | *cThird);
    h = Mix(h, *cFourth);
    return h | 1;
}

// Puts `key` into an open-addressed table of a power of two slots (`mask` one less): the slot it
// took, or nothing when it was there already. The table is never full: it has twice the slots of
// what goes in.
constexpr std::size_t kThere = ~std::size_t{0};
std::size_t Insert(std::vector<std::uint64_t>& table, std::size_t mask, std::uint64_t key) {
    for (std::size_t slot = (key >> 1) & mask;; slot = (slot + 1) & mask) {
        if (table[slot] == key) return kThere;
        if (table[slot] == 0) {
            table[slot] = key;
            return slot;
        }
    }
}

// Items per block: what an edit thins again at the least. A block's table stays in the cache.
constexpr std::size_t kBlockItems = 4096;
constexpr std::size_t kBlockSlots = 2 * kBlockItems;

void CopyHeader(const Drawing& drawing, Drawing& out) {
    out.Background = drawing.Background;
    out.Texts = drawing.Texts;
    out.ReadoutVisible = drawing.ReadoutVisible;
    out.Crosshair = drawing.Crosshair;
}

}  // namespace

Drawing ThinForPainting(const Drawing& drawing, double width, double height) {
    if (!drawing.Scale) return drawing;
    ThinnedPicture thin;
    thin.Thin(drawing, *drawing.Scale, width, height);
    return thin.Picture();
}

bool ThinnedPicture::ThinnedFor(const UserScale& view, double width, double height) const {
    return view_ && *view_ == view && width_ == width && height_ == height;
}

bool ThinnedPicture::Reaches(const UserScale& view) const {
    if (!view_ || view.Width != view_->Width || view.Height != view_->Height) return false;
    // Where the view's corner lies in the pixels the picture was thinned in.
    const ViewTransform map(*view_, PixelBox{0, 0, width_, height_});
    const double dx = map.DeviceX(static_cast<double>(view.Left)), dy = map.DeviceY(static_cast<double>(view.Top));
    return std::fabs(dx) <= width_ - kReachSlack && std::fabs(dy) <= height_ - kReachSlack;
}

void ThinnedPicture::Unthinned(const Drawing& drawing) {
    view_.reset();
    out_ = drawing;
}

void ThinnedPicture::Thin(const Drawing& drawing, const UserScale& view, double width, double height) {
    if (PixelBox{0, 0, width, height}.Empty()) {
        view_.reset();
        out_ = drawing;
        out_.Scale = view;
        return;
    }
    CopyHeader(drawing, out_);
    out_.Scale = view;
    view_ = view;
    width_ = width;
    height_ = height;
    items_ = drawing.Items.size();
    blocks_.clear();
    kept_.clear();
    ThinBlocks(drawing, 0, drawing.Items.size(), blocks_, kept_);
    Collect(drawing);
}

void ThinnedPicture::Follow(const Drawing& drawing, const ItemSplice& s) {
    if (!view_) {
        Unthinned(drawing);
        return;
    }
    const std::size_t size = drawing.Items.size();
    if (s.First > s.OldEnd || s.First > s.NewEnd || s.OldEnd > items_ || size + s.OldEnd != items_ + s.NewEnd) {
        Thin(drawing, *view_, width_, height_);
        return;
    }
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(s.NewEnd) - static_cast<std::ptrdiff_t>(s.OldEnd);
    const std::size_t n = blocks_.size();
    // The blocks that held replaced items (or the one new items came into) are thinned again.
    std::size_t b0 =
        static_cast<std::size_t>(std::upper_bound(blocks_.begin(), blocks_.end(), s.First,
                                                  [](std::size_t i, const Block& b) { return i < b.End; }) -
                                 blocks_.begin());
    if (b0 == n && n > 0) b0 = n - 1;
    std::size_t b1 =
        static_cast<std::size_t>(std::lower_bound(blocks_.begin(), blocks_.end(), s.OldEnd,
                                                  [](const Block& b, std::size_t i) { return b.First < i; }) -
                                 blocks_.begin());
    b1 = std::min(n, std::max(b1, b0 + 1));
    const std::size_t from = b0 < n ? blocks_[b0].First : 0;
    const std::size_t oldTo = b1 < n ? blocks_[b1].First : items_;
    const std::size_t newTo = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(oldTo) + delta);
    newBlocks_.clear();
    newKept_.clear();
    ThinBlocks(drawing, from, newTo, newBlocks_, newKept_);

    const std::size_t keptFrom = b0 < n ? blocks_[b0].KeptFirst : kept_.size();
    const std::size_t keptTo = b1 < n ? blocks_[b1].KeptFirst : kept_.size();
    const std::ptrdiff_t keptDelta =
        static_cast<std::ptrdiff_t>(newKept_.size()) - static_cast<std::ptrdiff_t>(keptTo - keptFrom);
    Replace(kept_, keptFrom, keptTo, newKept_);
    for (Block& b : newBlocks_) {
        b.KeptFirst += keptFrom;
        b.KeptEnd += keptFrom;
    }
    for (std::size_t i = b1; i < n; ++i) {
        Block& b = blocks_[i];
        b.First = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b.First) + delta);
        b.End = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b.End) + delta);
        b.KeptFirst = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b.KeptFirst) + keptDelta);
        b.KeptEnd = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b.KeptEnd) + keptDelta);
    }
    Replace(blocks_, std::min(b0, n), b1, newBlocks_);
    items_ = size;
    CopyHeader(drawing, out_);
    Collect(drawing);
}

void ThinnedPicture::ThinBlocks(const Drawing& drawing, std::size_t first, std::size_t end, std::vector<Block>& blocks,
                                std::vector<Kept>& kept) {
    const ViewTransform map(*view_, PixelBox{0, 0, width_, height_});
    const Reach reach = ReachOf(width_, height_);
    if (blockSeen_.size() != kBlockSlots) blockSeen_.assign(kBlockSlots, 0);
    for (std::size_t b = first; b < end; b += kBlockItems) {
        const std::size_t e = std::min(end, b + kBlockItems);
        const std::size_t keptFirst = kept.size();
        // From the block's last item back: the first of a key met is the one that stays.
        const Primitive* const items = drawing.Items.data();
        for (std::size_t i = e; i-- > b;) {
            // The items are read from the last back, which the memory fetches less well ahead
            // than forwards: asked for explicitly, about a kilobyte before they are needed.
            if (i >= b + 24) __builtin_prefetch(items + i - 24);
            const std::uint64_t key = KeyOf(items[i], map, reach);
            if (key == kBeyond) continue;
            if (key != 0) {
                const std::size_t slot = Insert(blockSeen_, kBlockSlots - 1, key);
                if (slot == kThere) continue;
                blockUsed_.push_back(slot);
            }
            kept.push_back({key, static_cast<std::uint32_t>(i - b)});
        }
        std::reverse(kept.begin() + static_cast<std::ptrdiff_t>(keptFirst), kept.end());
        // Emptied slot by slot: cheaper than the whole table for a block that kept few.
        for (const std::size_t slot : blockUsed_) blockSeen_[slot] = 0;
        blockUsed_.clear();
        blocks.push_back({b, e, keptFirst, kept.size()});
    }
}

void ThinnedPicture::Collect(const Drawing& drawing) {
    // What the blocks kept, from the last back: a key met before is covered by a later block.
    std::size_t slots = 16;
    while (slots < 2 * kept_.size()) slots *= 2;
    seen_.assign(slots, 0);
    keep_.assign(kept_.size(), 0);
    std::size_t count = 0;
    for (std::size_t i = kept_.size(); i-- > 0;) {
        const std::uint64_t key = kept_[i].Key;
        if (key == 0 || Insert(seen_, slots - 1, key) != kThere) {
            keep_[i] = 1;
            ++count;
        }
    }
    out_.ClearItems();
    out_.Items.reserve(count);
    for (const Block& b : blocks_) {
        for (std::size_t i = b.KeptFirst; i < b.KeptEnd; ++i) {
            if (keep_[i] == 0) continue;
            const std::size_t item = b.First + kept_[i].Offset;
            out_.Items.push_back(drawing.Items[item]);
            out_.Items.back().NcLine = drawing.LineOf(item);
        }
    }
}

}  // namespace quillane
