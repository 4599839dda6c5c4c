// quillane-cli: the generator, the sample programs and plot export from the command line.
#include "cli/commands.h"
#include "cli/file_access.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace quillane::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        if (args.empty()) {
            std::cerr << UsageText();
            return ExitUsage;
        }
        std::cout << UsageText();
        return OutputArrived(std::cout, std::cerr, "quillane-cli") ? ExitOk : ExitUsage;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "generate") return RunGenerate(args, std::cout, std::cerr);
    if (command == "example") return RunExample(args, std::cout, std::cerr);
    if (command == "plot") return RunPlot(args, std::cout, std::cerr);
    if (command == "check") return RunCheck(args, std::cout, std::cerr);
    std::cerr << "quillane-cli: unknown command " << command << "\n" << UsageText();
    return ExitUsage;
}
