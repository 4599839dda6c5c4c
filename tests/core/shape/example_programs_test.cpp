// The built-in sample programs, byte for byte.
#include "core/shape/example_programs.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

TEST(ExamplePrograms, Fanuc) {
    EXPECT_EQ(FanucExampleProgram(),
              "O0001( FANUC THREAD )%\r\nG28 U0 W0\r\nT0101\r\nG00 X28. Z50. S700 M4\r\nG00 X32. Z17.7 M8\r\n"
              "G32 Z-80. F12.7\r\nG00 X28.\r\nG00 Z17.7\r\nG00 X32. Z17.5\r\nG32 Z-80. F12.7\r\nG00 X28.\r\n"
              "G00 Z17.5\r\n. \r\n. \r\nG00 Z50. M9\r\nG28 U0 W0 M5\r\nM30\r\n\r\n");
}

TEST(ExamplePrograms, TrvStandard) {
    EXPECT_EQ(TrvStandardExampleProgram(),
              "( MAIN PROGRAM FOR STANDARD )\r\n\r\n(-----< THREAD >-----)\r\n"
              "N000 G00 X28 Z50 T0101 M42 S700 M04 M63 M08\r\nNT01 G00 X32 Z17.7\r\nN001 G34 Z-80 F12.7\r\n"
              "N000 G00 X28\r\nN000     Z17.7\r\nN002 G00 X32 Z17.5\r\nN000 G34 Z-80 F12.7\r\nN000 G00 X28\r\n"
              "N000     Z17.5\r\n. \r\n. \r\nN000 G00 Z50\r\nN000     X800 Z300 M05 M63 M09\r\nNEND M02\r\n\r\n");
}

TEST(ExamplePrograms, TrvMacroMain) {
    EXPECT_EQ(TrvMacroMainProgram(),
              "( MAIN PROGRAM FOR MACRO )\r\n\r\n(-----< THREAD >-----)\r\n"
              "N000 G00 X30 Z50 T0101 M42 S700 M04 M63 M08\r\nNT01 MODIN OG34 XP=30 ZP=-80 FD=12.7\r\n"
              "N001 X32 Z17.7\r\nN002 X32 Z17.5\r\nN003 X32 Z17.3\r\n. (POINT DATA)\r\n. \r\nN099 X32 Z17.7\r\n"
              "N000 MODOUT\r\nN000 G00 Z50\r\nN000     X800 Z300 M05 M63 M09\r\nNEND M02\r\n\r\n");
}

TEST(ExamplePrograms, TrvMacroSub) {
    EXPECT_EQ(TrvMacroSubProgram(),
              "( SYSTEM SUB PROGRAM SSB FILE)\r\n\r\n----------< THREAD CYCLE >----------\r\n"
              "XP = X-AXIS RETRACT POINT\r\nZP = Z-AXIS END POINT\r\nFD = PITCH\r\n\r\nOG34\r\n"
              "NOEX ZSP=VSIOZ\r\nN000 G34 Z=ZP F=FD\r\nN000 G00 X=XP\r\nN000     Z=ZSP\r\nNRTS RTS\r\n\r\n\r\n");
}

}  // namespace
}  // namespace quillane
