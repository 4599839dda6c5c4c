// Arithmetic that turns every unusable result into a DataError instead of NaN or infinity.
#pragma once

#include "core/numeric/data_error.h"
#include "core/numeric/single_precision.h"

#include <cmath>
#include <string>

namespace quillane::checked {

// Each helper takes a short description of what is being computed, so the error can say
// which input made the arithmetic fail.

inline double Finite(double v, const char* what) {
    if (!std::isfinite(v)) throw DataError(std::string(what) + ": the result is too large to compute");
    return v;
}

inline double Add(double a, double b, const char* what) { return Finite(a + b, what); }
inline double Sub(double a, double b, const char* what) { return Finite(a - b, what); }
inline double Mul(double a, double b, const char* what) { return Finite(a * b, what); }

inline double Div(double a, double b, const char* what) {
    if (b == 0.0) throw DataError(std::string(what) + ": division by zero");
    return Finite(a / b, what);
}

inline double Sqrt(double v, const char* what) {
    if (v < 0.0) throw DataError(std::string(what) + ": square root of a negative number");
    return Finite(std::sqrt(v), what);
}

inline double Tan(double v, const char* what) { return Finite(std::tan(v), what); }
inline double Sin(double v, const char* what) { return Finite(std::sin(v), what); }
inline double Atan(double v, const char* what) { return Finite(std::atan(v), what); }

// Rounds to single precision; a value that would round to infinity is out of range.
inline float ToFloat(double v, const char* what) {
    Finite(v, what);
    if (std::fabs(v) >= kSingleRoundsToInfinity)
        throw DataError(std::string(what) + ": beyond the single-precision range");
    return static_cast<float>(v);
}

}  // namespace quillane::checked
