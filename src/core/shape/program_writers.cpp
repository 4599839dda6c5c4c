// One "Program Output": the record turned into point data and a standard program.
// Stored fields (RetractX, EndPointZ, Pitch) take back the floored value that an NC number
// prints, and later passes of the same run compute with it.
#include "core/shape/program_writers.h"

#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/pass_geometry.h"

#include <vector>

namespace quillane {
namespace {

constexpr std::string_view CrLf = "\r\n";

// Floors a temporary for printing without touching the value it came from.
std::string NcText(double value) { return FormatNcNumber(value); }

// Appends the pieces of one block and its CR LF.
template <typename... Pieces>
void Line(std::string& out, const Pieces&... pieces) {
    (out.append(pieces), ...);
    out.append(CrLf);
}

std::string HeaderLine(const ShapeData& s) {
    std::string line;
    Line(line, "(-----< D", NcText(s.D1 - s.FinishStock), " >-----)");
    return line;
}

void AppendTrvGroup(std::string& out, ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    const std::string first = sequenceNumbers ? "N" + FormatPattern(n, "000 ") : std::string();
    const std::string_view other = sequenceNumbers ? "N000 " : "";
    Line(out, first, "G00 X", NcText(pass.CutX), " Z", NcText(pass.PassZ));
    out.append(other);
    out.append("G34 ");
    if (s.TaperAngle != 0) {
        double taperEndX = ComputeTaperEndX(s, pass);
        out.append("X").append(FormatNcNumber(taperEndX)).append(" ");
    }
    out.append("Z").append(FormatNcNumber(s.EndPointZ));
    Line(out, " F", FormatNcNumber(s.Pitch));
    Line(out, other, "G00 X", FormatNcNumber(s.RetractX));
    Line(out, other, "    Z", NcText(pass.PassZ));
}

void AppendFanucGroup(std::string& out, const ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    constexpr std::string_view xz = "####0.0##";
    if (sequenceNumbers) Line(out, "N", FormatPattern(n, "####"));
    Line(out, "G00 X", FormatPattern(pass.CutX, xz), " Z", FormatPattern(pass.PassZ, xz));
    out.append("G32 ");
    if (s.TaperAngle != 0) out.append("X").append(FormatPattern(ComputeTaperEndX(s, pass), xz)).append(" ");
    Line(out, "Z", FormatPattern(s.EndPointZ, xz), " F", FormatPattern(s.Pitch, "####0.0###"));
    Line(out, "G00 X", FormatPattern(s.RetractX, xz));
    Line(out, "G00 Z", FormatPattern(pass.PassZ, xz));
}

}  // namespace

RunResult RunGenerator(const GeneratorState& state, const OutputOptions& options, std::string_view pointText,
                       std::string_view programText) {
    RunResult r;
    r.State = state;
    r.ShapeAtPointData = state.Shape;
    r.PointText = std::string(pointText);
    r.ProgramText = std::string(programText);
    ShapeData& s = r.State.Shape;
    try {
        r.State.CutSpanZ = ComputeCutSpanZ(s);
        const std::vector<ProfilePoint> points = ComputeProfile(s);
        r.PointCount = static_cast<int>(points.size());

        // Point data for the macro call.
        std::string out;
        out.reserve(points.size() * 32);
        if (state.PassCounter == 1.0f && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODIN OG34 XP=" : "MODIN OG34 XP=";
            out += FormatNcNumber(s.RetractX);
            out += " ZP=" + FormatNcNumber(s.EndPointZ);
            out += " FD=" + FormatNcNumber(s.Pitch);
            out += CrLf;
        }
        out += HeaderLine(s);
        float n = state.PassCounter;
        for (const ProfilePoint& point : points) {
            const Pass pass = ComputePass(s, point);
            if (!pass.Exists) continue;
            if (options.SequenceNumbers) out.append("N").append(FormatPattern(n, "000 "));
            Line(out, "X", FormatPattern(pass.CutX, "####0.000"), " Z", FormatPattern(pass.PassZ, "####0.000"));
            n = n + 1.0f;
        }
        if (s.FinishStock == 0 && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODOUT" : "MODOUT";
            out += CrLf;
        }
        r.PointText += out;
        r.PointText += CrLf;
        r.ShapeAtPointData = s;

        // Standard program: one thread cycle per pass.
        out = HeaderLine(s);
        out.reserve(points.size() * 100);
        n = state.PassCounter;
        int written = 0;
        if (options.Trv) {
            for (const ProfilePoint& point : points) {
                const Pass pass = ComputePass(s, point);
                if (!pass.Exists) continue;
                AppendTrvGroup(out, s, pass, n, options.SequenceNumbers);
                n = n + 1.0f;
                ++written;
            }
        }
        if (options.Fanuc) {
            for (const ProfilePoint& point : points) {
                const Pass pass = ComputePass(s, point);
                if (!pass.Exists) continue;
                AppendFanucGroup(out, s, pass, n, options.SequenceNumbers);
                n = n + 1.0f;
                ++written;
            }
        }
        r.PassCount = written;
        r.State.PassCounter = n;
        r.ProgramText += out;
        r.ProgramText += CrLf;
        r.Succeeded = true;
    } catch (const DataError& e) {
        r.ErrorDetail = e.what();
        r.State.PassCounter = state.PassCounter;
        r.ProgramText = std::string(programText);
    }
    return r;
}

RunResult ProgramOutput(const GeneratorState& state, const ShapeBoxTexts& boxes, const OutputOptions& options,
                        std::string_view pointText, std::string_view programText) {
    GeneratorState read = state;
    try {
        ReadShapeBoxes(boxes, read.Shape);
    } catch (const DataError& e) {
        RunResult r;
        r.State = read;
        r.PointText = std::string(pointText);
        r.ProgramText = std::string(programText);
        r.ErrorDetail = e.what();
        return r;
    }
    return RunGenerator(read, options, pointText, programText);
}

}  // namespace quillane
