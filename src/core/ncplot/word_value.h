// Numeric value of a scanned word, and the single-precision range the scanner works in.
#pragma once

#include "core/numeric/single_precision.h"

#include <string>
#include <string_view>

namespace quillane {

// The numeric value of a text (NumericValue), fast for the words the scanner collects (digits
// with "." or ","; G numbers also with signs and "/"): they are read directly, anything else
// goes through NumericValue. Gives +/-infinity beyond the double range, as NumericValue does.
double WordValue(std::string_view word);

// A single-precision value written with at most seven significant digits, as GeneralNumberText
// writes it, into `text`; returns the numeric value of that text. Ordinary magnitudes are done
// in exact integer arithmetic, the rest through GeneralNumberText and NumericValue.
double SevenDigitValue(float value, std::string& text);
// The same value without its text.
double SevenDigitValue(float value);

}  // namespace quillane
