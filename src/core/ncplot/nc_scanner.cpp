// Reads the G number and the X and Z values out of one line of an NC program text.
#include "core/ncplot/nc_scanner.h"

#include "core/ncplot/word_value.h"
#include "core/numeric/number_text.h"
#include "core/numeric/powers_of_ten.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// What the scan loop does with a character outside a comment; every other one is passed over.
enum CharClass : std::uint8_t { kPass, kOpen, kClose, kGWord, kXWord, kReturn };  // kXWord: X or Z
constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> classes{};
    classes[static_cast<unsigned char>('(')] = kOpen;
    classes[static_cast<unsigned char>(')')] = kClose;
    classes[static_cast<unsigned char>('G')] = kGWord;
    classes[static_cast<unsigned char>('X')] = kXWord;
    classes[static_cast<unsigned char>('Z')] = kXWord;
    classes[static_cast<unsigned char>('\r')] = kReturn;
    return classes;
}();

// Bit k set when the character at p + k is one the scan loop acts on (kClass not kPass): "(" and
// ")" differ in their last bit only, "X" and "Z" in their second. The characters of a program are
// mostly passed over, and this finds the next one to act on without a test per character.
unsigned ActingMask(const char* p) {
#if defined(__SSE2__)
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i parens = _mm_cmpeq_epi8(_mm_or_si128(c, _mm_set1_epi8(1)), _mm_set1_epi8(')'));
    const __m128i axes = _mm_cmpeq_epi8(_mm_or_si128(c, _mm_set1_epi8(2)), _mm_set1_epi8('Z'));
    const __m128i g = _mm_cmpeq_epi8(c, _mm_set1_epi8('G'));
    const __m128i cr = _mm_cmpeq_epi8(c, _mm_set1_epi8('\r'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(parens, axes), _mm_or_si128(g, cr))));
#else
    unsigned mask = 0;
    for (int k = 0; k < 16; ++k) {
        if (kClass[static_cast<unsigned char>(p[k])] != kPass) mask |= 1u << k;
    }
    return mask;
#endif
}

// The characters of one line as the scan loop walks them. A line handed over alone ends at `End`;
// a line of a whole text ends at the first CR LF, which the walk finds as it goes (`Walk`), so
// the text is read once. Every word stops at a CR, which no word contains, so a word never runs
// past the line; only the skips over a comment or a symbolic rest look for the CR LF itself.
template <bool Walk>
struct Chars {
    const char* End;  // the line's end, or the text's

    // True at the CR of the CR LF that ends the line, or at the end of a line handed over alone.
    bool EndsLine(const char* p) const {
        if constexpr (Walk) {
            return p + 1 < End && p[0] == '\r' && p[1] == '\n';
        } else {
            return p == End;
        }
    }
    char At(const char* p) const { return p < End ? *p : '\0'; }
};

// A plain decimal word (see PlainDecimalWord) from `p`, the first character after the address:
// returns where it ends and sets `value`, or nullptr when the word is not plain. The tests are
// done on the whole units, so the division (the one slow step) is needed only for the result.
#if defined(__SSE2__)
// The value of `count` (0 to 8) decimal digits at p, read in one piece: the eight bytes from p are
// shifted so that the digits end the number, the bytes before them counting as leading zeros.
// The value of eight digit values, one a byte, the first in the lowest byte.
std::uint64_t DigitBytesValue(std::uint64_t v) {
    v = v * 10 + (v >> 8);
    return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
            ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
           32;
}
std::uint64_t EightDigitsValue(std::uint64_t v, int count) {
    v -= 0x3030303030303030u;  // no byte of the digits borrows; the others are shifted out
    return count == 0 ? 0 : DigitBytesValue(v << (64 - 8 * count));
}
std::uint64_t EightBytesAt(const char* p) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}
#endif

