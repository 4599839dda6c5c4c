// One "Program Output": the record turned into point data and a standard program.
// Stored fields (RetractX, EndPointZ, Pitch) take back the floored value that an NC number
// prints, and later passes of the same run compute with it.
#include "core/shape/program_writers.h"

#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/pass_geometry.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
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

// Stops the run naming what the number just written in [from, to) was printed for, when it has
// too many digits before its decimal point.
[[gnu::noinline]] void CheckDigitCount(const char* from, const char* to, const char* what) {
    std::size_t digits = 0;
    for (const char* c = from; c != to && *c != '.'; ++c) {
        if (*c >= '0' && *c <= '9') ++digits;
    }
    if (digits > MaxIntegerDigits) {
        const std::string text(from, to);
        throw UnreadableNumber(std::string(what) + ": the number would be written with " + std::to_string(digits) +
                               " digits before the decimal point (" +
                               (text.size() <= 20 ? text : text.substr(0, 12) + "...") +
                               "); no control reads more than " + std::to_string(MaxIntegerDigits));
    }
}

// The same, counting only a text long enough to hold that many digits: most are not.
inline void CheckReadable(const char* from, const char* to, const char* what) {
    if (to - from > static_cast<std::ptrdiff_t>(MaxIntegerDigits)) CheckDigitCount(from, to, what);
}

// A run writes thousands of short lines: each group of lines is laid out in a buffer on the
// stack, every number written where it goes, and the group is appended to the text in one piece.
template <std::size_t N>
void Put(char*& at, const char (&literal)[N]) {
    at = std::copy_n(literal, N - 1, at);
}
void Put(char*& at, std::string_view text) { at = std::copy(text.begin(), text.end(), at); }

// The text a value was last printed as. The record's fields print the same value in every group
// of a run, and a number's text depends on nothing but the value, so a field's text is made once.
struct PrintedValue {
    std::uint64_t Bits = 0;  // the value before printing
    double Written = 0;      // the value after it (an NC number's floored value)
    std::size_t Size = 0;    // 0 while nothing is held
    std::array<char, 24> Text{};

    bool Holds(double value) const { return Size != 0 && Bits == std::bit_cast<std::uint64_t>(value); }
    void Hold(double before, double after, const char* from, const char* to) {
        if (to - from > static_cast<std::ptrdiff_t>(Text.size())) return;
        Bits = std::bit_cast<std::uint64_t>(before);
        Written = after;
        Size = static_cast<std::size_t>(to - from);
        std::copy(from, to, Text.begin());
    }
    // Copies the whole of Text, whatever its size: the room a group keeps for any number is wider.
    void Put(char*& at) const {
        std::memcpy(at, Text.data(), sizeof Text);
        at += Size;
    }
};

// NC number of a stored field: floors it in place (the record keeps the written value).
void Nc(char*& at, double& value, const char* what) {
    char* const from = at;
    at = WriteNcNumber(at, value);
    CheckReadable(from, at, what);
}
// A value printed before takes its text again; a new one is printed out of line.
[[gnu::noinline]] void NcAndHold(char*& at, double& value, const char* what, PrintedValue& printed) {
    const double before = value;
    char* const from = at;
    Nc(at, value, what);
    printed.Hold(before, value, from, at);
}
inline void Nc(char*& at, double& value, const char* what, PrintedValue& printed) {
    if (printed.Holds(value)) {
        printed.Put(at);
        value = printed.Written;
    } else {
        NcAndHold(at, value, what, printed);
    }
}
// Floors a temporary for printing without touching the value it came from.
void NcText(char*& at, double value, const char* what) { Nc(at, value, what); }
void Pattern(char*& at, double value, const NumberPattern& pattern, const char* what) {
    char* const from = at;
    at = WritePattern(at, value, pattern);
    CheckReadable(from, at, what);
}
[[gnu::noinline]] void PatternAndHold(char*& at, double value, const NumberPattern& pattern, const char* what,
                                      PrintedValue& printed) {
    char* const from = at;
    Pattern(at, value, pattern, what);
    printed.Hold(value, value, from, at);
}
inline void Pattern(char*& at, double value, const NumberPattern& pattern, const char* what, PrintedValue& printed) {
    if (printed.Holds(value)) {
        printed.Put(at);
    } else {
        PatternAndHold(at, value, pattern, what, printed);
    }
}

constexpr NumberPattern Thousandths = ParsePattern("####0.000");  // point data
constexpr NumberPattern FanucXz = ParsePattern("####0.0##");
constexpr NumberPattern FanucPitch = ParsePattern("####0.0###");
constexpr NumberPattern PointSequence = ParsePattern("000 ");
constexpr NumberPattern FanucSequence = ParsePattern("####");

// Room for any group of lines: at most eight numbers (the widest a number can be, before it is
// refused) and the words between them.
constexpr std::size_t NumberRoom =
    std::max({NcNumberTextRoom, PatternTextRoom(Thousandths), PatternTextRoom(FanucXz), PatternTextRoom(FanucPitch),
              PatternTextRoom(PointSequence), PatternTextRoom(FanucSequence)});
