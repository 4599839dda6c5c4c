// Numbers as the NC texts and the dialog boxes write and read them, independent of locale.
#include "platform/number_text.h"

#include "platform/data_error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace quillane {
namespace {

// A finite value as significant decimal digits: value = 0.d1d2d3... x 10^pointPos.
struct DecimalForm {
    bool negative = false;
    std::string digits;  // exactly the requested number of significant digits
    int pointPos = 0;    // digits before the decimal point (may be <= 0 or > digits.size())
};

DecimalForm ToDecimal(double value, int significantDigits) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significantDigits - 1);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    DecimalForm d;
    if (!text.empty() && text.front() == '-') {
        d.negative = true;
        text.remove_prefix(1);
    }
    const auto e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.') d.digits.push_back(c);
    }
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    d.pointPos = exponent + 1;
    return d;
}

bool AllZero(std::string_view digits) { return digits.find_first_not_of('0') == std::string_view::npos; }

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

enum class Rounding { HalfAwayFromZero, Floor };

// |value| x 10^decimals as a whole number in decimal digits, rounded as asked.
std::string ScaledDigits(const DecimalForm& d, int decimals, Rounding rounding) {
    const long keep = static_cast<long>(d.pointPos) + decimals;
    std::string kept;
    std::string_view dropped;
    if (keep <= 0) {
        dropped = d.digits;
    } else if (static_cast<std::size_t>(keep) >= d.digits.size()) {
        kept = d.digits;
        kept.append(static_cast<std::size_t>(keep) - d.digits.size(), '0');
    } else {
        kept = d.digits.substr(0, static_cast<std::size_t>(keep));
        dropped = std::string_view(d.digits).substr(static_cast<std::size_t>(keep));
    }
    bool up = false;
    if (rounding == Rounding::HalfAwayFromZero) {
        up = keep >= 0 && !dropped.empty() && dropped.front() >= '5';
    } else {
        up = d.negative && !AllZero(dropped);
    }
    if (up) Increment(kept);
    return kept;
}

// Lays out a scaled whole number as "int.frac" with the given digit counts.
std::string FixedText(bool negative, std::string scaled, int decimals, int minIntDigits, int minDecimals) {
    if (scaled.size() < static_cast<std::size_t>(decimals)) {
        scaled.insert(0, static_cast<std::size_t>(decimals) - scaled.size(), '0');
    }
    std::string intPart = scaled.substr(0, scaled.size() - static_cast<std::size_t>(decimals));
    std::string fracPart = scaled.substr(scaled.size() - static_cast<std::size_t>(decimals));
    const auto firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
    if (intPart.size() < static_cast<std::size_t>(minIntDigits)) {
        intPart.insert(0, static_cast<std::size_t>(minIntDigits) - intPart.size(), '0');
    }
    while (fracPart.size() > static_cast<std::size_t>(minDecimals) && fracPart.back() == '0') fracPart.pop_back();
    const bool zero = AllZero(intPart) && AllZero(fracPart);
    std::string out = (negative && !zero) ? "-" : "";
    out += intPart;
    if (!fracPart.empty()) {
        out += '.';
        out += fracPart;
    }
    return out;
}

}  // namespace

double NumericValue(std::string_view text) {
    std::string mantissa;  // sign, digits and at most one point
    bool sawSign = false, sawPoint = false, sawDigit = false;
    std::string expDigits;
    bool expNegative = false;
    enum { Mantissa, ExpSign, ExpDigits } part = Mantissa;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if (part == Mantissa) {
            if ((c == '+' || c == '-') && !sawSign && !sawDigit && !sawPoint) {
                sawSign = true;
                if (c == '-') mantissa.push_back('-');
            } else if (c >= '0' && c <= '9') {
                sawDigit = true;
                mantissa.push_back(c);
            } else if (c == '.' && !sawPoint) {
                sawPoint = true;
                mantissa.push_back('.');
            } else if ((c == 'E' || c == 'D') && sawDigit) {
                part = ExpSign;
            } else {
                break;
            }
        } else if (part == ExpSign && (c == '+' || c == '-')) {
            expNegative = c == '-';
            part = ExpDigits;
        } else if (c >= '0' && c <= '9') {
            part = ExpDigits;
            expDigits.push_back(c);
        } else {
            break;
        }
    }
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
    if (!std::isfinite(value)) return {};
    int minInt = 0, minDec = 0, maxDec = 0;
    std::size_t i = 0;
    while (i < pattern.size() && pattern[i] == '#') ++i;
    while (i < pattern.size() && pattern[i] == '0') {
        ++minInt;
        ++i;
    }
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        while (i < pattern.size() && pattern[i] == '0') {
            ++minDec;
            ++i;
        }
        maxDec = minDec;
        while (i < pattern.size() && pattern[i] == '#') {
            ++maxDec;
            ++i;
        }
    }
    const std::string_view suffix = pattern.substr(i);
    const DecimalForm d = ToDecimal(value, 15);
    std::string text =
        FixedText(d.negative, ScaledDigits(d, maxDec, Rounding::HalfAwayFromZero), maxDec, minInt, minDec);
    text += suffix;
    return text;
}

std::string GeneralNumberText(double value, int significantDigits) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    if (value == 0.0) return "0";
    DecimalForm d = ToDecimal(value, significantDigits);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    const int exponent = d.pointPos - 1;
    std::string out = d.negative ? "-" : "";
    if (exponent >= significantDigits || exponent < -4) {
        out += d.digits.front();
        if (d.digits.size() > 1) {
            out += '.';
            out += d.digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string expText = std::to_string(std::abs(exponent));
        if (expText.size() < 2) out += '0';
        out += expText;
    } else if (exponent >= 0) {
        std::string intPart = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), exponent + 1));
        intPart.append(static_cast<std::size_t>(exponent + 1) - intPart.size(), '0');
        out += intPart;
        if (d.digits.size() > static_cast<std::size_t>(exponent + 1)) {
            out += '.';
            out += d.digits.substr(static_cast<std::size_t>(exponent + 1));
        }
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += d.digits;
    }
    return out;
}

std::string FormatNcNumber(double& value) {
    if (!std::isfinite(value)) throw DataError("a number to be written is not finite");
    const DecimalForm d = ToDecimal(value, 15);
    std::string text = FixedText(d.negative, ScaledDigits(d, 3, Rounding::Floor), 3, 1, 0);
    double floored = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), floored);
    value = floored;
    return text;
}

}  // namespace quillane
