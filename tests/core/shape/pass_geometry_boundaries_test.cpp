// Profile and passes at their boundaries: a second flank to a D3 other than D2, a land that ends
// exactly at the pitch, a pass exactly at the blank diameter, and which arc an overshoot names.
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/pass_geometry.h"
#include "param_name.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillane {
namespace {

using testing_shapes::WorkedExample;

// The worked example climbs from its floor (D1 36, points 6 to 11) over the R3 arc, the A2
// flank and the R4 arc to the land at D3 (points 17 to 27). A D3 other than D2 keeps the
// flank's axial run and changes its depth, so the points stay where they are along Z and the
// second flank ends at D3; the first flank does not change.
struct SecondFlankRow {
    const char* Name;
    double D3;
    std::vector<const char*> X;  // diameters of points 12 to 17, to 0.001
};

class SecondFlank : public testing::TestWithParam<SecondFlankRow> {};

TEST_P(SecondFlank, ClimbsToD3) {
    ShapeData s = WorkedExample();
    s.D3 = GetParam().D3;
    const std::vector<ProfilePoint> points = ComputeProfile(s);
    ASSERT_EQ(points.size(), 28u);
    const std::vector<ProfilePoint> same = ComputeProfile(WorkedExample());
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(points[i].X, same[i].X) << i;
    for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].Z, same[i].Z) << i;
    std::vector<std::string> x;
    for (std::size_t i = 12; i < 18; ++i) x.push_back(FormatPattern(points[i].X, "####0.000"));
    EXPECT_EQ(x, std::vector<std::string>(GetParam().X.begin(), GetParam().X.end()));
    for (std::size_t i = 17; i < points.size(); ++i) EXPECT_EQ(points[i].X, GetParam().D3) << i;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, SecondFlank, testing::Values(
    SecondFlankRow{"EqualToD2", 30, {"35.691", "34.076", "32.344", "30.659", "30.043", "30.000"}},
    SecondFlankRow{"ShallowerThanD2", 32, {"35.691", "34.550", "33.395", "32.324", "32.000", "32.000"}},
    SecondFlankRow{"DeeperThanD2", 28, {"35.691", "33.654", "31.345", "29.037", "28.114", "28.000"}}),
    test::ByNameField());
// clang-format on

// The land runs on while the position less two feeds lies short of the pitch: with feeds of
// 0.5 every position is exact, so a pitch of 12.5 or 13 is met exactly.
struct LandRow {
    const char* Name;
    double Pitch;
    std::size_t Points;
    double LastZ;
};

class LandEnd : public testing::TestWithParam<LandRow> {};

TEST_P(LandEnd, StopsWhenThePitchIsReached) {
    ShapeData s = WorkedExample();
    s.Pitch = GetParam().Pitch;
    const std::vector<ProfilePoint> points = ComputeProfile(s);
    EXPECT_EQ(points.size(), GetParam().Points);
    EXPECT_EQ(points.back().Z, GetParam().LastZ);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, LandEnd, testing::Values(
    LandRow{"ExactlyAtTheLastPoint", 12.5, 27, 13},
    LandRow{"JustPastIt", 12.500001, 28, 13.5},
    LandRow{"ExactlyAtTheNext", 13, 28, 13.5}),
    test::ByNameField());
// clang-format on

// A pass exists only where it cuts into the blank: strictly inside its diameter.
struct ExistsRow {
    const char* Name;
    std::int16_t Side;
    double FinishStock;
    double BlankDiaX;
    double CutX;
    bool Exists;
};

class PassInsideTheBlank : public testing::TestWithParam<ExistsRow> {};

TEST_P(PassInsideTheBlank, Exists) {
    const ExistsRow& row = GetParam();
    ShapeData s = WorkedExample();  // D1 36, D2 30
    s.Side = row.Side;
    s.FinishStock = row.FinishStock;
    s.BlankDiaX = row.BlankDiaX;
    ProfilePoint point;
    point.X = 30;
    const Pass pass = ComputePass(s, point);
    EXPECT_EQ(pass.CutX, row.CutX);
    EXPECT_EQ(pass.Exists, row.Exists);
}

// External: D1 - D2 + X + finish stock; internal: X - finish stock.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PassInsideTheBlank, testing::Values(
    ExistsRow{"ExternalAtTheBlank", 1, 0, 36, 36, false},
    ExistsRow{"ExternalInside", 1, 0, 36.001, 36, true},
    ExistsRow{"ExternalFinishStockAtTheBlank", 1, 0.5, 36.5, 36.5, false},
    ExistsRow{"InternalAtTheBlank", -1, 0, 30, 30, false},
    ExistsRow{"InternalInside", -1, 0, 29.999, 30, true},
    ExistsRow{"InternalFinishStockAtTheBlank", -1, 0.5, 29.5, 29.5, false}),
    test::ByNameField());
// clang-format on

// A step that overshoots an arc names the arc and the point, not just the square root.
TEST(ArcOvershoot, NamesTheArcAndThePoint) {
    ShapeData s = WorkedExample();
    s.Feed[0] = 5;
    try {
        ComputeProfile(s);
        ADD_FAILURE() << "no failure";
    } catch (const DataError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "arc R 2: point 3 at u = 5.5 lies 2.902 from the corner's centre, beyond its tool-centre radius "
                  "0.6 (R 2 1 - Nose-R 0.4): the step of R1-F 5 from u = 0 jumped past the corner (square root of a "
                  "negative number); use a smaller R1-F or a larger R 2");
    }
}

}  // namespace
}  // namespace quillane
