// The cross-section check against cases worked out by hand.
#include "core/check/section_check.h"

#include "core/check/section_outline.h"

#include "core/numeric/number_text.h"
#include "core/shape/pass_geometry.h"
#include "core/shape/program_writers.h"
#include "param_name.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace quillane {
namespace {

constexpr double R = 0.4;              // nose radius of every case
constexpr int A1 = 1, R2 = 2, D1 = 3;  // segments

// An internal groove on a lead of 20 from Z 0, 3 mm deep (D1 36 below tops D30), blank at the
// top line, flanks and corners as given: every pass's u and depth are then exact in the text.
ShapeData Groove(double flank, double r1, double r2, double width) {
    ShapeData s;
    s.Side = -1;
    s.DimensionsSet = true;
    s.NoseR = R;
    s.Pitch = 20;
    s.Width = width;
    s.D1 = 36;
    s.D2 = 30;
    s.D3 = 30;
    s.A1 = flank;
    s.A2 = flank;
    s.R1 = r1;
    s.R2 = r2;
    s.R3 = r2;
    s.R4 = r1;
    s.BlankDiaX = 30;
    s.Feed.fill(0.5f);
    return s;
}

struct At {
    double U;
    double Depth;
};

// Point data as the pane holds it: one pass a line, X and Z to 0.001.
std::string PointData(const ShapeData& s, const std::vector<At>& passes) {
    std::string text = "(-----< D36 >-----)\r\n";
    for (const At& p : passes) {
        text += "X" + FormatPattern(s.D2 + 2 * p.Depth, "####0.000") + " Z" +
                FormatPattern((s.StartPointZ + s.Pitch) - p.U, "####0.000") + "\r\n";
    }
    return text;
}

// Passes every `feed` from u0 at a constant depth, `count` of them.
std::vector<At> Row(double u0, double feed, int count, double depth) {
    std::vector<At> row;
    for (int i = 0; i < count; ++i) row.push_back({u0 + feed * i, depth});
    return row;
}

// Floor: vertical flanks and corners of the nose's own radius, so the first and the last pass
// fill the corners; between two passes a cusp of r - sqrt(r^2 - (f/2)^2) stays.
struct FloorCase {
    double Feed;
    double Cusp;
};
class FlatFloor : public ::testing::TestWithParam<FloorCase> {};

TEST_P(FlatFloor, LeavesTheCuspBetweenNoseCircles) {
    const FloorCase c = GetParam();
    const ShapeData s = Groove(90, 0, R, 7);
    // Floor from u 0.4 (R1 + R2 with vertical flanks) to 7.4.
    const SectionCheck k =
        CheckSection(s, PointData(s, Row(0.4, c.Feed, static_cast<int>(std::lround(7 / c.Feed)) + 1, 3)));
    ASSERT_EQ(k.Problem, "");
    EXPECT_NEAR(k.Segments[D1].Uncut, c.Cusp, 1e-6);
    EXPECT_NEAR(k.Segments[R2].Uncut, 0, 1e-6);  // the corner pass fits the corner
    EXPECT_FALSE(k.Gouge);
    EXPECT_TRUE(k.IdlePasses.empty());
    // 2 sqrt(2 r h - h^2) for h = 0.01.
    ASSERT_TRUE(k.Segments[D1].SuggestedFeed);
    EXPECT_NEAR(*k.Segments[D1].SuggestedFeed, 2 * std::sqrt(2 * R * 0.01 - 0.01 * 0.01), 1e-5);
    // The target decides: just above the greatest height it passes, just below the cusp not.
    const std::string text = PointData(s, Row(0.4, c.Feed, static_cast<int>(std::lround(7 / c.Feed)) + 1, 3));
    EXPECT_TRUE(CheckSection(s, text, 0, k.Uncut + 0.0005).Passed());
    EXPECT_FALSE(CheckSection(s, text, 0, c.Cusp - 0.0005).Passed());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Feeds, FlatFloor, ::testing::Values(
    FloorCase{0.2, 0.4 - std::sqrt(0.16 - 0.01)},     // 0.01270
    FloorCase{0.5, 0.4 - std::sqrt(0.16 - 0.0625)},   // 0.08775
    FloorCase{0.7, 0.4 - std::sqrt(0.16 - 0.1225)}),  // 0.20635
    [](const auto& c) { return test::ParamName("Feed", c.param.Feed); });
// clang-format on

TEST(SectionCheck, AFeedBeyondTheNoseWidthLeavesRidgesOfFullHeight) {
    const ShapeData s = Groove(90, 0, R, 7);
    const SectionCheck k = CheckSection(s, PointData(s, Row(0.4, 1.0, 8, 3)));
    // Between noses 1.0 apart 0.2 mm of the blank stands up to the top line, 3 mm above the floor.
    EXPECT_NEAR(k.Segments[D1].Uncut, 3, 1e-9);
    // Each pass cuts its own slot through full material: a rectangle 0.8 wide down to the nose
    // centre and a half disc below it.
    const double slot = 0.8 * (3 - R) + std::acos(-1.0) * R * R / 2;
    EXPECT_NEAR(k.Passes[3].ChipArea, slot, 1e-3);
    EXPECT_NEAR(k.Passes[3].Engagement, 3, 1e-9);
    EXPECT_NEAR(k.MaxEngagement, 3, 1e-9);
}

TEST(SectionCheck, APassOverCutMaterialIsIdle) {
    const ShapeData s = Groove(90, 0, R, 7);
    std::vector<At> passes = Row(0.4, 0.5, 15, 3);
    passes.push_back({2.4, 2.9});  // back over the floor, shallower
    const SectionCheck k = CheckSection(s, PointData(s, passes));
    EXPECT_EQ(k.IdlePasses, std::vector<int>{16});
    EXPECT_EQ(k.Passes.back().ChipArea, 0);
    EXPECT_FALSE(k.Passes.front().Idle);
}

// A 45-degree flank (R1 0, R2 the nose radius), passes on the pass geometry's flank path every
// `feed` from above the top line to the floor corner, then across the floor every 0.5 (cusps of
// 0.088) into the other corner, so that no material is left far from the floor.
std::vector<At> FlankPasses(const ShapeData& s, double feed) {
    const ProfileGeometry g = ComputeProfileGeometry(s);
    const double start = g.PathR1 * std::tan(g.A1Rad / 2);  // where the path crosses the top line
    std::vector<At> passes;
    for (double u = -0.6; u < g.EndR2; u += feed) passes.push_back({u, (u - start) * std::tan(g.A1Rad)});
    for (const At& p : Row(g.EndR2, 0.5, 7, 3)) passes.push_back(p);
    return passes;
}

// With parallel sides, the next pass's side stands at u + f - r: the step between it and the
// nose before is, normal to a flank at angle a, (f - r) sin a + r - cos a sqrt(r^2 - (f - r)^2)
// for r <= f <= 2r; below r the two noses meet at r - sqrt(r^2 - (f / 2 cos a)^2).
struct FlankCase {
    double Feed;
    double Step;
};
class FlankWithParallelTool : public ::testing::TestWithParam<FlankCase> {};

TEST_P(FlankWithParallelTool, LeavesSteps) {
    const FlankCase c = GetParam();
    const ShapeData s = Groove(45, 0, R, 3);
    const SectionCheck k = CheckSection(s, PointData(s, FlankPasses(s, c.Feed)));
    // The text holds u and depth to 0.001, so the passes lie up to 0.0005 off the path.
    EXPECT_NEAR(k.Segments[A1].Uncut, c.Step, 0.001);
    EXPECT_FALSE(k.Gouge);
}

const double Half = std::sqrt(0.5);  // sin 45 = cos 45
// clang-format off
INSTANTIATE_TEST_SUITE_P(Feeds, FlankWithParallelTool, ::testing::Values(
    FlankCase{0.3, 0.4 - std::sqrt(0.16 - std::pow(0.3 / Half / 2, 2))},      // 0.0609
    FlankCase{0.5, 0.1 * Half + 0.4 - Half * std::sqrt(0.16 - 0.01)},         // 0.1969
    FlankCase{0.7, 0.3 * Half + 0.4 - Half * std::sqrt(0.16 - 0.09)}),        // 0.4250
    [](const auto& c) { return test::ParamName("Feed", c.param.Feed); });
// clang-format on

TEST(SectionCheck, AnInsertWhoseSidesFollowTheFlankLeavesNoStep) {
    // A 90-degree insert on 45-degree flanks: each pass's side lies on the flank above its nose.
    const ShapeData s = Groove(45, 0, R, 3);
    const SectionCheck k = CheckSection(s, PointData(s, FlankPasses(s, 0.7)), 90);
    EXPECT_LT(k.Segments[A1].Uncut, 0.001);
    EXPECT_FALSE(k.Gouge);
    // Any feed up to the whole flank keeps within the target.
    const ProfileGeometry g = ComputeProfileGeometry(s);
    ASSERT_TRUE(k.Segments[A1].SuggestedFeed);
    EXPECT_DOUBLE_EQ(*k.Segments[A1].SuggestedFeed, g.EndA1 - g.EndR1);
}

TEST(SectionCheck, AnInsertWiderThanTheGrooveGougesTheFlank) {
    // A sharp 60-degree tool in the sharp floor corner of 80-degree flanks (10 degrees from the
    // radial): its side opens 20 degrees from the flank. At height y above the corner it lies
    // y (tan 30 - tan 10) cos 10 from the flank and 3 - y below the top line; the deepest point
    // of the crossing is where the two are equal.
    ShapeData s = Groove(80, 0, 0, 2);
    s.NoseR = 0;
    const ProfileGeometry g = ComputeProfileGeometry(s);
    const SectionCheck k = CheckSection(s, PointData(s, {{g.EndR2, 3}}), 60);
    const double deg = std::acos(-1.0) / 180;
    const double spread = (std::tan(30 * deg) - std::tan(10 * deg)) * std::cos(10 * deg);
    ASSERT_TRUE(k.Gouge);
    EXPECT_NEAR(k.Gouge->Depth, 3 * spread / (1 + spread), 0.001);  // 0.849
    EXPECT_EQ(k.Gouge->Pass, 1);
    EXPECT_FALSE(k.Passed());
    // A parallel-sided tool there does not cross it.
    EXPECT_FALSE(CheckSection(s, PointData(s, {{g.EndR2, 3}}), 0).Gouge);
}

TEST(SectionCheck, ACornerTighterThanTheNoseIsReported) {
    // R2 0.2 under a nose of 0.4: the pass geometry's path radius R2 - r is negative, and its
    // pass at the end of the corner lies 2 (r - R2) = 0.4 below the floor.
    const ShapeData s = Groove(90, 0, 0.2, 7);
    const ProfileGeometry g = ComputeProfileGeometry(s);
    std::vector<At> passes = Row(1.0, 0.5, 13, 3);
    passes.insert(passes.begin(), {g.EndR2, 3 + 2 * (R - 0.2)});
    const SectionCheck k = CheckSection(s, PointData(s, passes));
    ASSERT_TRUE(k.Gouge);
    EXPECT_NEAR(k.Gouge->Depth, 0.4, 0.001);
    EXPECT_EQ(k.Gouge->Pass, 1);
    EXPECT_FALSE(k.Segments[R2].NoseFits);
    EXPECT_FALSE(k.Segments[R2].SuggestedFeed);
    EXPECT_TRUE(k.Segments[D1].NoseFits);
}

// The worked example generated for either side: the same figures, the overlay mirrored about
// the top line (internal at -D2 / 2, external at -D1 / 2).
SectionCheck Generated(std::int16_t side, double toolAngle) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    state.Shape.Side = side;
    if (side == 1) state.Shape.BlankDiaX = 37;  // the same 0.5 mm of stock outside
    const RunResult r = RunGenerator(state, OutputOptions{}, "", "");
    EXPECT_TRUE(r.Succeeded);
    return CheckSection(r.State.Shape, r.PointText, toolAngle);
}

