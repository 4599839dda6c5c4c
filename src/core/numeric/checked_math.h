// Arithmetic that turns every unusable result into a DataError instead of NaN or infinity.
#pragma once

#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/numeric/single_precision.h"

#include <cmath>
#include <string>

namespace quillane::checked {

// Each helper takes a short description of what is being computed, naming the boxes it comes
// from, so the error can say which input made the arithmetic fail; the operands are added so
// the user sees the numbers that did it.

// A typed value exactly as it reads back (15 significant digits).
inline std::string Shown(double v) { return std::isfinite(v) ? GeneralNumberText(v, 15) : std::string("infinity"); }

// A computed value for a message: three decimals are what a programmer compares.
inline std::string Rounded(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e12) return Shown(v);
    return GeneralNumberText(std::round(v * 1000) / 1000, 15);
}

// The messages are built out of line: a run does thousands of these operations, and each then
// costs no more than its test.
[[noreturn, gnu::cold, gnu::noinline]] inline void ThrowTooLarge(const char* what) {
    throw DataError(std::string(what) + ": the result is too large to compute");
}
[[noreturn, gnu::cold, gnu::noinline]] inline void ThrowTooLarge(double a, const char* op, double b, const char* what) {
    throw DataError(std::string(what) + ": " + Shown(a) + op + Shown(b) + " is too large to compute");
}

inline double Finite(double v, const char* what) {
    if (!std::isfinite(v)) [[unlikely]]
        ThrowTooLarge(what);
    return v;
}

inline double Operation(double result, double a, const char* op, double b, const char* what) {
    if (!std::isfinite(result)) [[unlikely]]
        ThrowTooLarge(a, op, b, what);
    return result;
}

inline double Add(double a, double b, const char* what) { return Operation(a + b, a, " + ", b, what); }
inline double Sub(double a, double b, const char* what) { return Operation(a - b, a, " - ", b, what); }
inline double Mul(double a, double b, const char* what) { return Operation(a * b, a, " x ", b, what); }

[[noreturn, gnu::cold, gnu::noinline]] inline void ThrowDivisionByZero(const char* what) {
    throw DataError(std::string(what) + ": division by zero");
}

inline double Div(double a, double b, const char* what) {
    if (b == 0.0) [[unlikely]]
        ThrowDivisionByZero(what);
    return Operation(a / b, a, " / ", b, what);
}

inline double Sqrt(double v, const char* what) {
    if (v < 0.0) throw DataError(std::string(what) + ": square root of a negative number (" + Shown(v) + ")");
    return Finite(std::sqrt(v), what);
}

inline double Tan(double v, const char* what) { return Finite(std::tan(v), what); }
inline double Sin(double v, const char* what) { return Finite(std::sin(v), what); }
inline double Atan(double v, const char* what) { return Finite(std::atan(v), what); }

// Rounds to single precision; a value that would round to infinity is out of range.
inline float ToFloat(double v, const char* what) {
    Finite(v, what);
    if (std::fabs(v) >= kSingleRoundsToInfinity) {
        throw DataError(std::string(what) + ": " + Shown(v) + " is beyond the single-precision range (about 3.4E+38)");
    }
    return static_cast<float>(v);
}

}  // namespace quillane::checked
