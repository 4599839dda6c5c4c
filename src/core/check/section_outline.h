// The wanted cross-section of one lead of the groove, as lines and true arcs.
#pragma once

// Section coordinates: u is the axial position within the lead (u = 0 where arc R1 meets the
// top line, growing towards the land, as the pass geometry steps it), depth the radial
// distance into the material from the top line on the R1 side of this run. A pass's programmed
// point is the deepest point of its nose, and the pass geometry places it so that the nose
// circle touches this outline: the outline is the pass geometry's own profile, with the corner
// radii as true tangent arcs instead of the offset path of the nose centre.

#include "core/shape/pass_geometry.h"
#include "core/shape/shape_data.h"

#include <array>
#include <string>
#include <vector>

namespace quillane::check {

// The eight segments in profile order, named as the feed boxes name them.
inline constexpr std::array<const char*, 8> SegmentNames = {"R1", "A1", "R2", "D1", "R3", "A2", "R4", "D2"};

struct SectionPoint {
    double U = 0;
    double Depth = 0;
};

// One piece of the outline, From before To in u (a radial piece has both at one u).
struct OutlinePiece {
    int Segment = 0;  // 0..7, index into SegmentNames
    bool Arc = false;
    bool Convex = false;  // arc whose centre lies in the material (R1, R4)
    SectionPoint From, To;
    SectionPoint Centre;  // arcs
    double Radius = 0;    // arcs; 0 is a sharp corner, a piece of one point
};

struct Outline {
    double Pitch = 0;
    double LandDepth = 0;              // depth of the top line on the R4 side (0 unless D3 differs from D2)
    std::vector<OutlinePiece> Pieces;  // in profile order from u = 0; continuous
};

// The outline of the record, from the values the pass geometry derives. External grooves use
// the pass geometry's own formulas: the half on the D3 side lies Side * (D2 - D3) / 2 deeper
// than its own top line, so with D3 differing from D2 a radial piece joins the two floors.
// `error` is set (and the outline is empty) when the record does not describe a groove that
// can be checked: flanks outside (0, 90] degrees, a depth of 0 or less, negative radii or a
// width below 0, or radii too large for the flank to have a length.
Outline BuildOutline(const ShapeData& shape, const ProfileGeometry& geometry, std::string& error);

// Depth of an arc or line piece at u (u within the piece's range).
double PieceDepth(const OutlinePiece& piece, double u);

// Distance from q to the piece (its end points included). `inside` is set when the nearest
// point is not an end point of the piece: a point of a sharp corner counts as inside.
double PieceDistance(const OutlinePiece& piece, SectionPoint q, bool& inside);

// Signed distance from q to the piece's whole line or circle: positive on the groove side
// (material left above the outline), negative in the material.
double SignedPieceDistance(const OutlinePiece& piece, SectionPoint q);

}  // namespace quillane::check
