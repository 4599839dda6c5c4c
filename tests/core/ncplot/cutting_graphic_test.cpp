// Cutting graphic: scale, grid, labels, rapid and cutting moves, pitch rings and the silent stops.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_limits.h"
#include "core/shape/example_programs.h"
#include "core/shape/pass_geometry.h"
#include "ncplot/test_support.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <sstream>

namespace quillane {
namespace {

using namespace testing_support;

GeneratorState ExampleState() {
    GeneratorState g;
    g.Shape.EndPointZ = -80;
    g.Shape.StartPointZ = 17.7;
    g.Shape.Pitch = 12.7;
    g.Shape.D1 = 30;
    g.Shape.D2 = 27;
    g.Shape.BlankDiaX = 29;
    g.CutSpanZ = ComputeCutSpanZ(g.Shape);
    return g;
}

const std::string FourLines = "G00 X28. Z50. S700 M4\r\nG00 X32. Z17.7 M8\r\nG32 Z-80. F12.7\r\nG00 X28.\r\n";

Drawing Plot(const std::string& text, const GeneratorState& g = ExampleState()) {
    ScanState scan;
    std::optional<Drawing> d = PlotCuttingPath(text, g, scan);
    EXPECT_TRUE(d.has_value());
    return d.value_or(Drawing{});
}

// ---- nothing generated yet ---------------------------------------------------------------------

class CuttingUntouched : public testing::TestWithParam<double> {};

TEST_P(CuttingUntouched, LeavesThePreviousPicture) {
    GeneratorState g = ExampleState();
    g.CutSpanZ = GetParam();
    ScanState scan;
    scan.GValue = 3;
    scan.XValue = 4;
    EXPECT_FALSE(PlotCuttingPath(FourLines, g, scan).has_value());
    EXPECT_EQ(scan.XValue, 4);  // not even the path state is touched
    EXPECT_EQ(scan.GValue, 3);
}

INSTANTIATE_TEST_SUITE_P(CutSpanZ, CuttingUntouched, testing::Values(0.0, -0.0, -5.0, std::nan("")),
                         [](const auto& row) { return test::ParamName("CutSpanZ", row.param); });

// ---- scale, grid and labels -----------------------------------------------------------------------

TEST(CuttingScale, FromEndPointCutSpanAndDiameters) {
    const GeneratorState g = ExampleState();
    const Drawing d = Plot("");
    ASSERT_TRUE(d.Scale.has_value());
    EXPECT_EQ(d.Background, PlotBackground);
    EXPECT_EQ(d.Scale->Left, static_cast<float>(-80 - 0.1 * g.CutSpanZ));
    EXPECT_EQ(d.Scale->Width, static_cast<float>(1.2 * g.CutSpanZ));
    EXPECT_EQ(d.Scale->Top, -16.7f);
    EXPECT_EQ(d.Scale->Height, static_cast<float>(1.4 * 3));
    EXPECT_TRUE(d.ReadoutVisible);
    EXPECT_TRUE(d.Crosshair);
    EXPECT_NEAR(g.CutSpanZ, 110.4, 1e-5);
}

TEST(CuttingGrid, HorizontalLinesEveryHalfMillimetreOfRadius) {
    const Drawing d = Plot("");
    EXPECT_EQ(HorizontalLineYs(d, Green), (std::vector<double>{-15.5, -15, -14.5, -14, -13.5, -13}));
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.Colour == Green && p.At.Y == p.To.Y) {
            EXPECT_EQ(p.At.X, -85);
            EXPECT_EQ(p.To.X, 35);
        }
    }
}

TEST(CuttingGrid, BlankDiameterDottedBlue) {
    const Drawing d = Plot("");
    std::vector<Primitive> blank;
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.Colour == Blue) blank.push_back(p);
    }
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(blank[0].Style, LineStyle::Dotted);
    EXPECT_EQ(blank[0].At, P(-85, -14.5));
    EXPECT_EQ(blank[0].To, P(35, -14.5));
}

