// The thinned picture: what it keeps is every item but those a later item of the same look covers
// on the same rounded pixels, and after a splice of its drawing it is what thinning the whole
// drawing gives, wherever the splice falls among its blocks.
#include "core/ncplot/picture_clip.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quillane {
namespace {

// A crowded picture: items of a few colours and kinds on a small grid of positions, so that many
// land on the same pixels, a text now and then and a few far off the picture (beyond its reach).
Drawing Crowded(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const Color colours[] = {Color::Rgb(255, 255, 0), Color::Rgb(128, 0, 128), Color::Rgb(0, 255, 255)};
    const PrimitiveKind kinds[] = {PrimitiveKind::Line, PrimitiveKind::Line, PrimitiveKind::Circle, PrimitiveKind::Dot,
                                   PrimitiveKind::Text};
    Drawing d;
    d.Scale = UserScale{0, 0, 100, 50};
    d.Texts = {"X31"};
    for (std::size_t i = 0; i < count; ++i) {
        Primitive p;
        p.Kind = kinds[pick(5)];
        p.Colour = colours[pick(3)];
        const auto at = [&](int spread) {
            return static_cast<float>(pick(spread)) * 0.7F + 0.01F * static_cast<float>(pick(3));
        };
        p.At = {at(6), at(3)};
        if (pick(500) == 0) p.At = {1e9F, 0};
        p.To = pick(2) == 0 ? DrawPoint(p.At.X + 0.7F, p.At.Y) : DrawPoint(p.At.X, p.At.Y + 0.7F);
        p.Radius = 1 + static_cast<float>(pick(2));
        p.NcLine = static_cast<int>(i);
        d.Items.push_back(p);
    }
    return d;
}

// What covers what, told apart independently: the look and the rounded device geometry.
using Look = std::tuple<int, int, int, int, int, int, long long, long long, long long, long long>;

Drawing Reference(const Drawing& d, double width, double height) {
    const ViewTransform map(*d.Scale, PixelBox{0, 0, width, height});
    std::set<Look> later;
    std::vector<bool> keep(d.Items.size(), true);
    for (std::size_t i = d.Items.size(); i-- > 0;) {
        const Primitive& p = d.Items[i];
        if (p.Kind == PrimitiveKind::Text) continue;
        const bool line = p.Kind == PrimitiveKind::Line;
        const double steps = line ? 1 : 4;
        const auto cell = [&](double device) { return std::llround(device * steps); };
        const double third =
            line ? map.DeviceX(static_cast<double>(p.To.X))
                 : (p.Kind == PrimitiveKind::Circle ? static_cast<double>(p.Radius) * map.PixelsPerUnitX() : 0);
        const double fourth = line ? map.DeviceY(static_cast<double>(p.To.Y)) : 0;
        const double x0 = map.DeviceX(static_cast<double>(p.At.X));
        // Every item lies inside the picture but the far ones, which lie wholly beyond a picture
        // size past it: left out.
        if (x0 > 2 * width) {
            keep[i] = false;
            continue;
        }
        const Look look{static_cast<int>(p.Kind),
                        static_cast<int>(p.Style),
                        p.Colour.Red,
                        p.Colour.Green,
                        p.Colour.Blue,
                        static_cast<int>(p.Colour.Role),
                        cell(x0),
                        cell(map.DeviceY(static_cast<double>(p.At.Y))),
                        cell(third),
                        cell(fourth)};
        keep[i] = later.insert(look).second;
    }
    Drawing out = d;
    out.Items.clear();
    for (std::size_t i = 0; i < d.Items.size(); ++i)
        if (keep[i]) out.Items.push_back(d.Items[i]);
    return out;
}

struct SizeRow {
    std::size_t Items;
    double Width, Height;
};

class ThinnedPictureKeeps : public testing::TestWithParam<SizeRow> {};

TEST_P(ThinnedPictureKeeps, TheLastItemOfEachLook) {
    const SizeRow& row = GetParam();
    const Drawing d = Crowded(row.Items, 7);
    const Drawing thin = ThinForPainting(d, row.Width, row.Height);
    EXPECT_EQ(thin, Reference(d, row.Width, row.Height));
    if (row.Items >= 5000) {
        EXPECT_LT(thin.Items.size(), d.Items.size() / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ThinnedPictureKeeps,
                         testing::Values(SizeRow{10, 100, 50}, SizeRow{5000, 100, 50}, SizeRow{30000, 100, 50},
                                         SizeRow{30000, 400, 200}));

// A splice: items [First, First + Old) replaced by `New` fresh ones.
struct SpliceRow {
    const char* Name;
    std::size_t Items;
    std::size_t First, Old, New;
};

class ThinnedPictureFollows : public testing::TestWithParam<SpliceRow> {};

TEST_P(ThinnedPictureFollows, ASpliceAsAWholeThinning) {
    const SpliceRow& row = GetParam();
    Drawing d = Crowded(row.Items, 3);
    ThinnedPicture thinned;
    thinned.Thin(d, *d.Scale, 100, 50);
    const Drawing fresh = Crowded(row.New, 5);
    // Twice over, so that a picture that followed one splice follows the next.
    for (int round = 0; round < 2; ++round) {
        const std::size_t first = std::min(row.First, d.Items.size());
        const std::size_t old = std::min(row.Old, d.Items.size() - first);
        const auto at = d.Items.begin() + static_cast<std::ptrdiff_t>(first);
        d.Items.erase(at, at + static_cast<std::ptrdiff_t>(old));
        d.Items.insert(d.Items.begin() + static_cast<std::ptrdiff_t>(first), fresh.Items.begin(), fresh.Items.end());
        ASSERT_TRUE(thinned.ThinnedFor(*d.Scale, 100, 50));
        thinned.Follow(d, {first, first + old, first + row.New, 0});
        EXPECT_EQ(thinned.Picture(), ThinForPainting(d, 100, 50)) << "round " << round;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Splices, ThinnedPictureFollows, testing::Values(
    SpliceRow{"OneItemChanged", 20000, 9000, 1, 1},
    SpliceRow{"InsertedAtTheStart", 20000, 0, 0, 300},
    SpliceRow{"InsertedAtABlockEdge", 20000, 4096, 0, 5},
    SpliceRow{"AppendedAtTheEnd", 20000, 20000, 0, 7},
    SpliceRow{"TailCut", 20000, 15000, 5000, 0},
    SpliceRow{"DeletedAcrossBlocks", 20000, 3000, 9000, 0},
    SpliceRow{"ReplacedByMoreThanABlock", 20000, 100, 50, 12000},
    SpliceRow{"EverythingReplaced", 20000, 0, 20000, 3},
    SpliceRow{"IntoAnEmptyDrawing", 0, 0, 0, 5000}),
    [](const auto& row) { return std::string(row.param.Name); });
// clang-format on

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

// How far a pan may move the thinned picture: its own size less a few pixels either way, in
// the same units per pixel. Beyond, lines compared only within the reach would show cut short.
struct PanRow {
    const char* Name;
    float Left, Top, Width;
    bool Reaches;
};

class ThinnedPictureReach : public testing::TestWithParam<PanRow> {};

TEST_P(ThinnedPictureReach, AsFarAsItsOwnSize) {
    const PanRow& row = GetParam();
    // 100 x 50 units on 200 x 100 pixels: two pixels a unit.
    Drawing d = Crowded(10, 1);
    ThinnedPicture thinned;
    thinned.Thin(d, *d.Scale, 200, 100);
    EXPECT_EQ(thinned.Reaches(UserScale{row.Left, row.Top, row.Width, 50}), row.Reaches);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pans, ThinnedPictureReach, testing::Values(
    PanRow{"Unmoved", 0, 0, 100, true},
    PanRow{"RightToTheSlack", 98, 0, 100, true},
    PanRow{"RightPastIt", 98.5F, 0, 100, false},
    PanRow{"LeftToTheSlack", -98, 0, 100, true},
    PanRow{"DownToTheSlack", 0, 48, 100, true},
    PanRow{"DownPastIt", 0, 48.5F, 100, false},
    PanRow{"Zoomed", 0, 0, 50, false}),
    [](const auto& row) { return std::string(row.param.Name); });
// clang-format on

// A picture gathered from a plot's drained batches, whatever their size, is the whole drawing cut
// to the picture and thinned: also with lines that come from far off it and are cut at its edge,
// and with every other batch made ready elsewhere (ShownOf) before it is taken.
TEST(ShownPicture, GatheredInBatchesAsTheWhole) {
    Drawing whole = Crowded(20000, 5);
    for (std::size_t i = 0; i < whole.Items.size(); i += 7) {
        Primitive& p = whole.Items[i];
        if (p.Kind != PrimitiveKind::Line) continue;
        p.At = {p.At.X - 300.0F * static_cast<float>(i % 3), p.At.Y + 90.0F * static_cast<float>(i % 2)};
        if (i % 5 == 0) p.Style = LineStyle::Dotted;
    }
    Drawing expected = whole;
    ClipToPicture(expected, 400, 200);
    expected = ThinForPainting(expected, 400, 200);
    ASSERT_LT(expected.Items.size(), whole.Items.size() / 2);
    for (const bool elsewhere : {false, true}) {
        for (const std::size_t batch : {std::size_t{1}, std::size_t{999}, std::size_t{4096}, std::size_t{50000}}) {
            ShownPicture shown(400, 200);
            Drawing pending = whole;
            pending.Items.clear();
            std::size_t batches = 0;
            for (const Primitive& item : whole.Items) {
                pending.Items.push_back(item);
                if (pending.Items.size() < batch) continue;
                if (elsewhere && ++batches % 2 == 0) {
                    shown.TakeShown(ShownPicture::ShownOf(pending, 400, 200));
                    pending.ClearItems();
                } else {
                    shown.Take(pending);
                }
            }
            EXPECT_EQ(shown.Finish(std::move(pending)), expected) << batch << (elsewhere ? " elsewhere" : "");
        }
    }
}

}  // namespace
}  // namespace quillane
