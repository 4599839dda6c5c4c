// quillane-cli plot: draws a program text as the point or cutting graphic into PNG, SVG or JSON.
#include "cli/commands.h"

#include "cli/file_access.h"
#include "cli/picture_library.h"

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
#include <string>
#include <string_view>
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

int Plot(const std::vector<std::string>& args, std::ostream& err);

}  // namespace

int RunPlot(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    return GuardMemory("quillane-cli plot", err, [&] { return Plot(args, err); });
}

namespace {

enum class Graphic { None, Cutting, Points };

// What `plot` was asked for.
struct PlotArguments {
    Graphic Kind = Graphic::None;
    std::string ShapePath, OutPath, ProgramPath;
    int Width = DefaultWidth, Height = DefaultHeight;
    std::uint64_t InputLimit = DefaultInputLimit;
    bool Json = false, Svg = false;
    RenderPictureFunction Render = nullptr;  // for a picture: the loaded picture export
};

// The arguments, or the usage error already said on `err`.
std::optional<PlotArguments> ParsePlotArguments(const std::vector<std::string>& args, std::ostream& err) {
    PlotArguments p;
    auto usage = [&](const std::string& why) -> std::optional<PlotArguments> {
        err << "quillane-cli plot: " << why << "\n" << UsageText();
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--cutting" || a == "--points") {
            const Graphic k = a == "--cutting" ? Graphic::Cutting : Graphic::Points;
            if (p.Kind != Graphic::None && p.Kind != k) return usage("give either --cutting or --points");
            p.Kind = k;
        } else if (a == "--shape") {
            if (!hasValue) return usage("--shape needs a file name");
            p.ShapePath = args[++i];
        } else if (a == "-o") {
            if (!hasValue) return usage("-o needs a file name");
            p.OutPath = args[++i];
        } else if (a == "--size") {
            if (!hasValue || !ParseSize(args[++i], p.Width, p.Height)) {
                return usage("--size takes WIDTHxHEIGHT in pixels, each 1 to " + std::to_string(MaxSide));
            }
        } else if (a == "--max-input") {
            if (!hasValue || !ParseByteSize(args[++i], p.InputLimit)) {
                return usage("--max-input takes a size such as 512M or 2G");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (p.ProgramPath.empty()) {
            p.ProgramPath = a;
        } else {
            return usage("only one program file can be plotted");
        }
    }
    if (p.Kind == Graphic::None) return usage("give --cutting or --points");
    if (p.ShapePath.empty()) return usage("no shape file given (--shape)");
    if (p.OutPath.empty()) return usage("no output file given (-o)");
    if (p.ProgramPath.empty()) return usage("no program file given");
    p.Json = EndsWith(p.OutPath, ".json");
    p.Svg = EndsWith(p.OutPath, ".svg");
    if (!p.Json && !p.Svg && !EndsWith(p.OutPath, ".png")) {
        return usage("the output file must end in .png, .svg or .json");
    }
    // Before any input is read: a picture that cannot be written is known at once.
    if (!p.Json && (p.Render = LoadPictureExport(err)) == nullptr) return std::nullopt;
    if (p.ShapePath == StandardInput && p.ProgramPath == StandardInput) {
        return usage("standard input (-) can be read only once");
    }
    if (const std::string* input = InputReplacedBy(p.OutPath, {p.ShapePath, p.ProgramPath})) {
        return usage("the output " + p.OutPath + " is the input " + *input + ": refusing to overwrite it");
    }
    return p;
}

int Plot(const std::vector<std::string>& args, std::ostream& err) {
    const std::optional<PlotArguments> parsed = ParsePlotArguments(args, err);
    if (!parsed) return ExitUsage;
    const PlotArguments& p = *parsed;
    const std::string& shapePath = p.ShapePath;
    const std::string& outPath = p.OutPath;
    const std::string& programPath = p.ProgramPath;
    const std::uint64_t inputLimit = p.InputLimit;
    const bool json = p.Json, svg = p.Svg;
    const int width = p.Width, height = p.Height;
    using Kind = Graphic;
    const Kind kind = p.Kind;

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

    // JSON is written while the plot draws, so that a long program's drawing is never held whole;
    // a picture needs the whole drawing to leave out what is painted over.
    std::optional<AtomicFile> jsonFile;
    std::optional<DrawingJsonWriter> jsonWriter;
    DrawingDrain drain;
    if (json) {
        jsonFile.emplace(outPath);
        if (jsonFile->Open()) {
            jsonWriter.emplace(jsonFile->Stream());
            drain = [&](Drawing& pending) { jsonWriter->Drain(pending); };
        }
    }

    ScanState scan;
    Drawing drawing;
    bool untouched = false;
    if (kind == Kind::Points) {
        drawing = PlotPointData(program, state.Shape, scan, {}, drain);
    } else if (auto cutting = PlotCuttingPath(program, state, scan, {}, drain)) {
        drawing = std::move(*cutting);
    } else {
        drawing = FreshPicture();  // nothing was drawn into the picture before
        untouched = true;
    }

    std::string().swap(program);  // the drawing holds all that is needed now

    if (json) {
        if (jsonWriter) jsonWriter->Finish(drawing, untouched);
        if (!jsonFile->Commit()) {
            err << "quillane-cli plot: " << jsonFile->Error() << "\n";
            return ExitUsage;
        }
        return ExitOk;
    }
    const std::optional<std::string> picture = p.Render(std::move(drawing), outPath, svg, width, height, err);
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
