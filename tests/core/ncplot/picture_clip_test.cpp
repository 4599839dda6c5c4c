// A drawing cut to its picture: what lies inside stays as it is, solid lines are cut a few pixels
// past the edge, what lies wholly outside goes, and dotted lines and texts stay whole.
#include "core/ncplot/picture_clip.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillane {
namespace {

Primitive Line(DrawPoint from, DrawPoint to, LineStyle style = LineStyle::Solid) {
    Primitive p;
    p.At = from;
    p.To = to;
    p.Style = style;
    return p;
}
Primitive Round(PrimitiveKind kind, DrawPoint at, float radius = 0) {
    Primitive p;
    p.Kind = kind;
    p.At = at;
    p.Radius = radius;
    return p;
}

TEST(ClipToPicture, CutsAtTheEdgePlusAMargin) {
    // 100 x 50 units on 200 x 100 pixels: two pixels a unit, so the four pixels' margin is two units.
    Drawing d;
    d.Scale = UserScale{0, 0, 100, 50};
    const Primitive inside = Line({10, 10}, {20, 20});
    const Primitive dotted = Line({-50, 10}, {50, 10}, LineStyle::Dotted);
    const Primitive text = Round(PrimitiveKind::Text, {-500, -500});
    const Primitive dotInMargin = Round(PrimitiveKind::Dot, {101, 10});
    const Primitive ringReaching = Round(PrimitiveKind::Circle, {-10, 10}, 9);
    d.Items = {inside,
               Line({-50, 10}, {50, 10}),   // from the left: cut at -2
               Line({50, 25}, {50, 1000}),  // downwards out: cut at 52
               Line({-50, 10}, {-20, 10}),  // wholly outside
               dotted,
               Round(PrimitiveKind::Dot, {-10, 10}),
               dotInMargin,
               ringReaching,
               Round(PrimitiveKind::Circle, {-10, 10}, 5),
               text};
    ClipToPicture(d, 200, 100);
    const std::vector<Primitive> expected = {
        inside, Line({-2, 10}, {50, 10}), Line({50, 25}, {50, 52}), dotted, dotInMargin, ringReaching, text};
    EXPECT_EQ(d.Items, expected);
}

}  // namespace
}  // namespace quillane
