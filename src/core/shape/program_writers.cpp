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

// A number with more than nine digits before the decimal point ends the run. A control reads
// an address word of eight or nine digits at most (a 0.001 mm increment counted in a 32-bit
// register ends at 2147483.647 mm), so a tenth digit is beyond every control and can only come
// from a slip such as 1E306. Nine is the widest limit in use: a number some control can read is
// never refused. Below 10^9 a value floored or rounded to 0.001 also keeps every digit exact in
// a double (10^12 thousandths are far below 2^53).
constexpr std::size_t MaxIntegerDigits = 9;

// Thrown for such a number: unlike the other data errors it stops the run before either pane
// gets any text, since nothing printed up to then is worth keeping.
class UnreadableNumber : public DataError {
public:
    using DataError::DataError;
};

// Passes a printed number on, or stops the run naming what it was printed for.
std::string Readable(std::string text, const char* what) {
    std::size_t digits = 0;
    for (char c : text) {
        if (c == '.') break;
        if (c >= '0' && c <= '9') ++digits;
    }
    if (digits > MaxIntegerDigits) {
        throw UnreadableNumber(std::string(what) + ": the number would be written with " + std::to_string(digits) +
                               " digits before the decimal point (" +
                               (text.size() <= 20 ? text : text.substr(0, 12) + "...") +
                               "); no control reads more than " + std::to_string(MaxIntegerDigits));
    }
    return text;
}

// NC number of a stored field: floors it in place (the record keeps the written value).
std::string Nc(double& value, const char* what) { return Readable(FormatNcNumber(value), what); }
// Floors a temporary for printing without touching the value it came from.
std::string NcText(double value, const char* what) { return Readable(FormatNcNumber(value), what); }
std::string Pattern(double value, std::string_view pattern, const char* what) {
    return Readable(FormatPattern(value, pattern), what);
}

constexpr const char* CutX = "cut diameter (D 1, D 2, D 3, Finish Stock)";
constexpr const char* PassZ = "pass start Z (Start Point Z + PITCH)";
constexpr const char* TaperEndX = "taper end diameter (Taper Angle, End Point Z)";
constexpr const char* RetractX = "Retract X";
constexpr const char* EndPointZ = "End Point Z";
constexpr const char* Pitch = "PITCH";

// The fields every block group prints, checked before the first group: otherwise a taper
// computed from an unreadable End Point Z could fail first, as an ordinary data error.
void CheckStoredFields(const ShapeData& s, const OutputOptions& options) {
    constexpr std::string_view xz = "####0.0##";
    if (options.Trv) {
        NcText(s.EndPointZ, EndPointZ);
        NcText(s.Pitch, Pitch);
        NcText(s.RetractX, RetractX);
    }
    if (options.Fanuc) {
        Pattern(s.EndPointZ, xz, EndPointZ);
        Pattern(s.Pitch, "####0.0###", Pitch);
        Pattern(s.RetractX, xz, RetractX);
    }
}

// Appends the pieces of one block and its CR LF.
template <typename... Pieces>
void Line(std::string& out, const Pieces&... pieces) {
    (out.append(pieces), ...);
    out.append(CrLf);
}

std::string HeaderLine(const ShapeData& s) {
    std::string line;
    Line(line, "(-----< D", NcText(s.D1 - s.FinishStock, "header D 1 - Finish Stock"), " >-----)");
    return line;
}

void AppendTrvGroup(std::string& out, ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    const std::string first = sequenceNumbers ? "N" + FormatPattern(static_cast<double>(n), "000 ") : std::string();
    const std::string_view other = sequenceNumbers ? "N000 " : "";
    Line(out, first, "G00 X", NcText(pass.CutX, CutX), " Z", NcText(pass.PassZ, PassZ));
    out.append(other);
    out.append("G34 ");
    if (s.TaperAngle != 0) {
        double taperEndX = ComputeTaperEndX(s, pass);
        out.append("X").append(Nc(taperEndX, TaperEndX)).append(" ");
    }
    out.append("Z").append(Nc(s.EndPointZ, EndPointZ));
    Line(out, " F", Nc(s.Pitch, Pitch));
    Line(out, other, "G00 X", Nc(s.RetractX, RetractX));
    Line(out, other, "    Z", NcText(pass.PassZ, PassZ));
}

void AppendFanucGroup(std::string& out, const ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    constexpr std::string_view xz = "####0.0##";
    if (sequenceNumbers) Line(out, "N", FormatPattern(static_cast<double>(n), "####"));
    Line(out, "G00 X", Pattern(pass.CutX, xz, CutX), " Z", Pattern(pass.PassZ, xz, PassZ));
    out.append("G32 ");
    if (s.TaperAngle != 0) out.append("X").append(Pattern(ComputeTaperEndX(s, pass), xz, TaperEndX)).append(" ");
    Line(out, "Z", Pattern(s.EndPointZ, xz, EndPointZ), " F", Pattern(s.Pitch, "####0.0###", Pitch));
    Line(out, "G00 X", Pattern(s.RetractX, xz, RetractX));
    Line(out, "G00 Z", Pattern(pass.PassZ, xz, PassZ));
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
    // Both texts are complete before either is appended, so that a number no control can read
    // leaves the panes untouched wherever it turns up.
    std::optional<std::string> pointData;
    std::optional<ShapeData> pointDataShape;
    try {
        r.State.CutSpanZ = ComputeCutSpanZ(s);
        const std::vector<ProfilePoint> points = ComputeProfile(s);
        r.PointCount = static_cast<int>(points.size());

        // Point data for the macro call.
        std::string out;
        out.reserve(points.size() * 32);
        if (state.PassCounter == 1.0f && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODIN OG34 XP=" : "MODIN OG34 XP=";
            out += Nc(s.RetractX, RetractX);
            out += " ZP=" + Nc(s.EndPointZ, EndPointZ);
            out += " FD=" + Nc(s.Pitch, Pitch);
            out += CrLf;
        }
        out += HeaderLine(s);
        float n = state.PassCounter;
        for (const ProfilePoint& point : points) {
            const Pass pass = ComputePass(s, point);
            if (!pass.Exists) continue;
            if (options.SequenceNumbers) out.append("N").append(FormatPattern(static_cast<double>(n), "000 "));
            Line(out, "X", Pattern(pass.CutX, "####0.000", CutX), " Z", Pattern(pass.PassZ, "####0.000", PassZ));
            n = n + 1.0f;
        }
        if (s.FinishStock == 0 && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODOUT" : "MODOUT";
            out += CrLf;
        }
        pointData = std::move(out);
        pointDataShape = s;
        if (n != state.PassCounter) CheckStoredFields(s, options);

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
        r.PointText.append(*pointData).append(CrLf);
        r.ShapeAtPointData = *pointDataShape;
        r.ProgramText += out;
        r.ProgramText += CrLf;
        r.Succeeded = true;
    } catch (const UnreadableNumber& e) {
        // Nothing is appended and nothing written back: the record stays as it was read.
        r.ErrorDetail = e.what();
        r.State.Shape = state.Shape;
    } catch (const DataError& e) {
        // A failure in the standard program keeps the point data, which was complete.
        r.ErrorDetail = e.what();
        if (pointData) {
            r.PointText.append(*pointData).append(CrLf);
            r.ShapeAtPointData = *pointDataShape;
        }
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
