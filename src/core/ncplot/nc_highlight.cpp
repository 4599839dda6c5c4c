// What each stretch of an NC line is, for colouring the program panes.
#include "core/ncplot/nc_highlight.h"

#include <cstring>

namespace quillane {
namespace {

bool IsUpper(char ch) { return ch >= 'A' && ch <= 'Z'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }
bool IsOperator(char ch) { return ch == '+' || ch == '-' || ch == '*' || ch == '/'; }
// The characters of a value as the scanner collects them: digits, "." and ",", the operators, "=".
bool IsValueChar(char ch) { return (ch >= '*' && ch <= '9') || ch == '='; }
// The characters of a G number: digits, signs, "." "," and "/".
bool IsGNumberChar(char ch) { return ch >= '+' && ch <= '9'; }

class LineText {
public:
    explicit LineText(std::string_view line) : line_(line) {}
    std::size_t Size() const { return line_.size(); }
    char At(std::size_t i) const { return i < line_.size() ? line_[i] : '\0'; }

    // First blank or tab at or after `from`, or the line's end.
    std::size_t NextBlank(std::size_t from) const {
        while (from < line_.size() && !IsBlank(line_[from])) ++from;
        return from < line_.size() ? from : line_.size();
    }

    // Where the scanner's X or Z word at `i` ends. The scanner passes over a symbolic rest up to
    // the next blank without looking at it, so a "(" in there opens no comment: every word that
    // meets an X or a Z goes on from here, and the comments found stay the scanner's.
    std::size_t AxisWordEnd(std::size_t i) const {
        if (IsUpper(At(i + 1))) return NextBlank(i + 2);  // XP=30, ZSP=VSIOZ
        for (std::size_t p = i + 1; p < line_.size(); ++p) {
            const char ch = line_[p];
            if (IsOperator(ch)) {
                const char next = At(p + 1);
                if (IsDigit(next) || next == '.') continue;
                return NextBlank(p + 2);  // X10+VC1: the rest up to the blank is symbolic
            }
            if (!IsValueChar(ch)) return p;
        }
        return line_.size();
    }

    // One step of a word over the character at `i`: an X or a Z takes its whole scanner word.
    std::size_t Step(std::size_t i) const {
        const char ch = line_[i];
        return ch == 'X' || ch == 'Z' ? AxisWordEnd(i) : i + 1;
    }

    std::size_t DigitsEnd(std::size_t i) const {
        while (IsDigit(At(i))) ++i;
        return i;
    }

    // Capitals and digits: a label (NT01, NEND) or a program name (OG34).
    std::size_t NameEnd(std::size_t i) const {
        while (i < line_.size() && (IsUpper(line_[i]) || IsDigit(line_[i]))) i = Step(i);
        return i;
    }

    // An address's value (12.7, -80, 0.5*2) and, after a "=" or an operator, a symbolic rest
    // (F=FD, U10+VC1).
    std::size_t ValueEnd(std::size_t i) const {
        while (IsValueChar(At(i))) ++i;
        const char last = At(i - 1);
        if ((last == '=' || IsOperator(last)) && IsUpper(At(i))) i = NameEnd(i);
        return i;
    }

    // The rest of a word up to a blank or a comment.
    std::size_t WordEnd(std::size_t i) const {
        while (i < line_.size() && !IsBlank(line_[i]) && line_[i] != '(') i = Step(i);
        return i;
    }

