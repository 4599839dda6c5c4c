// What both plots share, at its caps: exactly MaxStepsAcross steps, the 16-bit counter's ends,
// the single-precision limit of a picture, and the line the scanner holds after a plot.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_path.h"
#include "core/ncplot/plot_picture.h"
#include "core/ncplot/point_graphic.h"
#include "ncplot/test_support.h"
#include "param_name.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace quillane {
namespace {

struct StepRow {
    const char* Name;
    double Start, End, Step, Low, High;
    std::size_t Visits;
    double First, Last;  // the first and the last value visited
};

class StepCap : public testing::TestWithParam<StepRow> {};

TEST_P(StepCap, VisitsAllOrOnlyThoseInside) {
    const StepRow& row = GetParam();
    std::vector<double> visited;
    plot::ForEachStep(row.Start, row.End, row.Step, row.Low, row.High, [&](double v) { visited.push_back(v); });
    ASSERT_EQ(visited.size(), row.Visits);
    if (visited.empty()) return;
    EXPECT_EQ(visited.front(), row.First);
    EXPECT_EQ(visited.back(), row.Last);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, StepCap, testing::Values(
    StepRow{"ExactlyTheCap", 0, 4095, 1, 10, 20, 4096, 0, 4095},
    StepRow{"OneMoreThanTheCap", 0, 4096, 1, 10, 20, 11, 10, 20},
    StepRow{"ExactlyTheCapInside", 0, 10000, 1, 100, 4195, 4096, 100, 4195},
    StepRow{"OneMoreInside", 0, 10000, 1, 100, 4196, 0, 0, 0},
    StepRow{"DownwardsExactlyTheCap", 0, -4095, -1, -20, -10, 4096, 0, -4095},
    StepRow{"EndIsVisited", 0, 2, 0.5, 0, 0, 5, 0, 2}),
    test::ByNameField());
// clang-format on

struct Int16Row {
    const char* Name;
    double Value;
    std::optional<int> Counter;  // none: the picture fails
};

class Int16Counter : public testing::TestWithParam<Int16Row> {};

TEST_P(Int16Counter, RoundsHalfToEvenWithinSixteenBits) {
    const Int16Row& row = GetParam();
    if (row.Counter) {
        EXPECT_EQ(plot::ToInt16(row.Value), *row.Counter);
    } else {
        EXPECT_THROW(plot::ToInt16(row.Value), plot::PictureFailure);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Int16Counter, testing::Values(
    Int16Row{"Lowest", -32768, -32768},
    Int16Row{"LowestTieToEven", -32768.5, -32768},
    Int16Row{"BelowTheLowest", -32769, std::nullopt},
    Int16Row{"Highest", 32767, 32767},
    Int16Row{"TieToEvenBelowTheHighest", 32766.5, 32766},
    Int16Row{"AboveTheHighest", 32767.5, std::nullopt},
    Int16Row{"NotANumber", std::nan(""), std::nullopt}),
    test::ByNameField());
// clang-format on

// Halfway between the largest float and 2^128 a coordinate would round to infinity.
struct LimitRow {
    const char* Name;
    double Value;
    bool Drawn;
};

class PictureLimit : public testing::TestWithParam<LimitRow> {};

TEST_P(PictureLimit, TakesOnlySinglePrecisionValues) {
    const LimitRow& row = GetParam();
    plot::Picture picture(plot::Background);
    bool drawn = true;
    try {
        picture.Line({0, row.Value}, {1, 1}, plot::Cut, LineStyle::Solid, 0);
    } catch (const plot::PictureFailure&) {
        drawn = false;
    }
    EXPECT_EQ(drawn, row.Drawn);
    EXPECT_EQ(MakeUserScale(0, 0, 1, row.Value).has_value(), row.Drawn);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PictureLimit, testing::Values(
    LimitRow{"AtTheLimit", 0x1.ffffffp127, false},
    LimitRow{"AtTheNegativeLimit", -0x1.ffffffp127, false},
    LimitRow{"JustBelowTheLimit", 0x1.fffffefffffffp127, true}),
    test::ByNameField());
// clang-format on

// After a plot the scanner holds the last line that a CR LF ended, with the LF before it.
TEST(PlotLineWalk, ScannerHoldsTheLastLine) {
    ScanState scan;
    std::vector<int> lines;
    plot::ForEachNcLine("X1\r\nX2\r\nX3", scan, [&](int line) { lines.push_back(line); });
    EXPECT_EQ(lines, (std::vector<int>{0, 1}));
    EXPECT_EQ(scan.LineText, "\nX2");
    EXPECT_EQ(scan.XValue, 2);
}

// A path drawn with nothing after each line is drawn from the scanner's lines directly: it draws
// what the walk line by line draws and leaves the scanner as it does, also where the picture
// stops on a line, across batches of lines and with a comment or a G value carried in.
struct PathRow {
    const char* Name;
    std::string Text;
    bool Cutting;        // the cutting graphic's path, else the point graphic's
    double StartZ;       // the point graphic's Z origin
    bool OpenComment;    // the scan starts inside a comment
    bool Stops = false;  // the picture stops on a line
};

class PathWalkKinds : public testing::TestWithParam<PathRow> {};

TEST_P(PathWalkKinds, DrawAsTheLineByLineWalk) {
    const PathRow& row = GetParam();
    ShapeData shape = testing_shapes::WorkedExample();
    shape.StartPointZ = row.StartZ;
    const auto draw = [&](bool lean, ScanState& scan) {
        plot::Picture picture(plot::Background);
        picture.SetScale(-100, -30, 120, 30);
        const plot::PathStep step =
            row.Cutting ? plot::PathStep::CuttingPath(shape, picture.Scale()) : plot::PathStep::PointData(shape);
        try {
            if (lean) {
                plot::DrawPath(picture, step, row.Text, scan, plot::NothingAfterLine{});
            } else {
                plot::DrawPath(picture, step, row.Text, scan, [](int, std::size_t, const plot::PathWalk&) {});
            }
        } catch (const plot::PictureFailure&) {
            scan.LineText += "|stopped";
        }
        return picture.Take();
    };
    ScanState lean, walked;
    lean.GValue = walked.GValue = 3;
    lean.InComment = walked.InComment = row.OpenComment;
    const Drawing a = draw(true, lean), b = draw(false, walked);
    EXPECT_EQ(a, b);
    testing_support::ExpectSameScanState(lean, walked, row.Text);
    EXPECT_EQ(lean.LineText, walked.LineText);
    EXPECT_EQ(lean.LineText.ends_with("|stopped"), row.Stops);
}

// Z values from 2^104 on lie beyond single precision once the origin below is subtracted.
constexpr double kFarOrigin = -(0x1.ffffffp127 - 0x1p104);

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int k = 0; k < times; ++k) out += text;
    return out;
}

