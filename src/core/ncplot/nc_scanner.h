// Reads the G number and the X and Z values out of one line of an NC program text.
#pragma once

// Not an NC parser: it knows comments in parentheses, the addresses G, X and Z and a small
// left-to-right arithmetic on axis values, and passes over everything else. The plots scan a
// program many lines per call (ScanNcLines) and read each line's position from what it hands back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillane {

// Shared by the scanner and the two plots for the whole run; one per window (or test).
// GValue and InComment carry over from one plot to the next: only the scanner writes them.
struct ScanState {
    std::string LineText;        // the line to scan, set by the caller
    std::size_t LineLength = 0;  // characters (bytes) of LineText, taken when the scan starts
    std::size_t ScanPos = 0;     // 1-based position of the character being examined
    std::string WordText;        // written by ReadGNumber and ReadAxisValue only (see ScanNcLine)
    bool InComment = false;      // a "(" has not been closed by ")" yet, possibly on an earlier line
    bool StartNewPath = false;   // the next plotted point starts a new path (a dot, not a line)
    float GValue = 0;            // number of the last G word
    double XValue = 0;           // value of the last X word that had one (a diameter)
    double ZValue = 0;           // value of the last Z word that had one
};

// Scans LineText from its first character. Leaves GValue, XValue, ZValue, InComment and
// StartNewPath as they stand after the line; the values are modal (a line without the word keeps
// the previous value). Characters inside a comment never act, also when the line ends before
// the comment does. Never fails: words it cannot evaluate leave their value unchanged.
// Each word's value is read where the word lies, to the digit what reading back the text that
// ReadGNumber or ReadAxisValue leave in WordText gives; WordText itself is not touched.
void ScanNcLine(ScanState& scan);

// The same on `line` in place of LineText, which is left as it was: the plots scan every line
// of a program where it lies instead of copying it first.
void ScanNcLine(ScanState& scan, std::string_view line);

// The line of `text` that starts at byte `start` and ends before the next CR LF, scanned as
// ScanNcLine(scan, line) scans it, while finding where it ends: the text is read once. Returns
// the position of that CR, or npos when no CR LF follows (`scan` is then left as it was).
std::size_t ScanNextNcLine(ScanState& scan, std::string_view text, std::size_t start);

// One line of a text as ScanNcLines leaves the state after it.
struct ScannedLine {
    std::size_t End = 0;  // the CR of the CR LF that ends it
    double XValue = 0;
    double ZValue = 0;
    float GValue = 0;
    std::uint8_t Flags = 0;  // ScannedLine::... bits

    static constexpr std::uint8_t InComment = 1;  // a comment is still open after the line
    static constexpr std::uint8_t NewPath = 2;    // the line sets StartNewPath (it leaves it as it was otherwise)
    static constexpr std::uint8_t PastEnd = 4;    // ScanPos lies one further than the line's end + 1
};

// The lines of `text` that a CR LF ends, from the one that starts at byte `start`, scanned as
// ScanNextNcLine scans them one after the other from the GValue, XValue, ZValue and InComment of
// `from`, into `lines` (at most `capacity` of them). Returns how many: fewer than `capacity` when
// the text ran out. The scan goes on from the last line's state at its End + 1. Reading many
// lines in one call keeps the scanner's state in registers instead of in memory from line to line.
std::size_t ScanNcLines(const ScanState& from, std::string_view text, std::size_t start, ScannedLine* lines,
                        std::size_t capacity);

// What ScanNextNcLine leaves in `scan` after `line`, which started at byte `start`.
inline void ApplyScannedLine(ScanState& scan, const ScannedLine& line, std::size_t start) {
    scan.GValue = line.GValue;
    scan.XValue = line.XValue;
    scan.ZValue = line.ZValue;
    scan.InComment = (line.Flags & ScannedLine::InComment) != 0;
    if ((line.Flags & ScannedLine::NewPath) != 0) scan.StartNewPath = true;
    scan.LineLength = line.End - start;
    scan.ScanPos = scan.LineLength + 1 + ((line.Flags / ScannedLine::PastEnd) & 1u);
}

// With ScanPos on a "G": collects the characters "+" to "9" that follow into WordText and leaves
// ScanPos on the last of them (on the "G" when there are none).
void ReadGNumber(ScanState& scan);

// With ScanPos on an "X" or "Z": evaluates the word's value strictly left to right in single
// precision (operators + - * /, zero operands skipped, so X-5 is 0 - 5 and X10/0 is 10) and
// writes it back into WordText with at most seven significant digits. WordText stays empty when
// the word is symbolic ("XP=30", "ZSP=VSIOZ") or its value is beyond the single-precision
// range. ScanPos is left on the last character consumed.
void ReadAxisValue(ScanState& scan);

}  // namespace quillane
