// Reads the G number and the X and Z values out of one line of an NC program text.
#include "ncplot/nc_scanner.h"

#include "ncplot/word_value.h"
#include "platform/number_text.h"

#include <algorithm>
#include <optional>

namespace quillane {
namespace {

bool IsUpperCase(char ch) { return ch >= 'A' && ch <= 'Z'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsGNumberChar(char ch) { return ch >= '+' && ch <= '9'; }
bool IsAxisValueChar(char ch) { return (ch >= '*' && ch <= '9') || ch == '='; }
bool IsOperator(char ch) { return ch == '+' || ch == '-' || ch == '*' || ch == '/'; }
bool IsSeparator(char ch) { return ch == ' ' || ch == '\t'; }

// Character at a 1-based position; the callers keep pos within 1..LineLength.
char CharAt(const ScanState& scan, std::size_t pos) { return scan.LineText[pos - 1]; }

// LineLength as the scanner may use it, also when a caller set the fields by hand.
std::size_t UsableLength(const ScanState& scan) { return std::min(scan.LineLength, scan.LineText.size()); }

// First blank or tab at or after `pos`, or length + 1.
std::size_t NextSeparator(const ScanState& scan, std::size_t pos, std::size_t length) {
    while (pos <= length && !IsSeparator(CharAt(scan, pos))) ++pos;
    return pos;
}

// The single-precision accumulator of an axis expression.
struct Accumulator {
    float Value = 0;
    char Pending = 0;       // operator waiting for its operand; 0 while there is none
    bool OutOfRange = false;  // some step left the single-precision range: the word has no value

    // Takes the operand collected in `word`. A zero operand changes nothing, which keeps a
    // leading sign working (X-5 is 0 - 5) and makes a division by zero impossible.
    void OperandStep(std::string& word) {
        const double v = WordValue(word);
        word.clear();
        if (v == 0 || OutOfRange) return;
        const double a = Value;
        double result = v;
        switch (Pending) {
            case '+': result = a + v; break;
            case '-': result = a - v; break;
            case '*': result = a * v; break;
            case '/': result = a / v; break;
            default: break;
        }
        if (!FitsSingle(result)) {
            OutOfRange = true;
            return;
        }
        Value = static_cast<float>(result);
    }
};

}  // namespace

void ReadGNumber(ScanState& scan) {
    const std::size_t length = UsableLength(scan);
    scan.WordText.clear();
    std::size_t pos = scan.ScanPos + 1;
    const std::size_t first = pos;
    while (pos <= length && IsGNumberChar(CharAt(scan, pos))) ++pos;
    if (pos > first) scan.WordText.assign(scan.LineText, first - 1, pos - first);
    scan.ScanPos = pos - 1;
}

namespace {

// ReadAxisValue, also returning the numeric value of the text it leaves (none when it leaves
// WordText empty), so the scanner need not read its own text back.
std::optional<double> EvaluateAxisWord(ScanState& scan) {
    const std::size_t length = UsableLength(scan);
    scan.WordText.clear();
    std::size_t pos = scan.ScanPos + 1;

    // A letter right after the address makes the word symbolic ("XP=30", "ZSP=VSIOZ"): it has
    // no value here, and scanning goes on at the next blank.
    if (pos <= length && IsUpperCase(CharAt(scan, pos))) {
        scan.ScanPos = NextSeparator(scan, scan.ScanPos + 2, length) - 1;
        return std::nullopt;
    }

    Accumulator acc;
    std::size_t end = length + 1;
    for (; pos <= length; ++pos) {
        const char ch = CharAt(scan, pos);
        if (IsOperator(ch)) {
            const char next = pos + 1 <= length ? CharAt(scan, pos + 1) : '\0';
            if (IsDigit(next) || next == '.') {
                acc.OperandStep(scan.WordText);
                acc.Pending = ch;
                continue;
            }
            // An operator before a letter or a blank starts a symbolic rest (X10+VC1): what was
            // evaluated so far stands, and the rest is skipped up to the next blank.
            end = NextSeparator(scan, pos + 2, length);
            break;
        }
        if (!IsAxisValueChar(ch)) {
            end = pos;
            break;
        }
        if (IsDigit(ch) || ch == '.' || ch == ',') scan.WordText += ch;
    }
    acc.OperandStep(scan.WordText);
    scan.ScanPos = end - 1;
    if (acc.OutOfRange) return std::nullopt;
    // The value goes back through its seven-digit text, so XValue and ZValue never hold more.
    return SevenDigitValue(acc.Value, scan.WordText);
}

}  // namespace

void ReadAxisValue(ScanState& scan) { EvaluateAxisWord(scan); }

void ScanNcLine(ScanState& scan) {
    scan.LineLength = scan.LineText.size();
    scan.ScanPos = 1;
    while (scan.ScanPos <= scan.LineLength) {
        char ch = CharAt(scan, scan.ScanPos);
        if (ch == '(' || scan.InComment) {
            scan.InComment = true;
            scan.StartNewPath = true;
            // The search starts after the character in hand: while a comment is still open from an
            // earlier line, a ")" in the first column is not seen.
            const std::size_t close = scan.LineText.find(')', scan.ScanPos);
            if (close == std::string::npos) {
                // Nothing inside a comment acts, also when the line ends before the comment does.
                scan.ScanPos = scan.LineLength + 1;
                break;
            }
            scan.ScanPos = close + 1;
            ch = ')';
        }
        switch (ch) {
            case ')':
                scan.InComment = false;
                break;
            case 'G': {
                ReadGNumber(scan);
                // A G number beyond the single-precision range is not a G code: the word is ignored.
                const double g = WordValue(scan.WordText);
                if (FitsSingle(g)) scan.GValue = static_cast<float>(g);
                break;
            }
            case 'X':
                if (const auto value = EvaluateAxisWord(scan)) scan.XValue = *value;
                break;
            case 'Z':
                if (const auto value = EvaluateAxisWord(scan)) scan.ZValue = *value;
                break;
            default:
                break;
        }
        ++scan.ScanPos;
    }
}

}  // namespace quillane