TEST(CuttingGrid, VerticalLinesEveryFiveWithZeroInButtonShadow) {
    const Drawing d = Plot("");
    std::vector<double> expected;
    for (int k = -85; k <= 35; k += 5) expected.push_back(k);
    EXPECT_EQ(VerticalLineXs(d), expected);
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.At.X != p.To.X) continue;
        EXPECT_EQ(p.Colour, p.At.X == 0 ? ButtonShadow : Green) << p.At.X;
        EXPECT_EQ(p.At.Y, -15.5);
        EXPECT_EQ(p.To.Y, -13);
    }
}

TEST(CuttingLabels, DiameterMillimetreAndZLabelsInOrder) {
    const Drawing d = Plot("");
    EXPECT_EQ(Texts(d),
              (std::vector<std::string>{"X31", "X30", "X29", "X28", "X27", "X26", "mm",  "-85", "-80", "-75", "-70",
                                        "-65", "-60", "-55", "-50", "-45", "-40", "-35", "-30", "-25", "-20", "-15",
                                        "-10", "-5",  " 0",  " 5",  " 10", " 15", " 20", " 25", " 30", " 35", "mm"}));
    for (const Primitive& p : Items(d, PrimitiveKind::Text)) {
        EXPECT_EQ(p.Colour, Grey);
        EXPECT_EQ(p.FontSize, 12);
    }
}

TEST(CuttingLabels, Positions) {
    const Drawing d = Plot("");
    const std::vector<Primitive> texts = Items(d, PrimitiveKind::Text);
    ASSERT_EQ(texts.size(), 33u);
    EXPECT_EQ(texts[0].At, P(-85 - 3.2, -15.5 - 0.1));  // X31
    EXPECT_EQ(texts[5].At, P(-85 - 3.2, -13 - 0.1));    // X26
    EXPECT_EQ(texts[6].At, P(-85, -15.5 - 0.2));        // mm over the diameters
    EXPECT_EQ(texts[7].At, P(-85 - 1.1, -13 + 0.05));   // -85
    EXPECT_EQ(texts[24].At, P(0 - 1.1, -13 + 0.05));    // " 0"
    EXPECT_EQ(texts[32].At, P(37.5, -13 + 0.05));       // mm after the Z labels
}

struct TopCase {
    double D1;
    float ScaleTop;
    double TopY;
    const char* FirstLabel;
};

class CuttingTop : public testing::TestWithParam<TopCase> {};

