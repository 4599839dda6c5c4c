// quillane-cli plot: draws a program text as the point or cutting graphic into PNG, SVG or JSON.
#include "cli/batch_queue.h"
#include "cli/commands.h"

#include "cli/file_access.h"
#include "cli/picture_library.h"

#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/drawing.h"
#include "core/ncplot/picture_clip.h"
#include "core/ncplot/point_graphic.h"
#include "core/numeric/data_error.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_file.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <future>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
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
    if (p.ShapePath == StandardInput && p.ProgramPath == StandardInput) {
        return usage("standard input (-) can be read only once");
    }
    if (const std::string* input = InputReplacedBy(p.OutPath, {p.ShapePath, p.ProgramPath})) {
        return usage("the output " + p.OutPath + " is the input " + *input + ": refusing to overwrite it");
    }
    return p;
}

// What a plot is drawn from: the program text and the generator's state after one press of
// "Program Output" on the shape file.
struct PlotInput {
    std::string Program;
    GeneratorState State;
};

// The inputs `p` names, read and run; or nothing, with the reason said on `err` and the exit
// code in `exit`.
std::optional<PlotInput> ReadPlotInput(const PlotArguments& p, std::ostream& err, int& exit) {
    PlotInput input;
    ShapeFile file;
    try {
        const std::string shapeName = p.ShapePath == StandardInput ? std::string("standard input") : p.ShapePath;
        file = ParseShapeFile(ReadInput(p.ShapePath, p.InputLimit), shapeName);
        input.Program = WithCrLf(ReadInput(p.ProgramPath, p.InputLimit));
    } catch (const FileError& e) {
        err << "quillane-cli plot: " << e.what() << "\n";
        exit = ExitUsage;
        return std::nullopt;
    } catch (const ShapeFileError& e) {
        err << "quillane-cli plot: " << e.what() << "\n";
        exit = ExitUsage;
        return std::nullopt;
    }
    // The record and CutSpanZ as one press of "Program Output" leaves them; the plot is drawn
    // also when the geometry fails, as the window would after such a run.
    try {
        ReadShapeBoxes(file.Boxes, input.State.Shape);
    } catch (const DataError& e) {
        err << DataErrorMessage << file.Name << ": " << e.what() << "\n";
        exit = ExitDataError;
        return std::nullopt;
    }
    input.State = RunGenerator(input.State, OptionsFor(file, OutputOptions{}), "", "").State;
    return input;
}

// The graphic `p` asks for, drawn from `input` (whose program is let go of afterwards: the
// drawing holds all that is needed then); `untouched` when nothing was drawn into the picture.
Drawing DrawPlot(const PlotArguments& p, PlotInput& input, const DrawingDrain& drain, bool& untouched) {
    ScanState scan;
    Drawing drawing;
    untouched = false;
    if (p.Kind == Graphic::Points) {
        drawing = PlotPointData(input.Program, input.State.Shape, scan, {}, drain);
    } else if (auto cutting = PlotCuttingPath(input.Program, input.State, scan, {}, drain)) {
        drawing = std::move(*cutting);
    } else {
        drawing = FreshPicture();  // nothing was drawn into the picture before
        untouched = true;
    }
    std::string().swap(input.Program);
    return drawing;
}

// JSON is written while the plot draws, so that a long program's drawing is never held whole.
int PlotJson(const PlotArguments& p, std::ostream& err) {
    int exit = ExitOk;
    std::optional<PlotInput> input = ReadPlotInput(p, err, exit);
    if (!input) return exit;
    AtomicFile file(p.OutPath);
    std::optional<DrawingJsonWriter> writer;
    DrawingDrain drain;
    if (file.Open()) {
        writer.emplace(file.Stream());
        drain = [&](Drawing& pending) { writer->Drain(pending); };
    }
    bool untouched = false;
    const Drawing drawing = DrawPlot(p, *input, drain, untouched);
    if (writer) writer->Finish(drawing, untouched);
    if (!file.Commit()) {
        err << "quillane-cli plot: " << file.Error() << "\n";
        return ExitUsage;
    }
    return ExitOk;
}

// What the drawing thread leaves: the drawing the plot returned (its items since the last batch,
// its texts and scale), or the exit code of what went wrong.
struct DrawnProgram {
    int Exit = ExitOk;
    Drawing Rest;
};

