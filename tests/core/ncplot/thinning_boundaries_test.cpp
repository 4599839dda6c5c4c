// Thinning at its edges: what counts as the same pixels (a quarter pixel for rings, half a
// pixel either side of zero, the far ends of the packed range) and what is never thinned.
#include "core/ncplot/plot_thinning.h"
#include "ncplot/test_support.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillane {
namespace {

using testing_support::Yellow;

// A picture of 100 x 100 pixels showing drawing units 0 .. 100: one unit is one pixel.
constexpr double Side = 100;

Primitive Item(PrimitiveKind kind, float x, Color colour = Yellow) {
    Primitive p;
    p.Kind = kind;
    p.At = {x, 10};
    p.To = {x, 20};  // lines run down from the same row
    p.Radius = 1;
    p.Colour = colour;
    p.NcLine = 0;
    return p;
}

struct PairRow {
    const char* Name;
    PrimitiveKind Kind;
    float FirstX, SecondX;
    Color SecondColour;
    std::size_t Kept;
};

class ThinningPair : public testing::TestWithParam<PairRow> {};

TEST_P(ThinningPair, KeepsWhatShowsApart) {
    const PairRow& row = GetParam();
    Drawing d;
    d.Scale = UserScale{0, 0, static_cast<float>(Side), static_cast<float>(Side)};
    d.Items.push_back(Item(row.Kind, row.FirstX));
    if (row.Kind == PrimitiveKind::Text) {
        d.Items.back().Text = 0;
        d.Texts = {"X31"};
    }
    d.Items.push_back(Item(row.Kind, row.SecondX, row.SecondColour));
    if (row.Kind == PrimitiveKind::Text) d.Items.back().Text = 0;
    const Drawing thin = ThinForPainting(d, Side, Side);
    ASSERT_EQ(thin.Items.size(), row.Kept);
    if (row.Kept > 0) {
        EXPECT_EQ(thin.Items.back(), d.Items.back());  // the later item always stays
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ThinningPair, testing::Values(
    PairRow{"SameLine", PrimitiveKind::Line, 10, 10, Yellow, 1},
    PairRow{"LinesWithinAPixel", PrimitiveKind::Line, 10, 10.2F, Yellow, 1},
    PairRow{"LineOfAnotherColour", PrimitiveKind::Line, 10, 10, Color::Rgb(255, 0, 0), 2},
    PairRow{"RingsAQuarterPixelApart", PrimitiveKind::Circle, 10, 10.25F, Yellow, 2},
    PairRow{"RingsATenthPixelApart", PrimitiveKind::Circle, 10, 10.1F, Yellow, 1},
    PairRow{"DotsAQuarterPixelApart", PrimitiveKind::Dot, 50, 50.25F, Yellow, 2},
    // just left of the picture: -0.4 rounds to 0 and -0.6 to -1
    PairRow{"EitherSideOfHalfBelowZero", PrimitiveKind::Line, -0.4F, -0.6F, Yellow, 2},
    PairRow{"SameSideOfHalfBelowZero", PrimitiveKind::Line, -0.6F, -1.4F, Yellow, 1},
    // the reach: one picture size past each edge; beyond it nothing is painted from this picture
    PairRow{"AtBothEndsOfTheReach", PrimitiveKind::Line, -99, 199, Yellow, 2},
    PairRow{"BeyondTheReach", PrimitiveKind::Line, -101, 201, Yellow, 0},
    PairRow{"RingsBeyondTheReach", PrimitiveKind::Circle, -104, 204, Yellow, 0},
    PairRow{"TextsAreNeverThinned", PrimitiveKind::Text, 10, 10, Yellow, 2}),
    test::ByNameField());
// clang-format on

// Long lines from starts far off the picture (or, Down, towards ends far below it): only their
// part within the reach tells them apart.
struct LongLineRow {
    const char* Name;
    float SecondStartX, SecondY;
    std::size_t Kept;
    bool Down = false;
};

class ThinningLongLines : public testing::TestWithParam<LongLineRow> {};

TEST_P(ThinningLongLines, ComparedWithinTheReach) {
    const LongLineRow& row = GetParam();
    Drawing d;
    d.Scale = UserScale{0, 0, static_cast<float>(Side), static_cast<float>(Side)};
    for (const auto& [startX, y] : {std::pair{-5000.0F, 10.0F}, std::pair{row.SecondStartX, row.SecondY}}) {
        Primitive p = Item(PrimitiveKind::Line, startX);
        p.At.Y = y;
        p.To = {50, y};
        if (row.Down) {
            p.At = {y, 50};
            p.To = {y, -startX};
        }
        d.Items.push_back(p);
    }
    EXPECT_EQ(ThinForPainting(d, Side, Side).Items.size(), row.Kept);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ThinningLongLines, testing::Values(
    LongLineRow{"FromFurtherAway", -90000, 10, 1},
    LongLineRow{"FromWithinTheReach", -80, 10, 2},
    LongLineRow{"APixelApart", -5000, 11, 2},
    LongLineRow{"DownToFurtherAway", -90000, 10, 1, true},
    LongLineRow{"DownAPixelApart", -5000, 11, 2, true}),
    test::ByNameField());
// clang-format on

}  // namespace
}  // namespace quillane