TEST(SectionCheck, ExternalAndInternalAreMirrored) {
    for (const double angle : {0.0, 60.0}) {
        const SectionCheck in = Generated(-1, angle), out = Generated(1, angle);
        ASSERT_EQ(in.Problem, "");
        ASSERT_EQ(out.Problem, "");
        // The pass geometry's passes touch its outline without crossing it, also where the
        // 60-degree insert's sides lie along the 60-degree flanks.
        EXPECT_FALSE(in.Gouge);
        EXPECT_FALSE(out.Gouge);
        for (std::size_t k = 0; k < 8; ++k) {
            // The texts round 30 + 2 depth and 36 - 2 depth to 0.001, read in single precision.
            EXPECT_NEAR(in.Segments[k].Uncut, out.Segments[k].Uncut, 1e-5) << k;
            EXPECT_EQ(in.Segments[k].SuggestedFeed, out.Segments[k].SuggestedFeed) << k;
        }
        EXPECT_EQ(in.IdlePasses, out.IdlePasses);
        EXPECT_NEAR(in.MaxChipArea, out.MaxChipArea, 1e-5);
        ASSERT_EQ(in.Outline.size(), out.Outline.size());
        for (std::size_t i = 0; i < in.Outline.size(); ++i) {
            EXPECT_EQ(in.Outline[i].X, out.Outline[i].X);
            EXPECT_NEAR(in.Outline[i].Y + 15, -(out.Outline[i].Y + 18), 1e-5);
        }
    }
}

