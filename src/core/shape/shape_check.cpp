// Checks of a shape before it is cut. They read the same record and run the same geometry as
// Program Output, on copies, so a finding describes exactly the program that would be written.
//
// What the diameters mean, from the pass geometry (CutX of a profile point):
//   Internal: CutX = PointX - FinishStock, the profile running outward from D2.
//     D2 is the top on the R1 side (the first pass, largest start Z), D1 the floor (the larger
//     diameter: the groove is cut outward into the wall), D3 the top on the R4 side, where the
//     land is cut. The bore (Blank Dia X) lies below the tops; Retract X below the bore.
//   External: CutX = (D1 - D2) + PointX + FinishStock, the profile running inward from D2 and
//     shifted out by D1 - D2. D1 is the top on the R1 side (the outer diameter), D2 the floor.
//     The R4 half is computed from D3 with the same shift: its floor lies at 2 x D3 - D2 and
//     the land at D1 + (D3 - D2). Only D3 = D2 gives one floor and a land at D1, so D3 has no
//     settled meaning of its own there. Blank and Retract X lie above the tops.
#include "core/shape/shape_check.h"

#include "core/numeric/checked_math.h"
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/numeric/single_precision.h"
#include "core/shape/pass_geometry.h"
#include "core/shape/program_writers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quillane {
namespace {

using checked::Rounded;
using checked::Shown;

double Field(const ShapeData& s, ShapeBox box) { return s.*ShapeFields[static_cast<std::size_t>(box)].Member; }
float FeedOf(const ShapeData& s, int k) { return s.Feed[static_cast<std::size_t>(k)]; }

std::string Cap(ShapeBox box) { return BoxCaption(box); }
// A box with the value it holds, as a sentence starts: "Retract X 40".
std::string Named(const ShapeData& s, ShapeBox box) { return Cap(box) + " " + Shown(Field(s, box)); }
std::string NamedFeed(const ShapeData& s, int k) { return Cap(FeedBox(k)) + " " + GeneralNumberText(FeedOf(s, k)); }
std::string Dia(double v) { return "\xC3\x98" + Rounded(v); }  // the diameter sign, as drawings write it
std::string Degrees(double v) { return GeneralNumberText(std::round(v * 10) / 10, 15); }

class Findings {
public:
    void Add(ShapeCheck check, Severity level, std::vector<ShapeBox> boxes, std::string text) {
        list_.push_back(Finding{check, level, std::move(boxes), std::move(text)});
    }
    void Warn(ShapeCheck check, std::vector<ShapeBox> boxes, std::string text) {
        Add(check, Severity::Warning, std::move(boxes), std::move(text));
    }
    std::vector<Finding>& List() { return list_; }

private:
    std::vector<Finding> list_;
};

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Without the blanks the numeric rule skips in front and any white space behind.
std::string_view Trimmed(std::string_view t) {
    const auto skipped = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    while (!t.empty() && skipped(t.front())) t.remove_prefix(1);
    while (!t.empty() && (skipped(t.back()) || t.back() == '\r')) t.remove_suffix(1);
    return t;
}

// A unit after the number is what the user meant; the numeric rule ignores it rightly.
bool IsUnit(std::string_view rest) {
    std::string lower;
    for (char c : rest) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    return lower == "mm" || lower == "deg" || lower == "\xC2\xB0";
}

// One box as typed: what the numeric rule reads from it and what it leaves.
void CheckText(Findings& out, ShapeBox box, const std::string& text, bool feed) {
    const std::string_view typed = Trimmed(text);
    if (typed.empty()) return;
    const std::size_t end = NumericTextEnd(typed);
    const std::string_view read = typed.substr(0, end);
    const std::string_view rest = Trimmed(typed.substr(end));
    const double value = NumericValue(typed);
    const std::string quoted = Cap(box) + " \"" + std::string(typed) + "\"";
    if (!std::isfinite(value)) {
        out.Warn(ShapeCheck::TextOutOfRange, {box},
                 quoted +
                     " is beyond the range of numbers (about 1.8E+308): Program Output will stop with a data "
                     "error.");
        return;
    }
    if (feed && !FitsSingle(value)) {
        out.Warn(ShapeCheck::TextOutOfRange, {box},
                 quoted +
                     " is beyond the single-precision range of a feed (about 3.4E+38): Program Output will "
                     "stop with a data error.");
        return;
    }
    const std::string shown = feed ? GeneralNumberText(static_cast<float>(value)) : Shown(value);
    if (!HasDigit(read) && !HasDigit(rest)) {
        out.Warn(ShapeCheck::TextNoNumber, {box}, quoted + " holds no number and is read as 0.");
        return;
    }
    if (HasDigit(read) && (rest.empty() || (!HasDigit(rest) && IsUnit(rest)))) return;
    std::string sentence = quoted + " is read as " + shown + ": reading stops at \"" + std::string(rest.substr(0, 1)) +
                           "\", so \"" + std::string(rest) + "\" is ignored.";
    if (rest.front() == ',' && HasDigit(rest)) sentence += " The decimal point is \".\".";
    const bool likelyWrong = HasDigit(rest) || !HasDigit(read);
    out.Add(ShapeCheck::TextIgnored, likelyWrong ? Severity::Warning : Severity::Note, {box}, std::move(sentence));
}

void CheckDiameters(Findings& out, const ShapeData& s) {
    const bool external = s.Side == 1;
    if (s.D1 == s.D2) {
        out.Warn(ShapeCheck::NoDepth, {ShapeBox::D1, ShapeBox::D2},
                 "D 1 equals D 2 (" + Shown(s.D1) + "): the groove has no depth, its passes all cut at one diameter.");
    } else if (external && s.D1 < s.D2) {
        out.Warn(ShapeCheck::DiametersReversed, {ShapeBox::D1, ShapeBox::D2},
                 "For External, D 1 is the outer diameter (the top of the groove) and D 2 the floor: with " +
                     Named(s, ShapeBox::D1) + " below " + Named(s, ShapeBox::D2) +
                     " the groove is left standing as a rib and the land is turned down to " +
                     Dia(s.D1 + s.FinishStock) + ". Swap D 1 and D 2.");
    } else if (!external && s.D1 < s.D2) {
        out.Warn(ShapeCheck::DiametersReversed, {ShapeBox::D1, ShapeBox::D2},
                 "For Internal, D 1 is the floor (the larger diameter) and D 2 the top: with " +
                     Named(s, ShapeBox::D1) + " below " + Named(s, ShapeBox::D2) + " the passes run inward from " +
                     Dia(s.D2 - s.FinishStock) + " to " + Dia(s.D1 - s.FinishStock) +
                     ", into the bore instead of the wall. Swap D 1 and D 2.");
    }
    if (s.D3 == s.D2) return;
    if (external) {
        // See the head of this file: the R4 half moves with D3 - D2.
        out.Warn(ShapeCheck::D3External, {ShapeBox::D3, ShapeBox::D2},
                 "For External, " + Named(s, ShapeBox::D3) + " differing from " + Named(s, ShapeBox::D2) +
                     " has no settled meaning: the R 4 half of the groove is shifted, so the floor steps from " +
                     Dia(s.D2 + s.FinishStock) + " to " + Dia(2 * s.D3 - s.D2 + s.FinishStock) +
                     " at R 3 and the land lies at " + Dia(s.D1 + (s.D3 - s.D2) + s.FinishStock) + " instead of " +
                     Dia(s.D1 + s.FinishStock) + ". Set D 3 to D 2.");
        return;
    }
    // Internal: the A2 flank keeps the axial run it has at the D2 depth and climbs to D3.
    const double a2 = (s.A2 * Pi) / 180;
    const double run = ((s.D1 - s.D2) / 2) / std::tan(a2);
    if (s.D1 == s.D2 || !std::isfinite(run) || run == 0) return;  // the run fails: reported with its detail
    const double cut = std::atan(((s.D1 - s.D3) / 2) / run) * 180 / Pi;
    if (!std::isfinite(cut) || std::fabs(cut - s.A2) < 0.05) return;
    out.Warn(ShapeCheck::D3ChangesA2, {ShapeBox::D3, ShapeBox::A2},
             Named(s, ShapeBox::D3) + " differs from " + Named(s, ShapeBox::D2) +
                 ": the A 2 flank keeps the axial run it has at the D 2 depth (" + Rounded(run) +
                 ") and climbs to D 3 instead, so A 2 " + Shown(s.A2) + " degrees is cut at " + Degrees(cut) +
                 " degrees.");
}

void CheckSizes(Findings& out, const ShapeData& s) {
    if (s.Pitch <= 0) {
        out.Warn(ShapeCheck::PitchNotPositive, {ShapeBox::Pitch},
                 Named(s, ShapeBox::Pitch) + " is not a lead: the thread moves are written with F" + Shown(s.Pitch) +
                     " and the profile covers no length. PITCH must be above 0.");
    }
    for (ShapeBox box : {ShapeBox::NoseR, ShapeBox::Width, ShapeBox::R1, ShapeBox::R2, ShapeBox::R3, ShapeBox::R4}) {
        if (Field(s, box) < 0) {
            out.Warn(ShapeCheck::NegativeSize, {box},
                     Named(s, box) +
                         " is negative: a length or radius below 0 turns its part of the profile "
                         "inside out.");
        }
    }
    if (s.FinishStock < 0) {
        out.Warn(ShapeCheck::NegativeSize, {ShapeBox::FinishStock},
                 Named(s, ShapeBox::FinishStock) + " is negative: the passes cut " + Rounded(-s.FinishStock / 2) +
                     " beyond the profile on each side (Finish Stock is on the diameter).");
    } else if (s.FinishStock > 0 && s.D1 != s.D2 && s.FinishStock >= std::fabs(s.D1 - s.D2)) {
        out.Warn(ShapeCheck::StockBeyondDepth, {ShapeBox::FinishStock, ShapeBox::D1, ShapeBox::D2},
                 Named(s, ShapeBox::FinishStock) + " is not less than the groove's depth on the diameter (" +
                     Rounded(std::fabs(s.D1 - s.D2)) + ", D 1 - D 2): no pass goes below the top of the groove.");
    }
    // The concave corners: the tool cannot cut a corner tighter than its nose.
    for (ShapeBox box : {ShapeBox::R2, ShapeBox::R3}) {
        if (s.NoseR > 0 && s.NoseR >= Field(s, box)) {
            out.Warn(ShapeCheck::NoseAboveCorner, {ShapeBox::NoseR, box},
                     Named(s, ShapeBox::NoseR) + " is not smaller than " + Named(s, box) +
                         ": the tool cannot form a concave corner tighter than its nose (the corner's tool-centre "
                         "radius, " +
                         Cap(box) + " - Nose-R, is " + Rounded(Field(s, box) - s.NoseR) + "). Use a Nose-R below " +
                         Shown(Field(s, box)) + " or a larger " + Cap(box) + ".");
        }
    }
    for (ShapeBox box : {ShapeBox::A1, ShapeBox::A2}) {
        const double a = Field(s, box);
        if (a > 0 && a <= 90) continue;
        out.Warn(ShapeCheck::FlankAngle, {box},
                 Named(s, box) + " is not between 0 and 90 degrees: " +
                     (a <= 0 ? std::string("a flank at ") + (a == 0 ? "0 degrees never reaches the floor"
                                                                    : "a negative angle leans the wrong way")
                             : std::string("the flank would overhang, which passes of one diameter per axial "
                                           "step cannot cut")) +
                     ".");
    }
    if (std::fabs(s.TaperAngle) >= 90) {
        out.Warn(ShapeCheck::TaperAngle, {ShapeBox::TaperAngle},
                 Named(s, ShapeBox::TaperAngle) +
                     " is not between -90 and 90 degrees: a tapered pass rises by twice the tangent per unit of Z (" +
                     Rounded(2 * std::tan(s.TaperAngle * (Pi / 180))) + " here), which no taper has.");
    }
}

// The stored values the writers print with three decimals, rounded down, and write back.
void CheckFloored(Findings& out, const ShapeData& s) {
    for (ShapeBox box : {ShapeBox::Pitch, ShapeBox::EndPointZ, ShapeBox::RetractX}) {
        double written = Field(s, box);
        if (!std::isfinite(written) || std::fabs(written) >= 1e9) continue;
        FormatNcNumber(written);
        if (written == Field(s, box)) continue;
        out.Add(ShapeCheck::Floored, Severity::Note, {box},
                Named(s, box) + " is written as " + Shown(written) +
                    " in the TRV texts: NC numbers keep three decimals, rounded down, and the box then shows the "
                    "written value.");
    }
}

// Program Output on copies: the failure it would stop with, named as its detail names it. Each
// dialect runs on its own, with and without the macro call, because each floors the lead at a
// different moment and so prints slightly different numbers; a run that fails in any of them may
// fail in the dialog.
bool CheckRun(Findings& out, const ShapeData& s) {
    GeneratorState state;
    state.Shape = s;
    for (const bool fanuc : {false, true}) {
        for (const bool modin : {true, false}) {
            OutputOptions options;
            options.Trv = !fanuc;
            options.Fanuc = fanuc;
            options.OutputModin = modin;
            const RunResult r = RunGenerator(state, options, "", "");
            if (r.Succeeded) continue;
            out.Warn(ShapeCheck::RunFails, BoxesNamedIn(r.ErrorDetail),
                     "Program Output will stop with a data error: " + r.ErrorDetail + ".");
            return false;
        }
    }
    return true;
}

struct PassInfo {
    Pass P;
    int Segment;
    double TaperEndX;
};

void CheckPasses(Findings& out, const ShapeData& s) {
    const std::vector<ProfilePoint> points = ComputeProfile(s);
    const bool external = s.Side == 1;
    std::vector<PassInfo> passes;
    constexpr double Inf = std::numeric_limits<double>::infinity();
    double lowX = Inf, highX = -Inf;
    for (const ProfilePoint& point : points) {
        const Pass p = ComputePass(s, point);
        lowX = std::min(lowX, p.CutX);
        highX = std::max(highX, p.CutX);
        if (p.Exists) passes.push_back({p, point.Segment, s.TaperAngle != 0 ? ComputeTaperEndX(s, p) : p.CutX});
    }
    for (const ProfilePoint& point : points) {
        if (point.Segment == 7 && s.Pitch > 0 && point.Z >= s.Pitch) {
            out.Warn(ShapeCheck::PitchBelowGroove, {ShapeBox::Pitch},
                     Named(s, ShapeBox::Pitch) + " is not longer than the groove (its profile reaches the land at u " +
                         Rounded(point.Z) + "): the turns of the helix run into each other.");
        }
        if (point.Segment == 7) break;
    }
    if (passes.empty()) {
        out.Warn(ShapeCheck::NoPass, {ShapeBox::BlankDiaX},
                 Named(s, ShapeBox::BlankDiaX) + " leaves no pass: for " +
                     (external ? "External a pass cuts where its diameter is below the blank"
                               : "Internal a pass cuts where its diameter is above the bore") +
                     ", and the cut diameters run from " + Dia(lowX) + " to " + Dia(highX) + ".");
        return;
    }

    double passLow = Inf, passHigh = -Inf, zLow = Inf, zHigh = -Inf;
    double blankLow = s.BlankDiaX, blankHigh = s.BlankDiaX;  // the blank along the cut, a taper's too
    for (const PassInfo& p : passes) {
        passLow = std::min(passLow, p.P.CutX);
        passHigh = std::max(passHigh, p.P.CutX);
        zLow = std::min(zLow, p.P.PassZ);
        zHigh = std::max(zHigh, p.P.PassZ);
        blankLow = std::min(blankLow, s.BlankDiaX + (p.TaperEndX - p.P.CutX));
        blankHigh = std::max(blankHigh, s.BlankDiaX + (p.TaperEndX - p.P.CutX));
    }

    // The retract and the return to the start Z must run clear of the material: inside the bore
    // for Internal, outside the blank for External.
    const std::string tapered = s.TaperAngle != 0 ? " along the taper" : "";
    if (!external && s.RetractX >= blankLow) {
        out.Warn(ShapeCheck::RetractSide, {ShapeBox::RetractX, ShapeBox::BlankDiaX},
                 Named(s, ShapeBox::RetractX) + " is not below the bore of " + Dia(blankLow) + tapered +
                     ": the retract crosses the groove (top " + Dia(passLow) + ", floor " + Dia(passHigh) +
                     ") and the tool returns through the wall. For Internal, Retract X must be below the bore.");
    } else if (external && s.RetractX <= blankHigh) {
        out.Warn(ShapeCheck::RetractSide, {ShapeBox::RetractX, ShapeBox::BlankDiaX},
                 Named(s, ShapeBox::RetractX) + " is not above the blank of " + Dia(blankHigh) + tapered +
                     ": the retract stays in the material (top " + Dia(passHigh) + ", floor " + Dia(passLow) +
                     ") and the tool returns through it. For External, Retract X must be above the blank.");
    }

    if (s.EndPointZ >= zLow) {
        out.Warn(ShapeCheck::EndBeyondStart, {ShapeBox::EndPointZ, ShapeBox::StartPointZ},
                 Named(s, ShapeBox::EndPointZ) + " is not below the pass starts (Z" + Rounded(zLow) + " to Z" +
                     Rounded(zHigh) + "): " + (s.EndPointZ >= zHigh ? "every pass cuts" : "some passes cut") +
                     " towards +Z or not at all. End Point Z must lie below Start Point Z.");
    }

    if (std::fabs(s.TaperAngle) < 90) {
        for (const PassInfo& p : passes) {
            if (p.TaperEndX > 0) continue;
            out.Warn(ShapeCheck::TaperAngle, {ShapeBox::TaperAngle, ShapeBox::EndPointZ},
                     Named(s, ShapeBox::TaperAngle) + " takes the pass from Z" + Rounded(p.P.PassZ) + " to " +
                         Dia(p.TaperEndX) + " at End Point Z " + Shown(s.EndPointZ) + ": through the axis.");
            break;
        }
    }

    // Passes along a flat (floor or land) leave a ridge between them as tall as the nose radius
    // once they are twice the nose radius apart. A run that leaves finish stock is a roughing run
    // whose ridges its finishing run takes off, so only a finishing run is checked.
    if (s.FinishStock != 0 || s.NoseR < 0) return;
    for (int k : {3, 7}) {
        const double feed = static_cast<double>(FeedOf(s, k));
        const auto on = std::count_if(passes.begin(), passes.end(), [k](const PassInfo& p) { return p.Segment == k; });
        if (on < 2 || feed < 2 * s.NoseR) continue;
        out.Warn(ShapeCheck::Ridges, {FeedBox(k), ShapeBox::NoseR},
                 NamedFeed(s, k) + " is not below twice " + Named(s, ShapeBox::NoseR) + ": the passes on the " +
                     (k == 3 ? "floor" : "land") + " are " + GeneralNumberText(FeedOf(s, k)) +
                     " apart but the nose cuts at most " + Rounded(2 * s.NoseR) +
                     " wide, so ridges of full height stand between them. Use a " + Cap(FeedBox(k)) + " below " +
                     Rounded(2 * s.NoseR) + ".");
    }
}

}  // namespace

