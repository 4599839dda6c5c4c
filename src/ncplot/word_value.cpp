// Numeric value of a scanned word, and the single-precision range the scanner works in.
#include "ncplot/word_value.h"

#include "platform/number_text.h"

#include <cmath>
#include <cstdint>

namespace quillane {

double WordValue(std::string_view word) {
    // Words of up to 15 digits with at most one point are exact as a whole number of units and a
    // power of ten; every other form (signs, commas, a second point, long words) takes the
    // general rule. The result is the same correctly rounded double either way.
    constexpr double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t units = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    std::size_t i = 0;
    const bool negative = !word.empty() && word.front() == '-';
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) i = 1;
    for (; i < word.size(); ++i) {
        const char ch = word[i];
        if (ch >= '0' && ch <= '9') {
            if (++digits > 15) return NumericValue(word);
            units = units * 10 + static_cast<std::uint64_t>(ch - '0');
            if (point) ++decimals;
        } else if (ch == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (i < word.size()) {
        // The rest of the word is ignored by the general rule only when it starts with a character
        // that ends a number and none of the skipped ones (blanks, tabs, line feeds) follow.
        const char stop = word[i];
        if (stop != ',' && stop != '.') return NumericValue(word);
    }
    if (digits == 0) return 0.0;  // a lone sign or point is 0, never -0
    // units < 10^15 and decimals <= 15: one correctly rounded division.
    const double value = static_cast<double>(units) / powers[decimals];
    return negative ? -value : value;
}

bool FitsSingle(double value) {
    constexpr double limit = 0x1.ffffffp127;  // halfway past FLT_MAX: rounds to infinity from here
    return std::isfinite(value) && std::fabs(value) < limit;
}

}  // namespace quillane