// A plain decimal word (see PlainDecimalWord) from `p`, the first character after the address:
// returns where it ends and sets `value`, or nullptr (`value` untouched) when the word is not
// plain. The tests are done on the whole units, so the division (the one slow step) is needed
// only for the result, and where the text goes on long enough the digits are found and read a
// piece at a time rather than one by one: their number varies from word to word.
template <bool Walk>
const char* PlainDecimalAt(Chars<Walk> chars, const char* p, double& value) {
    const char first = chars.At(p);
    if (IsUpperCase(first)) return nullptr;  // a symbolic word ("XP=30")
    const bool sign = first == '-' || first == '+';
    if (sign) {
        const char next = chars.At(p + 1);
        if (!IsDigit(next) && next != '.') return nullptr;  // a symbolic rest
    }
    const bool negative = first == '-';
    p += sign ? 1 : 0;
    std::uint64_t units = 0;  // exact up to 15 digits; longer words are not plain
    int count = 0, pointAt = -1;
#if defined(__SSE2__)
    if (chars.End - p >= 24) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // c - '0' below 10 as unsigned bytes: shifted by 0x80, below -118 as signed ones.
        const __m128i shifted = _mm_xor_si128(_mm_sub_epi8(c, _mm_set1_epi8('0')), _mm_set1_epi8(-128));
        const auto digits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(shifted, _mm_set1_epi8(-118))));
        const auto points = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_set1_epi8('.'))));
        // The word ends at the first character that is neither, or at a second point.
        const int other = std::countr_zero(~(digits | points) | 0x10000u);
        const int secondPoint = std::countr_zero((points & (points - 1)) | 0x10000u);
        const int end = std::min(other, secondPoint);
        const int point = std::countr_zero(points | 0x10000u);
        const int whole = std::min(point, end);                  // digits before the point
        const int decimals = point < end ? end - point - 1 : 0;  // digits after it
        if (end < 16 && whole + decimals <= 8) {
            // The digits without the point, in one piece: those before it from p, the rest from p + 1.
            const std::uint64_t before = whole >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * whole)) - 1;
            const std::uint64_t digitBytes = (EightBytesAt(p) & before) | (EightBytesAt(p + 1) & ~before);
            units = EightDigitsValue(digitBytes, whole + decimals);
            count = whole + decimals;
            pointAt = point < end ? whole : -1;
            p += end;
        } else if (end < 16 && whole <= 8 && decimals <= 8) {
            units = EightDigitsValue(EightBytesAt(p), whole) * kWholePowersOfTen[static_cast<std::size_t>(decimals)] +
                    EightDigitsValue(EightBytesAt(p + whole + 1), decimals);
            count = whole + decimals;
            pointAt = point < end ? whole : -1;
            p += end;
        } else {
            units = ~std::uint64_t{0};  // read below, one by one
        }
    } else {
        units = ~std::uint64_t{0};
    }
    if (units == ~std::uint64_t{0}) {
        units = 0;
#else
    {
#endif
        for (; p < chars.End; ++p) {
            const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
            if (digit < 10) {
                units = units * 10 + digit;
                ++count;
            } else if (*p == '.' && pointAt < 0) {
                pointAt = count;
            } else {
                break;
            }
        }
    }
    if (count > 15) return nullptr;
    if (p < chars.End && IsAxisValueChar(*p)) return nullptr;  // an expression, a comma
    if (units == 0) {
        value = 0.0;
        return p;
    }
    if (pointAt < 0) pointAt = count;
    // At most seven significant digits: without its trailing zeros, units stays below 10^7.
    if (units >= 10000000) {
        std::uint64_t significant = units;
        while (significant % 10 == 0) significant /= 10;
        if (significant >= 10000000) return nullptr;
    }
    // 0.001 <= units / 10^decimals < 10^7, on whole numbers: units < 10^15 and decimals <= 15.
    const int decimals = count - pointAt;
    if (decimals > 3 && units < kWholePowersOfTen[static_cast<std::size_t>(decimals - 3)]) return nullptr;
    if (decimals + 7 < 16 && units >= kWholePowersOfTen[static_cast<std::size_t>(decimals + 7)]) return nullptr;
    const double magnitude = static_cast<double>(units) / PowerOfTen(decimals);
    // The sign set without a branch: it differs from word to word.
    value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) | (std::uint64_t{negative} << 63));
    return p;
}