TEST_P(CuttingTop, TopEdgeAndFirstDiameterLabel) {
    GeneratorState g = ExampleState();
    g.Shape.D1 = GetParam().D1;
    const Drawing d = Plot("", g);
    ASSERT_TRUE(d.Scale.has_value());
    EXPECT_EQ(d.Scale->Top, GetParam().ScaleTop);
    EXPECT_EQ(HorizontalLineYs(d, Green).front(), GetParam().TopY);
    EXPECT_EQ(Texts(d).front(), GetParam().FirstLabel);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(D1, CuttingTop, testing::Values(
    TopCase{30, -16.7f, -15.5, "X31"},
    TopCase{30.4, -16.7f, -16, "X32"},
    TopCase{36, -19.7f, -18.5, "X37"},
    TopCase{29.5, -15.7f, -15.5, "X31"}),
    [](const auto& row) { return test::ParamName("D1", row.param.D1); });
// clang-format on

TEST(CuttingLabels, MillimetreBeforeTheGridWhenItRunsBackwards) {
    // A later record whose start lies left of its end, drawn with the span of an earlier run.
    GeneratorState g = ExampleState();
    g.Shape.EndPointZ = 40;
    g.Shape.StartPointZ = 10;
    g.Shape.Pitch = 5;
    const Drawing d = Plot("", g);
    EXPECT_TRUE(VerticalLineXs(d).empty());  // GridStartZ 35 lies past GridEndZ 20
    const std::vector<Primitive> texts = Items(d, PrimitiveKind::Text);
    EXPECT_EQ(d.TextOf(texts.back()), "mm");
    EXPECT_EQ(texts.back().At.X, 35 - 2.5);
}

// ---- the path ------------------------------------------------------------------------------------

TEST(CuttingPath, FourLineProgram) {
    const Drawing d = Plot(FourLines);
    const std::vector<Primitive> path = PathItems(d);
    ASSERT_EQ(path.size(), 4u + 16u);

    EXPECT_EQ(path[0].Kind, PrimitiveKind::Dot);
    EXPECT_EQ(path[0].At, P(50, -14));
    EXPECT_EQ(path[0].Colour, Yellow);
    EXPECT_EQ(path[0].NcLine, 0);

    EXPECT_EQ(path[1].Kind, PrimitiveKind::Line);
    EXPECT_EQ(path[1].Colour, Purple);
    EXPECT_EQ(path[1].At, P(50, -14));
    EXPECT_EQ(path[1].To, P(17.7, -16));
    EXPECT_EQ(path[1].NcLine, 1);

    EXPECT_EQ(path[2].Kind, PrimitiveKind::Line);
    EXPECT_EQ(path[2].Colour, Yellow);
    EXPECT_EQ(path[2].Style, LineStyle::Solid);
    EXPECT_EQ(path[2].At, P(17.7, -16));
    EXPECT_EQ(path[2].To, P(-80, -16));
    EXPECT_EQ(path[2].NcLine, 2);

    // Ring pairs every Pitch (not every F) from the start of the cut towards its end.
    const double ringZ[] = {17.7, 5, -7.7, -20.4, -33.1, -45.8, -58.5, -71.2};
    for (int i = 0; i < 8; ++i) {
        for (int r = 0; r < 2; ++r) {
            const Primitive& ring = path[3 + 2 * i + r];
            EXPECT_EQ(ring.Kind, PrimitiveKind::Circle);
            EXPECT_EQ(ring.Colour, Cyan);
            EXPECT_NEAR(ring.At.X, ringZ[i], 1e-5);
            EXPECT_EQ(ring.At.Y, -16);
            EXPECT_EQ(ring.Radius, r == 0 ? 0.05f : 0.1f);
            EXPECT_EQ(ring.NcLine, 2);
        }
    }

    EXPECT_EQ(path[19].Kind, PrimitiveKind::Line);
    EXPECT_EQ(path[19].Colour, Purple);
    EXPECT_EQ(path[19].At, P(-80, -16));
    EXPECT_EQ(path[19].To, P(-80, -14));
    EXPECT_EQ(path[19].NcLine, 3);
}

TEST(CuttingPath, PathComesAfterGridAndLabels) {
    const Drawing d = Plot(FourLines);
    bool inPath = false;
    for (const Primitive& p : d.Items) {
        if (p.NcLine != NoNcLine) inPath = true;
        EXPECT_TRUE(!inPath || p.NcLine != NoNcLine);
    }
}

TEST(CuttingPath, RingsFollowTheSlopeOfATaperedCut) {
    const Drawing d = Plot("G00 X30 Z10\r\nG32 X34 Z-10\r\n");
    const std::vector<Primitive> rings = Items(d, PrimitiveKind::Circle);
    ASSERT_EQ(rings.size(), 4u);  // Z 10 and -2.7
    EXPECT_EQ(rings[0].At, P(10, -15));
    EXPECT_NEAR(rings[2].At.X, -2.7, 1e-5);
    EXPECT_NEAR(rings[2].At.Y, -(30 + 4 * 12.7 / 20) / 2, 1e-5);
}

TEST(CuttingPath, CutTowardsLargerZHasNoRings) {
    const Drawing d = Plot("G00 X30 Z-80\r\nG32 Z10\r\n");
    EXPECT_EQ(Items(d, PrimitiveKind::Circle).size(), 0u);
    const std::vector<Primitive> path = PathItems(d);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path[1].Colour, Yellow);
}

TEST(CuttingPath, CutWithoutZTravelHasOneRingPairWhereItStarts) {
    const Drawing d = Plot("G00 X30 Z5\r\nG01 X26\r\n");
    const std::vector<Primitive> rings = Items(d, PrimitiveKind::Circle);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[0].At, P(5, -15));
    EXPECT_EQ(rings[1].At, P(5, -15));
}

