// Plot read-out: the diameter and Z under the mouse with three decimals.
#include "core/ncplot/plot_readout.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quillane {
namespace {

struct ReadoutCase {
    float X;
    float Y;
    const char* Text;
};

class Readout : public testing::TestWithParam<ReadoutCase> {};

TEST_P(Readout, DiameterAndZ) { EXPECT_EQ(ReadoutText(GetParam().X, GetParam().Y), GetParam().Text); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Readout, testing::Values(
    ReadoutCase{-50.1234f, -15.75f, "  X31.500  Z-50.123"},
    ReadoutCase{0, -15.5f, "  X31.000  Z0.000"},
    ReadoutCase{0, 1, "  X-2.000  Z0.000"},
    ReadoutCase{17.7f, -16, "  X32.000  Z17.700"},
    ReadoutCase{-0.0004f, 0.0002f, "  X0.000  Z0.000"},      // no sign on a value that rounds to 0
    ReadoutCase{1.0005f, -0.00025f, "  X0.001  Z1.001"},     // halves round away from zero
    ReadoutCase{12345.6f, -5000, "  X10000.000  Z12345.600"}),
    [](const auto& row) { return test::ParamName({test::ParamName("X", row.param.X), test::ParamName("Y", row.param.Y)}); });
// clang-format on

TEST(ReadoutTitles, StatusBarTexts) {
    EXPECT_STREQ(PointGraphicTitle, "Point Graphic");
    EXPECT_STREQ(CuttingGraphicTitle, "Cutting Graphic");
}

}  // namespace
}  // namespace quillane
