// Plot links and the drawing's JSON at their edges: a snap exactly at the tolerance, ties
// between end points, a line that draws again after another item, the moves after the last
// cut, and the last control character.
#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_links.h"
#include "ncplot/test_support.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillane {
namespace {

using testing_support::Purple;
using testing_support::Yellow;

Primitive Move(int line, Color colour, DrawPoint from, DrawPoint to) {
    Primitive p;
    p.Colour = colour;
    p.At = from;
    p.To = to;
    p.NcLine = line;
    return p;
}

Primitive Dot(int line, DrawPoint at) {
    Primitive p;
    p.Kind = PrimitiveKind::Dot;
    p.At = at;
    p.NcLine = line;
    return p;
}

struct SnapRow {
    const char* Name;
    DrawPoint At;
    double Tolerance;
    std::optional<DrawPoint> Snapped;
};

class EndPointSnap : public testing::TestWithParam<SnapRow> {};

// One move from (0, 0) to (10, 0), one pixel a unit.
TEST_P(EndPointSnap, WithinTheToleranceLaterWins) {
    Drawing d;
    d.Items.push_back(Move(0, Yellow, {0, 0}, {10, 0}));
    EXPECT_EQ(NearestEndPoint(d, GetParam().At, {1, 1}, GetParam().Tolerance), GetParam().Snapped);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, EndPointSnap, testing::Values(
    SnapRow{"ExactlyAtTheTolerance", {3, 4}, 5, DrawPoint(0, 0)},
    SnapRow{"JustOutside", {3, 4.01F}, 5, std::nullopt},
    SnapRow{"TieGoesToTheLaterEnd", {5, 0}, 6, DrawPoint(10, 0)},
    SnapRow{"NearerEnd", {4.9F, 0}, 6, DrawPoint(0, 0)}),
    test::ByNameField());
// clang-format on

// A line whose items do not follow each other is not as a plot draws: no passes are made up,
// and the line's items are found as two runs.
TEST(PlotLinksOrder, LineThatDrawsAgainLaterMakesNoPasses) {
    Drawing d;
    d.Items.push_back(Dot(0, {0, 0}));
    Primitive label;
    label.Kind = PrimitiveKind::Text;
    d.Items.push_back(label);
    d.Items.push_back(Move(0, Yellow, {0, 0}, {-5, 0}));
    const PlotLinks links(d, PlotKind::PointData);
    EXPECT_TRUE(links.Passes().empty());
    EXPECT_EQ(links.ItemsOfLine(0), (std::vector<ItemRange>{{0, 1}, {2, 3}}));
}

// The only pass of a program takes the retract and the return after its cut, not what follows.
TEST(PlotLinksOrder, LastPassTakesTwoMovesAfterItsCut) {
    Drawing d;
    d.Items.push_back(Dot(0, {0, -14}));
    d.Items.push_back(Move(1, Purple, {0, -14}, {17.7F, -15}));
    d.Items.push_back(Move(2, Yellow, {17.7F, -15}, {-80, -15}));
    d.Items.push_back(Move(3, Purple, {-80, -15}, {-80, -14}));
    d.Items.push_back(Move(4, Purple, {-80, -14}, {17.7F, -14}));
    d.Items.push_back(Move(5, Purple, {17.7F, -14}, {50, -14}));
    const PlotLinks links(d, PlotKind::CuttingPath);
    ASSERT_EQ(links.Passes().size(), 1U);
    EXPECT_EQ(links.Passes()[0].FirstLine, 1);
    EXPECT_EQ(links.Passes()[0].MoveLine, 2);
    EXPECT_EQ(links.Passes()[0].LastLine, 4);
}

TEST(DrawingJsonEscapes, EveryControlCharacterAndNoOther) {
    Drawing d;
    Primitive text;
    text.Kind = PrimitiveKind::Text;
    d.Texts.push_back("\x1f \\\"~");
    d.Items.push_back(text);
    EXPECT_NE(DrawingJson(d).find(R"("\u001f \\\"~")"), std::string::npos) << DrawingJson(d);
}

}  // namespace
}  // namespace quillane