TEST(CuttingPath, CommentStartsANewPathWithADot) {
    const Drawing d = Plot("G00 X30 Z5\r\nG01 Z0\r\n(NEXT PASS)\r\nG00 X28 Z5\r\nG01 Z0\r\n");
    std::vector<PrimitiveKind> kinds;
    for (const Primitive& p : PathItems(d)) {
        if (p.Kind != PrimitiveKind::Circle) kinds.push_back(p.Kind);
    }
    EXPECT_EQ(kinds, (std::vector<PrimitiveKind>{PrimitiveKind::Dot, PrimitiveKind::Line, PrimitiveKind::Dot,
                                                 PrimitiveKind::Line}));
}

TEST(CuttingPath, UnchangedPositionDrawsNothing) {
    const Drawing d = Plot("G00 X30 Z5\r\nX30 Z5 M3\r\nG01\r\nS100\r\n");
    EXPECT_EQ(PathItems(d).size(), 1u);
}

TEST(CuttingPath, LastLineWithoutCrLfIsNotDrawn) {
    const Drawing d = Plot("G00 X30 Z5\r\nG00 X28 Z0");
    EXPECT_EQ(PathItems(d).size(), 1u);
}

TEST(CuttingPath, OnlyCrLfEndsALine) {
    // Scanned as one line: the last X and Z win, one dot.
    const Drawing d = Plot("G00 X30 Z5\nX28 Z4\rX26 Z3\r\n");
    const std::vector<Primitive> path = PathItems(d);
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].At, P(3, -13));
}

TEST(CuttingPath, FirstLineAtOriginDrawsNothing) {
    const Drawing d = Plot("G00 X0 Z0\r\nG00 X10 Z0\r\n");
    const std::vector<Primitive> path = PathItems(d);
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].Kind, PrimitiveKind::Dot);
    EXPECT_EQ(path[0].NcLine, 1);
}

TEST(CuttingPath, GNumberCarriesOverFromThePreviousPlot) {
    ScanState scan;
    scan.GValue = 32;
    const std::optional<Drawing> d = PlotCuttingPath("X30 Z5\r\nZ0\r\n", ExampleState(), scan);
    ASSERT_TRUE(d.has_value());
    const std::vector<Primitive> path = PathItems(*d);
    ASSERT_GE(path.size(), 2u);
    EXPECT_EQ(path[1].Colour, Yellow);
    EXPECT_EQ(scan.GValue, 32);
}

TEST(CuttingPath, OpenCommentCarriesOverFromThePreviousPlot) {
    ScanState scan;
    scan.InComment = true;
    const std::optional<Drawing> d = PlotCuttingPath("G00 X30 Z5\r\nX28 Z5)\r\nZ1\r\n", ExampleState(), scan);
    ASSERT_TRUE(d.has_value());
    const std::vector<Primitive> path = PathItems(*d);
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].Kind, PrimitiveKind::Dot);
    EXPECT_EQ(path[0].At, P(1, 0));
    EXPECT_FALSE(scan.InComment);
}

TEST(CuttingPath, ExamplePrograms) {
    const Drawing fanuc = Plot(FanucExampleProgram());
    EXPECT_GT(Items(fanuc, PrimitiveKind::Circle).size(), 0u);
    EXPECT_TRUE(fanuc.ReadoutVisible);
    const Drawing trv = Plot(TrvStandardExampleProgram());
    EXPECT_GT(PathItems(trv).size(), 0u);
}

// ---- where the picture cannot be drawn as asked --------------------------------------------------

TEST(CuttingStops, ZeroScaleHeightShowsAClearedPicture) {
    GeneratorState g = ExampleState();
    g.Shape.D2 = g.Shape.D1;
    const Drawing d = Plot(FourLines, g);
    EXPECT_EQ(d.Background, PlotBackground);
    EXPECT_FALSE(d.Scale.has_value());
    EXPECT_TRUE(d.Items.empty());
    EXPECT_FALSE(d.ReadoutVisible);
    EXPECT_FALSE(d.Crosshair);
}

