// The scanner's axis words at the edges of its fast path: seven and eight significant digits,
// 10^7, ties at the seventh digit, a carry into a new digit, and the single-precision limit.
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/word_value.h"
#include "ncplot/reference_scanner.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
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

// A text's common words are read in one step where the text goes on for 40 characters or more,
// and a line that ends with one is handed back from the word. The words at the edges of that
// step: signs before zeros and points, eight characters with the sign, seven before the point,
// a second point, and below 0.001. Each is read once with much text after it and once at the
// end of its line, and gives what the line scanned alone by the literal scanner gives.
struct FastWordRow {
    const char* Word;
    double Value;  // XValue afterwards, to the bit (a zero is +0)
};

class FastWord : public testing::TestWithParam<FastWordRow> {};

TEST_P(FastWord, ReadsAsTheLineAlone) {
    const FastWordRow& row = GetParam();
    const std::string word = row.Word;
    const std::string text = word + " M8 F12.7 S700 T0101 M42 F12.7 S700\r\n" + word + "\r\n" + std::string(60, ' ');
    ScanState from;
    from.XValue = 111;
    ScannedLine lines[3];
    ASSERT_EQ(ScanNcLines(from, text, 0, lines, 3), 2u);
    ScanState alone;
    alone.XValue = 111;
    alone.LineText = word;
    reference::ScanNcLine(alone);
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    EXPECT_EQ(bits(alone.XValue), bits(row.Value));
    EXPECT_EQ(bits(lines[0].XValue), bits(row.Value));
    EXPECT_EQ(bits(lines[1].XValue), bits(row.Value));
    EXPECT_EQ(lines[1].End, text.find("\r\n", lines[0].End + 2));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, FastWord, testing::Values(
    FastWordRow{"X-0.000", 0},
    FastWordRow{"X-0", 0},
    FastWordRow{"X-.5", -0.5},
    FastWordRow{"X+.5", 0.5},
    FastWordRow{"X.", 0},
    FastWordRow{"X-A", 0},                  // a sign alone: the rest is symbolic
    FastWordRow{"X-80.0", -80},
    FastWordRow{"X30.303", 30.303},
    FastWordRow{"X-0.001", -0.001},
    FastWordRow{"X0.0001", 0.0001},
    FastWordRow{"X0.00012345", 0.00012345},
    FastWordRow{"X-1234567", -1234567},     // eight characters with the sign
    FastWordRow{"X-123456.7", -123456.7},
    FastWordRow{"X00000001", 1},            // eight before the point
    FastWordRow{"X0000000.1", 0.1},
    FastWordRow{"X9999999", 9999999},
    FastWordRow{"X12345678", 12345680},     // eight significant digits: seven kept
    FastWordRow{"X-1234567.8", -1234568},
    FastWordRow{"X1.5.5", 1.5}),            // a second point ends the number
    [](const auto& row) { return test::ParamName(row.param.Word); });
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