std::string BoxCaption(ShapeBox box) {
    const int i = static_cast<int>(box);
    if (i < static_cast<int>(ShapeBox::Feed0)) return BoxLabel(ShapeFields[static_cast<std::size_t>(i)].Caption);
    if (box == ShapeBox::Position) return "Cutting Position";
    return FeedCaptions[static_cast<std::size_t>(i - static_cast<int>(ShapeBox::Feed0))];
}

std::string BoxField(ShapeBox box) {
    const int i = static_cast<int>(box);
    if (i < static_cast<int>(ShapeBox::Feed0)) return ShapeFields[static_cast<std::size_t>(i)].Name;
    if (box == ShapeBox::Position) return "Side";
    return "Feed[" + std::to_string(i - static_cast<int>(ShapeBox::Feed0)) + "]";
}

std::string BoxControl(ShapeBox box) {
    const int i = static_cast<int>(box);
    if (i < static_cast<int>(ShapeBox::Feed0))
        return "Text" + std::to_string(ShapeFields[static_cast<std::size_t>(i)].Box);
    if (box == ShapeBox::Position) return "Option1";
    return "FEED(" + std::to_string(i - static_cast<int>(ShapeBox::Feed0)) + ")";
}

std::vector<ShapeBox> BoxesNamedIn(const std::string& message) {
    const auto word = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    std::vector<std::pair<std::size_t, ShapeBox>> named;  // where each box is first named
    for (int i = 0; i < ShapeBoxCount - 1; ++i) {
        const ShapeBox box = static_cast<ShapeBox>(i);
        const std::string caption = BoxCaption(box);
        for (std::size_t at = message.find(caption); at != std::string::npos; at = message.find(caption, at + 1)) {
            const std::size_t after = at + caption.size();
            if ((at == 0 || !word(message[at - 1])) && (after == message.size() || !word(message[after]))) {
                named.emplace_back(at, box);
                break;
            }
        }
    }
    std::sort(named.begin(), named.end());
    std::vector<ShapeBox> boxes;
    for (const auto& [at, box] : named) boxes.push_back(box);
    return boxes;
}