constexpr std::size_t GroupRoom = 8 * NumberRoom + 128;
using GroupBuffer = std::array<char, GroupRoom>;

// The text a run builds, with room for a whole group of lines kept free at its end, so that each
// group is laid out where it stays: a string would take every group in a copy.
class TextBuffer {
public:
    explicit TextBuffer(std::size_t expected)
        : capacity_(expected + GroupRoom), data_(std::make_unique_for_overwrite<char[]>(capacity_)) {}
    // Where the next group goes, with GroupRoom characters free.
    char* End() { return data_.get() + size_; }
    // Keeps what was written up to `end`, and room for another group after it.
    void Keep(const char* end) {
        size_ = static_cast<std::size_t>(end - data_.get());
        if (capacity_ - size_ < GroupRoom) Grow();
    }
    std::string_view Text() const { return {data_.get(), size_}; }

private:
    void Grow() {
        capacity_ = 2 * capacity_ + GroupRoom;
        std::unique_ptr<char[]> bigger = std::make_unique_for_overwrite<char[]>(capacity_);
        std::copy_n(data_.get(), size_, bigger.get());
        data_ = std::move(bigger);
    }

    std::size_t capacity_;
    std::size_t size_ = 0;
    std::unique_ptr<char[]> data_;
};

constexpr const char* CutX = "cut diameter (D 1, D 2, D 3, Finish Stock)";
constexpr const char* PassZ = "pass start Z (Start Point Z + PITCH)";
constexpr const char* TaperEndX = "taper end diameter (Taper Angle, End Point Z)";
constexpr const char* RetractX = "Retract X";
constexpr const char* EndPointZ = "End Point Z";
constexpr const char* Pitch = "PITCH";

// The texts a run keeps for its repeated values, per text (the point data rounds, one dialect
// floors, the other rounds to its own pattern): the stored fields, and the cut diameter, which
// stays the same along the floor and the land of the groove.
struct PrintedFields {
    PrintedValue EndPointZ, Pitch, RetractX, CutX;
};

// The fields every block group prints, checked before the first group: otherwise a taper
// computed from an unreadable End Point Z could fail first, as an ordinary data error.
void CheckStoredFields(const ShapeData& s, const OutputOptions& options) {
    GroupBuffer scratch;
    char* at = scratch.data();
    if (options.Trv) {
        NcText(at, s.EndPointZ, EndPointZ);
        NcText(at, s.Pitch, Pitch);
        NcText(at, s.RetractX, RetractX);
    }
    if (options.Fanuc) {
        Pattern(at, s.EndPointZ, FanucXz, EndPointZ);
        Pattern(at, s.Pitch, FanucPitch, Pitch);
        Pattern(at, s.RetractX, FanucXz, RetractX);
    }
}

void AppendHeaderLine(TextBuffer& out, const ShapeData& s) {
    char* at = out.End();
    Put(at, "(-----< D");
    NcText(at, s.D1 - s.FinishStock, "header D 1 - Finish Stock");
    Put(at, " >-----)");
    Put(at, CrLf);
    out.Keep(at);
}

void AppendPointLine(TextBuffer& out, const Pass& pass, float n, bool sequenceNumbers, PrintedValue& cutX) {
    char* at = out.End();
    if (sequenceNumbers) {
        *at++ = 'N';
        at = WritePattern(at, static_cast<double>(n), PointSequence);
    }
    *at++ = 'X';
    Pattern(at, pass.CutX, Thousandths, CutX, cutX);
    Put(at, " Z");
    Pattern(at, pass.PassZ, Thousandths, PassZ);
    Put(at, CrLf);
    out.Keep(at);
}

void AppendTrvGroup(TextBuffer& out, ShapeData& s, const Pass& pass, float n, bool sequenceNumbers,
                    PrintedFields& printed) {
    const std::string_view other = sequenceNumbers ? "N000 " : "";
    char* at = out.End();
    if (sequenceNumbers) {
        *at++ = 'N';
        at = WritePattern(at, static_cast<double>(n), PointSequence);
    }
    Put(at, "G00 X");
    double cutX = pass.CutX;  // a temporary: the pass keeps its value
    Nc(at, cutX, CutX, printed.CutX);
    Put(at, " Z");
    const char* const passZ = at;
    NcText(at, pass.PassZ, PassZ);
    const std::string_view passZText(passZ, static_cast<std::size_t>(at - passZ));
    Put(at, CrLf);
    Put(at, other);
    Put(at, "G34 ");
    if (s.TaperAngle != 0) {
        double taperEndX = ComputeTaperEndX(s, pass);
        *at++ = 'X';
        Nc(at, taperEndX, TaperEndX);
        *at++ = ' ';
    }
    *at++ = 'Z';
    Nc(at, s.EndPointZ, EndPointZ, printed.EndPointZ);
    Put(at, " F");
    Nc(at, s.Pitch, Pitch, printed.Pitch);
    Put(at, CrLf);
    Put(at, other);
    Put(at, "G00 X");
    Nc(at, s.RetractX, RetractX, printed.RetractX);
    Put(at, CrLf);
    Put(at, other);
    Put(at, "    Z");
    Put(at, passZText);  // the same pass start again
    Put(at, CrLf);
    out.Keep(at);
}

