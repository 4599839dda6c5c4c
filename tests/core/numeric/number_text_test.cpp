// Numbers as typed, scanned and written: the value of a text and the number formats.
#include "core/numeric/number_text.h"
#include "core/numeric/data_error.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace quillane {
namespace {

struct ValueCase {
    const char* text;
    double expected;
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumber) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(NumericValue(c.text), c.expected) << '"' << c.text << '"';
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, NumericValueTest,
                         ::testing::Values(ValueCase{"12.7mm", 12.7}, ValueCase{"1,5", 1}, ValueCase{"1 000", 1000},
                                           ValueCase{"2E3", 2000}, ValueCase{"-", 0}, ValueCase{"", 0},
                                           ValueCase{"abc", 0}, ValueCase{"28.", 28}, ValueCase{"1.2.3", 1.2},
                                           ValueCase{"\t- 1\n2 .5", -12.5}, ValueCase{"+5", 5},
                                           ValueCase{".5", 0.5}, ValueCase{"-.5", -0.5}, ValueCase{"1D2", 100},
                                           ValueCase{"2E-3", 0.002}, ValueCase{"2E", 2}, ValueCase{"2E+", 2},
                                           ValueCase{"E5", 0}, ValueCase{"5-3", 5}, ValueCase{"--5", 0},
                                           ValueCase{"1\r2", 1}, ValueCase{"0.1", 0.1},
                                           ValueCase{"1E-99999", 0}, ValueCase{"12.70", 12.7}),
                         [](const auto& row) { return test::ParamName(row.param.text); });
// clang-format on

// Where reading stops: what follows is what the rule ignores.
TEST(NumericTextEnd, IsWhereTheReadingStops) {
    // clang-format off
    const struct { const char* text; const char* ignored; } cases[] = {
        {"12,7", ",7"}, {"12.7mm", "mm"}, {"1 000", ""}, {"2E3", ""}, {"1e3", "e3"}, {"1.2.3", ".3"},
        {"5-3", "-3"}, {"--5", "-5"}, {"abc", "abc"}, {"-", ""}, {"2E+x", "x"}, {"\t- 1\n2 .5 ", ""}, {"", ""},
        {".-5", "-5"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(text.substr(NumericTextEnd(text)), c.ignored) << '"' << c.text << '"';
    }
}

TEST(NumericValue, OverflowGivesInfinityForTheCallerToReject) {
    EXPECT_EQ(NumericValue("1E999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericValue("-1E99999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericValue("0.0001E310"), 1E306);
}

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FormatPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatPatternTest, FormatsAsThePatternSays) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(FormatPattern(c.value, c.pattern), c.expected) << c.value << " with " << c.pattern;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatPatternTest,
    ::testing::Values(
        // point data
        PatternCase{30, "####0.000", "30.000"}, PatternCase{17.7, "####0.000", "17.700"},
        PatternCase{35.98386, "####0.000", "35.984"}, PatternCase{17.7 - 12.5, "####0.000", "5.200"},
        PatternCase{-80, "####0.000", "-80.000"}, PatternCase{0.0004, "####0.000", "0.000"},
        // ties judged on the 15-digit decimal form (what was typed)
        PatternCase{1.0005, "####0.000", "1.001"}, PatternCase{20 + 12.7005, "####0.000", "32.701"},
        PatternCase{-1.0005, "####0.000", "-1.001"}, PatternCase{2.5, "####", "3"},
        // a negative value that rounds to zero shows no sign
        PatternCase{-0.0004, "####0.000", "0.000"}, PatternCase{-0.4, "####", ""},
        // FANUC blocks
        PatternCase{30, "####0.0##", "30.0"}, PatternCase{-80, "####0.0##", "-80.0"},
        PatternCase{30.30334, "####0.0##", "30.303"}, PatternCase{17.7, "####0.0##", "17.7"},
        PatternCase{35.98386, "####0.0##", "35.984"}, PatternCase{12.7, "####0.0###", "12.7"},
        PatternCase{1.23456, "####0.0###", "1.2346"}, PatternCase{0.25, "####0.0##", "0.25"},
        // read-out
        PatternCase{31.5, "###0.000", "31.500"}, PatternCase{-50.1234, "###0.000", "-50.123"},
        // labels
        PatternCase{1, "000 ", "001 "}, PatternCase{28, "000 ", "028 "}, PatternCase{1234, "000 ", "1234 "},
        PatternCase{1, "####", "1"}, PatternCase{1000, "####", "1000"}, PatternCase{0, "####", ""},
        // whole numbers to whole-number patterns, either side of where their digits are taken directly
        PatternCase{9999999999999, "000 ", "9999999999999 "}, PatternCase{1e13, "000 ", "10000000000000 "},
        PatternCase{-3, "000 ", "-003 "}, PatternCase{99.5, "000 ", "100 "}, PatternCase{0.9999, "####", "1"},
        PatternCase{16777217, "####", "16777217"},
        // large magnitudes stay plain digits
        PatternCase{1e20, "####0.000", "100000000000000000000.000"},
        PatternCase{123456789.123456, "####0.000", "123456789.123"}),
    [](const auto& row) { return test::ParamName({test::ParamName("Value", row.param.value), test::ParamName(row.param.pattern)}); });