TEST(SectionCheck, TheOverlayLinesUpWithThePointGraphic) {
    // The point graphic draws a pass at (Z - StartPointZ, -X / 2); the tool's deepest point is
    // there, and the outline passes through the first pass (u 0 on the top line).
    const SectionCheck k = Generated(-1, 0);
    const CheckPass& p = k.Passes[5];  // N006 X35.984 Z15.200
    EXPECT_NEAR(p.X, 35.984, 1e-5);
    EXPECT_NEAR(p.Z, 15.2, 1e-5);
    float deepest = 0;  // internal: deeper is a larger diameter, higher in the picture
    for (const DrawPoint& q : p.Tool) deepest = std::min(deepest, q.Y);
    EXPECT_NEAR(deepest, -35.984 / 2, 1e-5);
    bool throughFirst = false;
    for (const DrawPoint& q : k.Outline) throughFirst |= q.X == 12.7f && q.Y == -15.0f;
    EXPECT_TRUE(throughFirst);
}

TEST(SectionCheck, AHandEditOfThePaneIsChecked) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    const RunResult r = RunGenerator(state, OutputOptions{}, "", "");
    std::string text = r.PointText;
    const auto at = text.find("N010 X36.000");  // a floor pass
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 12, "N010 X36.400");  // 0.2 deeper on the radius
    const SectionCheck k = CheckSection(r.State.Shape, text);
    ASSERT_TRUE(k.Gouge);
    EXPECT_NEAR(k.Gouge->Depth, 0.2, 1e-6);
    EXPECT_EQ(k.Gouge->Pass, 10);
    EXPECT_EQ(k.Gouge->Segment, D1);
    EXPECT_EQ(k.Passes[9].Line, 11);  // after the macro call and the header
}

