// Leaves out of a plot picture what a later item paints over on the same pixels.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_links.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillane {

// The items of `drawing` as they would show at `width` x `height` device pixels, without those that a
// later item of the same kind and colour covers once positions are rounded to the pixel, and
// without those wholly beyond one picture size past its edges (the reach). Lines are compared
// by their part within the reach. Programs of thousands of passes a few hundredths of a
// millimetre apart plot almost every ring and line onto the same pixels; painting each of them
// again is what would make a keystroke slow. Later items win, so the picture stays the same.
// Texts are always kept.
Drawing ThinForPainting(const Drawing& drawing, double width, double height);

// The same thinning for the picture shown with a view of its own (a zoomed view of it), kept
// up to date with its drawing: the items are thinned block by block (later items win inside a
// block), and a last walk over what the blocks kept, from the last block back, leaves out what
// a later block covers. An edit of the drawing thins again only the blocks it touched and that
// last walk, and gives exactly what thinning the whole drawing gives.
class ThinnedPicture {
public:
    // Thins all of `drawing` for `view` at `width` x `height` device pixels; the picture takes
    // `view` as its scale.
    void Thin(const Drawing& drawing, const UserScale& view, double width, double height);
    // The same for `drawing`, the drawing thinned last changed by `splice`, at the same view and
    // size.
    void Follow(const Drawing& drawing, const ItemSplice& splice);
    // Whether the blocks were thinned for this view and size (a splice can follow them).
    bool ThinnedFor(const UserScale& view, double width, double height) const;
    // Whether the picture shows all there is at `view`, the view it was thinned for panned by
    // less than its size: it may then be painted moved (SetScale) instead of thinned again.
    bool Reaches(const UserScale& view) const;

    // The thinned picture; its scale may be set to a panned view of the same size of units (the
    // items are then painted moved, as they were thinned).
    const Drawing& Picture() const { return out_; }
    void SetScale(const std::optional<UserScale>& scale) { out_.Scale = scale; }
    // Shows `drawing` as it is (a picture without a scale is not thinned).
    void Unthinned(const Drawing& drawing);

private:
    // Items [First, End) of the drawing, of which kept_[KeptFirst, KeptEnd) stay in the block.
    struct Block {
        std::size_t First = 0;
        std::size_t End = 0;
        std::size_t KeptFirst = 0;
        std::size_t KeptEnd = 0;
    };
    // An item a block keeps: where in the block, and what it covers (0: nothing, always kept).
    struct Kept {
        std::uint64_t Key = 0;
        std::uint32_t Offset = 0;
    };
    void ThinBlocks(const Drawing& drawing, std::size_t first, std::size_t end, std::vector<Block>& blocks,
                    std::vector<Kept>& kept);
    void Collect(const Drawing& drawing);

    std::optional<UserScale> view_;  // what the blocks were thinned for
    double width_ = 0;
    double height_ = 0;
    std::size_t items_ = 0;  // items of the drawing thinned last
    std::vector<Block> blocks_;
    std::vector<Kept> kept_;
    Drawing out_;
    // Working memory kept between pictures.
    std::vector<std::uint64_t> blockSeen_;
    std::vector<std::size_t> blockUsed_;
    std::vector<std::uint64_t> seen_;
    std::vector<char> keep_;
    std::vector<Block> newBlocks_;
    std::vector<Kept> newKept_;
};

}  // namespace quillane