// clang-format on

struct GeneralCase {
    double value;
    int digits;
    const char* expected;
};

class GeneralNumberTest : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralNumberTest, WritesTheShortestForm) {
    const GeneralCase& c = GetParam();
    EXPECT_EQ(GeneralNumberText(c.value, c.digits), c.expected) << c.value;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, GeneralNumberTest,
    ::testing::Values(GeneralCase{12.7, 15, "12.7"}, GeneralCase{0, 15, "0"},
                      GeneralCase{-0.0, 15, "0"}, GeneralCase{30, 15, "30"}, GeneralCase{-80, 15, "-80"},
                      GeneralCase{0.25, 15, "0.25"}, GeneralCase{-0.25, 15, "-0.25"},
                      GeneralCase{17.7 - 12.5, 15, "5.2"}, GeneralCase{0.1 + 0.2, 15, "0.3"},
                      GeneralCase{123456789012345, 15, "123456789012345"}, GeneralCase{1e15, 15, "1E+15"},
                      GeneralCase{1.5e300, 15, "1.5E+300"}, GeneralCase{0.0001, 15, "0.0001"},
                      GeneralCase{0.00001, 15, "1E-05"}, GeneralCase{-0.000015, 15, "-1.5E-05"},
                      GeneralCase{static_cast<float>(0.1), 7, "0.1"}, GeneralCase{123.456789, 7, "123.4568"},
                      GeneralCase{12345678, 7, "1.234568E+07"}, GeneralCase{9999999, 7, "9999999"},
                      GeneralCase{31, 7, "31"}),
    [](const auto& row) { return test::ParamName("Digits" + std::to_string(row.param.digits), row.param.value); });
// clang-format on

TEST(GeneralNumberText, FloatOverloadUsesSevenDigits) {
    EXPECT_EQ(GeneralNumberText(0.1f), "0.1");
    EXPECT_EQ(GeneralNumberText(1.0f / 3.0f), "0.3333333");
}

struct NcCase {
    double value;
    const char* text;
    double floored;
};

class FormatNcNumberTest : public ::testing::TestWithParam<NcCase> {};

TEST_P(FormatNcNumberTest, FloorsToThousandthsAndWritesBack) {
    const NcCase& c = GetParam();
    double v = c.value;
    EXPECT_EQ(FormatNcNumber(v), c.text) << c.value;
    EXPECT_EQ(v, c.floored) << c.value;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, FormatNcNumberTest,
    ::testing::Values(NcCase{17.7, "17.7", 17.7}, NcCase{-80, "-80", -80}, NcCase{0.25, "0.25", 0.25},
                      NcCase{-0.25, "-0.25", -0.25}, NcCase{30, "30", 30}, NcCase{30.30334, "30.303", 30.303},
                      NcCase{0, "0", 0}, NcCase{0.0004, "0", 0}, NcCase{-0.0004, "-0.001", -0.001},
                      NcCase{100, "100", 100}, NcCase{2.5, "2.5", 2.5}, NcCase{-1.2345, "-1.235", -1.235},
                      NcCase{35.98386, "35.983", 35.983},
                      // floored on the decimal form: a typed 1.005 keeps its thousandths
                      NcCase{1.005, "1.005", 1.005}, NcCase{1.001, "1.001", 1.001},
                      NcCase{17.7 - 12.5, "5.2", 5.2}, NcCase{12.7005, "12.7", 12.7},
                      NcCase{-0.0, "0", 0}, NcCase{1e20, "100000000000000000000", 1e20}),
    [](const auto& row) { return test::ParamName("Value", row.param.value); });
// clang-format on

TEST(FormatNcNumber, RejectsNonFiniteValues) {
    double inf = std::numeric_limits<double>::infinity();
    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(FormatNcNumber(inf), DataError);
    EXPECT_THROW(FormatNcNumber(nan), DataError);
}

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