std::vector<Finding> CheckShape(const ShapeData& shape) {
    Findings out;
    CheckSizes(out, shape);
    CheckDiameters(out, shape);
    CheckFloored(out, shape);
    if (CheckRun(out, shape)) {
        try {
            CheckPasses(out, shape);
        } catch (const DataError&) {
            // Only the run's own rounding of the lead can tell the two apart; the run is what counts.
        }
    }
    return std::move(out.List());
}

std::vector<Finding> CheckShapeBoxes(const ShapeBoxTexts& boxes) {
    Findings out;
    // A dialog whose boxes are all empty (its first opening) describes no shape yet.
    const auto blank = [](const std::string& text) { return Trimmed(text).empty(); };
    if (std::all_of(boxes.Text.begin(), boxes.Text.end(), blank) &&
        std::all_of(boxes.Feed.begin(), boxes.Feed.end(), blank)) {
        return {};
    }
    for (int i = 0; i < static_cast<int>(ShapeBox::Feed0); ++i) {
        const ShapeBox box = static_cast<ShapeBox>(i);
        CheckText(out, box, boxes.Text[static_cast<std::size_t>(ShapeFields[static_cast<std::size_t>(i)].Box - 1)],
                  false);
    }
    for (int k = 0; k < 8; ++k) CheckText(out, FeedBox(k), boxes.Feed[static_cast<std::size_t>(k)], true);

    ShapeData shape;
    try {
        ReadShapeBoxes(boxes, shape);
    } catch (const DataError&) {
        return std::move(out.List());  // the box out of range is reported above
    }
    std::vector<Finding> record = CheckShape(shape);
    std::vector<Finding>& all = out.List();
    all.insert(all.end(), std::make_move_iterator(record.begin()), std::make_move_iterator(record.end()));
    return std::move(all);
}

}  // namespace quillane
