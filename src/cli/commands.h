// The subcommands of quillane-cli, with their streams passed in so tests can run them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quillane::cli {

// Exit codes.
inline constexpr int ExitOk = 0;
inline constexpr int ExitDataError = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitCheckFailed = 3;  // check: a gouge, or a segment beyond the target
inline constexpr int ExitWarning = 3;      // generate --strict: the shape check warned, nothing written

int RunGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExample(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Usage text of the whole tool.
std::string UsageText();

}  // namespace quillane::cli