// An independent, slow reference: the 15-digit decimal form from printf, then decimal
// rounding on the digit string. The formatter's whole-number fast path must agree with it.
std::string ReferenceFixed(double value, int decimals, bool floor) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    const char* c = buf;
    for (; *c != 'e'; ++c) {
        if (*c != '.') digits += *c;
    }
    const int pointPos = std::atoi(c + 1) + 1;
    const bool negative = std::signbit(value);
    const int keep = pointPos + decimals;
    std::string kept;
    for (int i = 0; i < keep; ++i) kept += i < 15 ? digits[static_cast<std::size_t>(i)] : '0';
    bool up = false;
    if (floor) {
        bool rest = false;
        for (int i = std::max(keep, 0); i < 15; ++i) rest |= digits[static_cast<std::size_t>(i)] != '0';
        up = negative && rest;
    } else if (keep >= 0 && keep < 15) {
        up = digits[static_cast<std::size_t>(keep)] >= '5';
    }
    if (up) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i) kept[static_cast<std::size_t>(i)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    while (kept.size() < static_cast<std::size_t>(decimals) + 1) kept.insert(kept.begin(), '0');
    std::string intPart = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
    std::string text = intPart + "." + kept.substr(kept.size() - static_cast<std::size_t>(decimals));
    if (negative && text.find_first_not_of("0.") != std::string::npos) text.insert(0, "-");
    return text;
}

// The NC form of `v` (floored to thousandths, no trailing zeros) and the value written back are
// the reference's.
void ExpectNcNumberAsReference(double v) {
    double w = v;
    const std::string nc = FormatNcNumber(w);
    std::string ref = ReferenceFixed(v, 3, true);
    while (ref.back() == '0') ref.pop_back();
    if (ref.back() == '.') ref.pop_back();
    ASSERT_EQ(nc, ref) << std::hexfloat << v;
    ASSERT_EQ(w, std::strtod(ref.c_str(), nullptr)) << std::hexfloat << v;
}

TEST(NumberTextFastPath, AgreesWithTheDigitStringReference) {
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 11;
    };
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        double v = 0;
        const double sign = (next() & 1) ? 1 : -1;
        switch (i % 6) {
            case 0:  // typed values: a few decimals
                v = static_cast<double>(static_cast<std::int64_t>(next() % 20000000) - 10000000) / 10000.0;
                break;
            case 1:  // near rounding ties of the third decimal
                v = (static_cast<double>(next() % 2000000) + 0.5) / 1000.0 * ((next() & 1) ? 1 : -1);
                break;
            case 2:  // computed values: sums and differences that carry binary noise
                v = static_cast<double>(next() % 100000) / 1000.0 - static_cast<double>(next() % 100000) / 700.0;
                break;
            case 3:  // any magnitude
                v = sign *
                    std::ldexp(static_cast<double>(next()) / 9007199254740992.0, static_cast<int>(next() % 120) - 60);
                break;
            case 4: {  // a few steps either side of a power of ten, where a carry makes a new digit
                v = std::pow(10.0, static_cast<double>(static_cast<int>(next() % 24) - 10));
                const double towards = (next() & 1) ? 0.0 : std::numeric_limits<double>::infinity();
                for (auto steps = next() % 4; steps > 0; --steps) v = std::nextafter(v, towards);
                v *= sign;
                break;
            }
            default:  // exact binary ties: at the fourth decimal (k / 16), or at the 16th digit (k / 65536)
                v = (next() & 1) ? static_cast<double>(2 * (next() % 800000) + 1) / 16.0
                                 : static_cast<double>(2 * (next() % 29491) + 6555) / 65536.0;
                v *= sign;
                break;
        }
        ASSERT_EQ(FormatPattern(v, "####0.000"), ReferenceFixed(v, 3, false)) << std::hexfloat << v;
        ASSERT_NO_FATAL_FAILURE(ExpectNcNumberAsReference(v));
        ++checked;
    }
    EXPECT_EQ(checked, 200000);
}

// Values that lie within a few units of the last place of a whole number of thousandths, where
// the 15-digit form decides whether anything is dropped by the floor: typed values, differences
// such as 17.7 - 12.5, and steps either side of half a unit of the 15th digit.
TEST(NumberTextFastPath, FloorsNearWholeThousandthsAsTheReference) {
    std::uint64_t state = 777;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 11;
    };
    constexpr double Relative[] = {0, 1e-16, 2e-16, 4e-15, 4.9e-15, 5.1e-15, 6e-15, 1e-14, 1.9e-14, 2.1e-14, 4e-14};
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(next() % 12);  // 1 .. 12 digits of thousandths
        std::uint64_t limit = 1;
        for (int d = 0; d < digits; ++d) limit *= 10;
        const double exact = static_cast<double>(1 + next() % (limit - 1)) / 1000.0;
        const double off = Relative[next() % std::size(Relative)] * ((next() & 1) ? 1 : -1);
        double v = exact * (1 + off);
        for (auto steps = next() % 3; steps > 0; --steps) v = std::nextafter(v, (next() & 1) ? 0.0 : 1e300);
        if (next() & 1) v = -v;
        ASSERT_NO_FATAL_FAILURE(ExpectNcNumberAsReference(v));
        ++checked;
    }
    EXPECT_EQ(checked, 20000);
}

}  // namespace
}  // namespace quillane
