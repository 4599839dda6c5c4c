// Numbers as the NC texts and the dialog boxes write and read them, independent of locale.
#include "core/numeric/number_text.h"

#include "core/numeric/powers_of_ten.h"

#include "core/numeric/data_error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <utility>

namespace quillane {
namespace {

// Generated programs format thousands of numbers per run and the plots format their labels on
// every keystroke, so the digits live in fixed buffers, never on the heap.

// A finite value as significant decimal digits: |value| = 0.d1d2d3... x 10^pointPos.
struct DecimalForm {
    bool negative = false;
    std::array<char, 24> digits{};
    int count = 0;     // significant digits held
    int pointPos = 0;  // digits before the decimal point (may be <= 0 or > count)
};

// The 15 significant digits of a value as one whole number: |value| ~ Digits x 10^(PointPos - 15).
struct Digits15 {
    std::uint64_t Digits = 0;  // 10^14 <= Digits < 10^15
    int PointPos = 0;
};

// The 15 significant digits of a magnitude between 1e-8 and 1e15, exactly as correct rounding
// gives them, without a general conversion: the magnitude is scaled to 15 integer digits by an
// exact power of ten, and the rounding error of that product, recovered exactly with a fused
// multiply-add, decides the last digit. Returns false for an exact tie or a magnitude out of
// range; the caller then takes the general conversion.
bool FastDigits15(double magnitude, Digits15& out) {
    // floor(log10(2^(e2 - 1))) by the usual fixed-point trick; the true decimal exponent is
    // this or one more (the loop below corrects it)
    const int exp2 = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1022;
    if (exp2 <= -1021) return false;  // subnormal: far below the range anyway
    int exponent = ((exp2 - 1) * 78913) >> 18;
    double scaled = 0, error = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = 14 - exponent;
        if (k < 0 || k > kMaxExactPowerOfTen) return false;
        const double p10 = PowerOfTen(k);
        scaled = magnitude * p10;
        error = std::fma(magnitude, p10, -scaled);  // magnitude * p10 == scaled + error, exactly
        if (scaled < 1e15) break;
        ++exponent;
    }
    if (scaled < 1e14 || scaled >= 1e15) return false;
    const double whole = static_cast<double>(static_cast<std::uint64_t>(scaled));  // floor: positive
    // Both terms are multiples of scaled's unit in the last place, which exceeds |error|:
    // so a non-zero difference alone says which way the exact value rounds.
    const double aboveHalf = (scaled - whole) - 0.5;
    bool up = false;
    if (aboveHalf != 0) {
        up = aboveHalf > 0;
    } else if (error != 0) {
        up = error > 0;
    } else {
        return false;
    }
    out.Digits = static_cast<std::uint64_t>(whole) + (up ? 1 : 0);
    if (out.Digits == 1'000'000'000'000'000ULL) {
        out.Digits /= 10;
        ++exponent;
    }
    out.PointPos = exponent + 1;
    return true;
}

constexpr const std::array<std::uint64_t, 20>& Pow10U = kWholePowersOfTen;

DecimalForm ToDecimal(double value, int significantDigits) {
    DecimalForm d;
    d.negative = std::signbit(value);
    if (value == 0) {
        std::fill_n(d.digits.begin(), significantDigits, '0');
        d.count = significantDigits;
        d.pointPos = 1;
        return d;
    }
    if (Digits15 fast; significantDigits == 15 && FastDigits15(std::fabs(value), fast)) {
        for (int i = 14; i >= 0; --i, fast.Digits /= 10) {
            d.digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + fast.Digits % 10);
        }
        d.count = 15;
        d.pointPos = fast.PointPos;
        return d;
    }

    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, significantDigits - 1);
    const char* c = buf;
    for (; c < res.ptr && *c != 'e'; ++c) {
        if (*c != '.') d.digits[static_cast<std::size_t>(d.count++)] = *c;
    }
    ++c;  // past 'e'
    if (c < res.ptr && *c == '+') ++c;
    int exponent = 0;
    std::from_chars(c, res.ptr, exponent);
    d.pointPos = exponent + 1;
    return d;
}

enum class Rounding { HalfAwayFromZero, Floor };