// The G word at `p`: sets `g` to its number (leaves it when it has none that fits) and returns
// the position after its characters. One and two digits (G0, G00, G32) are read in one step;
// other whole numbers of up to nine digits as GNumberValue reads them.
const char* ReadLongG(const char* p, const char* end, float& g);
inline const char* ReadG(const char* p, const char* end, float& g) {
    if (end - p >= 4) {
        const unsigned d0 = static_cast<unsigned char>(p[1]) - unsigned{'0'};
        const unsigned d1 = static_cast<unsigned char>(p[2]) - unsigned{'0'};
        if (d0 < 10 && d1 < 10 && !IsGNumberChar(p[3])) {
            g = static_cast<float>(d0 * 10 + d1);
            return p + 3;
        }
        if (d0 < 10 && !IsGNumberChar(p[2])) {
            g = static_cast<float>(d0);
            return p + 2;
        }
    }
    float number = g;  // a copy: g itself stays in a register
    const char* const after = ReadLongG(p, end, number);
    g = number;
    return after;
}

// ReadG beyond one and two digits, and near the text's end.
const char* ReadLongG(const char* p, const char* end, float& g) {
    const char* q = p + 1;
    std::uint32_t whole = 0;
    while (q < end && IsDigit(*q) && q - p <= 9) {
        whole = whole * 10 + static_cast<std::uint32_t>(*q - '0');
        ++q;
    }
    if (q > p + 1 && (q == end || !IsGNumberChar(*q))) {
        g = static_cast<float>(static_cast<double>(whole));
        return q;
    }
    while (q < end && IsGNumberChar(*q)) ++q;
    // A G number beyond the single-precision range is not a G code: the word is ignored.
    const double number = GNumberValue({p + 1, static_cast<std::size_t>(q - p - 1)});
    if (FitsSingle(number)) g = static_cast<float>(number);
    return q;
}

#if defined(__SSE2__)
// (units - 1) below this for `decimals` digits after the point makes a word below 0.001; the
// value of units 0 (the word 0) never is.
constexpr std::array<std::uint64_t, 9> kBelowThousandth = [] {
    std::array<std::uint64_t, 9> t{};
    for (std::size_t d = 0; d < t.size(); ++d) t[d] = (d > 3 ? kWholePowersOfTen[d - 3] : 1) - 1;
    return t;
}();

// The low n bytes of 64 bits set (n < 8), and the factor that moves the low n bytes (n from 1 to 8)
// to the top: tables rather than shifts by a count, which wait for the flags before them.
constexpr std::array<std::uint64_t, 8> kLowBytes = [] {
    std::array<std::uint64_t, 8> t{};
    for (std::size_t n = 0; n < t.size(); ++n) t[n] = (std::uint64_t{1} << (8 * n)) - 1;
    return t;
}();
constexpr std::array<std::uint64_t, 9> kToTopBytes = [] {
    std::array<std::uint64_t, 9> t{};
    for (std::size_t n = 1; n < t.size(); ++n) t[n] = std::uint64_t{1} << (64 - 8 * n);
    return t;
}();

// True for "*" to "9" and "=": a character after the digits that makes the word an expression.
constexpr std::array<bool, 256> kContinuesExpression = [] {
    std::array<bool, 256> set{};
    for (int ch = '*'; ch <= '9'; ++ch) set[static_cast<std::size_t>(ch)] = true;
    set['='] = true;
    return set;
}();

