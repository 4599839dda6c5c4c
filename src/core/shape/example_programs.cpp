// The three built-in sample programs that show each output dialect.
#include "core/shape/example_programs.h"

#include <initializer_list>

namespace quillane {
namespace {

// Every line ends with CR LF, and the text ends with one more, as an empty last line.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    text += "\r\n";
    return text;
}

}  // namespace

std::string FanucExampleProgram() {
    return Lines({
        "O0001( FANUC THREAD )%",
        "G28 U0 W0",
        "T0101",
        "G00 X28. Z50. S700 M4",
        "G00 X32. Z17.7 M8",
        "G32 Z-80. F12.7",
        "G00 X28.",
        "G00 Z17.7",
        "G00 X32. Z17.5",
        "G32 Z-80. F12.7",
        "G00 X28.",
        "G00 Z17.5",
        ". ",
        ". ",
        "G00 Z50. M9",
        "G28 U0 W0 M5",
        "M30",
    });
}

std::string TrvStandardExampleProgram() {
    return Lines({
        "( MAIN PROGRAM FOR STANDARD )",
        "",
        "(-----< THREAD >-----)",
        "N000 G00 X28 Z50 T0101 M42 S700 M04 M63 M08",
        "NT01 G00 X32 Z17.7",
        "N001 G34 Z-80 F12.7",
        "N000 G00 X28",
        "N000     Z17.7",
        "N002 G00 X32 Z17.5",
        "N000 G34 Z-80 F12.7",
        "N000 G00 X28",
        "N000     Z17.5",
        ". ",
        ". ",
        "N000 G00 Z50",
        "N000     X800 Z300 M05 M63 M09",
        "NEND M02",
    });
}

std::string TrvMacroMainProgram() {
    return Lines({
        "( MAIN PROGRAM FOR MACRO )",
        "",
        "(-----< THREAD >-----)",
        "N000 G00 X30 Z50 T0101 M42 S700 M04 M63 M08",
        "NT01 MODIN OG34 XP=30 ZP=-80 FD=12.7",
        "N001 X32 Z17.7",
        "N002 X32 Z17.5",
        "N003 X32 Z17.3",
        ". (POINT DATA)",
        ". ",
        "N099 X32 Z17.7",
        "N000 MODOUT",
        "N000 G00 Z50",
        "N000     X800 Z300 M05 M63 M09",
        "NEND M02",
    });
}

std::string TrvMacroSubProgram() {
    return Lines({
        "( SYSTEM SUB PROGRAM SSB FILE)",
        "",
        "----------< THREAD CYCLE >----------",
        "XP = X-AXIS RETRACT POINT",
        "ZP = Z-AXIS END POINT",
        "FD = PITCH",
        "",
        "OG34",
        "NOEX ZSP=VSIOZ",
        "N000 G34 Z=ZP F=FD",
        "N000 G00 X=XP",
        "N000     Z=ZSP",
        "NRTS RTS",
        "",
    });
}

}  // namespace quillane
