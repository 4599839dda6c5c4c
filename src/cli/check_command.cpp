// quillane-cli check: runs shape files as generate does, then checks what their point data cuts.
#include "cli/commands.h"

#include "core/check/section_check.h"
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_file.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace quillane::cli {
namespace {

// Lengths to the micrometre in the text, a digit more in JSON.
std::string Mm(double value) { return FormatPattern(value, "####0.000"); }
std::string JsonMm(double value) { return FormatPattern(value, "####0.0000"); }

bool ReadNumber(const std::string& text, double& into) {
    std::size_t used = 0;
    try {
        into = std::stod(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && std::isfinite(into);
}

void WriteText(const SectionCheck& c, std::ostream& out) {
    out << "check of " << c.Passes.size() << " passes, tool angle " << GeneralNumberText(c.ToolAngle) << " deg, target "
        << Mm(c.Target) << " mm\n";
    const auto column = [](const std::string& text) {
        return std::string(text.size() < 9 ? 9 - text.size() : 1, ' ') + text;
    };
    out << "segment" << column("feed") << column("uncut") << column("at u") << column("suggested") << "\n";
    for (const CheckSegment& s : c.Segments) {
        out << s.Name << "     " << column(Mm(s.Feed)) << column(Mm(s.Uncut)) << column(Mm(s.UncutU))
            << column(s.SuggestedFeed ? Mm(*s.SuggestedFeed) : "none") << "\n";
    }
    out << "uncut " << Mm(c.Uncut) << " mm on " << c.Segments[static_cast<std::size_t>(c.UncutSegment)].Name << " at u "
        << Mm(c.UncutU) << "\n";
    if (c.Gouge) {
        out << "gouge " << Mm(c.Gouge->Depth) << " mm on "
            << c.Segments[static_cast<std::size_t>(c.Gouge->Segment)].Name << " by pass " << c.Gouge->Pass << " at u "
            << Mm(c.Gouge->U) << "\n";
    } else {
        out << "no gouge\n";
    }
    out << "idle passes";
    if (c.IdlePasses.empty()) out << " none";
    for (const int p : c.IdlePasses) out << " " << p;
    out << "\n";
    out << "largest chip " << Mm(c.MaxChipArea) << " mm2 by pass " << c.MaxChipPass << ", largest engagement "
        << Mm(c.MaxEngagement) << " mm by pass " << c.MaxEngagementPass << "\n";
}

void WriteJson(const SectionCheck& c, std::ostream& out) {
    out << "{\"passes\": " << c.Passes.size() << ", \"toolAngle\": " << GeneralNumberText(c.ToolAngle)
        << ", \"target\": " << JsonMm(c.Target) << ",\n \"segments\": [";
    for (std::size_t k = 0; k < c.Segments.size(); ++k) {
        const CheckSegment& s = c.Segments[k];
        out << (k ? ",\n  " : "\n  ") << "{\"name\": \"" << s.Name << "\", \"feed\": " << JsonMm(s.Feed)
            << ", \"uncut\": " << JsonMm(s.Uncut)
            << ", \"suggestedFeed\": " << (s.SuggestedFeed ? JsonMm(*s.SuggestedFeed) : "null") << "}";
    }
    out << "],\n \"uncut\": {\"height\": " << JsonMm(c.Uncut) << ", \"segment\": \""
        << c.Segments[static_cast<std::size_t>(c.UncutSegment)].Name << "\", \"u\": " << JsonMm(c.UncutU) << "},\n";
    out << " \"gouge\": ";
    if (c.Gouge) {
        out << "{\"depth\": " << JsonMm(c.Gouge->Depth) << ", \"pass\": " << c.Gouge->Pass << ", \"segment\": \""
            << c.Segments[static_cast<std::size_t>(c.Gouge->Segment)].Name << "\"}";
    } else {
        out << "null";
    }
    out << ",\n \"idlePasses\": [";
    for (std::size_t i = 0; i < c.IdlePasses.size(); ++i) out << (i ? ", " : "") << c.IdlePasses[i];
    out << "],\n \"chip\": {\"maxArea\": " << JsonMm(c.MaxChipArea) << ", \"pass\": " << c.MaxChipPass
        << ", \"maxEngagement\": " << JsonMm(c.MaxEngagement) << "}}\n";
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<double> toolAngle;
    double target = DefaultCheckTarget;
    bool json = false;
    std::vector<std::string> shapePaths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--tool-angle" || a == "--target") {
            double v = 0;
            const bool read = i + 1 < args.size() && ReadNumber(args[++i], v);
            if (a == "--tool-angle" && !(read && v >= 0 && v < 180)) {
                err << "quillane-cli check: --tool-angle takes degrees from 0 up to below 180\n" << UsageText();
                return ExitUsage;
            }
            if (a == "--target" && !(read && v > 0)) {
                err << "quillane-cli check: --target takes a height in mm above 0\n" << UsageText();
                return ExitUsage;
            }
            (a == "--target" ? target : toolAngle.emplace()) = v;
        } else if (a == "--json") {
            json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "quillane-cli check: unknown option " << a << "\n" << UsageText();
            return ExitUsage;
        } else {
            shapePaths.push_back(a);
        }
    }
    if (shapePaths.empty()) {
        err << "quillane-cli check: no shape file given\n" << UsageText();
        return ExitUsage;
    }
    std::vector<ShapeFile> files;
    try {
        for (const std::string& path : shapePaths) files.push_back(LoadShapeFile(path));
    } catch (const ShapeFileError& e) {
        err << "quillane-cli check: " << e.what() << "\n";
        return ExitUsage;
    }

    // The runs of generate; the command line's tool angle, else the last file's that names one.
    std::optional<double> fileAngle;
    GeneratorState state;
    std::string pointText, programText;
    for (const ShapeFile& file : files) {
        RunResult r = ProgramOutput(state, file.Boxes, OptionsFor(file, OutputOptions{}), pointText, programText);
        if (!r.Succeeded) {
            err << DataErrorMessage << file.Name << ": " << r.ErrorDetail << "\n";
            return ExitDataError;
        }
        state = r.State;
        pointText = std::move(r.PointText);
        programText = std::move(r.ProgramText);
        if (file.ToolAngle) fileAngle = file.ToolAngle;
    }
    const double angle = toolAngle ? *toolAngle : fileAngle.value_or(0);
    const SectionCheck c = CheckSection(state.Shape, pointText, angle, target);
    if (!c.Problem.empty()) {
        err << "quillane-cli check: cannot check " << files.back().Name << ": " << c.Problem << "\n";
        return ExitDataError;
    }
    if (json) {
        WriteJson(c, out);
    } else {
        WriteText(c, out);
    }
    return c.Passed() ? ExitOk : ExitCheckFailed;
}

}  // namespace quillane::cli