// The common words of a program ("X30.0", "Z-80.0", "X30.303": a sign and digits, at most eight
// of them together and at most seven before the point, at most one point, and then a character
// that is no part of an expression), read as PlainDecimalAt reads them but with fewer steps, at
// least 32 characters before the text's end. Sets `value`; returns nullptr for every other word,
// which PlainDecimalAt then reads.
inline const char* CommonDecimalAt(const char* p, double& value) {
    // The characters are classified from p, a sign taken as one of the word's digits (a leading
    // zero): nothing of the classification waits for the sign.
    const unsigned first = static_cast<unsigned char>(*p);
    const bool negative = first == '-';
    const unsigned sign = (first == '-' || first == '+') ? 1 : 0;
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i shifted = _mm_xor_si128(_mm_sub_epi8(c, _mm_set1_epi8('0')), _mm_set1_epi8(-128));
    const __m128i isPoint = _mm_cmpeq_epi8(c, _mm_set1_epi8('.'));
    const __m128i isPart = _mm_or_si128(_mm_cmplt_epi8(shifted, _mm_set1_epi8(-118)), isPoint);
    // The characters that end the word (the first of them, at most the 17th, is always among
    // them), and the points.
    const unsigned stop = ~(static_cast<unsigned>(_mm_movemask_epi8(isPart)) | sign);
    const auto points = static_cast<unsigned>(_mm_movemask_epi8(isPoint));
    const auto length = static_cast<unsigned>(__builtin_ctz(stop));          // the word's characters
    const auto whole = static_cast<unsigned>(__builtin_ctz(stop | points));  // before the point, the sign too
    const unsigned count = length - (whole < length ? 1u : 0u);              // digits and sign, if one point
    // Not common: no digit, more than eight digits and sign or eight before the point, a second
    // point, or an expression.
    if (((count - 1) | whole) > 7 || count == sign || (points & (points - 1) & ((1u << length) - 1)) != 0 ||
        kContinuesExpression[static_cast<unsigned char>(p[length])]) {
        return nullptr;
    }
    const unsigned decimals = count - whole;
    // The digits without the point, in one piece: those before it from p, the rest from p + 1; the
    // sign is made a zero.
    const std::uint64_t before = kLowBytes[whole];
    const std::uint64_t zeros = 0x3030303030303000u | (sign != 0 ? first : unsigned{'0'});
    const std::uint64_t digitBytes = ((EightBytesAt(p) & before) | (EightBytesAt(p + 1) & ~before)) - zeros;
    const std::uint64_t units = DigitBytesValue(digitBytes * kToTopBytes[count]);  // see EightDigitsValue
    // Seven significant digits, 0.001 <= units / 10^decimals < 10^7 (see PlainDecimalAt).
    if (units >= 10000000 || units - 1 < kBelowThousandth[decimals]) return nullptr;
    // Exact below 10^7, and a division rounds a negative quotient as its negation: the sign is the
    // numerator's. Units 0 give +0.
    const auto numerator = static_cast<std::int32_t>(negative ? 0 - units : units);
    value = static_cast<double>(numerator) / PowerOfTen(static_cast<int>(decimals));
    return p + length;
}
#endif

// Scans the line from `begin` to `end` into `v`; returns the position after the last character
// examined (the line's end, or one past it when an operator closed the line).
const char* ScanChars(ScanState& v, const char* const begin, const char* const end) {
    const Chars<false> chars{end};
    const char* p = begin;
    // Past a comment from `from`: on its ")", or nullptr when the line ends first.
    const auto closeComment = [&](const char* from) -> const char* {
        if (from >= end) return nullptr;
        return static_cast<const char*>(std::memchr(from, ')', static_cast<std::size_t>(end - from)));
    };

    if (v.InComment) {
        if (p >= end) return p;  // an empty line
        v.StartNewPath = true;
        // The search starts after the character in hand: while a comment is still open from an
        // earlier line, a ")" in the first column is not seen.
        const char* close = closeComment(begin + 1);
        if (close == nullptr) return end;  // nothing inside a comment acts
        v.InComment = false;
        p = close + 1;
    }
    // The characters to act on, found 16 at a time where the text has them: `mask` holds those
    // from `base` on, at or after `p`.
    const char* base = p;
    unsigned mask = 0;
    for (;;) {
        while (mask == 0) {
            if (end - p >= 16) {
                base = p;
                mask = ActingMask(p);
                if (mask == 0) p += 16;
            } else {
                while (p < end && kClass[static_cast<unsigned char>(*p)] == kPass) ++p;
                if (p == end) return p;
                base = p;
                mask = 1;
            }
        }
        p = base + std::countr_zero(mask);
        const std::uint8_t cls = kClass[static_cast<unsigned char>(*p)];
        switch (cls) {
            case kReturn:
            case kClose:
                ++p;
                break;
            case kOpen: {
                v.StartNewPath = v.InComment = true;
                const char* close = closeComment(p + 1);
                if (close == nullptr) return end;  // nothing inside a comment acts
                v.InComment = false;
                p = close + 1;
                break;
            }
            case kGWord:
                p = ReadG(p, end, v.GValue);
                break;
            default: {  // kXWord, "X" (0x58) or "Z" (0x5A): the second bit picks the axis
                // Written in place: a value kept elsewhere and copied over would be read back as
                // a whole with its neighbour, before the copy of each has arrived.
                double& axis = (static_cast<unsigned char>(*p) & 2) != 0 ? v.ZValue : v.XValue;
                if (const char* after = PlainDecimalAt(chars, p + 1, axis)) {
                    p = after;
                    break;
                }
                // Symbolic words, expressions and long words: the general reader, on the line.
                std::size_t pos = static_cast<std::size_t>(p - begin) + 1;
                if (const auto general =
                        EvaluateAxisWord({begin, static_cast<std::size_t>(end - begin)}, pos, nullptr)) {
                    axis = *general;
                }
                p = begin + pos;  // the character after the last one consumed
                if (p >= end) return p;
                break;
            }
        }
        const auto passed = std::min<std::ptrdiff_t>(p - base, 32);
        mask &= static_cast<unsigned>(~std::uint64_t{0} << passed);
    }
}

