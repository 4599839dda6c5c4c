// What each stretch of an NC line is, for colouring the program panes.
#pragma once

// The kinds follow the words the generator writes and the way the scanner reads them: capitals
// only (a lower-case "x30" is no axis word to the plots, so it is not coloured as one), and a
// comment is where the scanner passes over the text, also when it runs on over later lines.
// Everything not recognised is Default; any bytes are safe (UTF-8 or not).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quillane {

enum class NcStyle : std::uint8_t {
    Default,         // blanks, digits and signs outside words, ". ", "%", unknown text
    SequenceNumber,  // N001, N2, and at the start of a line the labels NT01, NEND
    ProgramNumber,   // O0001, the called program OG34
    GCode,           // G00, G34
    MCode,           // M04, M30
    AxisWord,        // X28., Z-80, U0, W0, and the symbolic X=XP, ZSP
    Feed,            // F12.7, F=FD
    OtherWord,       // any other address with a value: S700, T0101
    MacroWord,       // MODIN, MODOUT, RTS
    MacroParameter,  // XP=28, FD=12.7, ZSP=VSIOZ
    Comment,         // ( MAIN PROGRAM FOR STANDARD )
    HeaderComment,   // (-----< D36 >-----), and a bare ----------< THREAD CYCLE >----------
};
inline constexpr int NcStyleCount = 12;

struct NcRun {
    std::size_t Start = 0;  // byte offset in the line
    std::size_t Length = 0;
    NcStyle Style = NcStyle::Default;
    bool operator==(const NcRun&) const = default;
};

// Classifies one line (without its CR LF) into runs that cover it from its first byte to its last,
// in order, neighbours never of the same style; an empty line gives none. `commentOpen` says that
// a comment opened on an earlier line is still open. Returns whether one is open at the line's
// end, exactly as the scanner's InComment would be after the line. `runs` is cleared first and
// its storage reused, so a caller styling many lines allocates once.
bool HighlightNcLine(std::string_view line, bool commentOpen, std::vector<NcRun>& runs);

}  // namespace quillane
