// The cross-section check: what the passes of a point-data text really cut out of one lead of
// the groove, against the outline the record describes.
#pragma once

// The passes are read from the point-data text the way the point graphic reads it: every
// position change is a pass, u = (StartPointZ + Pitch) - Z and the depth from X on the
// record's side (see section_outline.h for the coordinates), so a hand-edited pane is checked
// as it stands. Each pass sweeps its tool along the whole helix, so the material of the lead
// is periodic in u with period Pitch: a pass beyond the lead cuts the start of the next one.
// Material starts at the blank diameter.
//
// The tool is a nose circle of radius NoseR whose deepest point is the programmed point, with
// two straight sides tangent to it that open away from the material at half the included
// tool angle from the radial direction (0: a parallel-sided grooving tool of width 2 * NoseR,
// 60: a 60-degree insert).
//
// Sampled, not exact: the lead is cut into N equal steps h = Pitch / N <= 0.001 mm. At every
// sample u the tool of each pass, the cut depth and the outline are evaluated exactly; the
// heights are then measured exactly from the sampled point of the cut (or blank) surface to
// the true outline, normal to it. What lies between two samples is not looked at, so each
// height found is one that is really there (no false alarms from the sampling), and the true
// greatest height exceeds it by at most h/2 times the steepness of the gap between the cut
// surface and the outline near the greatest one: on a floor cusp between nose circles of
// radius r at feed f that is (h/2) * (f/2) / sqrt(r^2 - (f/2)^2), 0.0004 mm for r = 0.4,
// f = 0.5. A feature narrower than h can be missed. Chip areas are sums of sampled
// thicknesses times h. The suggested feeds come from the exact tool and path formulas of two
// neighbouring passes, found to within 1e-6 mm.
//
// The point data holds positions to 0.001 mm, so a tool that follows the outline exactly can
// cross it by rounding alone (up to about 0.0006 mm normal to it): crossings and engagements
// below GougeTolerance do not count.

#include "core/ncplot/drawing.h"
#include "core/shape/shape_data.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

inline constexpr double DefaultCheckTarget = 0.01;  // mm of uncut height
inline constexpr double CheckMaxStep = 0.001;       // mm along u
inline constexpr double GougeTolerance = 0.001;     // mm: the point data's resolution

struct CheckSegment {
    const char* Name = "";                // R1, A1, R2, D1, R3, A2, R4, D2
    double Feed = 0;                      // the record's feed of the segment
    double Uncut = 0;                     // greatest uncut height normal to the outline, mm
    double UncutU = 0;                    // u where it is
    std::optional<double> SuggestedFeed;  // largest feed within the target; none when no feed is
    bool NoseFits = true;                 // false for a concave corner (R2, R3) tighter than the nose
};

struct CheckGouge {
    double Depth = 0;  // normal to the outline, mm
    int Pass = 0;      // 1-based, in the order of the text
    int Segment = 0;   // index into the segments
    double U = 0;
    DrawPoint At;  // the deepest point, in the point graphic's drawing coordinates
};

struct CheckPass {
    int Line = 0;                 // 0-based line of the text that plotted the pass
    double X = 0, Z = 0;          // as read
    double U = 0;                 // not wrapped into the lead
    double Depth = 0;             // of the programmed point
    double ChipArea = 0;          // mm^2 of material this pass removes that the passes before it left
    double Engagement = 0;        // mm, radial: the thickest part of that chip
    bool Idle = false;            // Engagement below GougeTolerance
    std::vector<DrawPoint> Tool;  // the tool's outline, drawing coordinates, up to above the blank
};

struct SectionCheck {
    std::string Problem;  // empty when the check ran; else why it could not
    double ToolAngle = 0;
    double Target = DefaultCheckTarget;
    double Step = 0;  // h
    std::array<CheckSegment, 8> Segments;

    double Uncut = 0;  // the greatest of the segments'
    int UncutSegment = 0;
    double UncutU = 0;
    std::optional<CheckGouge> Gouge;     // the deepest crossing
    std::vector<CheckGouge> GougeSpots;  // the deepest point of each stretch crossed
    std::vector<int> IdlePasses;         // 1-based
    double MaxChipArea = 0;
    int MaxChipPass = 0;  // 1-based; 0 when there are no passes
    double MaxEngagement = 0;
    int MaxEngagementPass = 0;
    std::vector<CheckPass> Passes;

    // For an overlay on the point graphic, in its drawing coordinates (x = Z - StartPointZ =
    // Pitch - u, y = -X / 2), over the u the picture and the passes span.
    std::vector<DrawPoint> Outline;                    // the outline this run cuts to
    std::vector<DrawPoint> FinishedOutline;            // with FinishStock not 0: the outline after finishing
    std::vector<DrawPoint> CutSurface;                 // what is left: the cut, or the blank where nothing cut
    std::vector<std::vector<DrawPoint>> UncutRegions;  // closed polygons

    // No gouge, and every segment within the target.
    bool Passed() const;
};

// `toolAngle`: the included angle of the tool in degrees, 0 <= angle < 180; `target`: the
// uncut height the suggested feeds keep to, above 0. The record's FinishStock shifts the
// outline radially by FinishStock / 2, as the pass geometry shifts the passes.
SectionCheck CheckSection(const ShapeData& shape, std::string_view pointText, double toolAngle = 0,
                          double target = DefaultCheckTarget);

}  // namespace quillane