// The ")" that closes a comment from `from` on, or the CR of the CR LF that ends the line first
// (the comment then stays open), or nullptr when the text ends before either.
const char* CommentCloseOrLineEnd(const char* from, const char* end) {
    for (const char* q = from; q < end; ++q) {
        if (*q == ')') return q;
        if (*q == '\r' && q + 1 < end && q[1] == '\n') return q;
    }
    return nullptr;
}

// The CR of the first CR LF from `from` on, or nullptr.
const char* LineEndFrom(const char* from, const char* end) {
    for (const char* q = from; q + 1 < end; ++q) {
        if (q[0] == '\r' && q[1] == '\n') return q;
    }
    return nullptr;
}

// The text ScanNcLines walks and where it hands its lines back.
struct WalkText {
    const char* Begin;   // the text's first character
    Chars<true> Ends;    // and its end
    const char* Start;   // where the first line starts
    ScannedLine* Lines;  // the lines handed back
    ScannedLine* Full;   // one past the last there is room for
};

// Writes a line as ScanNcLines hands it back: the CR that ends it and the state after it.
inline void HandBackLine(ScannedLine& line, std::size_t end, double x, double z, float g, std::uint8_t flags) {
    line.End = end;
    line.XValue = x;
    line.ZValue = z;
    line.GValue = g;
    line.Flags = flags;
}

// ScanNcLines' state between two characters, handed to its rare steps: the loop keeps it in
// registers and copies it here and back around a rare step, so that nothing of it has to live
// across a call.
struct Walker {
    // (The values apart: copied as a pair, the compiler would keep them as one.)
    double XValue;
    const char* P;  // the character in hand
    double ZValue;
    const char* Base;
    std::uint64_t Mask;  // the characters to act on from Base on, at or after P
    ScannedLine* Out;    // the next line to hand back
    float G;
    std::uint8_t Flags;  // ScannedLine::NewPath and ScannedLine::InComment of the line in hand

    // The characters before P need no action any more.
    void PassOver() {
        const auto passed = P - Base;
        Mask = passed >= 64 ? 0 : Mask & (~std::uint64_t{0} << passed);
    }
    // Hands back the line that ends at the CR `cr`; false when the lines are full.
    bool Finish(const WalkText& text, const char* cr, std::uint8_t extra) {
        HandBackLine(*Out++, static_cast<std::size_t>(cr - text.Begin), XValue, ZValue, G,
                     static_cast<std::uint8_t>(Flags | extra));
        Flags &= ScannedLine::InComment;
        P = cr + 1;  // the next line starts with the LF
        return Out != text.Full;
    }
};

// What the loop does after a rare step.
enum class Next : std::uint8_t {
    Go,        // on to the next character to act on
    NextLine,  // the line was handed back: on to the next one
    Stop,      // the text or the room for lines ran out
};

// Past the open comment that the character in hand lies in or opens: to its ")" (Go), or to
// the line's end when the line ends first (nothing inside a comment acts). The search starts
// after the character in hand: while a comment is still open from an earlier line, a ")" in the
// first column is not seen.
Next PastComment(const WalkText& text, Walker& walk) {
    const char* close = CommentCloseOrLineEnd(walk.P + 1, text.Ends.End);
    if (close == nullptr) return Next::Stop;
    if (*close != ')') {
        if (!walk.Finish(text, close, 0)) return Next::Stop;
        walk.PassOver();
        return Next::NextLine;
    }
    walk.Flags &= static_cast<std::uint8_t>(~ScannedLine::InComment);
    walk.P = close + 1;
    walk.PassOver();
    return Next::Go;
}