TEST(CuttingStops, SpanTooSmallForSinglePrecisionShowsAClearedPicture) {
    GeneratorState g = ExampleState();
    g.CutSpanZ = 1e-60;
    const Drawing d = Plot(FourLines, g);
    EXPECT_FALSE(d.Scale.has_value());
    EXPECT_TRUE(d.Items.empty());
}

TEST(CuttingStops, GridStartBeyondSixteenBitsStopsAfterTheBlankLine) {
    GeneratorState g = ExampleState();
    g.Shape.EndPointZ = -40000;
    g.CutSpanZ = ComputeCutSpanZ(g.Shape);
    const Drawing d = Plot(FourLines, g);
    ASSERT_FALSE(d.Items.empty());
    EXPECT_EQ(d.Items.back().Colour, Blue);
    EXPECT_TRUE(VerticalLineXs(d).empty());
    EXPECT_TRUE(Texts(d).empty());
    EXPECT_TRUE(PathItems(d).empty());
    EXPECT_FALSE(d.ReadoutVisible);
}

TEST(CuttingStops, CounterSteppingPast32767StopsAfterTheVerticalGrid) {
    GeneratorState g = ExampleState();
    g.Shape.EndPointZ = 32700;
    g.Shape.StartPointZ = 32750;
    g.Shape.Pitch = 10;  // GridEndZ 32765: the counter would step to 32770
    g.CutSpanZ = ComputeCutSpanZ(g.Shape);
    const Drawing d = Plot(FourLines, g);
    EXPECT_EQ(VerticalLineXs(d).size(), 15u);  // 32695 .. 32765
    EXPECT_TRUE(Texts(d).empty());
    EXPECT_FALSE(d.ReadoutVisible);

    g.Shape.StartPointZ = 32745;  // GridEndZ 32760: the counter ends at 32765
    g.CutSpanZ = ComputeCutSpanZ(g.Shape);
    const Drawing whole = Plot(FourLines, g);
    EXPECT_EQ(VerticalLineXs(whole).size(), 14u);
    EXPECT_TRUE(whole.ReadoutVisible);
}

// ---- bounded work -----------------------------------------------------------------------------------

class CuttingNoRings : public testing::TestWithParam<double> {};

TEST_P(CuttingNoRings, PitchThatCannotStepDrawsTheCutWithoutRings) {
    GeneratorState g = ExampleState();
    g.Shape.Pitch = GetParam();
    const Drawing d = Plot(FourLines, g);
    EXPECT_EQ(Items(d, PrimitiveKind::Circle).size(), 0u);
    EXPECT_EQ(PathItems(d).size(), 4u);
    EXPECT_TRUE(d.ReadoutVisible);
}

// 1e-6: the rings would outnumber the picture's pixels many times over.
INSTANTIATE_TEST_SUITE_P(Pitch, CuttingNoRings, testing::Values(0.0, -12.7, 1e-6, 1e-300),
                         [](const auto& row) { return test::ParamName("Pitch", row.param); });

TEST(CuttingBounds, LongCutGetsOnlyTheRingsInsideThePicture) {
    const Drawing d = Plot("G00 X32 Z17.7\r\nG32 Z-1000000\r\n");
    const std::vector<Primitive> rings = Items(d, PrimitiveKind::Circle);
    const double left = d.Scale->Left, right = d.Scale->Left + d.Scale->Width;
    // From 17.7 down to the left edge, every 12.7.
    EXPECT_EQ(rings.size(), 2u * static_cast<std::size_t>(std::floor((17.7 - (left - 0.1)) / 12.7) + 1));
    for (const Primitive& r : rings) {
        EXPECT_GE(r.At.X, left - 0.1);
        EXPECT_LE(r.At.X, right + 0.1);
    }
}

