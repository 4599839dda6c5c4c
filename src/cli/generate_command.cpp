// quillane-cli generate and example: the generator and the sample programs without a window.
#include "cli/commands.h"

#include "cli/file_access.h"

#include "core/numeric/data_error.h"
#include "core/shape/example_programs.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_check.h"
#include "core/shape/shape_file.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <tuple>

namespace quillane::cli {
namespace {

constexpr std::string_view Generate = "quillane-cli generate";

int Generated(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

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
           "                             [--point-data FILE] [--program FILE] [--max-input SIZE]\n"
           "                             SHAPE.toml [SHAPE.toml ...]\n"
           "       quillane-cli example fanuc|trv-standard|trv-macro\n"
           "       quillane-cli plot --cutting|--points --shape SHAPE.toml [--size WxH] [--max-input SIZE]\n"
           "                         -o OUT PROGRAM.nc\n"
           "       quillane-cli check [--tool-angle DEG] [--target MM] [--json] SHAPE.toml [SHAPE.toml ...]\n"
           "An input named - is standard input. Inputs larger than 256M are refused unless --max-input\n"
           "gives a larger SIZE (bytes, or a number with K, M or G).\n";
}

int RunGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return GuardMemory(Generate, err, [&] { return Generated(args, out, err); });
}

namespace {

// What `generate` was asked for.
struct GenerateArguments {
    OutputOptions Options;  // the dialog's initial state: TRV, sequence numbers, MODIN
    std::string PointDataPath, ProgramPath;
    std::vector<std::string> ShapePaths;
    bool Strict = false;
    std::uint64_t InputLimit = DefaultInputLimit;
};

// The arguments, or the usage error already said on `err`.
std::optional<GenerateArguments> ParseGenerateArguments(const std::vector<std::string>& args, std::ostream& err) {
    GenerateArguments g;
    OutputOptions& options = g.Options;
    std::string& pointDataPath = g.PointDataPath;
    std::string& programPath = g.ProgramPath;
    std::vector<std::string>& shapePaths = g.ShapePaths;
    bool& strict = g.Strict;
    std::uint64_t& inputLimit = g.InputLimit;
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
                return std::nullopt;
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
                return std::nullopt;
            }
        } else if (a == "--max-input") {
            std::string size;
            if (!value(size) || !ParseByteSize(size, inputLimit)) {
                err << "quillane-cli generate: --max-input takes a size such as 512M or 2G\n" << UsageText();
                return std::nullopt;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            err << "quillane-cli generate: unknown option " << a << "\n" << UsageText();
            return std::nullopt;
        } else {
            shapePaths.push_back(a);
        }
    }
    if (shapePaths.empty()) {
        err << "quillane-cli generate: no shape file given\n" << UsageText();
        return std::nullopt;
    }

    if (std::count(shapePaths.begin(), shapePaths.end(), StandardInput) > 1) {
        err << "quillane-cli generate: standard input (-) can be read only once\n";
        return std::nullopt;
    }
    if (!pointDataPath.empty() && pointDataPath == programPath) {
        err << "quillane-cli generate: --point-data and --program name the same file " << programPath << "\n";
        return std::nullopt;
    }
    for (const std::string* output : {&pointDataPath, &programPath}) {
        if (output->empty()) continue;
        if (const std::string* input = InputReplacedBy(*output, shapePaths)) {
            err << "quillane-cli generate: the output " << *output << " is the input " << *input
                << ": refusing to overwrite it\n";
            return std::nullopt;
        }
    }
    return g;
}

int Generated(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<GenerateArguments> parsed = ParseGenerateArguments(args, err);
    if (!parsed) return ExitUsage;
    const OutputOptions& options = parsed->Options;
    const std::string& pointDataPath = parsed->PointDataPath;
    const std::string& programPath = parsed->ProgramPath;
    const std::vector<std::string>& shapePaths = parsed->ShapePaths;
    const bool strict = parsed->Strict;
    const std::uint64_t inputLimit = parsed->InputLimit;

    // Every file is checked before the first run, so a typo in the last one writes nothing.
    std::vector<ShapeFile> files;
    files.reserve(shapePaths.size());
    try {
        for (const std::string& path : shapePaths) {
            const std::string name = path == StandardInput ? std::string("standard input") : path;
            files.push_back(ParseShapeFile(ReadInput(path, inputLimit), name));
        }
    } catch (const FileError& e) {
        err << "quillane-cli generate: " << e.what() << "\n";
        return ExitUsage;
    } catch (const ShapeFileError& e) {
        err << "quillane-cli generate: " << e.what() << "\n";
        return ExitUsage;
    }
    bool warned = false;
    for (const ShapeFile& file : files) warned = PrintFindings(file, err) || warned;
    if (strict && warned) return ExitWarning;

    // One press of "Program Output" per file, on the same two panes and pass counter. A run
    // only appends to the panes, so each run starts from empty texts and its output is added
    // here: handing it the whole text so far would copy everything again for every file.
    GeneratorState state;
    std::string pointText, programText;
    int status = ExitOk;
    for (const ShapeFile& file : files) {
        RunResult r = ProgramOutput(state, file.Boxes, OptionsFor(file, options), "", "");
        state = r.State;
        pointText += r.PointText;
        programText += r.ProgramText;
        if (!r.Succeeded) {
            err << DataErrorMessage << file.Name << ": " << r.ErrorDetail << "\n";
            status = ExitDataError;
            break;
        }
    }

    // Both files are complete on disk before either replaces what was there.
    std::optional<AtomicFile> pointFile, programFile;
    for (auto [path, text, file] :
         {std::tuple{&pointDataPath, &pointText, &pointFile}, std::tuple{&programPath, &programText, &programFile}}) {
        if (path->empty()) continue;
        file->emplace(*path);
        if ((*file)->Open()) (*file)->Stream() << *text;
        if (!(*file)->Finish()) {
            err << "quillane-cli generate: " << (*file)->Error() << "\n";
            return ExitUsage;
        }
    }
    for (std::optional<AtomicFile>* file : {&pointFile, &programFile}) {
        if (*file && !(**file).Commit()) {
            err << "quillane-cli generate: " << (**file).Error() << "\n";
            return ExitUsage;
        }
    }
    errno = 0;
    if (pointDataPath.empty()) out << pointText;
    if (programPath.empty()) out << programText;
    if (!OutputArrived(out, err, Generate)) return ExitUsage;
    return status;
}

}  // namespace

int RunExample(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    errno = 0;
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
    return OutputArrived(out, err, "quillane-cli example") ? ExitOk : ExitUsage;
}

}  // namespace quillane::cli
