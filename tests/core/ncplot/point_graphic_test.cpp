// Point graphic: scale, 1 mm grid, labels, the yellow path of pass start points, the silent stops.
#include "core/ncplot/point_graphic.h"
#include "core/shape/example_programs.h"
#include "ncplot/test_support.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillane {
namespace {

using namespace testing_support;

ShapeData ExampleShape() {
    ShapeData s;
    s.Pitch = 12.7;
    s.D1 = 30;
    s.D2 = 27;
    s.StartPointZ = 17.7;
    s.BlankDiaX = 29;
    return s;
}

Drawing Plot(const std::string& text, const ShapeData& shape = ExampleShape()) {
    ScanState scan;
    return PlotPointData(text, shape, scan);
}

TEST(PointScale, FromPitchAndDiameters) {
    const Drawing d = Plot("");
    ASSERT_TRUE(d.Scale.has_value());
    EXPECT_EQ(d.Background, PlotBackground);
    EXPECT_EQ(d.Scale->Left, -0.762f);
    EXPECT_EQ(d.Scale->Width, 14.986f);
    EXPECT_EQ(d.Scale->Top, -16.7f);
    EXPECT_EQ(d.Scale->Height, 3.9f);
    EXPECT_TRUE(d.ReadoutVisible);
    EXPECT_TRUE(d.Crosshair);
}

TEST(PointGrid, HorizontalLinesAcrossOnePitch) {
    const Drawing d = Plot("");
    EXPECT_EQ(HorizontalLineYs(d, Green), (std::vector<double>{-15.5, -15, -14.5, -14, -13.5}));
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.Colour == Green && p.At.Y == p.To.Y) {
            EXPECT_EQ(p.At.X, 0);
            EXPECT_EQ(p.To.X, 13);
        }
    }
}

TEST(PointGrid, BlankDiameterDottedBlue) {
    const Drawing d = Plot("");
    int found = 0;
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.Colour != Blue) continue;
        ++found;
        EXPECT_EQ(p.Style, LineStyle::Dotted);
        EXPECT_EQ(p.At, P(0, -14.5));
        EXPECT_EQ(p.To, P(13, -14.5));
    }
    EXPECT_EQ(found, 1);
}

TEST(PointGrid, VerticalLinesEveryMillimetreAllGreen) {
    const Drawing d = Plot("");
    std::vector<double> expected;
    for (int k = 0; k <= 13; ++k) expected.push_back(k);
    EXPECT_EQ(VerticalLineXs(d), expected);
    for (const Primitive& p : Items(d, PrimitiveKind::Line)) {
        if (p.At.X != p.To.X) continue;
        EXPECT_EQ(p.Colour, Green);
        EXPECT_EQ(p.At.Y, -15.5);
        EXPECT_EQ(p.To.Y, -13.5);
    }
}

struct LastLineCase {
    double Pitch;
    int LastVertical;  // Pitch + 0.5 rounded half to even
    int LastZLabel;
};

class PointVerticalEnd : public testing::TestWithParam<LastLineCase> {};

TEST_P(PointVerticalEnd, RoundsHalfToEven) {
    ShapeData s = ExampleShape();
    s.Pitch = GetParam().Pitch;
    const Drawing d = Plot("", s);
    EXPECT_EQ(VerticalLineXs(d).back(), GetParam().LastVertical);
    const std::vector<std::string> texts = Texts(d);
    EXPECT_EQ(texts[texts.size() - 2], " " + std::to_string(GetParam().LastZLabel));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pitch, PointVerticalEnd, testing::Values(
    LastLineCase{12.7, 13, 13}, LastLineCase{2, 2, 3}, LastLineCase{3, 4, 4}, LastLineCase{0.4, 1, 1},
    LastLineCase{5.5, 6, 6}),
    [](const auto& row) { return test::ParamName("Pitch", row.param.Pitch); });
// clang-format on

TEST(PointLabels, TextsInOrder) {
    const Drawing d = Plot("");
    EXPECT_EQ(Texts(d),
              (std::vector<std::string>{"X31", "X30", "X29", "X28", "X27", "mm",  " 0",  " 1",  " 2",  " 3", " 4",
                                        " 5",  " 6",  " 7",  " 8",  " 9",  " 10", " 11", " 12", " 13", "mm"}));
    for (const Primitive& p : Items(d, PrimitiveKind::Text)) {
        EXPECT_EQ(p.Colour, Grey);
        EXPECT_EQ(p.FontSize, 12);
    }
}