const std::string kLongZ = "Z30000000000000000000000000000000";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PathWalkKinds, testing::Values(
    PathRow{"Empty", "", true, 0, false},
    PathRow{"LastLineWithoutLineEnd", "G00 X30. Z17.7\r\nG32 Z-80. F12.7\r\nX28.", true, 0, false},
    PathRow{"CommentsAcrossLines", "X1 (open\r\nX2\r\n) Z3\r\nZ3\r\n(a)X4\r\n", true, 0, true},
    PathRow{"ManyBatches", Repeat("G00 X30.0 Z17.7\r\nG32 Z-80.0 F12.7\r\nG00 X28.0\r\nG00 Z17.7\r\nN1\r\n", 120),
            true, 0, false},
    PathRow{"PointData", "X1 Z2\r\nX1 Z2\r\n(\r\n)X3\r\nZ-4\r\n", false, 5, false},
    PathRow{"StopsOnTheFirstPoint", "X1 Z2\r\nX3\r\n", false, 1e39, false, true},
    PathRow{"StopsOnALine", "Z1\r\nZ2\r\n" + kLongZ + "\r\nZ3\r\n", false, kFarOrigin, false, true},
    PathRow{"StopsOnADotAfterAComment", "Z1\r\n(\r\n) " + kLongZ + "\r\n", false, kFarOrigin, false, true},
    PathRow{"StopsInALaterBatch", Repeat("X1 Z1\r\nX2 Z2\r\n", 200) + kLongZ + "\r\nX5\r\n", false, kFarOrigin,
            false, true}),
    test::ByNameField());
// clang-format on

// The point graphic ends its Z labels with "mm" at the first whole number past Pitch + 1, or
// at 0 when Pitch + 1 is negative; Pitch + 1 of exactly 0 is not negative.
struct MillimetreRow {
    const char* Name;
    double Pitch;
    float X;  // left edge of the last label
};

class PointMillimetre : public testing::TestWithParam<MillimetreRow> {};

TEST_P(PointMillimetre, FollowsTheLastZLabel) {
    ShapeData s = testing_shapes::WorkedExample();
    s.Pitch = GetParam().Pitch;
    ScanState scan;
    const Drawing d = PlotPointData("", s, scan);
    ASSERT_FALSE(d.Items.empty());
    const Primitive& last = d.Items.back();
    ASSERT_EQ(last.Kind, PrimitiveKind::Text);
    EXPECT_EQ(d.TextOf(last), "mm");
    EXPECT_EQ(last.At.X, GetParam().X);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PointMillimetre, testing::Values(
    MillimetreRow{"PitchPlusOneIsZero", -1, 0.4F},
    MillimetreRow{"PitchPlusOneBelowZero", -1.5, -0.6F},
    MillimetreRow{"Ordinary", 12.7, 13.4F}),
    test::ByNameField());
// clang-format on

}  // namespace
}  // namespace quillane
