// Numbers as the NC texts and the dialog boxes write and read them, independent of locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillane {

// Value of a typed or scanned text: blanks, tabs and line feeds are skipped anywhere; then an
// optional sign, digits with at most one '.', an optional exponent ('E' or 'D', sign, digits).
// Reading stops at the first character that does not fit; no digits gives 0. A value beyond
// the double range gives +/-infinity, which callers that compute with it must reject.
double NumericValue(std::string_view text);

// Index of the first character of `text` that the numeric value rule does not read (the size
// of the text when it reads to the end, skipped blanks included).
std::size_t NumericTextEnd(std::string_view text);

// Pattern format for the patterns the program writes: optional '#'s, '0's for the minimum
// integer digits, optionally '.' followed by '0's (decimals always shown) and '#'s (decimals
// shown when not zero), then a literal suffix (e.g. "000 "). Rounds half away from zero,
// judged on the value's 15-significant-digit decimal form (what the user typed), so 1.0005
// with "####0.000" gives 1.001. A value that rounds to zero never shows a sign.
// A non-finite value gives an empty text; callers must not pass one.
std::string FormatPattern(double value, std::string_view pattern);

// A pattern read once, for a writer that formats thousands of numbers with it.
struct NumberPattern {
    int MinIntDigits = 0;
    int MinDecimals = 0;
    int MaxDecimals = 0;
    std::string_view Suffix;  // the literal text after the digits
};
constexpr NumberPattern ParsePattern(std::string_view pattern) {
    NumberPattern p;
    std::size_t i = 0;
    while (i < pattern.size() && pattern[i] == '#') ++i;
    for (; i < pattern.size() && pattern[i] == '0'; ++i) ++p.MinIntDigits;
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        for (; i < pattern.size() && pattern[i] == '0'; ++i) ++p.MinDecimals;
        p.MaxDecimals = p.MinDecimals;
        for (; i < pattern.size() && pattern[i] == '#'; ++i) ++p.MaxDecimals;
    }
    p.MaxDecimals = p.MaxDecimals < 20 ? p.MaxDecimals : 20;
    p.Suffix = pattern.substr(i);
    return p;
}

// FormatPattern's text appended to `out`, without a string of its own.
void AppendPattern(std::string& out, double value, const NumberPattern& pattern);

// The most characters a pattern's text takes: a sign, the 309 whole digits of the largest double
// and one carried in by rounding (or the pattern's minimum when longer), the point, the decimals
// and the suffix.
constexpr std::size_t PatternTextRoom(const NumberPattern& pattern) {
    const std::size_t wholeDigits = pattern.MinIntDigits > 310 ? static_cast<std::size_t>(pattern.MinIntDigits) : 310;
    return 1 + wholeDigits + 1 + static_cast<std::size_t>(pattern.MaxDecimals) + pattern.Suffix.size();
}

// FormatPattern's text written at `at`, which has room for PatternTextRoom(pattern) characters;
// returns the end of the text. For a writer that lays out whole lines in a buffer of its own.
char* WritePattern(char* at, double value, const NumberPattern& pattern);

// General number form: rounded to `significantDigits` (15 for a double, 7 for a float),
// trailing zeros dropped, no point for whole numbers, "0" before the point below 1, and
// exponent form ("1E+15", "1.5E-05") at 10^significantDigits and above or below 0.0001.
std::string GeneralNumberText(double value, int significantDigits = 15);
inline std::string GeneralNumberText(float value) { return GeneralNumberText(static_cast<double>(value), 7); }

// NC number: floors the value to 0.001 (judged on its 15-significant-digit decimal form, so
// that 17.7 - 12.5 = 5.199999999999999 floors to 5.2 and a typed 1.005 stays 1.005), writes
// the floored value back into `value`, and returns it as plain decimal text ("0" for zero,
// no trailing zeros). Throws DataError for a non-finite value.
std::string FormatNcNumber(double& value);
// The same text appended to `out`.
void AppendNcNumber(std::string& out, double& value);

// The most characters an NC number takes: a sign, 310 whole digits, the point, three decimals.
inline constexpr std::size_t NcNumberTextRoom = 1 + 310 + 1 + 3;

// The same text written at `at`, which has room for NcNumberTextRoom characters; returns its end.
char* WriteNcNumber(char* at, double& value);

}  // namespace quillane
