// The wanted cross-section of one lead of the groove, as lines and true arcs.
#include "core/check/section_outline.h"

#include <algorithm>
#include <cmath>

namespace quillane::check {
namespace {

OutlinePiece Line(int segment, SectionPoint from, SectionPoint to) {
    OutlinePiece p;
    p.Segment = segment;
    p.From = from;
    p.To = to;
    return p;
}

OutlinePiece ArcPiece(int segment, bool convex, SectionPoint centre, double radius, SectionPoint from,
                      SectionPoint to) {
    OutlinePiece p;
    p.Segment = segment;
    p.Arc = true;
    p.Convex = convex;
    p.Centre = centre;
    p.Radius = radius;
    p.From = from;
    p.To = to;
    return p;
}

// Plain length: std::hypot guards against overflow these sizes never reach, at many times the cost.
inline double Length(double x, double y) { return std::sqrt(x * x + y * y); }

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

}  // namespace

Outline BuildOutline(const ShapeData& s, const ProfileGeometry& g, std::string& error) {
    Outline o;
    o.Pitch = s.Pitch;
    const double quarter = Pi / 2;
    if (!(g.A1Rad > 0 && g.A1Rad <= quarter + 1e-12) || !(g.A2Rad > 0 && g.A2Rad <= quarter + 1e-12)) {
        error = "the flank angles must lie above 0 and at most 90 degrees";
        return o;
    }
    if (!(g.DepthD2 > 0) || !(g.DepthD3 > 0)) {
        error = "the groove has no depth (D 1 must lie beyond D 2 and D 3)";
        return o;
    }
    if (!(s.R1 >= 0 && s.R2 >= 0 && s.R3 >= 0 && s.R4 >= 0 && s.Width >= 0 && s.NoseR >= 0)) {
        error = "radii, Nose-R and WIDTH must not be negative";
        return o;
    }
    // The pass geometry puts the D3 half Side * (D2 - D3) / 2 below its own top line.
    const double side = s.Side == 1 ? 1.0 : -1.0;
    const double shift = side * ((s.D2 - s.D3) / 2);
    o.LandDepth = shift;
    const double sin1 = std::sin(g.A1Rad), cos1 = std::cos(g.A1Rad);
    const double sin2 = std::sin(g.A2Rad), cos2 = std::cos(g.A2Rad);
    const double floor2 = g.DepthD2, floor3 = shift + g.DepthD3;

    // clang-format off
    const SectionPoint r1From{0, 0};
    const SectionPoint r1To{s.R1 * sin1, s.R1 * (1 - cos1)};
    const SectionPoint r2Centre{g.EndR2, floor2 - s.R2};
    const SectionPoint r2From{g.EndR2 - s.R2 * sin1, floor2 - s.R2 + s.R2 * cos1};
    const SectionPoint r2To{g.EndR2, floor2};
    const SectionPoint d1To{g.EndD1, floor2};
    const SectionPoint r3Centre{g.EndD1, floor3 - s.R3};
    const SectionPoint r3From{g.EndD1, floor3};
    const SectionPoint r3To{g.EndD1 + s.R3 * sin2, floor3 - s.R3 + s.R3 * cos2};
    const SectionPoint r4Centre{g.EndR4, shift + s.R4};
    const SectionPoint r4From{g.EndR4 - s.R4 * sin2, shift + s.R4 - s.R4 * cos2};
    const SectionPoint r4To{g.EndR4, shift};
    // clang-format on
    const double order[] = {r1From.U, r1To.U, r2From.U, r2To.U, d1To.U, r3To.U, r4From.U, r4To.U};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        if (!(order[i] >= order[i - 1] - 1e-9)) {
            error = "the corner radii leave no room for the flanks (the groove is too shallow or narrow for them)";
            return o;
        }
    }

    auto& p = o.Pieces;
    p.push_back(ArcPiece(0, true, {0, s.R1}, s.R1, r1From, r1To));
    p.push_back(Line(1, r1To, r2From));
    p.push_back(ArcPiece(2, false, r2Centre, s.R2, r2From, r2To));
    p.push_back(Line(3, r2To, d1To));
    if (floor3 != floor2) p.push_back(Line(3, d1To, r3From));  // External with D3 differing from D2
    p.push_back(ArcPiece(4, false, r3Centre, s.R3, r3From, r3To));
    p.push_back(Line(5, r3To, r4From));
    p.push_back(ArcPiece(6, true, r4Centre, s.R4, r4From, r4To));
    if (r4To.U < s.Pitch) p.push_back(Line(7, r4To, {s.Pitch, shift}));
    // The next lead starts on the R1 side's top line.
    if (shift != 0) p.push_back(Line(7, {std::max(s.Pitch, r4To.U), shift}, {std::max(s.Pitch, r4To.U), 0}));
    return o;
}

double PieceDepth(const OutlinePiece& p, double u) {
    if (p.Arc) {
        const double du = u - p.Centre.U;
        const double root = std::sqrt(std::max(0.0, p.Radius * p.Radius - du * du));
        return p.Convex ? p.Centre.Depth - root : p.Centre.Depth + root;
    }
    const double span = p.To.U - p.From.U;
    if (!(span > 0)) return std::max(p.From.Depth, p.To.Depth);
    return p.From.Depth + (p.To.Depth - p.From.Depth) * ((u - p.From.U) / span);
}

double PieceDistance(const OutlinePiece& p, SectionPoint q, bool& inside) {
    const auto endDistance = [&] {
        inside = false;
        return std::min(Length(q.U - p.From.U, q.Depth - p.From.Depth), Length(q.U - p.To.U, q.Depth - p.To.Depth));
    };
    if (p.Arc) {
        const double vx = q.U - p.Centre.U, vy = q.Depth - p.Centre.Depth;
        const double len = Length(vx, vy);
        if (p.Radius == 0) {
            inside = true;
            return len;
        }
        const double ax = p.From.U - p.Centre.U, ay = p.From.Depth - p.Centre.Depth;
        const double bx = p.To.U - p.Centre.U, by = p.To.Depth - p.Centre.Depth;
        const double sweep = Cross(ax, ay, bx, by);
        // Within the arc's angle (every arc here turns by less than half a circle).
        const bool within = sweep >= 0 ? Cross(ax, ay, vx, vy) >= 0 && Cross(vx, vy, bx, by) >= 0
                                       : Cross(ax, ay, vx, vy) <= 0 && Cross(vx, vy, bx, by) <= 0;
        if (within && len > 0) {
            inside = true;
            return std::fabs(len - p.Radius);
        }
        return endDistance();
    }
    const double tx = p.To.U - p.From.U, ty = p.To.Depth - p.From.Depth;
    const double length = Length(tx, ty);
    if (!(length > 0)) return endDistance();
    const double along = ((q.U - p.From.U) * tx + (q.Depth - p.From.Depth) * ty) / length;
    if (along < 0 || along > length) return endDistance();
    inside = true;
    return std::fabs(((q.U - p.From.U) * ty - (q.Depth - p.From.Depth) * tx) / length);
}

double SignedPieceDistance(const OutlinePiece& p, SectionPoint q) {
    if (p.Arc) {
        const double len = Length(q.U - p.Centre.U, q.Depth - p.Centre.Depth);
        return p.Convex ? len - p.Radius : p.Radius - len;
    }
    const double tx = p.To.U - p.From.U, ty = p.To.Depth - p.From.Depth;
    const double length = Length(tx, ty);
    // The groove side is the left of the direction of travel (towards smaller depth).
    return ((q.U - p.From.U) * ty - (q.Depth - p.From.Depth) * tx) / length;
}

}  // namespace quillane::check
