// quillane-cli plot: draws a program text as the point or cutting graphic into PNG, SVG or JSON.
#include "cli/commands.h"

#include "cli/shape_file.h"
#include "ncplot/cutting_graphic.h"
#include "ncplot/point_graphic.h"
#include "platform/data_error.h"
#include "platform/drawing.h"
#include "shape/program_writers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>

#ifdef QUILLANE_PICTURE_EXPORT
#include "platform/drawing_painter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#endif

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

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    text = std::move(buffer).str();
    return !file.bad();
}

// The pane holds CR LF line ends; a file saved with lone LFs is read as if it had them.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

#ifdef QUILLANE_PICTURE_EXPORT
bool WritePicture(const Drawing& drawing, const std::string& path, bool svg, int width, int height,
                  std::ostream& err) {
    // Plot export never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "quillane-cli";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;  // fonts need one; a caller may have its own
    if (QGuiApplication::instance() == nullptr) app.emplace(argc, argv);
    const QRectF target(0, 0, width, height);
    constexpr int dotsPerMeter = 3780;  // 96 dpi: 12-point labels are 16 pixels high
    if (svg) {
        QSvgGenerator generator;
        generator.setFileName(QString::fromStdString(path));
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(96);
        generator.setTitle("Quillane plot");
        QPainter painter;
        if (!painter.begin(&generator)) {
            err << "quillane-cli plot: cannot write " << path << "\n";
            return false;
        }
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
        painter.end();
        return true;
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
    }
    if (!image.save(QString::fromStdString(path), "PNG")) {
        err << "quillane-cli plot: cannot write " << path << "\n";
        return false;
    }
    return true;
}
#endif

}  // namespace

int RunPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    enum class Kind { None, Cutting, Points } kind = Kind::None;
    std::string shapePath, outPath, programPath;
    int width = DefaultWidth, height = DefaultHeight;
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
#ifndef QUILLANE_PICTURE_EXPORT
    if (!json) {
        err << "quillane-cli plot: this build writes .json only (it has no picture export)\n";
        return ExitUsage;
    }
#endif

    ShapeFile file;
    try {
        file = LoadShapeFile(shapePath);
    } catch (const ShapeFileError& e) {
        err << "quillane-cli plot: " << e.what() << "\n";
        return ExitUsage;
    }
    std::string program;
    if (!ReadFile(programPath, program)) {
        err << "quillane-cli plot: cannot read " << programPath << "\n";
        return ExitUsage;
    }
    program = WithCrLf(program);

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

    if (json) {
        std::ofstream f(outPath, std::ios::binary | std::ios::trunc);
        f << DrawingJson(drawing, untouched);
        f.close();
        if (!f) {
            err << "quillane-cli plot: cannot write " << outPath << "\n";
            return ExitUsage;
        }
        return ExitOk;
    }
#ifdef QUILLANE_PICTURE_EXPORT
    if (!WritePicture(drawing, outPath, svg, width, height, err)) return ExitUsage;
#endif
    return ExitOk;
}

}  // namespace quillane::cli
