// Checked arithmetic: each operation's failure says which kind it is, and results at the edges
// of the range still come through.
#include "core/numeric/checked_math.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

namespace quillane {
namespace {

constexpr double Huge = std::numeric_limits<double>::max();
constexpr double Inf = std::numeric_limits<double>::infinity();
// Halfway between FLT_MAX and 2^128: the smallest value that rounds to a float infinity.
constexpr double FloatLimit = 0x1.ffffffp127;

struct FailureRow {
    const char* Name;
    double (*Compute)();
    const char* Message;  // the whole text: its ending names the kind
};

class CheckedFailure : public testing::TestWithParam<FailureRow> {};

TEST_P(CheckedFailure, SaysWhichKind) {
    try {
        const double v = GetParam().Compute();
        ADD_FAILURE() << "no failure, got " << v;
    } catch (const DataError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().Message);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, CheckedFailure, testing::Values(
    FailureRow{"DivisionByZero", [] { return checked::Div(1, 0.0, "w"); }, "w: division by zero"},
    FailureRow{"DivisionByNegativeZero", [] { return checked::Div(0, -0.0, "w"); }, "w: division by zero"},
    FailureRow{"DivisionOverflow", [] { return checked::Div(Huge, 0.5, "w"); }, "w: 1.79769313486232E+308 / 0.5 is too large to compute"},
    FailureRow{"AddOverflow", [] { return checked::Add(Huge, Huge, "w"); }, "w: 1.79769313486232E+308 + 1.79769313486232E+308 is too large to compute"},
    FailureRow{"SubOverflow", [] { return checked::Sub(-Huge, Huge, "w"); }, "w: -1.79769313486232E+308 - 1.79769313486232E+308 is too large to compute"},
    FailureRow{"MulOverflow", [] { return checked::Mul(Huge, -2, "w"); }, "w: 1.79769313486232E+308 x -2 is too large to compute"},
    FailureRow{"InfinityIn", [] { return checked::Add(Inf, 1, "w"); }, "w: infinity + 1 is too large to compute"},
    FailureRow{"SqrtOfNegative", [] { return checked::Sqrt(-1e-300, "w"); }, "w: square root of a negative number (-1E-300)"},
    FailureRow{"SqrtOfMinusOneHalf", [] { return checked::Sqrt(-0.5, "w"); }, "w: square root of a negative number (-0.5)"},
    FailureRow{"TanOfInfinity", [] { return checked::Tan(Inf, "w"); }, "w: the result is too large to compute"},
    FailureRow{"SinOfInfinity", [] { return checked::Sin(-Inf, "w"); }, "w: the result is too large to compute"},
    FailureRow{"AtanOfNaN", [] { return checked::Atan(std::nan(""), "w"); }, "w: the result is too large to compute"},
    FailureRow{"FloatAtTheLimit",
               [] { return static_cast<double>(checked::ToFloat(FloatLimit, "w")); },
               "w: 3.40282356779734E+38 is beyond the single-precision range (about 3.4E+38)"},
    FailureRow{"FloatAtTheNegativeLimit",
               [] { return static_cast<double>(checked::ToFloat(-FloatLimit, "w")); },
               "w: -3.40282356779734E+38 is beyond the single-precision range (about 3.4E+38)"},
    FailureRow{"FloatOfInfinity",
               [] { return static_cast<double>(checked::ToFloat(Inf, "w")); },
               "w: the result is too large to compute"}),
    test::ByNameField());
// clang-format on

struct ResultRow {
    const char* Name;
    double (*Compute)();
    double Result;
};

class CheckedResult : public testing::TestWithParam<ResultRow> {};

TEST_P(CheckedResult, ComesThrough) { EXPECT_EQ(GetParam().Compute(), GetParam().Result); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, CheckedResult, testing::Values(
    ResultRow{"LargestSum", [] { return checked::Add(Huge / 2, Huge / 2, "w"); }, Huge},
    ResultRow{"Difference", [] { return checked::Sub(3, 5, "w"); }, -2},
    ResultRow{"SqrtOfNegativeZero", [] { return checked::Sqrt(-0.0, "w"); }, 0},
    ResultRow{"ZeroDividedByOne", [] { return checked::Div(0, 1, "w"); }, 0},
    ResultRow{"AtanOfOne", [] { return checked::Atan(1, "w"); }, 0.7853981633974483},
    // just below the limit a value rounds down to the largest float
    ResultRow{"FloatJustBelowTheLimit",
              [] { return static_cast<double>(checked::ToFloat(std::nextafter(FloatLimit, 0.0), "w")); },
              static_cast<double>(FLT_MAX)},
    ResultRow{"FloatAboveTheLargest",
              [] { return static_cast<double>(checked::ToFloat(-0x1.fffffe8p127, "w")); },
              -static_cast<double>(FLT_MAX)}),
    test::ByNameField());
// clang-format on

}  // namespace
}  // namespace quillane