// A whole number in decimal digits, most significant first, with room to grow by one digit.
struct Scaled {
    std::array<char, 400> digits;  // a double has at most 309 integer digits; only count are set
    int count = 0;
};

// |value| x 10^decimals as a whole number, rounded as asked.
void ScaleDigits(const DecimalForm& d, int decimals, Rounding rounding, Scaled& out) {
    const int keep = d.pointPos + decimals;  // digits of d that stay, padded with zeros past count
    out.count = 0;
    for (int i = 0; i < keep; ++i)
        out.digits[static_cast<std::size_t>(out.count++)] = i < d.count ? d.digits[static_cast<std::size_t>(i)] : '0';
    bool up = false;
    if (keep >= 0 && keep < d.count) {
        if (rounding == Rounding::HalfAwayFromZero) {
            up = d.digits[static_cast<std::size_t>(keep)] >= '5';
        } else {
            up = d.negative &&
                 std::any_of(d.digits.begin() + keep, d.digits.begin() + d.count, [](char c) { return c != '0'; });
        }
    } else if (keep < 0 && rounding == Rounding::Floor) {
        up = d.negative && std::any_of(d.digits.begin(), d.digits.begin() + d.count, [](char c) { return c != '0'; });
    }
    if (!up) return;
    for (int i = out.count; i-- > 0;) {
        char& c = out.digits[static_cast<std::size_t>(i)];
        if (c != '9') {
            ++c;
            return;
        }
        c = '0';
    }
    std::copy_backward(out.digits.begin(), out.digits.begin() + out.count, out.digits.begin() + out.count + 1);
    out.digits[0] = '1';
    ++out.count;
}

// Lays out a scaled whole number as "int.frac" with the given digit counts, written at `at`;
// returns the end.
char* WriteFixedText(char* at, bool negative, const Scaled& scaled, int decimals, int minIntDigits, int minDecimals) {
    const char* digits = scaled.digits.data();
    const int intCount = std::max(scaled.count - decimals, 0);
    int firstInt = 0;
    while (firstInt < intCount && digits[firstInt] == '0') ++firstInt;
    const int shownInt = std::max(intCount - firstInt, minIntDigits);

    // fraction digits, most significant first, padded with leading zeros when the number is short
    std::array<char, 32> frac{};
    for (int i = 0; i < decimals; ++i) {
        const int src = scaled.count - decimals + i;
        frac[static_cast<std::size_t>(i)] = src >= 0 ? digits[src] : '0';
    }
    int fracCount = decimals;
    while (fracCount > minDecimals && frac[static_cast<std::size_t>(fracCount - 1)] == '0') --fracCount;

    const bool zero =
        firstInt == intCount && std::all_of(frac.begin(), frac.begin() + fracCount, [](char c) { return c == '0'; });
    if (negative && !zero) *at++ = '-';
    at = std::fill_n(at, shownInt - (intCount - firstInt), '0');
    at = std::copy(digits + firstInt, digits + intCount, at);
    if (fracCount > 0) {
        *at++ = '.';
        at = std::copy_n(frac.data(), fracCount, at);
    }
    return at;
}

// n / 10^k for k <= 19. A divisor known at compile time becomes a multiplication; a hardware
// 64-bit division would cost more than the rest of the formatting together.
template <std::size_t... K>
constexpr auto MakeDivisions(std::index_sequence<K...>) {
    return std::array<std::uint64_t (*)(std::uint64_t), sizeof...(K)>{[](std::uint64_t n) { return n / Pow10U[K]; }...};
}
constexpr auto DivisionsByPow10 = MakeDivisions(std::make_index_sequence<Pow10U.size()>());

std::uint64_t DivPow10(std::uint64_t n, int k) { return DivisionsByPow10[static_cast<std::size_t>(k)](n); }

// `magnitude` x 10^decimals rounded half up, straight from the binary value, when its 15-digit
// form cannot round otherwise: that form lies within 0.5e-14 of the value relative to it, so a
// product whose fraction is further than 2e-14 of it (rounding error included) from one half
// rounds the same either way. False near one half, or from 10^14 on, where the 15 digits decide.
bool QuickRounded(double magnitude, int decimals, std::uint64_t& kept) {
    const double scaled = magnitude * PowerOfTen(decimals);
    if (!(scaled < 1e14)) return false;
    const auto whole = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    if (!(std::fabs(fraction - 0.5) > scaled * 2e-14)) return false;
    kept = whole + (fraction > 0.5 ? 1 : 0);
    return true;
}

