// quillane-cli plot: draws a program text as the point or cutting graphic into PNG, SVG or JSON.
#include "cli/commands.h"

#include "cli/file_access.h"
#include "cli/picture_export.h"

#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/drawing.h"
#include "core/ncplot/point_graphic.h"
#include "core/numeric/data_error.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <ostream>
#include <utility>

namespace quillane::cli {
namespace {

constexpr int DefaultWidth = 1200;
constexpr int DefaultHeight = 500;
constexpr int MaxSide = 16384;  // larger pictures would need gigabytes

bool EndsWith(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return false;
    const auto number = [](std::string_view part, int& into) {
        const auto res = std::from_chars(part.data(), part.data() + part.size(), into);
        return res.ec == std::errc() && res.ptr == part.data() + part.size() && into > 0 && into <= MaxSide;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

// The pane holds CR LF line ends; a file saved with lone LFs is read as if it had them. A text
// that has them all already is kept as it is, and any other gets one allocation of its new size.
std::string WithCrLf(std::string text) {
    std::size_t lone = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++lone;
    }
    if (lone == 0) return text;
    std::string out;
    out.reserve(text.size() + lone);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

int Plot(const std::vector<std::string>& args, std::ostream& err);

}  // namespace

int RunPlot(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    return GuardMemory("quillane-cli plot", err, [&] { return Plot(args, err); });
}

namespace {

int Plot(const std::vector<std::string>& args, std::ostream& err) {
    enum class Kind { None, Cutting, Points } kind = Kind::None;
    std::string shapePath, outPath, programPath;
    int width = DefaultWidth, height = DefaultHeight;
    std::uint64_t inputLimit = DefaultInputLimit;
    auto usage = [&](const std::string& why) {
        err << "quillane-cli plot: " << why << "\n" << UsageText();
        return ExitUsage;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--cutting" || a == "--points") {
            const Kind k = a == "--cutting" ? Kind::Cutting : Kind::Points;
            if (kind != Kind::None && kind != k) return usage("give either --cutting or --points");
            kind = k;
        } else if (a == "--shape") {
            if (!hasValue) return usage("--shape needs a file name");
            shapePath = args[++i];
        } else if (a == "-o") {
            if (!hasValue) return usage("-o needs a file name");
            outPath = args[++i];
        } else if (a == "--size") {
            if (!hasValue || !ParseSize(args[++i], width, height)) {
                return usage("--size takes WIDTHxHEIGHT in pixels, each 1 to " + std::to_string(MaxSide));
            }
        } else if (a == "--max-input") {
            if (!hasValue || !ParseByteSize(args[++i], inputLimit)) {
                return usage("--max-input takes a size such as 512M or 2G");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (programPath.empty()) {
            programPath = a;
        } else {
            return usage("only one program file can be plotted");
        }
    }
    if (kind == Kind::None) return usage("give --cutting or --points");
    if (shapePath.empty()) return usage("no shape file given (--shape)");
    if (outPath.empty()) return usage("no output file given (-o)");
    if (programPath.empty()) return usage("no program file given");
    const bool json = EndsWith(outPath, ".json"), svg = EndsWith(outPath, ".svg"), png = EndsWith(outPath, ".png");
    if (!json && !svg && !png) return usage("the output file must end in .png, .svg or .json");
    if (!json && !CanWritePictures()) {
        err << "quillane-cli plot: this build writes .json only (it has no picture export)\n";
        return ExitUsage;
    }

    if (shapePath == StandardInput && programPath == StandardInput) {
        return usage("standard input (-) can be read only once");
    }
    if (const std::string* input = InputReplacedBy(outPath, {shapePath, programPath})) {
        return usage("the output " + outPath + " is the input " + *input + ": refusing to overwrite it");
    }

    ShapeFile file;
    std::string program;
    try {
        const std::string shapeName = shapePath == StandardInput ? std::string("standard input") : shapePath;
        file = ParseShapeFile(ReadInput(shapePath, inputLimit), shapeName);
        program = WithCrLf(ReadInput(programPath, inputLimit));
    } catch (const FileError& e) {
        err << "quillane-cli plot: " << e.what() << "\n";
        return ExitUsage;
    } catch (const ShapeFileError& e) {
        err << "quillane-cli plot: " << e.what() << "\n";
        return ExitUsage;
    }

    // The record and CutSpanZ as one press of "Program Output" leaves them; the plot is drawn
    // also when the geometry fails, as the window would after such a run.
    GeneratorState state;
    try {
        ReadShapeBoxes(file.Boxes, state.Shape);
    } catch (const DataError& e) {
        err << DataErrorMessage << file.Name << ": " << e.what() << "\n";
        return ExitDataError;
    }
    state = RunGenerator(state, OptionsFor(file, OutputOptions{}), "", "").State;

    ScanState scan;
    Drawing drawing;
    bool untouched = false;
    if (kind == Kind::Points) {
        drawing = PlotPointData(program, state.Shape, scan);
    } else if (auto cutting = PlotCuttingPath(program, state, scan)) {
        drawing = std::move(*cutting);
    } else {
        drawing = FreshPicture();  // nothing was drawn into the picture before
        untouched = true;
    }

    std::string().swap(program);  // the drawing holds all that is needed now

    if (json) {
        AtomicFile f(outPath);
        if (f.Open()) WriteDrawingJson(f.Stream(), drawing, untouched);
        if (!f.Commit()) {
            err << "quillane-cli plot: " << f.Error() << "\n";
            return ExitUsage;
        }
        return ExitOk;
    }
    const std::optional<std::string> picture = RenderPicture(std::move(drawing), outPath, svg, width, height, err);
    if (!picture) return ExitUsage;
    std::string why;
    if (!WriteFileAtomically(outPath, *picture, why)) {
        err << "quillane-cli plot: " << why << "\n";
        return ExitUsage;
    }
    return ExitOk;
}

}  // namespace

}  // namespace quillane::cli