TEST(CuttingBounds, RingPairsPerDrawingAreCapped) {
    std::string text = "G00 X30 Z20\r\n";
    for (int i = 0; i < 2000; ++i) text += "G32 Z-80\r\nG00 Z20\r\n";
    GeneratorState g = ExampleState();
    g.Shape.Pitch = 0.05;  // 2001 ring pairs per cut
    const Drawing d = Plot(text, g);
    EXPECT_EQ(Items(d, PrimitiveKind::Circle).size(), static_cast<std::size_t>(2 * MaxRingPairs));
    EXPECT_EQ(Items(d, PrimitiveKind::Line).size() - HorizontalLineYs(d, Green).size() - VerticalLineXs(d).size() - 1,
              4000u);  // every move still has its line
}

TEST(CuttingBounds, TallPictureDrawsNoGridDenserThanPixels) {
    GeneratorState g = ExampleState();
    g.Shape.D1 = 100000;
    g.Shape.D2 = 0;
    const Drawing d = Plot(FourLines, g);
    EXPECT_TRUE(HorizontalLineYs(d, Green).empty());
    EXPECT_TRUE(d.ReadoutVisible);
    EXPECT_LT(d.Items.size(), 200u);
}

TEST(CuttingBounds, WideGridDrawsOnlyTheLinesInsideThePicture) {
    // The record moved far away after the span was computed.
    GeneratorState g = ExampleState();
    g.Shape.EndPointZ = -30000;
    g.Shape.StartPointZ = 30000;
    g.Shape.Pitch = 10;
    g.CutSpanZ = 200;
    const Drawing d = Plot("", g);
    const std::vector<double> xs = VerticalLineXs(d);
    ASSERT_FALSE(xs.empty());
    EXPECT_EQ(xs.front(), -30005);
    EXPECT_EQ(xs.back(), -29780);  // the right edge
    EXPECT_EQ(xs.size(), 46u);
    EXPECT_TRUE(d.ReadoutVisible);
}

TEST(CuttingBounds, HugeValuesStopSilently) {
    for (double v : {1e300, -1e300, 1e39}) {
        GeneratorState g = ExampleState();
        g.Shape.BlankDiaX = v;
        const Drawing d = Plot(FourLines, g);
        EXPECT_FALSE(d.ReadoutVisible) << v;
        EXPECT_TRUE(d.Scale.has_value()) << v;
    }
    GeneratorState g = ExampleState();
    g.CutSpanZ = 1e300;
    const Drawing d = Plot(FourLines, g);
    EXPECT_FALSE(d.Scale.has_value());
}

TEST(CuttingBounds, MegabyteOfCommentsAndWordsIsQuick) {
    std::string text;
    while (text.size() < (1u << 20)) text += "(X1 G1\r\nZ-5)X2 G32 Z-80+1*2/3 XP=5 (\r\n";
    const auto start = std::chrono::steady_clock::now();
    const Drawing d = Plot(text);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_TRUE(d.ReadoutVisible);
    EXPECT_LT(ms.count(), 2000);  // generous: sanitizer builds are slow
}

// A drawing handed on in pieces while it is drawn writes the same JSON as the drawing kept whole,
// and no piece holds more than a small part of it.
TEST(CuttingDrain, PiecesWriteTheSameJsonAsTheWholeDrawing) {
    std::string program;
    while (program.size() < 400000) program += FourLines;
    const Drawing whole = Plot(program);
    ASSERT_GT(whole.Items.size(), 50000u);

    std::ostringstream streamed;
    DrawingJsonWriter writer(streamed);
    std::size_t drains = 0, largest = 0;
    ScanState scan;
    const std::optional<Drawing> rest = PlotCuttingPath(program, ExampleState(), scan, {}, [&](Drawing& pending) {
        ++drains;
        largest = std::max(largest, pending.Items.size());
        writer.Drain(pending);
    });
    ASSERT_TRUE(rest.has_value());
    writer.Finish(*rest, false);
    EXPECT_EQ(streamed.str(), DrawingJson(whole));
    EXPECT_GT(drains, 2u);
    EXPECT_LT(largest, whole.Items.size() / 2);
}

}  // namespace
}  // namespace quillane