// Half a unit of the 15th significant digit of a value whose whole number of units (see
// NearWholeFloored) has 1 .. 12 digits, in those units: 5 x 10^(digits - 16).
constexpr double HalfLastDigit[12] = {5e-15, 5e-14, 5e-13, 5e-12, 5e-11, 5e-10, 5e-9, 5e-8, 5e-7, 5e-6, 5e-5, 5e-4};

// `magnitude` x 10^decimals floored as its 15-digit form floors, when that product lies within
// 2e-14 of the whole number `near` (a typed or floored value lies that close to its last digit).
// Below 10^12 the difference from `near` is exact by a fused multiply-add, and `near` x
// 10^-decimals has at most 15 digits: the 15-digit form is that number exactly when the
// difference is below half a unit of the 15th digit (never exactly half: that is no binary
// fraction), else it lies on the difference's side, within the same two whole numbers. False
// where the 15th digit would be another one (just below a power of ten) or out of range.
bool NearWholeFloored(double magnitude, double unit, std::uint64_t near, bool negative, std::uint64_t& kept) {
    if (near == 0 || near > 1'000'000'000'000ULL - 1) return false;
    const double off = std::fma(magnitude, unit, -static_cast<double>(near));  // exact
    std::size_t digits = 1;
    while (near >= Pow10U[digits]) ++digits;
    if (off < 0 && near == Pow10U[digits - 1]) return false;
    const double half = HalfLastDigit[digits - 1];
    if (std::fabs(off) < half) {
        kept = near;  // nothing dropped, either sign
    } else if (off > 0) {
        kept = near + (negative ? 1 : 0);
    } else {
        kept = near - (negative ? 0 : 1);
    }
    return true;
}

// `magnitude` x 10^decimals floored as its 15-digit form floors (toward minus infinity, so a
// negative value's magnitude goes up), straight from the binary value: by the same margin as
// above, a product whose fraction is further than 2e-14 of it from a whole number has a 15-digit
// form strictly between the same two whole numbers. Nearer, NearWholeFloored decides. False from
// 10^14 on, where the 15 digits decide.
bool QuickFloored(double magnitude, bool negative, int decimals, std::uint64_t& kept) {
    const double unit = PowerOfTen(decimals);
    const double scaled = magnitude * unit;
    if (!(scaled < 1e14)) return false;
    const auto whole = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    const double margin = scaled * 2e-14;
    if (fraction > margin && fraction < 1 - margin) {
        kept = whole + (negative ? 1 : 0);
        return true;
    }
    return scaled < 1e12 && NearWholeFloored(magnitude, unit, whole + (fraction < 0.5 ? 0 : 1), negative, kept);
}

// The three decimals of every number of thousandths below 1000, and how many of them are left
// without trailing zeros.
struct ThreeDecimals {
    std::array<char, 3> Digits;
    int Significant;
};
constexpr std::array<ThreeDecimals, 1000> ThousandthsText = [] {
    std::array<ThreeDecimals, 1000> t{};
    for (std::size_t i = 0; i < 1000; ++i) {
        t[i].Digits = {static_cast<char>('0' + i / 100), static_cast<char>('0' + i / 10 % 10),
                       static_cast<char>('0' + i % 10)};
        t[i].Significant = i == 0 ? 0 : i % 100 == 0 ? 1 : i % 10 == 0 ? 2 : 3;
    }
    return t;
}();

