// Reads the G number and the X and Z values out of one line of an NC program text.
#include "core/ncplot/nc_scanner.h"

#include "core/ncplot/word_value.h"
#include "core/numeric/number_text.h"
#include "core/numeric/powers_of_ten.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace quillane {
namespace {

bool IsUpperCase(char ch) { return ch >= 'A' && ch <= 'Z'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsGNumberChar(char ch) { return ch >= '+' && ch <= '9'; }
bool IsAxisValueChar(char ch) { return (ch >= '*' && ch <= '9') || ch == '='; }
bool IsOperator(char ch) { return ch == '+' || ch == '-' || ch == '*' || ch == '/'; }
bool IsSeparator(char ch) { return ch == ' ' || ch == '\t'; }

// The line being scanned. Positions are 1-based, as ScanPos counts them.
struct Line {
    const char* Text;
    std::size_t Length;
    char At(std::size_t pos) const { return Text[pos - 1]; }
};

// LineLength as the word readers may use it, also when a caller set the fields by hand.
Line LineOf(const ScanState& scan) { return {scan.LineText.data(), std::min(scan.LineLength, scan.LineText.size())}; }

// First blank or tab at or after `pos`, or length + 1.
std::size_t NextSeparator(Line line, std::size_t pos) {
    while (pos <= line.Length && !IsSeparator(line.At(pos))) ++pos;
    return pos;
}

// The single-precision accumulator of an axis expression.
struct Accumulator {
    float Value = 0;
    char Pending = 0;         // operator waiting for its operand; 0 while there is none
    bool OutOfRange = false;  // some step left the single-precision range: the word has no value

    // Takes the operand collected in `word`. A zero operand changes nothing, which keeps a
    // leading sign working (X-5 is 0 - 5) and makes a division by zero impossible.
    void OperandStep(std::string& word) {
        const double v = WordValue(word);
        word.clear();
        if (v == 0 || OutOfRange) return;
        const double a = static_cast<double>(Value);
        double result = v;
        switch (Pending) {
            case '+':
                result = a + v;
                break;
            case '-':
                result = a - v;
                break;
            case '*':
                result = a * v;
                break;
            case '/':
                result = a / v;
                break;
            default:
                break;
        }
        if (!FitsSingle(result)) {
            OutOfRange = true;
            return;
        }
        Value = static_cast<float>(result);
    }
};

// The words of almost every program line are plain decimals ("X28.", "Z-80.", "Z17.7"): an
// optional sign, digits with at most one point, and then a character that ends the word. The
// accumulator, the seven-digit text and reading that text back give such a word its own
// decimal value whenever it has at most seven significant digits and lies between 0.001 and
// 10^7: rounded to single precision it stays closer to itself than half a unit of its seventh
// digit. Those words are read here in one step; anything else (or nothing, when the word is not
// plain) takes the general walk. `pos` is on the first character after the address.
std::optional<double> PlainDecimalWord(Line line, std::size_t pos, std::string* text, std::size_t& end) {
    std::size_t i = pos;
    bool negative = false;
    if (i <= line.Length && (line.At(i) == '-' || line.At(i) == '+')) {
        const char next = i + 1 <= line.Length ? line.At(i + 1) : '\0';
        if (!IsDigit(next) && next != '.') return std::nullopt;  // a symbolic rest
        negative = line.At(i) == '-';
        ++i;
    }
    char digits[16];
    std::uint64_t units = 0;  // at most 15 digits: exact
    int count = 0, pointAt = -1, firstNonZero = -1, lastNonZero = -1;
    for (; i <= line.Length; ++i) {
        const char ch = line.At(i);
        if (IsDigit(ch)) {
            if (count == 15) return std::nullopt;
            if (ch != '0') {
                if (firstNonZero < 0) firstNonZero = count;
                lastNonZero = count;
            }
            units = units * 10 + static_cast<std::uint64_t>(ch - '0');
            digits[count++] = ch;
        } else if (ch == '.' && pointAt < 0) {
            pointAt = count;
        } else {
            break;
        }
    }
    if (i <= line.Length && IsAxisValueChar(line.At(i))) return std::nullopt;  // an expression, a comma
    end = i;
    if (firstNonZero < 0) {
        if (text != nullptr) text->assign(1, '0');
        return 0.0;
    }
    if (pointAt < 0) pointAt = count;
    if (lastNonZero - firstNonZero >= 7) return std::nullopt;
    const double magnitude = static_cast<double>(units) / PowerOfTen(count - pointAt);
    if (!(magnitude >= 0.001 && magnitude < 1e7)) return std::nullopt;
    const double value = negative ? -magnitude : magnitude;
    if (text == nullptr) return value;

    // The decimal's own shortest text, as the seven-digit form writes it: "28", "-0.5", "17.7".
    char out[24];
    int length = 0;
    if (negative) out[length++] = '-';
    if (firstNonZero >= pointAt) {
        out[length++] = '0';
    } else {
        for (int k = firstNonZero; k < pointAt; ++k) out[length++] = digits[k];
    }
    if (lastNonZero >= pointAt) {
        out[length++] = '.';
        for (int k = pointAt; k <= lastNonZero; ++k) out[length++] = digits[k];
    }
    text->assign(out, static_cast<std::size_t>(length));
    return value;
}

// The G number's characters after the "G" at `scanPos`, where they lie in the line.
std::string_view GNumberAfter(Line line, std::size_t scanPos) {
    std::size_t pos = scanPos + 1;
    while (pos <= line.Length && IsGNumberChar(line.At(pos))) ++pos;
    return {line.Text + scanPos, pos - scanPos - 1};
}

// ReadAxisValue on `line`, returning the word's value (none when it has none). `text` receives
// the value's seven-digit text (empty when there is no value), as ReadAxisValue leaves it in
// WordText; the scanner passes none and reads the value where the word lies, since building
// that text costs more than all the rest of a line.
std::optional<double> EvaluateAxisWord(Line line, std::size_t& scanPos, std::string* text) {
    std::size_t pos = scanPos + 1;

    // A letter right after the address makes the word symbolic ("XP=30", "ZSP=VSIOZ"): it has
    // no value here, and scanning goes on at the next blank.
    if (pos <= line.Length && IsUpperCase(line.At(pos))) {
        if (text != nullptr) text->clear();
        scanPos = NextSeparator(line, scanPos + 2) - 1;
        return std::nullopt;
    }
    std::size_t end = 0;
    if (const std::optional<double> plain = PlainDecimalWord(line, pos, text, end)) {
        scanPos = end - 1;
        return plain;
    }

    // The operands of an expression or of a long word are collected, without the "=" and the
    // operators between their characters; short ones stay in the string's own storage.
    std::string word;
    Accumulator acc;
    end = line.Length + 1;
    for (; pos <= line.Length; ++pos) {
        const char ch = line.At(pos);
        if (IsOperator(ch)) {
            const char next = pos + 1 <= line.Length ? line.At(pos + 1) : '\0';
            if (IsDigit(next) || next == '.') {
                acc.OperandStep(word);
                acc.Pending = ch;
                continue;
            }
            // An operator before a letter or a blank starts a symbolic rest (X10+VC1): what was
            // evaluated so far stands, and the rest is skipped up to the next blank.
            end = NextSeparator(line, pos + 2);
            break;
        }
        if (!IsAxisValueChar(ch)) {
            end = pos;
            break;
        }
        if (IsDigit(ch) || ch == '.' || ch == ',') word += ch;
    }
    acc.OperandStep(word);
    scanPos = end - 1;
    if (acc.OutOfRange) {
        if (text != nullptr) text->clear();
        return std::nullopt;
    }
    // The value is that of its seven-digit text, so XValue and ZValue never hold more.
    if (text != nullptr) return SevenDigitValue(acc.Value, *text);
    return SevenDigitValue(acc.Value);
}

// Characters the scanner acts on outside a comment; every other one is passed over. A table:
// the test runs on every character of a program.
constexpr std::array<bool, 256> kActs = [] {
    std::array<bool, 256> acts{};
    for (const char ch : {'(', ')', 'G', 'X', 'Z'}) acts[static_cast<unsigned char>(ch)] = true;
    return acts;
}();
bool Acts(char ch) { return kActs[static_cast<unsigned char>(ch)]; }

// The value of a G number's characters: whole numbers of up to nine digits (G0, G32) directly,
// the same double WordValue gives them; anything else through WordValue.
double GNumberValue(std::string_view number) {
    if (number.empty() || number.size() > 9) return WordValue(number);
    std::uint32_t value = 0;
    for (const char ch : number) {
        if (!IsDigit(ch)) return WordValue(number);
        value = value * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    return static_cast<double>(value);
}

void Scan(ScanState& scan, Line line) {
    scan.LineLength = line.Length;
    bool inComment = scan.InComment;
    std::size_t pos = 1;
    while (pos <= line.Length) {
        char ch = line.At(pos);
        if (!inComment && !Acts(ch)) {
            ++pos;
            continue;
        }
        if (ch == '(' || inComment) {
            inComment = true;
            scan.StartNewPath = true;
            // The search starts after the character in hand: while a comment is still open from an
            // earlier line, a ")" in the first column is not seen.
            const void* close = pos < line.Length ? std::memchr(line.Text + pos, ')', line.Length - pos) : nullptr;
            if (close == nullptr) {
                // Nothing inside a comment acts, also when the line ends before the comment does.
                pos = line.Length + 1;
                break;
            }
            pos = static_cast<std::size_t>(static_cast<const char*>(close) - line.Text) + 1;
            ch = ')';
        }
        switch (ch) {
            case ')':
                inComment = false;
                break;
            case 'G': {
                const std::string_view number = GNumberAfter(line, pos);
                pos += number.size();
                // A G number beyond the single-precision range is not a G code: the word is ignored.
                const double g = GNumberValue(number);
                if (FitsSingle(g)) scan.GValue = static_cast<float>(g);
                break;
            }
            case 'X':
                if (const auto value = EvaluateAxisWord(line, pos, nullptr)) scan.XValue = *value;
                break;
            case 'Z':
                if (const auto value = EvaluateAxisWord(line, pos, nullptr)) scan.ZValue = *value;
                break;
            default:
                break;
        }
        ++pos;
    }
    scan.InComment = inComment;
    scan.ScanPos = pos;
}

}  // namespace

void ReadGNumber(ScanState& scan) {
    const std::string_view number = GNumberAfter(LineOf(scan), scan.ScanPos);
    scan.WordText.assign(number);
    scan.ScanPos += number.size();
}

void ReadAxisValue(ScanState& scan) { EvaluateAxisWord(LineOf(scan), scan.ScanPos, &scan.WordText); }

void ScanNcLine(ScanState& scan) { Scan(scan, {scan.LineText.data(), scan.LineText.size()}); }

void ScanNcLine(ScanState& scan, std::string_view line) { Scan(scan, {line.data(), line.size()}); }

}  // namespace quillane