// The start of a line while a comment is open.
[[gnu::noinline]] Next LineInComment(const WalkText& text, Walker& walk) {
    if (walk.P >= text.Ends.End) return Next::Stop;
    if (text.Ends.EndsLine(walk.P)) {  // an empty line
        if (!walk.Finish(text, walk.P, 0)) return Next::Stop;
        walk.PassOver();
        return Next::NextLine;
    }
    walk.Flags |= ScannedLine::NewPath;
    return PastComment(text, walk);
}

// The "(" in hand opens a comment.
[[gnu::noinline]] Next OpenComment(const WalkText& text, Walker& walk) {
    walk.Flags |= ScannedLine::NewPath | ScannedLine::InComment;
    return PastComment(text, walk);
}

// The X or Z word in hand where CommonDecimalAt does not read it: near the text's end, plain
// words of other forms, and through the general reader symbolic words, expressions and long
// words.
[[gnu::noinline]] Next RareAxisWord(const WalkText& text, Walker& walk) {
    const char* const p = walk.P;
    double& axis = (static_cast<unsigned char>(*p) & 2) != 0 ? walk.ZValue : walk.XValue;
    double value = 0;
    if (const char* after = PlainDecimalAt(text.Ends, p + 1, value)) {
        axis = value;
        walk.P = after;
        walk.Mask &= walk.Mask - 1;
        return Next::Go;
    }
    // The general reader, on the line.
    const char* lineEnd = LineEndFrom(p, text.Ends.End);
    if (lineEnd == nullptr) return Next::Stop;
    const char* const begin = walk.Out == text.Lines ? text.Start : text.Begin + walk.Out[-1].End + 1;
    std::size_t pos = static_cast<std::size_t>(p - begin) + 1;
    if (const auto general = EvaluateAxisWord({begin, static_cast<std::size_t>(lineEnd - begin)}, pos, nullptr)) {
        axis = *general;
    }
    walk.P = begin + pos;  // the character after the last one consumed
    if (walk.P >= lineEnd) {
        if (!walk.Finish(text, lineEnd, walk.P > lineEnd ? ScannedLine::PastEnd : 0)) return Next::Stop;
        walk.PassOver();
        return Next::NextLine;
    }
    walk.PassOver();
    return Next::Go;
}

}  // namespace

