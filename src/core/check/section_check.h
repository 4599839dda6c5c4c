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
// Sampled, then refined; not exact. The lead is cut into N equal steps h = Pitch / N <= 0.001
// mm. At every sample u the tool of each pass and the outline are evaluated exactly, and a
// height is measured exactly from the sampled point of the surface left (cut, or blank where
// nothing cut) to the true outline, normal to it. Each segment's greatest height and each
// gouge is then looked for again on the exact tool shapes over the two steps around its sample
// (33 points, and either side of every parallel tool side there). So a height reported is
// really there, never more than the truth, and it falls short of the true greatest one by at
// most h * s, s the steepness (depth per unit of u) of the gap between surface and outline
// around the maximum: 0.0008 mm for a cusp between noses of r 0.4 at feed 0.5; within the two
// steps the refinement brings that to h * s / 16. A feature narrower than h between two
// samples can be missed. Chip areas are sums of the sampled thickness times h, with the sides
// of a parallel tool at their exact u: off by at most h times the total change of the chip's
// thickness along u (0.007 mm^2 for a slot 3.5 mm deep). Suggested feeds come from the exact
// tool and path formulas of two neighbouring passes, their height taken at 65 points between
// the two noses' contacts with the segment and then searched to 1e-7 mm around the highest,
// the feed found to within 1e-6 mm.
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
    // Pitch - u, y = -X / 2), over the u the picture and the passes span. The sampled lines
    // pass through every eighth sample (at most 0.008 mm apart, under a pixel of the picture
    // at its own scale), less the points within 0.0001 mm of a straight run; arcs are drawn in
    // steps of at most 2 degrees.
    std::vector<DrawPoint> Outline;                    // the outline this run cuts to
    std::vector<DrawPoint> FinishedOutline;            // with FinishStock not 0: the outline after finishing
    std::vector<DrawPoint> CutSurface;                 // what is left: the cut, or the blank where nothing cut
    std::vector<std::vector<DrawPoint>> UncutRegions;  // closed polygons

    // No gouge, and every segment within the target.
    bool Passed() const;
};

// One line for a status bar: "uncut 0.293 mm on A1, no gouge, 1 idle pass", or why the check
// could not run.
std::string CheckSummaryText(const SectionCheck& check);

// `toolAngle`: the included angle of the tool in degrees, 0 <= angle < 180; `target`: the
// uncut height the suggested feeds keep to, above 0. The record's FinishStock shifts the
// outline radially by FinishStock / 2, as the pass geometry shifts the passes.
SectionCheck CheckSection(const ShapeData& shape, std::string_view pointText, double toolAngle = 0,
                          double target = DefaultCheckTarget);

}  // namespace quillane
