// What the plot views add on top of a drawing: labels kept apart, ruler steps, fitted and
// equal-scale views.
#include "core/ncplot/label_spacing.h"
#include "core/ncplot/ruler_steps.h"
#include "core/ncplot/view_fit.h"
#include "core/ncplot/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quillane {
namespace {

double D(float v) { return static_cast<double>(v); }

TEST(RoundSteps, SmallestOneTwoOrFiveTimesAPowerOfTenNotBelow) {
    struct Row {
        double Least, Step;
    };
    for (const Row& r : std::vector<Row>{{1, 1},
                                         {1.01, 2},
                                         {2, 2},
                                         {2.5, 5},
                                         {5.0001, 10},
                                         {0.1, 0.1},
                                         {0.0031, 0.005},
                                         {0.3, 0.5},
                                         {73, 100},
                                         {1e-7, 1e-7},
                                         {4.2e6, 5e6}}) {
        EXPECT_DOUBLE_EQ(RoundStepAtLeast(r.Least), r.Step) << r.Least;
    }
    for (const double bad : {0.0, -1.0, std::nan(""), HUGE_VAL}) EXPECT_EQ(RoundStepAtLeast(bad), 0) << bad;
}

TEST(RulerMarks, WholeStepsCoveringTheRangeInEitherOrder) {
    EXPECT_EQ(RulerMarks(-3.2, 7.9, 2), (std::vector<double>{-2, 0, 2, 4, 6}));
    EXPECT_EQ(RulerMarks(7.9, -3.2, 2), RulerMarks(-3.2, 7.9, 2));
    EXPECT_EQ(RulerMarks(0.05, 0.35, 0.1), (std::vector<double>{0.1, 0.2, 0.3}));  // not 0.30000000000000004
    EXPECT_EQ(RulerMarks(-0.4, 0.4, 0.5), (std::vector<double>{0}));
    EXPECT_FALSE(std::signbit(RulerMarks(-0.4, 0.4, 0.5)[0]));  // 0, not -0
    EXPECT_TRUE(RulerMarks(0.1, 0.9, 1).empty());
    EXPECT_TRUE(RulerMarks(0, 1e9, 1, 1000).empty());  // too many to show
    EXPECT_TRUE(RulerMarks(0, 1, 0).empty());
    EXPECT_TRUE(RulerMarks(0, std::nan(""), 1).empty());
}

TEST(RulerMarks, DecimalsToTellMarksApart) {
    struct Row {
        double Step;
        int Decimals;
    };
    for (const Row& r : std::vector<Row>{{5, 0}, {1, 0}, {0.5, 1}, {0.1, 1}, {0.05, 2}, {0.01, 2}, {0.002, 3}}) {
        EXPECT_EQ(StepDecimals(r.Step), r.Decimals) << r.Step;
    }
}

TEST(LabelSpacing, BoxesOverlapWithinTheGap) {
    const PixelBox a{0, 0, 10, 10};
    struct Row {
        PixelBox B;
        double Gap;
        bool Overlap;
    };
    for (const Row& r : std::vector<Row>{{{5, 5, 10, 10}, 0, true},
                                         {{10, 0, 10, 10}, 0, false},  // touching
                                         {{10, 0, 10, 10}, 1, true},
                                         {{11, 0, 10, 10}, 1, false},
                                         {{0, 10.5, 10, 10}, 1, true},
                                         {{-20, 0, 10, 10}, 2, false}}) {
        EXPECT_EQ(BoxesOverlap(a, r.B, r.Gap), r.Overlap) << r.B.Left << "," << r.B.Top << " gap " << r.Gap;
        EXPECT_EQ(BoxesOverlap(r.B, a, r.Gap), r.Overlap);
    }
}

// A row of labels `spacing` pixels apart, each `width` wide, along y = 0.
std::vector<LabelSpot> Row(int count, double spacing, double width, float y = 0) {
    std::vector<LabelSpot> row;
    for (int i = 0; i < count; ++i) {
        row.push_back({DrawPoint(i, static_cast<double>(y)), PixelBox{i * spacing, 100, width, 16}});
    }
    return row;
}

TEST(LabelSpacing, CrowdedAxesKeepTheirEndsAndLeaveOutWhatWouldOverlap) {
    struct Case {
        double Spacing;
        std::vector<bool> Painted;
    };
    // Nine labels 20 pixels wide.
    for (const Case& c :
         std::vector<Case>{{25, {true, true, true, true, true, true, true, true, true}},
                           {15, {true, false, true, false, true, false, true, false, true}},
                           {8, {true, false, false, true, false, false, false, false, true}},  // the last stays
                           {3, {true, false, false, false, false, false, false, false, true}}}) {
        EXPECT_EQ(LabelsToPaint(Row(9, c.Spacing, 20), 0), c.Painted) << c.Spacing;
    }
}

TEST(LabelSpacing, ALabelOfNoAxisGivesWayOnlyToAxisEnds) {
    // A row of five and a lone "mm" that sits on the third and on the last.
    std::vector<LabelSpot> labels = Row(5, 30, 20);
    labels.push_back({DrawPoint(99, 99), PixelBox{62, 100, 20, 16}});
    EXPECT_EQ(LabelsToPaint(labels, 0), (std::vector<bool>{true, true, false, true, true, true}));
    labels.back().Box.Left = 125;
    EXPECT_EQ(LabelsToPaint(labels, 0), (std::vector<bool>{true, true, true, true, true, false}));
}

TEST(LabelSpacing, InACornerTheRowsEndsComeFirstThenTheColumnsThenTheUnit) {
    // A column of three down the left, a row of three along the bottom whose first sits on the
    // column's last, and a unit on the column's first.
    std::vector<LabelSpot> labels;
    for (int i = 0; i < 3; ++i) labels.push_back({DrawPoint(-1, i), PixelBox{0, i * 30.0, 20, 16}});
    for (int i = 0; i < 3; ++i) labels.push_back({DrawPoint(i, 5), PixelBox{10 + i * 30.0, 70, 20, 16}});
    labels.push_back({DrawPoint(0.5, -1), PixelBox{15, 5, 20, 16}});
    EXPECT_EQ(LabelsToPaint(labels, 0), (std::vector<bool>{true, true, false, true, true, true, false}));
}

TEST(LabelSpacing, AColumnIsAnAxisAsARowIs) {
    std::vector<LabelSpot> column;
    for (int i = 0; i < 5; ++i) column.push_back({DrawPoint(-0.6, -15.5 + 0.5 * i), PixelBox{0, i * 10.0, 25, 16}});
    EXPECT_EQ(LabelsToPaint(column, 0), (std::vector<bool>{true, false, true, false, true}));
}

TEST(FitView, ThePathFillsAllButTheMarginInTheOwnOrientation) {
    const PlotExtents path{-80, 17.7f, -18, -14};
    const UserScale own{-89.77f, -16.7f, 117.24f, 8.4f};
    const std::optional<UserScale> fit = FitView(path, own);
    ASSERT_TRUE(fit);
    const ViewTransform map(*fit, PixelBox{0, 0, 500, 200});
    EXPECT_NEAR(map.DeviceX(-80), 500 * FitMargin, 1e-3);
    EXPECT_NEAR(map.DeviceX(17.7), 500 * (1 - FitMargin), 1e-3);
    EXPECT_NEAR(map.DeviceY(-18), 200 * FitMargin, 1e-3);
    EXPECT_NEAR(map.DeviceY(-14), 200 * (1 - FitMargin), 1e-3);
    // Wider margins where rulers cover an edge; none left: no view.
    const std::optional<UserScale> ruled = FitView(path, own, FitMargins{0.2, 0.05, 0.05, 0.15});
    ASSERT_TRUE(ruled);
    const ViewTransform ruledMap(*ruled, PixelBox{0, 0, 500, 200});
    EXPECT_NEAR(ruledMap.DeviceX(-80), 100, 1e-3);
    EXPECT_NEAR(ruledMap.DeviceX(17.7), 475, 1e-3);
    EXPECT_NEAR(ruledMap.DeviceY(-14), 170, 1e-3);
    EXPECT_FALSE(FitView(path, own, FitMargins{0.5, 0.5, 0, 0}));
    // An axis running the other way keeps running that way.
    const std::optional<UserScale> flipped = FitView(path, UserScale{0, 0, -10, 5});
    ASSERT_TRUE(flipped);
    EXPECT_LT(flipped->Width, 0);
    EXPECT_NEAR(ViewTransform(*flipped, PixelBox{0, 0, 500, 200}).DeviceX(17.7), 500 * FitMargin, 1e-3);
}

TEST(FitView, APathWithoutExtentKeepsTheOwnSpanAroundIt) {
    const std::optional<UserScale> fit = FitView(PlotExtents{5, 5, -16, -16}, UserScale{0, -20, 20, 8});
    ASSERT_TRUE(fit);
    EXPECT_EQ(*fit, (UserScale{-5, -20, 20, 8}));
}

TEST(EqualScales, AMillimetreIsAsLongOnBothAxesAndNothingLeavesTheView) {
    struct Case {
        UserScale View;
        double Width, Height;
    };
    for (const Case& c : std::vector<Case>{{{-0.762f, -19, 14.986f, 7.8f}, 493, 200},
                                           {{-89.77f, -19, 117.24f, 8.4f}, 493, 200},
                                           {{0, 0, 10, -40}, 300, 300},
                                           {{0, 0, 1, 1}, 1920, 20}}) {
        const UserScale eq = EqualScales(c.View, c.Width, c.Height);
        const ViewTransform map(eq, PixelBox{0, 0, c.Width, c.Height});
        EXPECT_NEAR(std::fabs(map.PixelsPerUnitX()), std::fabs(map.PixelsPerUnitY()),
                    1e-5 * std::fabs(map.PixelsPerUnitX()));
        EXPECT_GE(std::fabs(D(eq.Width)), std::fabs(D(c.View.Width)) * (1 - 1e-6));
        EXPECT_GE(std::fabs(D(eq.Height)), std::fabs(D(c.View.Height)) * (1 - 1e-6));
        EXPECT_NEAR(D(eq.Left) + D(eq.Width) / 2, D(c.View.Left) + D(c.View.Width) / 2, 1e-4);
        EXPECT_NEAR(D(eq.Top) + D(eq.Height) / 2, D(c.View.Top) + D(c.View.Height) / 2, 1e-4);
        EXPECT_EQ(eq.Width > 0, c.View.Width > 0);
        EXPECT_EQ(eq.Height > 0, c.View.Height > 0);
    }
    EXPECT_EQ(EqualScales(UserScale{1, 2, 3, 4}, 0, 100), (UserScale{1, 2, 3, 4}));
}

}  // namespace
}  // namespace quillane