    std::string_view Text(std::size_t from, std::size_t to) const { return line_.substr(from, to - from); }

private:
    std::string_view line_;
};

bool IsMacroWord(std::string_view word) { return word == "MODIN" || word == "MODOUT" || word == "RTS"; }

// A comment that is a section header: "(" and dashes up to "<", as in (-----< D36 >-----).
bool IsHeaderComment(const LineText& line, std::size_t open) {
    std::size_t i = open + 1;
    while (line.At(i) == '-') ++i;
    return i > open + 1 && line.At(i) == '<';
}

struct Word {
    std::size_t End;
    NcStyle Style;
};

// The word that starts with the capital at `i`.
Word CapitalWord(const LineText& line, std::size_t i, bool lineStart) {
    const char ch = line.At(i);
    const char next = line.At(i + 1);
    switch (ch) {
        case 'X':
        case 'Z': {
            const std::size_t end = line.AxisWordEnd(i);
            if (IsUpper(next)) {
                // A name: a parameter when a "=" ends its capitals (XP=28), else a symbolic axis.
                std::size_t k = i + 1;
                while (IsUpper(line.At(k))) ++k;
                if (line.At(k) == '=') return {end, NcStyle::MacroParameter};
            }
            return {end, NcStyle::AxisWord};
        }
        case 'U':
        case 'W':
            if (IsValueChar(next)) return {line.ValueEnd(i + 1), NcStyle::AxisWord};
            break;
        case 'F':
            if (IsValueChar(next)) return {line.ValueEnd(i + 1), NcStyle::Feed};
            break;
        case 'G':
            if (IsGNumberChar(next)) {
                std::size_t k = i + 1;
                while (IsGNumberChar(line.At(k))) ++k;
                return {k, NcStyle::GCode};
            }
            break;
        case 'M':
            if (IsDigit(next)) return {line.DigitsEnd(i + 1), NcStyle::MCode};
            break;
        case 'N':
            if (IsDigit(next)) return {line.DigitsEnd(i + 1), NcStyle::SequenceNumber};
            if (IsUpper(next) && lineStart) return {line.NameEnd(i + 1), NcStyle::SequenceNumber};
            break;
        case 'O':
            if (IsDigit(next) || IsUpper(next)) return {line.NameEnd(i + 1), NcStyle::ProgramNumber};
            break;
        default:
            if (IsValueChar(next)) return {line.ValueEnd(i + 1), NcStyle::OtherWord};
            break;
    }
    // A name of capitals: a macro call word, a parameter with its value, or plain text. An X or
    // a Z inside it still takes its scanner word.
    std::size_t k = i;
    while (IsUpper(line.At(k))) k = line.Step(k);
    if (k - i >= 2 && line.At(k) == '=') return {line.WordEnd(k), NcStyle::MacroParameter};
    if (IsMacroWord(line.Text(i, k)) && (k == line.Size() || IsBlank(line.At(k)) || line.At(k) == '(')) {
        return {k, NcStyle::MacroWord};
    }
    return {k, NcStyle::Default};
}

class Runs {
public:
    explicit Runs(std::vector<NcRun>& runs) : runs_(runs) { runs_.clear(); }
    void Add(std::size_t from, std::size_t to, NcStyle style) {
        if (to <= from) return;
        if (!runs_.empty() && runs_.back().Style == style) {
            runs_.back().Length += to - from;
            return;
        }
        runs_.push_back({from, to - from, style});
    }

private:
    std::vector<NcRun>& runs_;
};

}  // namespace

bool HighlightNcLine(std::string_view text, bool commentOpen, std::vector<NcRun>& runs) {
    const LineText line(text);
    const std::size_t n = line.Size();
    Runs out(runs);
    std::size_t i = 0;
    if (commentOpen) {
        // As the scanner reads it: a comment still open from an earlier line is not closed by a
        // ")" in the first column.
        const void* close = n > 1 ? std::memchr(text.data() + 1, ')', n - 1) : nullptr;
        if (close == nullptr) {
            out.Add(0, n, NcStyle::Comment);
            return true;
        }
        i = static_cast<std::size_t>(static_cast<const char*>(close) - text.data()) + 1;
        out.Add(0, i, NcStyle::Comment);
    }
    bool lineStart = i == 0;
    while (i < n) {
        const char ch = text[i];
        if (IsBlank(ch)) {
            out.Add(i, i + 1, NcStyle::Default);
            ++i;
            continue;
        }
        if (ch == '(') {
            const void* close = std::memchr(text.data() + i + 1, ')', n - i - 1);
            const std::size_t end =
                close == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(close) - text.data()) + 1;
            out.Add(i, end, IsHeaderComment(line, i) ? NcStyle::HeaderComment : NcStyle::Comment);
            if (close == nullptr) return true;
            i = end;
            lineStart = false;
            continue;
        }
        Word word{i + 1, NcStyle::Default};
        if (IsUpper(ch)) {
            word = CapitalWord(line, i, lineStart);
        } else if (ch == '-' && lineStart) {
            // A banner line of the sub-programs, ----------< THREAD CYCLE >----------, up to a comment.
            std::size_t k = i;
            while (line.At(k) == '-') ++k;
            if (k - i >= 2 && line.At(k) == '<') {
                while (k < n && text[k] != '(') k = line.Step(k);
                word = {k, NcStyle::HeaderComment};
            }
        }
        out.Add(i, word.End, word.Style);
        i = word.End;
        lineStart = false;
    }
    return false;
}

}  // namespace quillane