std::size_t ScanNcLines(const ScanState& from, std::string_view text, std::size_t start, ScannedLine* lines,
                        std::size_t capacity) {
    if (start >= text.size() || capacity == 0) return 0;
    const WalkText walkText{text.data(), {text.data() + text.size()}, text.data() + start, lines, lines + capacity};
    const char* const textBegin = walkText.Begin;
    const char* const end = walkText.Ends.End;
    ScannedLine* const full = walkText.Full;
    // The state as it stands after the characters examined so far; a line is handed back only
    // once its CR LF is reached, so a line the text ends in leaves nothing behind. Whether a comment
    // is open is kept among the flags of the line in hand.
    float g = from.GValue;
    double x = from.XValue, z = from.ZValue;
    std::uint8_t flags = from.InComment ? ScannedLine::InComment : 0;
    ScannedLine* out = lines;
    const char* p = walkText.Start;
    // The characters to act on, found 64 at a time where the text has them (several lines: the
    // walk leaves its window at a place that does not depend on where the lines lie): `mask`
    // holds those from `base` on, at or after `p`. CR is one of them: the walk finds the line
    // ends as it goes.
    const char* base = p;
    std::uint64_t mask = 0;
    // A rare step, on a copy of the state.
    const auto rare = [&](Next (*step)(const WalkText&, Walker&)) {
        Walker walk{x, p, z, base, mask, out, g, flags};
        const Next next = step(walkText, walk);
        p = walk.P;
        base = walk.Base;
        mask = walk.Mask;
        out = walk.Out;
        x = walk.XValue;
        z = walk.ZValue;
        g = walk.G;
        flags = walk.Flags;
        return next;
    };
    const auto count = [&] { return static_cast<std::size_t>(out - lines); };
    // Hands back the line that ends at the CR `p` and moves p to the LF, which is passed over;
    // false when the lines are full.
    const auto handBack = [&] {
        HandBackLine(*out++, static_cast<std::size_t>(p - textBegin), x, z, g, flags);
        flags &= ScannedLine::InComment;
        ++p;
        return out != full;
    };
    // From here on the text is too short for CommonDecimalAt.
    const char* const roomy = text.size() >= 40 ? end - 40 : textBegin;

    for (;;) {
        // At the start of a line.
        if ((flags & ScannedLine::InComment) != 0) {
            const Next next = rare(LineInComment);
            if (next == Next::Stop) return count();
            if (next == Next::NextLine) continue;
        }
        // Up to the CR LF that ends the line. A word read in one step holds no character to act
        // on (digits, signs and points): what it passes over needs no change of the mask beyond
        // its address.
        for (;;) {
            while (mask == 0) {
                if (end - p >= 64) {
                    // The text is asked for a little ahead: its lines are read faster than they
                    // would arrive on their own. (An address, not a pointer, past the text's end.)
                    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + 1024));
                    base = p;
                    mask = ActingMask(p) | std::uint64_t{ActingMask(p + 16)} << 16 |
                           std::uint64_t{ActingMask(p + 32)} << 32 | std::uint64_t{ActingMask(p + 48)} << 48;
                    if (mask == 0) p += 64;
                } else if (end - p >= 16) {
                    base = p;
                    mask = ActingMask(p);
                    if (mask == 0) p += 16;
                } else {
                    while (p < end && kClass[static_cast<unsigned char>(*p)] == kPass) ++p;
                    if (p == end) return count();
                    base = p;
                    mask = 1;
                }
            }
            p = base + std::countr_zero(mask);
            const char ch = *p;
            if ((ch | 2) == 'Z') {  // "X" (0x58) or "Z" (0x5A): the second bit picks the axis
#if defined(__SSE2__)
                double value = 0;
                if (p < roomy) {
                    if (const char* after = CommonDecimalAt(p + 1, value)) {
                        const bool isZ = (ch & 2) != 0;
                        if (isZ) {
                            z = value;
                        } else {
                            x = value;
                        }
                        p = after;
                        mask &= mask - 1;
                        // A line that ends with the word is handed back here, without looking
                        // for its CR among the characters to act on. That CR is the next of them,
                        // or lies past them all: its bit is cleared either way.
                        if (after[0] == '\r' && after[1] == '\n') {
                            if (!handBack()) return count();
                            mask &= mask - 1;
                            break;
                        }
                        continue;
                    }
                }
#endif
                const Next next = rare(RareAxisWord);
                if (next == Next::Stop) return count();
                if (next == Next::NextLine) break;
            } else if (ch == '\r') {
                if (p + 1 < end && p[1] == '\n') {
                    if (!handBack()) return count();
                    mask &= mask - 1;
                    break;
                }
                ++p;
                mask &= mask - 1;
            } else if (ch == 'G') {
                p = ReadG(p, end, g);
                mask &= mask - 1;
            } else if (ch == '(') {
                const Next next = rare(OpenComment);
                if (next == Next::Stop) return count();
                if (next == Next::NextLine) break;
            } else {  // ")"
                ++p;
                mask &= mask - 1;
            }
        }
    }
}

void ReadGNumber(ScanState& scan) {
    const std::string_view number = GNumberAfter(LineOf(scan), scan.ScanPos);
    scan.WordText.assign(number);
    scan.ScanPos += number.size();
}

void ReadAxisValue(ScanState& scan) { EvaluateAxisWord(LineOf(scan), scan.ScanPos, &scan.WordText); }

void ScanNcLine(ScanState& scan) { ScanNcLine(scan, scan.LineText); }

void ScanNcLine(ScanState& scan, std::string_view line) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* stop = ScanChars(scan, begin, end);
    scan.LineLength = line.size();
    scan.ScanPos = static_cast<std::size_t>(std::max(stop, end) - begin) + 1;
}

std::size_t ScanNextNcLine(ScanState& scan, std::string_view text, std::size_t start) {
    ScannedLine line;
    if (ScanNcLines(scan, text, start, &line, 1) == 0) return std::string_view::npos;
    ApplyScannedLine(scan, line, start);
    return line.End;
}

}  // namespace quillane
