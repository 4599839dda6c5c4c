// The scanner's axis words at the edges of its fast path: seven and eight significant digits,
// 10^7, ties at the seventh digit, a carry into a new digit, and the single-precision limit.
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/word_value.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quillane {
namespace {

struct AxisRow {
    const char* Line;
    const char* Word;  // the value written back as text
    double Value;      // XValue afterwards
};

class AxisWordBoundary : public testing::TestWithParam<AxisRow> {};

TEST_P(AxisWordBoundary, KeepsSevenDigits) {
    const AxisRow& row = GetParam();
    ScanState s;
    s.LineText = row.Line;
    s.LineLength = s.LineText.size();
    s.ScanPos = 1;
    ReadAxisValue(s);
    EXPECT_EQ(s.WordText, row.Word);
    s.XValue = 111;
    ScanNcLine(s);
    EXPECT_EQ(s.XValue, row.Value);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, AxisWordBoundary, testing::Values(
    AxisRow{"X9999999", "9999999", 9999999},
    AxisRow{"X1234567.", "1234567", 1234567},
    AxisRow{"X123456.7", "123456.7", 123456.7},
    AxisRow{"X1234567.8", "1234568", 1234568},              // eight digits: rounded to seven
    AxisRow{"X12345678", "1.234568E+07", 12345680},
    AxisRow{"X10000000", "1E+07", 10000000},                // 10^7 is written in exponent form
    AxisRow{"X5000000*2", "1E+07", 10000000},
    AxisRow{"X0.005+0.005", "0.01", 0.01},  // 0.01f lies just below 0.01: seven digits round up to it
    AxisRow{"X1234568.5", "1234568", 1234568},              // a tie at the seventh digit: to even
    AxisRow{"X1234567.5", "1234568", 1234568},
    AxisRow{"X0.001", "0.001", 0.001},
    AxisRow{"X0.0001", "0.0001", 0.0001},
    // beyond the largest float (3.4028235e38) but not beyond 3.5e38: no value
    AxisRow{"X341000000000000000000000000000000000000", "", 111},
    AxisRow{"X1+.5", "1.5", 1.5},
    AxisRow{"X-.5-.25", "-0.75", -0.75}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

struct LimitRow {
    const char* Name;
    double Value;
    bool Fits;
};

class SingleLimit : public testing::TestWithParam<LimitRow> {};

TEST_P(SingleLimit, RoundsToAFiniteFloat) { EXPECT_EQ(FitsSingle(GetParam().Value), GetParam().Fits); }

// Halfway between the largest float and 2^128 a double rounds to infinity (to even).
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, SingleLimit, testing::Values(
    LimitRow{"AtTheLimit", 0x1.ffffffp127, false},
    LimitRow{"AtTheNegativeLimit", -0x1.ffffffp127, false},
    LimitRow{"JustBelowTheLimit", 0x1.fffffefffffffp127, true},
    LimitRow{"Infinity", INFINITY, false}),
    test::ByNameField());
// clang-format on

}  // namespace
}  // namespace quillane
