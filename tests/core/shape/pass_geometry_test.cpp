// Profile points and passes: segment boundaries, capacity, float feeds and the failures.
#include "core/shape/pass_geometry.h"
#include "core/numeric/data_error.h"
#include "worked_example.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quillane {
namespace {

using testing_shapes::WorkedExample;

std::string ErrorOf(const ShapeData& s) {
    try {
        ComputeProfile(s);
    } catch (const DataError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ProfileInternal, WorkedExampleRunsFromTopOverFloorToLand) {
    const auto points = ComputeProfile(WorkedExample());
    ASSERT_EQ(points.size(), 28u);
    EXPECT_EQ(points[0].Z, 0);
    EXPECT_EQ(points[0].Offset, 0);
    EXPECT_EQ(points[0].X, 30);
    // floor: offset is the depth, diameter D1
    for (int i = 6; i <= 11; ++i) {
        EXPECT_DOUBLE_EQ(points[i].Offset, 3) << i;
        EXPECT_DOUBLE_EQ(points[i].X, 36) << i;
    }
    // land: exactly D3
    for (int i = 17; i < 28; ++i) EXPECT_EQ(points[i].X, 30) << i;
    // the land covers one lead plus a feed
    EXPECT_EQ(points.back().Z, 13.5);
    for (std::size_t i = 1; i < points.size(); ++i) EXPECT_EQ(points[i].Z - points[i - 1].Z, 0.5);
}

TEST(ProfileInternal, PassesLieBetweenTopAndFloorMinusFinishStock) {
    ShapeData s = WorkedExample();
    s.FinishStock = 0.2;
    const auto points = ComputeProfile(s);
    const Pass top = ComputePass(s, points[0]);
    const Pass floor = ComputePass(s, points[8]);
    EXPECT_DOUBLE_EQ(top.CutX, 29.8);
    EXPECT_DOUBLE_EQ(floor.CutX, 35.8);
    EXPECT_DOUBLE_EQ(top.PassZ, 17.7);
    EXPECT_TRUE(top.Exists);
    s.BlankDiaX = 29.8;  // a pass at the blank's diameter does not exist
    EXPECT_FALSE(ComputePass(s, points[0]).Exists);
}

TEST(ProfileExternal, ShiftsTheProfileByTheDepth) {
    ShapeData s = WorkedExample();
    s.Side = 1;
    s.FinishStock = 0.2;
    s.BlankDiaX = 40;
    const auto points = ComputeProfile(s);
    ASSERT_EQ(points.size(), 28u);
    EXPECT_DOUBLE_EQ(points[8].X, 2 * 30 - 36);              // floor lies inward
    EXPECT_DOUBLE_EQ(ComputePass(s, points[0]).CutX, 36.2);  // top at D1 + finish stock
    EXPECT_DOUBLE_EQ(ComputePass(s, points[8]).CutX, 30.2);  // floor at D2 + finish stock
    EXPECT_TRUE(ComputePass(s, points[0]).Exists);
    s.BlankDiaX = 36.2;
    EXPECT_FALSE(ComputePass(s, points[0]).Exists);
    EXPECT_TRUE(ComputePass(s, points[8]).Exists);
}

TEST(ProfileSegments, EveryEmptySegmentStillWritesOnePoint) {
    ShapeData s = WorkedExample();
    s.R1 = 0;
    s.NoseR = 0;  // arc R1 ends at u = 0 yet writes its point
    auto points = ComputeProfile(s);
    EXPECT_EQ(points[0].Z, 0);
    EXPECT_EQ(points[1].Z, 0.5);
    // the next point already lies on flank A1, which now starts at u = 0: X = 30 + 2 * 0.5 * tan 60
    EXPECT_NEAR(points[1].X, 31.7320508, 1e-7);

    s = WorkedExample();
    s.Width = 0;  // the arc R2 loop already reached the floor's end: the floor writes one point
    s.Feed.fill(0.1f);
    points = ComputeProfile(s);
    int floorPoints = 0;
    for (const auto& p : points) floorPoints += p.Offset == 3 ? 1 : 0;
    EXPECT_EQ(floorPoints, 1);
}

TEST(ProfileSegments, ShortPitchStillWritesOneLandPoint) {
    ShapeData s = WorkedExample();
    s.Pitch = 1;  // far below the end of arc R4
    const auto points = ComputeProfile(s);
    ASSERT_EQ(points.size(), 18u);  // 17 up to the end of arc R4, then a single land point
    EXPECT_EQ(points.back().X, 30);
    EXPECT_EQ(points.back().Z, 8.5);
}

TEST(ProfileSegments, VerticalFlankIsNoFailure) {
    ShapeData s = WorkedExample();
    s.A1 = 90;
    s.A2 = 90;
    EXPECT_NO_THROW(ComputeProfile(s));
}

TEST(ProfileSegments, DifferentD3ChangesTheSecondFlankOnly) {
    ShapeData s = WorkedExample();
    s.D3 = 32;
    const auto points = ComputeProfile(s);
    EXPECT_EQ(points.back().X, 32);
    const auto reference = ComputeProfile(WorkedExample());
    for (int i = 0; i <= 11; ++i) EXPECT_EQ(points[i].X, reference[i].X) << i;
    s.D3 = 28;  // above D2 works too
    EXPECT_NO_THROW(ComputeProfile(s));
}

TEST(ProfileFeeds, SingleFeedAccumulatesInSinglePrecision) {
    ShapeData s = WorkedExample();
    s.Feed.fill(0.1f);
    const auto points = ComputeProfile(s);
    EXPECT_EQ(points[1].Z, static_cast<double>(0.1f));
    EXPECT_NE(points[1].Z, 0.1);
    EXPECT_EQ(points[3].Z, static_cast<double>(0.1f) * 3);
}

TEST(ProfileCapacity, ThreeHundredSixtyOnePointsFitOneMoreFails) {
    ShapeData s = WorkedExample();
    s.Pitch = 12.7 + 0.5 * (361 - 28);  // each extra half millimetre adds one land point
    EXPECT_EQ(ComputeProfile(s).size(), 361u);
    s.Pitch += 0.5;
    EXPECT_NE(ErrorOf(s).find("more than 361"), std::string::npos) << ErrorOf(s);
}

struct FailureCase {
    const char* name;
    void (*change)(ShapeData&);
    const char* detail;  // part of the explanation
};

class ProfileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ProfileFailure, EndsWithADataErrorThatSaysWhy) {
    ShapeData s = WorkedExample();
    GetParam().change(s);
    EXPECT_NE(ErrorOf(s).find(GetParam().detail), std::string::npos) << ErrorOf(s);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Inputs, ProfileFailure,
    ::testing::Values(FailureCase{"A1Zero", [](ShapeData& s) { s.A1 = 0; }, "A 1 is 0"},
                      FailureCase{"A2Zero", [](ShapeData& s) { s.A2 = 0; }, "A 2 is 0"},
                      FailureCase{"A2ZeroWithD3", [](ShapeData& s) { s.A2 = 0; s.D3 = 31; }, "A 2 is 0"},
                      FailureCase{"D3WithFlatGroove", [](ShapeData& s) { s.D1 = 30; s.D3 = 32; },
                                  "D 3 32 differs from D 2, but D 1 equals D 2 (30)"},
                      FailureCase{"NoseEqualsR2", [](ShapeData& s) { s.NoseR = 1; },
                                  "arc R 2: point 7 at u = 3: the corner's tool-centre radius is 0 (R 2 1 - Nose-R 1), "
                                  "so the tool cannot form the corner; Nose-R must be smaller than R 2"},
                      FailureCase{"NoseEqualsR3", [](ShapeData& s) { s.NoseR = 1; s.R2 = 2; },
                                  "radius is 0 (R 3 1 - Nose-R 1), so the tool cannot form the corner; "
                                  "Nose-R must be smaller than R 3"},
                      FailureCase{"LargeFeedSmallRadius", [](ShapeData& s) { s.Feed[0] = 5; },
                                  "arc R 2: point 3 at u = 5.5 lies 2.902 from the corner's centre, beyond its "
                                  "tool-centre radius 0.6 (R 2 1 - Nose-R 0.4): the step of R1-F 5 from u = 0 jumped "
                                  "past the corner (square root of a negative number)"},
                      FailureCase{"FeedZero", [](ShapeData& s) { s.Feed[7] = 0; },
                                  "more than 361 profile points: D2-F is 0"},
                      FailureCase{"BlankFeeds", [](ShapeData& s) { s.Feed.fill(0); },
                                  "more than 361 profile points: R1-F is 0"},
                      FailureCase{"NegativeFeed", [](ShapeData& s) { s.Feed[3] = -0.5f; },
                                  "more than 361 profile points: D1-F -0.5 is negative"},
                      FailureCase{"FeedTooSmall", [](ShapeData& s) { s.Feed[7] = 0.01f; },
                                  "more than 361 profile points: D2-F 0.01 alone took 344 of them before the land "
                                  "reached the cap at u = 11.94; the feeds are too small for the groove and PITCH 12.7"},
                      FailureCase{"LandFeedBeyondSingle", [](ShapeData& s) { s.Feed[7] = 2e38f; },
                                  "land: twice D2-F 2E+38 is beyond the single-precision range"},
                      FailureCase{"DepthOverflow", [](ShapeData& s) { s.D1 = 1e308; s.D2 = -1e308; },
                                  "depth D 1 - D 2: 1E+308 - -1E+308 is too large to compute"}),
    [](const auto& c) { return test::ParamName(c.param.name); });
// clang-format on

TEST(CutSpan, IsStartMinusEndPlusPitch) {
    EXPECT_DOUBLE_EQ(ComputeCutSpanZ(WorkedExample()), 97.7);
    ShapeData s;
    EXPECT_EQ(ComputeCutSpanZ(s), 0);
}

TEST(TaperEnd, RisesTwiceTheTangentPerUnitOfZ) {
    ShapeData s = WorkedExample();
    s.TaperAngle = 45;
    Pass p;
    p.CutX = 30;
    p.PassZ = -70;
    EXPECT_NEAR(ComputeTaperEndX(s, p), 30 + 20, 1e-9);
}

}  // namespace
}  // namespace quillane