TEST(PointLabels, Positions) {
    const Drawing d = Plot("");
    const std::vector<Primitive> t = Items(d, PrimitiveKind::Text);
    ASSERT_EQ(t.size(), 21u);
    EXPECT_EQ(t[0].At, P(-0.6, -15.5 - 0.1));
    EXPECT_EQ(t[4].At, P(-0.6, -13.5 - 0.1));
    EXPECT_EQ(t[5].At, P(0.1, -15.5 - 0.2));
    EXPECT_EQ(t[6].At, P(0 - 0.11, -13.5 + 0.05));
    EXPECT_EQ(t[19].At, P(13 - 0.11, -13.5 + 0.05));
    EXPECT_EQ(t[20].At, P(14 - 0.6, -13.5 + 0.05));  // "mm" at 13.4
}

TEST(PointLabels, NegativePitchPutsMillimetreAtZero) {
    ShapeData s = ExampleShape();
    s.Pitch = -5;
    const Drawing d = Plot("", s);
    EXPECT_TRUE(VerticalLineXs(d).empty());
    const std::vector<Primitive> t = Items(d, PrimitiveKind::Text);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(d.TextOf(t.back()), "mm");
    EXPECT_EQ(t.back().At.X, -0.6f);
    EXPECT_TRUE(d.ReadoutVisible);
}

// ---- the path ----------------------------------------------------------------------------------------

TEST(PointPath, PointsAfterACommentLine) {
    const Drawing d = Plot("(-----< D32 >-----)\r\nN001 X32 Z17.7\r\nN002 X32 Z17.5\r\nN003 X32 Z17.3\r\n");
    const std::vector<Primitive> path = PathItems(d);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0].Kind, PrimitiveKind::Dot);
    EXPECT_EQ(path[0].At, P(0, -16));
    EXPECT_EQ(path[0].NcLine, 1);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(path[i].Kind, PrimitiveKind::Line);
        EXPECT_EQ(path[i].Colour, Yellow);
        EXPECT_EQ(path[i].At, path[i - 1].Kind == PrimitiveKind::Dot ? path[i - 1].At : path[i - 1].To);
        EXPECT_NEAR(path[i].To.X, -0.2 * i, 1e-5);
        EXPECT_EQ(path[i].To.Y, -16);
        EXPECT_EQ(path[i].NcLine, i + 1);
    }
}

TEST(PointPath, SymbolicMacroCallDrawsNothing) {
    const Drawing d = Plot("NT01 MODIN OG34 XP=30 ZP=-80 FD=12.7\r\n");
    EXPECT_TRUE(PathItems(d).empty());
}

TEST(PointPath, CommentBreaksThePath) {
    const Drawing d = Plot("N001 X32 Z17.7\r\n. (POINT DATA)\r\nN002 X31 Z17.5\r\nN003 X30 Z17.3\r\n");
    std::vector<PrimitiveKind> kinds;
    for (const Primitive& p : PathItems(d)) kinds.push_back(p.Kind);
    EXPECT_EQ(kinds, (std::vector<PrimitiveKind>{PrimitiveKind::Dot, PrimitiveKind::Dot, PrimitiveKind::Line}));
}

TEST(PointPath, RepeatedPositionDrawsNothing) {
    const Drawing d = Plot("N001 X32 Z17.7\r\nN002 X32 Z17.7\r\nN003 Z17.7\r\n");
    EXPECT_EQ(PathItems(d).size(), 1u);
}

TEST(PointPath, RapidAndCuttingLookTheSame) {
    const Drawing d = Plot("G00 X32 Z17.7\r\nG32 X30 Z17.5\r\nG00 X28 Z17.3\r\n");
    for (const Primitive& p : PathItems(d)) EXPECT_EQ(p.Colour, Yellow);
    EXPECT_TRUE(Items(d, PrimitiveKind::Circle).empty());
}