// Two decimal digits of every number below 100, for writing digits two at a time.
constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> t{};
    for (std::size_t i = 0; i < 100; ++i) {
        t[2 * i] = static_cast<char>('0' + i / 10);
        t[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// How many decimal digits `v` has (none for 0): from its bit length, 1233 / 4096 being just
// above log10(2), corrected by one comparison.
int DigitCount(std::uint64_t v) {
    const int estimate = (static_cast<int>(std::bit_width(v)) * 1233) >> 12;  // 0 .. 19
    return estimate + (v >= Pow10U[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// The digits of `v` (none for 0), ending just before `end`, two at a time.
void WriteDigitsBefore(char* end, std::uint64_t v) {
    for (; v >= 100; v /= 100) {
        end -= 2;
        std::copy_n(DigitPairs.data() + 2 * (v % 100), 2, end);
    }
    if (v >= 10) {
        std::copy_n(DigitPairs.data() + 2 * v, 2, end - 2);
    } else if (v > 0) {
        end[-1] = static_cast<char>('0' + v);
    }
}

// `kept` thousandths (for 3 decimals) as text: the whole part padded to its minimum, then the
// fraction without the trailing zeros that the pattern lets go. Inlined where the count of
// decimals is a constant, so that splitting the number costs a multiplication.
[[gnu::always_inline]] inline char* WriteWholeNumberText(char* at, bool negative, std::uint64_t kept, int decimals,
                                                         int minIntDigits, int minDecimals) {
    const std::uint64_t unit = Pow10U[static_cast<std::size_t>(decimals)];
    const std::uint64_t whole = kept / unit;
    std::uint64_t fraction = kept - whole * unit;
    const int wholeDigits = DigitCount(whole);
    if (negative && kept != 0) *at++ = '-';
    at = std::fill_n(at, std::max(minIntDigits - wholeDigits, 0), '0');
    at += wholeDigits;
    WriteDigitsBefore(at, whole);
    // every decimal first, then as many kept as the pattern wants
    at[0] = '.';
    int fracCount = decimals;
    if (decimals == 3) {
        const ThreeDecimals& text = ThousandthsText[fraction];
        std::copy_n(text.Digits.begin(), 3, at + 1);
        fracCount = std::max(text.Significant, minDecimals);
    } else {
        for (int i = decimals; i > 0; --i, fraction /= 10) at[i] = static_cast<char>('0' + fraction % 10);
        while (fracCount > minDecimals && at[fracCount] == '0') --fracCount;
    }
    return at + (fracCount > 0 ? fracCount + 1 : 0);
}

// The common case of a fixed-point text, in whole-number arithmetic: the value's 15 digits
// rounded (or floored) to `decimals`. Gives the same text as the digit-string path below;
// returns nullptr (writing nothing) when the value is out of its range. `scaledOut` receives the
// rounded magnitude x 10^decimals. The text is written at `at`; returns its end.
char* FastFixedText(double value, int decimals, Rounding rounding, int minIntDigits, int minDecimals, char* at,
                    std::uint64_t& scaledOut) {
    if (decimals > 15 || value == 0) return nullptr;
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    std::uint64_t kept = 0;
    bool up = false;
    Digits15 d;
    if (rounding == Rounding::HalfAwayFromZero ? QuickRounded(magnitude, decimals, kept)
                                               : QuickFloored(magnitude, negative, decimals, kept)) {
        // decided straight from the binary value
    } else if (!FastDigits15(magnitude, d)) {
        return nullptr;
    } else if (const int dropped = 15 - d.PointPos - decimals; dropped > 15) {  // digits past the last decimal
        up = rounding == Rounding::Floor && negative;
    } else if (dropped > 0) {
        const std::uint64_t p = Pow10U[static_cast<std::size_t>(dropped)];
        kept = DivPow10(d.Digits, dropped);
        const std::uint64_t rest = d.Digits - kept * p;
        up = rounding == Rounding::HalfAwayFromZero ? rest >= p / 2 : (negative && rest != 0);
    } else if (dropped >= -4) {
        kept = d.Digits * Pow10U[static_cast<std::size_t>(-dropped)];
    } else {
        return nullptr;
    }
    kept += up ? 1 : 0;
    scaledOut = kept;

    switch (decimals) {  // the counts the writers use, each with its constant divisions
        case 0:
            return WriteWholeNumberText(at, negative, kept, 0, minIntDigits, minDecimals);
        case 3:
            return WriteWholeNumberText(at, negative, kept, 3, minIntDigits, minDecimals);
        default:
            return WriteWholeNumberText(at, negative, kept, decimals, minIntDigits, minDecimals);
    }
}

}  // namespace

namespace {

// The part of a text that the numeric rule reads: where reading stopped and what it collected.
struct NumberScan {
    std::string mantissa;  // sign, digits and at most one point
    std::string expDigits;
    bool expNegative = false;
    bool sawDigit = false;
    std::size_t end = 0;  // index of the first character not read
};

NumberScan ScanNumber(std::string_view text) {
    NumberScan scan;
    bool sawSign = false, sawPoint = false;
    enum { Mantissa, ExpSign, ExpDigits } part = Mantissa;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if (part == Mantissa) {
            if ((c == '+' || c == '-') && !sawSign && !scan.sawDigit && !sawPoint) {
                sawSign = true;
                if (c == '-') scan.mantissa.push_back('-');
            } else if (c >= '0' && c <= '9') {
                scan.sawDigit = true;
                scan.mantissa.push_back(c);
            } else if (c == '.' && !sawPoint) {
                sawPoint = true;
                scan.mantissa.push_back('.');
            } else if ((c == 'E' || c == 'D') && scan.sawDigit) {
                part = ExpSign;
            } else {
                break;
            }
        } else if (part == ExpSign && (c == '+' || c == '-')) {
            scan.expNegative = c == '-';
            part = ExpDigits;
        } else if (c >= '0' && c <= '9') {
            part = ExpDigits;
            scan.expDigits.push_back(c);
        } else {
            break;
        }
    }
    scan.end = i;
    return scan;
}

}  // namespace

std::size_t NumericTextEnd(std::string_view text) { return ScanNumber(text).end; }

double NumericValue(std::string_view text) {
    const NumberScan scan = ScanNumber(text);
    const std::string& mantissa = scan.mantissa;
    const std::string& expDigits = scan.expDigits;
    const bool expNegative = scan.expNegative;
    const bool sawDigit = scan.sawDigit;
    if (!sawDigit) return 0.0;

    // Exponent, saturated: anything past a few thousand is overflow or underflow anyway.
    long exponent = 0;
    for (char c : expDigits) {
        exponent = std::min(exponent * 10 + (c - '0'), 100000L);
    }
    if (expNegative) exponent = -exponent;

    std::string number = mantissa;
    number += 'e';
    number += std::to_string(exponent);
    double value = 0.0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    const bool negative = !number.empty() && number.front() == '-';
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the position of the first significant digit.
        long leadingPos = 0;  // power of ten of the first non-zero digit, relative to exponent
        long intDigits = 0;
        bool afterPoint = false, found = false;
        long fracZeros = 0;
        for (char c : mantissa) {
            if (c == '-') continue;
            if (c == '.') {
                afterPoint = true;
                continue;
            }
            if (!afterPoint) {
                if (found || c != '0') {
                    found = true;
                    ++intDigits;
                }
            } else if (!found) {
                if (c == '0') {
                    ++fracZeros;
                } else {
                    found = true;
                }
            }
        }
        leadingPos = intDigits > 0 ? intDigits - 1 : -(fracZeros + 1);
        if (!found || leadingPos + exponent < 0) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

std::string FormatPattern(double value, std::string_view pattern) {
    std::string text;
    AppendPattern(text, value, ParsePattern(pattern));
    return text;
}

char* WritePattern(char* at, double value, const NumberPattern& pattern) {
    if (!std::isfinite(value)) return at;
    const int maxDec = pattern.MaxDecimals;
    char* end = nullptr;
    std::uint64_t scaled = 0;
    if (maxDec == 0 && value >= 1 && value < 1e13 && static_cast<double>(static_cast<std::uint64_t>(value)) == value) {
        // A whole number to a whole-number pattern (a sequence number): nothing to round, its
        // digits padded to the minimum.
        const auto whole = static_cast<std::uint64_t>(value);
        const int digits = DigitCount(whole);
        end = std::fill_n(at, std::max(pattern.MinIntDigits - digits, 0), '0') + digits;
        WriteDigitsBefore(end, whole);
    } else {
        end = FastFixedText(value, maxDec, Rounding::HalfAwayFromZero, pattern.MinIntDigits, pattern.MinDecimals, at,
                            scaled);
    }
    if (end == nullptr) {
        const DecimalForm d = ToDecimal(value, 15);
        Scaled digits;
        ScaleDigits(d, maxDec, Rounding::HalfAwayFromZero, digits);
        end = WriteFixedText(at, d.negative, digits, maxDec, pattern.MinIntDigits, pattern.MinDecimals);
    }
    if (pattern.Suffix.size() == 1) {  // the common suffix, without a call to copy it
        *end = pattern.Suffix[0];
        return end + 1;
    }
    return std::copy(pattern.Suffix.begin(), pattern.Suffix.end(), end);
}

void AppendPattern(std::string& out, double value, const NumberPattern& pattern) {
    const std::size_t room = PatternTextRoom(pattern);
    if (char text[512]; room <= sizeof text) {
        out.append(text, WritePattern(text, value, pattern));
    } else {  // a pattern with hundreds of digits of its own: written in place
        const std::size_t from = out.size();
        out.resize(from + room);
        out.resize(static_cast<std::size_t>(WritePattern(out.data() + from, value, pattern) - out.data()));
    }
}

std::string GeneralNumberText(double value, int significantDigits) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    if (value == 0.0) return "0";
    significantDigits = std::clamp(significantDigits, 1, 17);
    const DecimalForm d = ToDecimal(value, significantDigits);
    int count = d.count;
    while (count > 1 && d.digits[static_cast<std::size_t>(count - 1)] == '0') --count;
    const char* digits = d.digits.data();
    const int exponent = d.pointPos - 1;
    std::string out;
    if (d.negative) out += '-';
    if (exponent >= significantDigits || exponent < -4) {
        out += digits[0];
        if (count > 1) {
            out += '.';
            out.append(digits + 1, static_cast<std::size_t>(count - 1));
        }
        out += exponent < 0 ? "E-" : "E+";
        const int e = std::abs(exponent);
        if (e < 10) out += '0';
        out += std::to_string(e);
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        out.append(digits, static_cast<std::size_t>(std::min(count, intDigits)));
        if (count < intDigits) out.append(static_cast<std::size_t>(intDigits - count), '0');
        if (count > intDigits) {
            out += '.';
            out.append(digits + intDigits, static_cast<std::size_t>(count - intDigits));
        }
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits, static_cast<std::size_t>(count));
    }
    return out;
}

std::string FormatNcNumber(double& value) {
    std::string text;
    AppendNcNumber(text, value);
    return text;
}

void AppendNcNumber(std::string& out, double& value) {
    char text[NcNumberTextRoom];
    out.append(text, WriteNcNumber(text, value));
}

char* WriteNcNumber(char* at, double& value) {
    if (!std::isfinite(value)) throw DataError("a number to be written is not finite");
    if (std::uint64_t thousandths = 0; char* end = FastFixedText(value, 3, Rounding::Floor, 1, 0, at, thousandths)) {
        if (thousandths < (1ULL << 53)) {
            // the whole number of thousandths is exact, and one correctly rounded division gives
            // the nearest double to the floored decimal
            const double magnitude = static_cast<double>(thousandths) / 1000.0;
            value = std::signbit(value) && thousandths != 0 ? -magnitude : magnitude;
            return end;
        }
        // too many thousandths to be exact: the digit-string path below writes over it
    }
    const DecimalForm d = ToDecimal(value, 15);
    Scaled thousandths;
    ScaleDigits(d, 3, Rounding::Floor, thousandths);
    char* const end = WriteFixedText(at, d.negative, thousandths, 3, 1, 0);
    // The nearest double to the floored decimal. Up to 15 digits the whole number of
    // thousandths is exact in a double, and one correctly rounded division gives it.
    double floored = 0.0;
    if (thousandths.count <= 15) {
        std::uint64_t n = 0;
        for (int i = 0; i < thousandths.count; ++i)
            n = n * 10 + static_cast<std::uint64_t>(thousandths.digits[static_cast<std::size_t>(i)] - '0');
        floored = static_cast<double>(n) / 1000.0;
        if (d.negative && n != 0) floored = -floored;
    } else {
        std::from_chars(at, end, floored);
    }
    value = floored;
    return end;
}

}  // namespace quillane
