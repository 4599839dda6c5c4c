// Numeric value of a scanned word, and the single-precision range the scanner works in.
#include "core/ncplot/word_value.h"

#include "core/numeric/number_text.h"
#include "core/numeric/powers_of_ten.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace quillane {

double WordValue(std::string_view word) {
    // Words of up to 15 digits with at most one point are exact as a whole number of units and a
    // power of ten; every other form (signs, commas, a second point, long words) takes the
    // general rule. The result is the same correctly rounded double either way.
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
    const double value = static_cast<double>(units) / PowerOfTen(decimals);
    return negative ? -value : value;
}

namespace {

// SevenDigitValue, writing the text only when `text` is given: the value alone comes out of the
// same rounding to whole units, without a character written.
double SevenDigits(float value, std::string* text) {
    const double x = static_cast<double>(value);
    const double magnitude = std::fabs(x);
    if (magnitude == 0) {
        if (text != nullptr) *text = "0";
        return 0.0;
    }
    // Powers of ten from 10^-4; the negative ones are never equal to a float, so comparing with
    // them is exact.
    const auto power = [](int e) { return PowerOfTen(e); };
    if (magnitude < 1e7 && magnitude == std::floor(magnitude)) {
        // Whole numbers below 10^7 are their own seven-digit text.
        if (text != nullptr) {
            char out[16];
            const auto res = std::to_chars(out, out + sizeof out, static_cast<std::int32_t>(x));
            text->assign(out, res.ptr);
        }
        return x;
    }
    if (magnitude >= 1e-4 && magnitude < 1e7) {
        int exponent = -4;  // 10^exponent <= magnitude < 10^(exponent + 1)
        while (magnitude >= power(exponent + 1)) ++exponent;
        int shift = 6 - exponent;  // 0 .. 10
        // A float has 24 significant bits and 10^shift = 2^shift * 5^shift with 5^10 < 2^24, so
        // the product fits 53 bits: exact, and so is the rounding to whole units below.
        const double scaled = magnitude * power(shift);
        double units = std::floor(scaled);
        const double fraction = scaled - units;
        const bool odd = (static_cast<std::uint64_t>(units) & 1u) != 0;
        if (fraction > 0.5 || (fraction == 0.5 && odd)) units += 1;  // half to even
        if (units >= 1e7) {
            units = 1e6;
            ++exponent;
            --shift;
        }
        if (exponent < 7 && text == nullptr) {
            const double result = units / power(shift);  // one correctly rounded division
            return x < 0 ? -result : result;
        }
        if (exponent < 7) {
            char digits[8];
            auto n = static_cast<std::uint32_t>(units);
            for (int i = 6; i >= 0; --i) {
                digits[i] = static_cast<char>('0' + n % 10);
                n /= 10;
            }
            int count = 7;
            while (count > 1 && digits[count - 1] == '0') --count;
            char out[16];
            int length = 0;
            if (x < 0) out[length++] = '-';
            if (exponent >= 0) {
                for (int i = 0; i <= exponent; ++i) out[length++] = i < count ? digits[i] : '0';
                if (count > exponent + 1) {
                    out[length++] = '.';
                    for (int i = exponent + 1; i < count; ++i) out[length++] = digits[i];
                }
            } else {
                out[length++] = '0';
                out[length++] = '.';
                for (int i = 0; i < -exponent - 1; ++i) out[length++] = '0';
                for (int i = 0; i < count; ++i) out[length++] = digits[i];
            }
            text->assign(out, static_cast<std::size_t>(length));
            const double result = units / power(shift);  // one correctly rounded division
            return x < 0 ? -result : result;
        }
    }
    if (text == nullptr) return NumericValue(GeneralNumberText(value));
    *text = GeneralNumberText(value);
    return NumericValue(*text);
}

}  // namespace

double SevenDigitValue(float value, std::string& text) { return SevenDigits(value, &text); }

double SevenDigitValue(float value) { return SevenDigits(value, nullptr); }

}  // namespace quillane
