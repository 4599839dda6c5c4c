// The number formats where they are easiest to get wrong: one step below a power of ten, exact
// ties, small signed values, the edges of the fast paths and values that only the slow
// digit-string path sees (below 1e-8, or beyond the whole-number range).
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quillane {
namespace {

struct PatternRow {
    const char* Name;
    double Value;
    const char* Pattern;
    const char* Text;
};

class PatternBoundary : public testing::TestWithParam<PatternRow> {};

TEST_P(PatternBoundary, Formats) {
    const PatternRow& r = GetParam();
    EXPECT_EQ(FormatPattern(r.Value, r.Pattern), r.Text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PatternBoundary, testing::Values(
    // the 15-digit form of 9.999999999999998 is 10.0000000000000
    PatternRow{"StepBelowTen", 9.999999999999998, "####0.000", "10.000"},
    PatternRow{"StepBelowHundredNegative", -99.99999999999999, "####0.000", "-100.000"},
    PatternRow{"TieCarriesIntoNewDigit", 9.9995, "####0.000", "10.000"},
    PatternRow{"TieNegative", -0.0005, "####0.000", "-0.001"},
    PatternRow{"SmallNegativeShowsNoSign", -0.00004, "####0.000", "0.000"},
    // 15 integer digits and five decimals: the whole-number path would need 20 digits
    PatternRow{"FifteenDigitsFiveDecimals", 999999999999999, "0.00000", "999999999999999.00000"},
    PatternRow{"FifteenDigitsFourDecimals", 999999999999999, "0.0000", "999999999999999.0000"},
    // below 1e-8 only the digit-string path formats: its tie, its carry and its sign
    PatternRow{"TinyTieRoundsUp", 5e-9, "0.00000000", "0.00000001"},
    PatternRow{"TinyTieNegative", -5e-9, "0.00000000", "-0.00000001"},
    PatternRow{"TinyBelowTieRoundsDown", 4.9e-9, "0.00000000", "0.00000000"},
    PatternRow{"TinyNegativeRoundsToZero", -4.9e-9, "0.00000000", "0.00000000"},
    PatternRow{"TinyCarryIntoNewDigit", 9.9999999995e-9, "0.0000000000", "0.0000000100"},
    PatternRow{"OptionalDecimalsDropZeros", 1.5, "0.0##", "1.5"},
    PatternRow{"OptionalDecimalsKeepTheFirst", 2, "0.0##", "2.0"}),
    test::ByNameField());
// clang-format on

struct NcRow {
    const char* Name;
    double Value;
    const char* Text;
    double WrittenBack;
};

class NcNumberBoundary : public testing::TestWithParam<NcRow> {};

TEST_P(NcNumberBoundary, FloorsAndWritesBack) {
    const NcRow& r = GetParam();
    double v = r.Value;
    EXPECT_EQ(FormatNcNumber(v), r.Text);
    EXPECT_EQ(v, r.WrittenBack);
    EXPECT_EQ(std::signbit(v), std::signbit(r.WrittenBack));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, NcNumberBoundary, testing::Values(
    NcRow{"StepBelowTen", 9.999999999999998, "10", 10},
    NcRow{"StepBelowTenNegative", -9.999999999999998, "-10", -10},
    NcRow{"StepBelowThousandth", 0.0009999999999999998, "0.001", 0.001},
    NcRow{"SmallNegativeFloorsAway", -0.00004, "-0.001", -0.001},
    NcRow{"SmallPositiveFloorsToZero", 0.00004, "0", 0},
    NcRow{"TinyNegativeFloorsAway", -4e-12, "-0.001", -0.001},
    NcRow{"TinyPositiveFloorsToZero", 4e-12, "0", 0},
    // 11 / 2^20: a 16-digit tie just below 0.0001, so the digit-string path floors it
    NcRow{"NegativeTieBelowATenThousandth", -1.049041748046875e-05, "-0.001", -0.001},
    NcRow{"TieBelowATenThousandth", 1.049041748046875e-05, "0", 0},
    NcRow{"NegativeZeroWritesZero", -0.0, "0", 0.0},
    // 6555 / 65536: its exact decimal ends in a 5 at the 16th digit, a tie the fast path leaves
    NcRow{"ExactTieNegative", -0.1000213623046875, "-0.101", -0.101},
    NcRow{"ExactTiePositive", 0.1000213623046875, "0.1", 0.1},
    // beyond 2^53 thousandths the count itself is no longer exact in a double
    NcRow{"ThousandthsBeyondTwoTo53", 59413876074529.484, "59413876074529.5", 59413876074529.5},
    NcRow{"ThousandthsBeyondTwoTo53Negative", -65474900287963.914, "-65474900287963.9", -65474900287963.9},
    NcRow{"OffTheGrid", 12.7004, "12.7", 12.7}),
    test::ByNameField());
// clang-format on

struct GeneralRow {
    const char* Name;
    double Value;
    const char* Text;
};

class GeneralBoundary : public testing::TestWithParam<GeneralRow> {};

TEST_P(GeneralBoundary, Writes) { EXPECT_EQ(GeneralNumberText(GetParam().Value), GetParam().Text); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, GeneralBoundary, testing::Values(
    GeneralRow{"StepBelowTen", 9.999999999999998, "10"},
    GeneralRow{"StepBelowTenNegative", -9.999999999999998, "-10"},
    GeneralRow{"StepBelowTenToTheFifteen", 999999999999999.9, "1E+15"},
    GeneralRow{"StepBelowTenToTheFourteen", 99999999999999.99, "100000000000000"},
    GeneralRow{"One", 1, "1"},
    GeneralRow{"ExponentNine", 1e-9, "1E-09"},
    GeneralRow{"ExponentTen", 1.5e-10, "1.5E-10"},
    GeneralRow{"NegativeAtTenToTheFifteen", -2.5e15, "-2.5E+15"},
    GeneralRow{"SmallestPlain", -0.0001, "-0.0001"}),
    test::ByNameField());
// clang-format on

struct ValueRow {
    const char* Text;
    double Value;
};

class NumericValueBoundary : public testing::TestWithParam<ValueRow> {};

TEST_P(NumericValueBoundary, Reads) {
    const double v = NumericValue(GetParam().Text);
    EXPECT_EQ(v, GetParam().Value);
    EXPECT_EQ(std::signbit(v), std::signbit(GetParam().Value));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, NumericValueBoundary, testing::Values(
    ValueRow{".-5", 0},  // a sign after the point ends the number
    ValueRow{"-1E-99999", -0.0},
    ValueRow{"-0.0001E-400", -0.0},
    ValueRow{"10E-400", 0},
    ValueRow{"-1D3", -1000},
    ValueRow{"1.7976931348623157E308", 1.7976931348623157e308}),
    [](const auto& row) { return test::ParamName(row.param.Text); });
// clang-format on

}  // namespace
}  // namespace quillane
