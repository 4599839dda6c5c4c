// The NC word scanner written the slow, literal way, to hold the fast one to: each word's text is
// collected, every operand and the result go through their decimal text, and the value is read
// back from that text. Shared by the scanner tests and the scanner's fuzz target.
#pragma once

#include "core/ncplot/nc_scanner.h"
#include "core/numeric/number_text.h"
#include "core/numeric/single_precision.h"

#include <cstddef>
#include <string>

namespace quillane::reference {

inline bool IsSeparator(char ch) { return ch == ' ' || ch == '\t'; }
inline bool IsAxisValueChar(char ch) { return (ch >= '*' && ch <= '9') || ch == '='; }
inline bool IsOperator(char ch) { return ch == '+' || ch == '-' || ch == '*' || ch == '/'; }
inline bool IsDigitOrPoint(char ch) { return (ch >= '0' && ch <= '9') || ch == '.'; }

// The characters of s.LineText, 1-based; '\0' past its end.
inline char At(const ScanState& s, std::size_t pos) { return pos <= s.LineLength ? s.LineText[pos - 1] : '\0'; }

// From `pos`: the first blank or tab, or the position after the line (or `pos` when past it).
inline std::size_t NextSeparator(const ScanState& s, std::size_t pos) {
    while (pos <= s.LineLength && !IsSeparator(At(s, pos))) ++pos;
    return pos;
}

// ReadAxisValue: whether the word has a value, left as text in s.WordText.
inline bool ReadAxisWord(ScanState& s) {
    s.WordText.clear();
    if (At(s, s.ScanPos + 1) >= 'A' && At(s, s.ScanPos + 1) <= 'Z') {
        s.ScanPos = NextSeparator(s, s.ScanPos + 2) - 1;
        return false;
    }
    float acc = 0;
    char pending = 0;
    bool outOfRange = false;
    const auto operand = [&] {
        const double v = NumericValue(s.WordText);
        s.WordText.clear();
        if (v == 0 || outOfRange) return;
        const double a = static_cast<double>(acc);
        const double r = pending == '+'   ? a + v
                         : pending == '-' ? a - v
                         : pending == '*' ? a * v
                         : pending == '/' ? a / v
                                          : v;
        if (!FitsSingle(r)) {
            outOfRange = true;
            return;
        }
        acc = static_cast<float>(r);
    };
    std::size_t pos = s.ScanPos + 1, end = s.LineLength + 1;
    for (; pos <= s.LineLength; ++pos) {
        const char ch = At(s, pos);
        if (IsOperator(ch)) {
            if (IsDigitOrPoint(At(s, pos + 1))) {
                operand();
                pending = ch;
                continue;
            }
            end = NextSeparator(s, pos + 2);
            break;
        }
        if (!IsAxisValueChar(ch)) {
            end = pos;
            break;
        }
        if (IsDigitOrPoint(ch) || ch == ',') s.WordText += ch;
    }
    operand();
    s.ScanPos = end - 1;
    if (outOfRange) return false;
    s.WordText = GeneralNumberText(acc);
    return true;
}

inline void ScanNcLine(ScanState& s) {
    s.LineLength = s.LineText.size();
    s.ScanPos = 1;
    while (s.ScanPos <= s.LineLength) {
        char ch = At(s, s.ScanPos);
        if (ch == '(' || s.InComment) {
            s.InComment = true;
            s.StartNewPath = true;
            std::size_t pos = s.ScanPos + 1;
            while (pos <= s.LineLength && At(s, pos) != ')') ++pos;
            if (pos > s.LineLength) {
                s.ScanPos = pos;
                break;
            }
            s.ScanPos = pos;
            ch = ')';
        }
        if (ch == ')') {
            s.InComment = false;
        } else if (ch == 'G') {
            s.WordText.clear();
            while (At(s, s.ScanPos + 1) >= '+' && At(s, s.ScanPos + 1) <= '9') s.WordText += At(s, ++s.ScanPos);
            const double g = NumericValue(s.WordText);
            if (FitsSingle(g)) s.GValue = static_cast<float>(g);
        } else if (ch == 'X' || ch == 'Z') {
            if (ReadAxisWord(s)) (ch == 'X' ? s.XValue : s.ZValue) = NumericValue(s.WordText);
        }
        ++s.ScanPos;
    }
}

}  // namespace quillane::reference