TEST(PointPath, TextWithoutCrLfDrawsOnlyGridAndLabels) {
    const Drawing d = Plot("N001 X32 Z17.7\nN002 X30 Z17.5");
    EXPECT_TRUE(PathItems(d).empty());
    EXPECT_FALSE(Texts(d).empty());
    EXPECT_TRUE(d.ReadoutVisible);
}

TEST(PointPath, LastLineWithoutCrLfIsNotDrawn) {
    const Drawing d = Plot("N001 X32 Z17.7\r\nN002 X30 Z17.5");
    EXPECT_EQ(PathItems(d).size(), 1u);
}

TEST(PointPath, MacroExampleDrawsAPath) {
    ScanState scan;
    const Drawing d = PlotPointData(TrvMacroMainProgram(), ExampleShape(), scan);
    EXPECT_GT(PathItems(d).size(), 2u);
    EXPECT_TRUE(d.ReadoutVisible);
}

// ---- silent stops ----------------------------------------------------------------------------------

struct StopCase {
    const char* Name;
    double Pitch;
    double D2;
    bool ScaleSet;
    std::size_t LinesBeforeStop;  // grid lines drawn before the stop (the blank line last)
};

class PointStops : public testing::TestWithParam<StopCase> {};

TEST_P(PointStops, KeepWhatWasDrawnAndNothingMore) {
    ShapeData s = ExampleShape();
    s.Pitch = GetParam().Pitch;
    s.D2 = GetParam().D2;
    const Drawing d = Plot("N001 X32 Z17.7\r\nN002 X30 Z17.5\r\n", s);
    EXPECT_EQ(d.Background, PlotBackground);
    EXPECT_EQ(d.Scale.has_value(), GetParam().ScaleSet);
    EXPECT_EQ(d.Items.size(), GetParam().LinesBeforeStop);
    if (!d.Items.empty()) {
        EXPECT_EQ(d.Items.back().Colour, Blue);
    }
    EXPECT_TRUE(Texts(d).empty());
    EXPECT_TRUE(PathItems(d).empty());
    EXPECT_FALSE(d.ReadoutVisible);
    EXPECT_FALSE(d.Crosshair);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PointStops, testing::Values(
    StopCase{"PitchZero", 0, 27, false, 0},
    StopCase{"PitchBelowSinglePrecision", 1e-60, 27, false, 0},
    StopCase{"D1EqualsD2", 12.7, 30, false, 0},
    // The 16-bit counter cannot hold the last line: stop after the blank line.
    StopCase{"CounterEndBeyond16Bits", 40000, 27, true, 5 + 1},
    // The counter holds 32767 but fails stepping past it (the vertical lines are too dense to draw).
    StopCase{"CounterStepsPast32767", 32766.5, 27, true, 5 + 1}),
    test::ByNameField());
// clang-format on

TEST(PointStops, LargestPitchTheCounterTakes) {
    ShapeData s = ExampleShape();
    s.Pitch = 32766;  // 32766.5 rounds to the even 32766
    const Drawing d = Plot("N001 X32 Z17.7\r\n", s);
    EXPECT_TRUE(d.ReadoutVisible);
    EXPECT_TRUE(VerticalLineXs(d).empty());  // 32767 lines cannot be told apart
    EXPECT_EQ(PathItems(d).size(), 1u);
}

TEST(PointStops, StartPointBeyondSinglePrecisionStopsAtThePath) {
    ShapeData s = ExampleShape();
    s.StartPointZ = 1e300;
    const Drawing d = Plot("N001 X32 Z17.7\r\nN002 X30 Z17.5\r\n", s);
    EXPECT_FALSE(Texts(d).empty());
    EXPECT_TRUE(PathItems(d).empty());
    EXPECT_FALSE(d.ReadoutVisible);
}

TEST(PointStops, NotANumberAnywhereStopsSilently) {
    for (double ShapeData::*field :
         {&ShapeData::Pitch, &ShapeData::D1, &ShapeData::D2, &ShapeData::BlankDiaX, &ShapeData::StartPointZ}) {
        ShapeData s = ExampleShape();
        s.*field = std::nan("");
        const Drawing d = Plot("N001 X32 Z17.7\r\n", s);
        EXPECT_FALSE(d.ReadoutVisible);
    }
}

}  // namespace
}  // namespace quillane