void AppendFanucGroup(TextBuffer& out, const ShapeData& s, const Pass& pass, float n, bool sequenceNumbers,
                      PrintedFields& printed) {
    char* at = out.End();
    if (sequenceNumbers) {
        *at++ = 'N';
        at = WritePattern(at, static_cast<double>(n), FanucSequence);
        Put(at, CrLf);
    }
    Put(at, "G00 X");
    Pattern(at, pass.CutX, FanucXz, CutX, printed.CutX);
    Put(at, " Z");
    const char* const passZ = at;
    Pattern(at, pass.PassZ, FanucXz, PassZ);
    const std::string_view passZText(passZ, static_cast<std::size_t>(at - passZ));
    Put(at, CrLf);
    Put(at, "G32 ");
    if (s.TaperAngle != 0) {
        *at++ = 'X';
        Pattern(at, ComputeTaperEndX(s, pass), FanucXz, TaperEndX);
        *at++ = ' ';
    }
    *at++ = 'Z';
    Pattern(at, s.EndPointZ, FanucXz, EndPointZ, printed.EndPointZ);
    Put(at, " F");
    Pattern(at, s.Pitch, FanucPitch, Pitch, printed.Pitch);
    Put(at, CrLf);
    Put(at, "G00 X");
    Pattern(at, s.RetractX, FanucXz, RetractX, printed.RetractX);
    Put(at, CrLf);
    Put(at, "G00 Z");
    Put(at, passZText);  // the same pass start again
    Put(at, CrLf);
    out.Keep(at);
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
    std::optional<TextBuffer> pointData;
    std::optional<ShapeData> pointDataShape;
    try {
        r.State.CutSpanZ = ComputeCutSpanZ(s);
        const std::vector<ProfilePoint> points = ComputeProfile(s);
        r.PointCount = static_cast<int>(points.size());

        // Point data for the macro call: room for what a point's line takes at most (sequence
        // number, two numbers of up to nine digits and three decimals).
        TextBuffer out(128 + points.size() * 48);
        if (state.PassCounter == 1.0f && options.OutputModin) {
            char* at = out.End();
            Put(at, options.SequenceNumbers ? "N000 MODIN OG34 XP=" : "MODIN OG34 XP=");
            Nc(at, s.RetractX, RetractX);
            Put(at, " ZP=");
            Nc(at, s.EndPointZ, EndPointZ);
            Put(at, " FD=");
            Nc(at, s.Pitch, Pitch);
            Put(at, CrLf);
            out.Keep(at);
        }
        AppendHeaderLine(out, s);
        float n = state.PassCounter;
        PrintedValue pointCutX;
        for (const ProfilePoint& point : points) {
            const Pass pass = ComputePass(s, point);
            if (!pass.Exists) continue;
            AppendPointLine(out, pass, n, options.SequenceNumbers, pointCutX);
            n = n + 1.0f;
        }
        if (s.FinishStock == 0 && options.OutputModin) {
            char* at = out.End();
            Put(at, options.SequenceNumbers ? "N000 MODOUT" : "MODOUT");
            Put(at, CrLf);
            out.Keep(at);
        }
        pointData = std::move(out);
        pointDataShape = s;
        if (n != state.PassCounter) CheckStoredFields(s, options);

        // Standard program: one thread cycle per pass, of at most about 160 characters.
        out = TextBuffer(128 + points.size() * 160);
        AppendHeaderLine(out, s);
        n = state.PassCounter;
        int written = 0;
        PrintedFields printed;
        if (options.Trv) {
            for (const ProfilePoint& point : points) {
                const Pass pass = ComputePass(s, point);
                if (!pass.Exists) continue;
                AppendTrvGroup(out, s, pass, n, options.SequenceNumbers, printed);
                n = n + 1.0f;
                ++written;
            }
        }
        if (options.Fanuc) {
            printed = PrintedFields{};  // the other dialect's texts
            for (const ProfilePoint& point : points) {
                const Pass pass = ComputePass(s, point);
                if (!pass.Exists) continue;
                AppendFanucGroup(out, s, pass, n, options.SequenceNumbers, printed);
                n = n + 1.0f;
                ++written;
            }
        }
        r.PassCount = written;
        r.State.PassCounter = n;
        r.PointText.reserve(r.PointText.size() + pointData->Text().size() + CrLf.size());
        r.PointText.append(pointData->Text()).append(CrLf);
        r.ShapeAtPointData = *pointDataShape;
        r.ProgramText.reserve(r.ProgramText.size() + out.Text().size() + CrLf.size());
        r.ProgramText += out.Text();
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
            r.PointText.append(pointData->Text()).append(CrLf);
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