TEST(SectionCheck, ARoughingRunIsCheckedAgainstItsOwnOutline) {
    // Finish stock 0.2 on the diameter: the passes stop 0.1 short of the outline on the
    // radius, and the finished outline lies that much deeper in the picture (larger diameter).
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    state.Shape.FinishStock = 0.2;
    const RunResult r = RunGenerator(state, OutputOptions{}, "", "");
    const SectionCheck k = CheckSection(r.State.Shape, r.PointText);
    EXPECT_FALSE(k.Gouge);
    EXPECT_NEAR(k.Segments[7].Uncut, 0.4 - std::sqrt(0.16 - 0.0625), 1e-6);  // land cusps as before
    ASSERT_EQ(k.FinishedOutline.size(), k.Outline.size());
    for (std::size_t i = 0; i < k.Outline.size(); ++i) {
        EXPECT_EQ(k.FinishedOutline[i].X, k.Outline[i].X);
        EXPECT_NEAR(k.FinishedOutline[i].Y, static_cast<double>(k.Outline[i].Y) - 0.1, 1e-5);
    }
}

// D3 differing from D2: the pass geometry computes the D3 half from D3 and, for External,
// shifts it by D1 - D2 like the D2 half, so its floor lies (D2 - D3) off the D2 floor on the
// radius; Internal floors meet. The top on the R4 side lies Side * (D2 - D3) / 2 deep.
struct D3Case {
    std::int16_t Side;
    double D3;
    double LandDepth;
    double FloorStep;  // depth of the D3 floor less that of the D2 floor
};
class OutlineWithD3 : public ::testing::TestWithParam<D3Case> {};

