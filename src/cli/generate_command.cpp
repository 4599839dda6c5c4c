// quillane-cli generate and example: the generator and the sample programs without a window.
#include "cli/commands.h"

#include "core/numeric/data_error.h"
#include "core/shape/example_programs.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_check.h"
#include "core/shape/shape_file.h"

#include <fstream>
#include <ostream>

namespace quillane::cli {
namespace {

bool WriteFile(const std::string& path, const std::string& text, std::ostream& err) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        err << "quillane-cli: cannot write " << path << "\n";
        return false;
    }
    return true;
}

// Prints what the shape check finds in one file ("warning: FILE: ...", "note: FILE: ...") and
// says whether there was a warning.
bool PrintFindings(const ShapeFile& file, std::ostream& err) {
    bool warned = false;
    for (const Finding& f : CheckShapeBoxes(file.Boxes)) {
        const bool warning = f.Level == Severity::Warning;
        warned = warned || warning;
        err << (warning ? "warning: " : "note: ") << file.Name << ": " << f.Text << "\n";
    }
    return warned;
}

}  // namespace

std::string UsageText() {
    return "usage: quillane-cli generate [--dialect trv|fanuc] [--no-sequence-numbers] [--no-modin] [--strict]\n"
           "                             [--point-data FILE] [--program FILE] SHAPE.toml [SHAPE.toml ...]\n"
           "       quillane-cli example fanuc|trv-standard|trv-macro\n"
           "       quillane-cli plot --cutting|--points --shape SHAPE.toml [--size WxH] -o OUT PROGRAM.nc\n"
           "       quillane-cli check [--tool-angle DEG] [--target MM] [--json] SHAPE.toml [SHAPE.toml ...]\n";
}

int RunGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    OutputOptions options;  // the dialog's initial state: TRV, sequence numbers, MODIN
    std::string pointDataPath, programPath;
    std::vector<std::string> shapePaths;
    bool strict = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (a == "--dialect") {
            std::string d;
            if (!value(d) || (d != "trv" && d != "fanuc")) {
                err << "quillane-cli generate: --dialect takes trv or fanuc\n" << UsageText();
                return ExitUsage;
            }
            options.Fanuc = d == "fanuc";
            options.Trv = !options.Fanuc;
        } else if (a == "--no-sequence-numbers") {
            options.SequenceNumbers = false;
        } else if (a == "--no-modin") {
            options.OutputModin = false;
        } else if (a == "--strict") {
            strict = true;
        } else if (a == "--point-data" || a == "--program") {
            if (!value(a == "--program" ? programPath : pointDataPath)) {
                err << "quillane-cli generate: " << a << " needs a file name\n" << UsageText();
                return ExitUsage;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            err << "quillane-cli generate: unknown option " << a << "\n" << UsageText();
            return ExitUsage;
        } else {
            shapePaths.push_back(a);
        }
    }
    if (shapePaths.empty()) {
        err << "quillane-cli generate: no shape file given\n" << UsageText();
        return ExitUsage;
    }

    // Every file is checked before the first run, so a typo in the last one writes nothing.
    std::vector<ShapeFile> files;
    try {
        for (const std::string& path : shapePaths) files.push_back(LoadShapeFile(path));
    } catch (const ShapeFileError& e) {
        err << "quillane-cli generate: " << e.what() << "\n";
        return ExitUsage;
    }
    bool warned = false;
    for (const ShapeFile& file : files) warned = PrintFindings(file, err) || warned;
    if (strict && warned) return ExitWarning;

    // One press of "Program Output" per file, on the same two panes and pass counter.
    GeneratorState state;
    std::string pointText, programText;
    int status = ExitOk;
    for (const ShapeFile& file : files) {
        RunResult r = ProgramOutput(state, file.Boxes, OptionsFor(file, options), pointText, programText);
        state = r.State;
        pointText = std::move(r.PointText);
        programText = std::move(r.ProgramText);
        if (!r.Succeeded) {
            err << DataErrorMessage << file.Name << ": " << r.ErrorDetail << "\n";
            status = ExitDataError;
            break;
        }
    }

    if (!pointDataPath.empty()) {
        if (!WriteFile(pointDataPath, pointText, err)) return ExitUsage;
    } else {
        out << pointText;
    }
    if (!programPath.empty()) {
        if (!WriteFile(programPath, programText, err)) return ExitUsage;
    } else {
        out << programText;
    }
    return status;
}

int RunExample(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string which = args.size() == 1 ? args[0] : std::string();
    if (which == "fanuc") {
        out << FanucExampleProgram();
    } else if (which == "trv-standard") {
        out << TrvStandardExampleProgram();
    } else if (which == "trv-macro") {
        out << TrvMacroMainProgram() << TrvMacroSubProgram();
    } else {
        err << "quillane-cli example: name one of fanuc, trv-standard, trv-macro\n" << UsageText();
        return ExitUsage;
    }
    return ExitOk;
}

}  // namespace quillane::cli
