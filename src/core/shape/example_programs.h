// The three built-in sample programs that show each output dialect.
#pragma once

#include <string>

namespace quillane {

std::string FanucExampleProgram();        // FANUC G32 standard program
std::string TrvStandardExampleProgram();  // TRV G34 standard program
std::string TrvMacroMainProgram();        // TRV macro main program with point data
std::string TrvMacroSubProgram();         // TRV thread-cycle sub-program OG34

}  // namespace quillane