TEST_P(OutlineWithD3, FollowsThePassGeometry) {
    const D3Case c = GetParam();
    ShapeData s = testing_shapes::WorkedExample();
    s.Side = c.Side;
    s.D3 = c.D3;
    std::string error;
    const check::Outline o = check::BuildOutline(s, ComputeProfileGeometry(s), error);
    ASSERT_EQ(error, "");
    EXPECT_NEAR(o.LandDepth, c.LandDepth, 1e-12);
    const auto r3 = std::find_if(o.Pieces.begin(), o.Pieces.end(), [](const auto& p) { return p.Segment == 4; });
    ASSERT_NE(r3, o.Pieces.end());
    EXPECT_NEAR(r3->From.Depth - 3, c.FloorStep, 1e-12);  // the D2 floor is 3 deep
    EXPECT_NEAR(o.Pieces.back().To.Depth, 0, 1e-12);      // the next lead starts on the R1 side's top
    // The pieces join up.
    for (std::size_t i = 1; i < o.Pieces.size(); ++i) {
        EXPECT_NEAR(o.Pieces[i].From.U, o.Pieces[i - 1].To.U, 1e-9) << i;
        EXPECT_NEAR(o.Pieces[i].From.Depth, o.Pieces[i - 1].To.Depth, 1e-9) << i;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sides, OutlineWithD3, ::testing::Values(
    D3Case{-1, 30, 0, 0},
    D3Case{-1, 31, 0.5, 0},
    D3Case{1, 29, 0.5, 1},
    D3Case{1, 31, -0.5, -1}),
    [](const auto& c) {
        return test::ParamName(std::string(c.param.Side > 0 ? "External" : "Internal") + " D3 " +
                               std::to_string(static_cast<int>(c.param.D3)));
    });
// clang-format on

TEST(SectionCheck, InputsOutsideTheModelAreProblems) {
    const ShapeData s = testing_shapes::WorkedExample();
    EXPECT_NE(CheckSection(s, "", 180).Problem, "");
    EXPECT_NE(CheckSection(s, "", 0, 0).Problem, "");
    ShapeData flat = s;
    flat.A1 = 0;
    EXPECT_NE(CheckSection(flat, "").Problem, "");
    ShapeData unset;
    EXPECT_NE(CheckSection(unset, "").Problem, "");
    EXPECT_EQ(CheckSection(s, "").Problem, "");
}

}  // namespace
}  // namespace quillane
