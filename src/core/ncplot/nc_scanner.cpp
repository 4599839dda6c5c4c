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
std::uint64_t EightDigitsValue(const char* p, int count) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, sizeof v);
    v -= 0x3030303030303030u;  // no byte of the digits borrows; the others are shifted out
    v = count == 0 ? 0 : v << (64 - 8 * count);
    v = v * 10 + (v >> 8);
    return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
            ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
           32;
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
        if (end < 16 && whole <= 8 && decimals <= 8) {
            units = EightDigitsValue(p, whole) * kWholePowersOfTen[static_cast<std::size_t>(decimals)] +
                    EightDigitsValue(p + whole + 1, decimals);
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

// What a line changes of the state, kept to be put back when a walked text ends before the
// line does: such a line is not scanned.
struct LineValues {
    float G;
    double X;
    double Z;
    bool InComment;
    bool StartNewPath;
};

// Scans from `begin` to the line's end; returns the position after the last character examined
// (the line's end, or one past it when an operator closed the line), or nullptr when a walked
// text ends before a CR LF. `lineEnd` is the line's end once known.
template <bool Walk>
const char* ScanChars(ScanState& v, const char* const begin, Chars<Walk> chars, const char*& lineEnd) {
    const char* p = begin;
    // The end of the line, found once: the rare words that need the line as a whole take the
    // general reader, which walks it by position.
    const auto findEnd = [&]() -> const char* {
        if (lineEnd == nullptr) {
            const char* q = p;
            while (q < chars.End && !chars.EndsLine(q)) ++q;
            if (q < chars.End || !Walk) lineEnd = q;
        }
        return lineEnd;
    };
    // Past a comment from `from`: on its ")", or nullptr when the line ends first (its end then
    // known, unless a walked text ends before a CR LF).
    const auto closeComment = [&](const char* from) -> const char* {
        if constexpr (Walk) {
            for (const char* q = from; q < chars.End; ++q) {
                if (*q == ')') return q;
                if (*q == '\r' && chars.EndsLine(q)) {
                    lineEnd = q;
                    return nullptr;
                }
            }
            return nullptr;
        } else {
            if (from >= chars.End) return nullptr;
            return static_cast<const char*>(std::memchr(from, ')', static_cast<std::size_t>(chars.End - from)));
        }
    };

    if (v.InComment) {
        if (p >= chars.End) return Walk ? nullptr : p;
        if (chars.EndsLine(p)) return p;  // an empty line
        v.StartNewPath = true;
        // The search starts after the character in hand: while a comment is still open from an
        // earlier line, a ")" in the first column is not seen.
        const char* close = closeComment(begin + 1);
        if (close == nullptr) return lineEnd;  // nothing inside a comment acts
        v.InComment = false;
        p = close + 1;
    }
    // The characters to act on, found 16 at a time where the text has them: `mask` holds those
    // from `base` on, at or after `p`.
    const char* base = p;
    unsigned mask = 0;
    for (;;) {
        while (mask == 0) {
            if (chars.End - p >= 16) {
                base = p;
                mask = ActingMask(p);
                if (mask == 0) p += 16;
            } else {
                while (p < chars.End && kClass[static_cast<unsigned char>(*p)] == kPass) ++p;
                if (p == chars.End) return Walk ? nullptr : p;
                base = p;
                mask = 1;
            }
        }
        p = base + std::countr_zero(mask);
        const std::uint8_t cls = kClass[static_cast<unsigned char>(*p)];
        switch (cls) {
            case kReturn:
                if (chars.EndsLine(p)) return p;
                ++p;
                break;
            case kOpen: {
                v.StartNewPath = v.InComment = true;
                const char* close = closeComment(p + 1);
                if (close == nullptr) return lineEnd;  // nothing inside a comment acts
                v.InComment = false;
                p = close + 1;
                break;
            }
            case kClose:
                ++p;
                break;
            case kGWord: {
                // Whole numbers of up to nine digits (G0, G32) are read here, as GNumberValue reads them.
                const char* q = p + 1;
                std::uint32_t whole = 0;
                while (q < chars.End && IsDigit(*q) && q - p <= 9) {
                    whole = whole * 10 + static_cast<std::uint32_t>(*q - '0');
                    ++q;
                }
                if (q > p + 1 && (q == chars.End || !IsGNumberChar(*q))) {
                    v.GValue = static_cast<float>(static_cast<double>(whole));
                    p = q;
                    break;
                }
                while (q < chars.End && IsGNumberChar(*q)) ++q;
                // A G number beyond the single-precision range is not a G code: the word is ignored.
                const double g = GNumberValue({p + 1, static_cast<std::size_t>(q - p - 1)});
                if (FitsSingle(g)) v.GValue = static_cast<float>(g);
                p = q;
                break;
            }
            default: {  // kXWord, "X" (0x58) or "Z" (0x5A): the second bit picks the axis
                // Written in place: a value kept elsewhere and copied over would be read back as
                // a whole with its neighbour, before the copy of each has arrived.
                double& axis = (static_cast<unsigned char>(*p) & 2) != 0 ? v.ZValue : v.XValue;
                if (const char* after = PlainDecimalAt(chars, p + 1, axis)) {
                    p = after;
                    break;
                }
                // Symbolic words, expressions and long words: the general reader, on the line.
                const char* end = findEnd();
                if (end == nullptr) return nullptr;
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

// Scans the line starting at `begin` into `scan`; returns the line's end, or nullptr (and leaves
// `scan` as it was) when a walked text ends before a CR LF.
template <bool Walk>
const char* ScanLine(ScanState& scan, const char* begin, const char* end) {
    const LineValues before{scan.GValue, scan.XValue, scan.ZValue, scan.InComment, scan.StartNewPath};
    const char* lineEnd = Walk ? nullptr : end;
    const char* stop = ScanChars<Walk>(scan, begin, Chars<Walk>{end}, lineEnd);
    if (stop == nullptr) {
        scan.GValue = before.G;
        scan.XValue = before.X;
        scan.ZValue = before.Z;
        scan.InComment = before.InComment;
        scan.StartNewPath = before.StartNewPath;
        return nullptr;
    }
    if (lineEnd == nullptr) lineEnd = stop;  // the walk stopped on the CR LF itself
    scan.LineLength = static_cast<std::size_t>(lineEnd - begin);
    scan.ScanPos = static_cast<std::size_t>(std::max(stop, lineEnd) - begin) + 1;
    return lineEnd;
}

}  // namespace

void ReadGNumber(ScanState& scan) {
    const std::string_view number = GNumberAfter(LineOf(scan), scan.ScanPos);
    scan.WordText.assign(number);
    scan.ScanPos += number.size();
}

void ReadAxisValue(ScanState& scan) { EvaluateAxisWord(LineOf(scan), scan.ScanPos, &scan.WordText); }

void ScanNcLine(ScanState& scan) { ScanNcLine(scan, scan.LineText); }

void ScanNcLine(ScanState& scan, std::string_view line) {
    ScanLine<false>(scan, line.data(), line.data() + line.size());
}

std::size_t ScanNextNcLine(ScanState& scan, std::string_view text, std::size_t start) {
    if (start >= text.size()) return std::string_view::npos;
    const char* end = ScanLine<true>(scan, text.data() + start, text.data() + text.size());
    return end == nullptr ? std::string_view::npos : static_cast<std::size_t>(end - text.data());
}

}  // namespace quillane
