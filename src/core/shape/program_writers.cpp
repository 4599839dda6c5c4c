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

// Stops the run naming what the number just appended to `out` (from `from` on) was printed for,
// when it has too many digits before its decimal point.
void CheckReadable(const std::string& out, std::size_t from, const char* what) {
    if (out.size() - from <= MaxIntegerDigits) return;  // too short to hold that many
    std::size_t digits = 0;
    for (std::size_t i = from; i < out.size() && out[i] != '.'; ++i) {
        if (out[i] >= '0' && out[i] <= '9') ++digits;
    }
    if (digits > MaxIntegerDigits) {
        const std::string text = out.substr(from);
        throw UnreadableNumber(std::string(what) + ": the number would be written with " + std::to_string(digits) +
                               " digits before the decimal point (" +
                               (text.size() <= 20 ? text : text.substr(0, 12) + "...") +
                               "); no control reads more than " + std::to_string(MaxIntegerDigits));
    }
}

// The numbers are appended where they go, each checked as it is written: a run writes thousands.
// NC number of a stored field: floors it in place (the record keeps the written value).
void Nc(std::string& out, double& value, const char* what) {
    const std::size_t from = out.size();
    AppendNcNumber(out, value);
    CheckReadable(out, from, what);
}
// Floors a temporary for printing without touching the value it came from.
void NcText(std::string& out, double value, const char* what) { Nc(out, value, what); }
void Pattern(std::string& out, double value, const NumberPattern& pattern, const char* what) {
    const std::size_t from = out.size();
    AppendPattern(out, value, pattern);
    CheckReadable(out, from, what);
}

constexpr NumberPattern Thousandths = ParsePattern("####0.000");  // point data
constexpr NumberPattern FanucXz = ParsePattern("####0.0##");
constexpr NumberPattern FanucPitch = ParsePattern("####0.0###");
constexpr NumberPattern PointSequence = ParsePattern("000 ");
constexpr NumberPattern FanucSequence = ParsePattern("####");

constexpr const char* CutX = "cut diameter (D 1, D 2, D 3, Finish Stock)";
constexpr const char* PassZ = "pass start Z (Start Point Z + PITCH)";
constexpr const char* TaperEndX = "taper end diameter (Taper Angle, End Point Z)";
constexpr const char* RetractX = "Retract X";
constexpr const char* EndPointZ = "End Point Z";
constexpr const char* Pitch = "PITCH";

// The fields every block group prints, checked before the first group: otherwise a taper
// computed from an unreadable End Point Z could fail first, as an ordinary data error.
void CheckStoredFields(const ShapeData& s, const OutputOptions& options) {
    std::string scratch;
    if (options.Trv) {
        NcText(scratch, s.EndPointZ, EndPointZ);
        NcText(scratch, s.Pitch, Pitch);
        NcText(scratch, s.RetractX, RetractX);
    }
    if (options.Fanuc) {
        Pattern(scratch, s.EndPointZ, FanucXz, EndPointZ);
        Pattern(scratch, s.Pitch, FanucPitch, Pitch);
        Pattern(scratch, s.RetractX, FanucXz, RetractX);
    }
}

void AppendHeaderLine(std::string& out, const ShapeData& s) {
    out += "(-----< D";
    NcText(out, s.D1 - s.FinishStock, "header D 1 - Finish Stock");
    out += " >-----)";
    out += CrLf;
}

void AppendTrvGroup(std::string& out, ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    const std::string_view other = sequenceNumbers ? "N000 " : "";
    if (sequenceNumbers) {
        out += 'N';
        AppendPattern(out, static_cast<double>(n), PointSequence);
    }
    out += "G00 X";
    NcText(out, pass.CutX, CutX);
    out += " Z";
    NcText(out, pass.PassZ, PassZ);
    out += CrLf;
    out += other;
    out += "G34 ";
    if (s.TaperAngle != 0) {
        double taperEndX = ComputeTaperEndX(s, pass);
        out += 'X';
        Nc(out, taperEndX, TaperEndX);
        out += ' ';
    }
    out += 'Z';
    Nc(out, s.EndPointZ, EndPointZ);
    out += " F";
    Nc(out, s.Pitch, Pitch);
    out += CrLf;
    out += other;
    out += "G00 X";
    Nc(out, s.RetractX, RetractX);
    out += CrLf;
    out += other;
    out += "    Z";
    NcText(out, pass.PassZ, PassZ);
    out += CrLf;
}

void AppendFanucGroup(std::string& out, const ShapeData& s, const Pass& pass, float n, bool sequenceNumbers) {
    if (sequenceNumbers) {
        out += 'N';
        AppendPattern(out, static_cast<double>(n), FanucSequence);
        out += CrLf;
    }
    out += "G00 X";
    Pattern(out, pass.CutX, FanucXz, CutX);
    out += " Z";
    Pattern(out, pass.PassZ, FanucXz, PassZ);
    out += CrLf;
    out += "G32 ";
    if (s.TaperAngle != 0) {
        out += 'X';
        Pattern(out, ComputeTaperEndX(s, pass), FanucXz, TaperEndX);
        out += ' ';
    }
    out += 'Z';
    Pattern(out, s.EndPointZ, FanucXz, EndPointZ);
    out += " F";
    Pattern(out, s.Pitch, FanucPitch, Pitch);
    out += CrLf;
    out += "G00 X";
    Pattern(out, s.RetractX, FanucXz, RetractX);
    out += CrLf;
    out += "G00 Z";
    Pattern(out, pass.PassZ, FanucXz, PassZ);
    out += CrLf;
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

        // Point data for the macro call: one reserve for what a point's line takes at most
        // (sequence number, two numbers of up to nine digits and three decimals).
        std::string out;
        out.reserve(128 + points.size() * 48);
        if (state.PassCounter == 1.0f && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODIN OG34 XP=" : "MODIN OG34 XP=";
            Nc(out, s.RetractX, RetractX);
            out += " ZP=";
            Nc(out, s.EndPointZ, EndPointZ);
            out += " FD=";
            Nc(out, s.Pitch, Pitch);
            out += CrLf;
        }
        AppendHeaderLine(out, s);
        float n = state.PassCounter;
        for (const ProfilePoint& point : points) {
            const Pass pass = ComputePass(s, point);
            if (!pass.Exists) continue;
            if (options.SequenceNumbers) {
                out += 'N';
                AppendPattern(out, static_cast<double>(n), PointSequence);
            }
            out += 'X';
            Pattern(out, pass.CutX, Thousandths, CutX);
            out += " Z";
            Pattern(out, pass.PassZ, Thousandths, PassZ);
            out += CrLf;
            n = n + 1.0f;
        }
        if (s.FinishStock == 0 && options.OutputModin) {
            out += options.SequenceNumbers ? "N000 MODOUT" : "MODOUT";
            out += CrLf;
        }
        pointData = std::move(out);
        pointDataShape = s;
        if (n != state.PassCounter) CheckStoredFields(s, options);

        // Standard program: one thread cycle per pass, of at most about 160 characters.
        out.clear();
        out.reserve(128 + points.size() * 160);
        AppendHeaderLine(out, s);
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
        r.PointText.reserve(r.PointText.size() + pointData->size() + CrLf.size());
        r.PointText.append(*pointData).append(CrLf);
        r.ShapeAtPointData = *pointDataShape;
        r.ProgramText.reserve(r.ProgramText.size() + out.size() + CrLf.size());
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
