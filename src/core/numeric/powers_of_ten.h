// Powers of ten, as exact doubles and as whole numbers, for the number texts and the scanner.
#pragma once

#include <array>
#include <cstdint>

namespace quillane {

// 10^22 is the largest power of ten a double holds exactly; the negative ones are the doubles
// nearest to them, as the literals give them.
inline constexpr int kMinPowerOfTen = -4;
inline constexpr int kMaxExactPowerOfTen = 22;

// clang-format off
inline constexpr double kPowersOfTen[] = {
    1e-4, 1e-3, 1e-2, 1e-1,
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};
// clang-format on

// 10^e for kMinPowerOfTen <= e <= kMaxExactPowerOfTen.
constexpr double PowerOfTen(int e) { return kPowersOfTen[e - kMinPowerOfTen]; }

// 10^0 .. 10^19: every power of ten an unsigned 64-bit number holds.
inline constexpr std::array<std::uint64_t, 20> kWholePowersOfTen = [] {
    std::array<std::uint64_t, 20> t{};
    std::uint64_t p = 1;
    for (auto& v : t) {
        v = p;
        p *= 10;
    }
    return t;
}();

}  // namespace quillane