// Reads and draws the program, handing the items to `batches` as they gather (a picture needs
// them all, cut to it and without what is painted over; that is done on the other thread as they
// come once it is `taking` them, and here before). Nothing is drawn once `wanted` turns false
// (the picture cannot be painted after all); `batches` is closed in any case.
DrawnProgram DrawProgram(const PlotArguments& p, const std::atomic<bool>& wanted, const std::atomic<bool>& taking,
                         BatchQueue& batches, std::ostream& err) {
    struct Closer {
        BatchQueue& Queue;
        ~Closer() { Queue.Close(); }
    } closer{batches};
    DrawnProgram drawn;
    std::optional<PlotInput> input = ReadPlotInput(p, err, drawn.Exit);
    if (!input || !wanted) return drawn;
    const DrawingDrain drain = [&](Drawing& pending) {
        if (!taking.load(std::memory_order_relaxed)) {
            // The other thread is still starting the toolkit: the batch is cut and thinned here,
            // while its items are in this core's cache, and only what it shows is handed over.
            Drawing shown = ShownPicture::ShownOf(pending, p.Width, p.Height);
            pending.ClearItems();
            batches.Push({*pending.Scale, std::move(shown.Items), true});
            return;
        }
        // The batch leaves with the list's storage, and the list goes on in returned storage.
        std::vector<Primitive> next = batches.Spare(pending.Items.capacity());
        std::swap(next, pending.Items);
        pending.ClearItems();
        batches.Push({*pending.Scale, std::move(next)});
    };
    bool untouched = false;
    drawn.Rest = DrawPlot(p, *input, drain, untouched);
    return drawn;
}

// Starts the picture library's toolkit and stops it when it goes out of scope.
class ToolkitRun {
public:
    explicit ToolkitRun(const PictureExport* library)
        : library_(library), toolkit_(library != nullptr ? library->StartToolkit() : nullptr) {}
    ToolkitRun(const ToolkitRun&) = delete;
    ToolkitRun& operator=(const ToolkitRun&) = delete;
    ~ToolkitRun() {
        if (library_ != nullptr) library_->StopToolkit(toolkit_);
    }

private:
    const PictureExport* library_;
    void* toolkit_;
};

int PlotPicture(const PlotArguments& p, std::ostream& err) {
    // Plots never need a display; chosen before the other thread starts, which must not see the
    // environment change.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0') ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The toolkit's start (some fifty libraries, the fonts) takes about as long as drawing a
    // program of several megabytes: the program is read and drawn on another thread meanwhile,
    // and this one then cuts and thins the items as they come (that thread does so until then).
    std::atomic<bool> wanted{true}, taking{false};
    BatchQueue batches;
    std::ostringstream drawErr;
    const auto draw = [&] { return DrawProgram(p, wanted, taking, batches, drawErr); };
    std::future<DrawnProgram> drawn;
    try {
        drawn = std::async(std::launch::async, draw);
    } catch (const std::system_error&) {
        // No thread to be had: drawn here, before its batches are taken.
        drawn = std::async(std::launch::deferred, draw);
        drawn.wait();
    }
    const PictureExport* library = LoadPictureExport(err);
    if (library == nullptr) {
        wanted = false;
        drawn.wait();
        return ExitUsage;
    }
    const ToolkitRun toolkit(library);
    ShownPicture shown(p.Width, p.Height);
    taking = true;
    Drawing batch;
    while (std::optional<DrawnBatch> next = batches.Pop()) {
        batch.Scale = next->Scale;
        batch.Items = std::move(next->Items);
        if (next->Shown) {
            shown.TakeShown(batch);
            continue;  // a short list made for what shows: no storage to draw into again
        }
        shown.Take(batch);
        batches.Return(std::move(batch.Items));
    }
    DrawnProgram program = drawn.get();
    if (program.Exit != ExitOk) {
        err << drawErr.str();
        return program.Exit;
    }
    const Drawing picture = shown.Finish(std::move(program.Rest));
    const std::optional<std::string> bytes = library->Render(picture, p.OutPath, p.Svg, p.Width, p.Height, err);
    if (!bytes) return ExitUsage;
    std::string why;
    if (!WriteFileAtomically(p.OutPath, *bytes, why)) {
        err << "quillane-cli plot: " << why << "\n";
        return ExitUsage;
    }
    return ExitOk;
}

int Plot(const std::vector<std::string>& args, std::ostream& err) {
    const std::optional<PlotArguments> parsed = ParsePlotArguments(args, err);
    if (!parsed) return ExitUsage;
    return parsed->Json ? PlotJson(*parsed, err) : PlotPicture(*parsed, err);
}

}  // namespace

}  // namespace quillane::cli
