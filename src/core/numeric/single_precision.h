// Where double values meet single precision: the one limit beyond which a value cannot be held.
#pragma once

#include <cmath>

namespace quillane {

// Halfway between the largest float and 2^128: a double of this magnitude or more rounds to
// infinity when it is made single precision.
inline constexpr double kSingleRoundsToInfinity = 0x1.ffffffp127;

// True when `value` rounds to a finite single-precision number.
inline bool FitsSingle(double value) { return std::isfinite(value) && std::fabs(value) < kSingleRoundsToInfinity; }

}  // namespace quillane
