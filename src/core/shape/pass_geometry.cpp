// Profile points across one lead of the groove, and the thread pass that each point gives.
// Every formula keeps the evaluation order of its parentheses: the generated digits depend on it.
#include "core/shape/pass_geometry.h"

#include "core/numeric/checked_math.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace quillane {
namespace {

using namespace checked;

using Derived = ProfileGeometry;

std::string ZeroFlank(const char* caption, double angle) {
    if (angle == 0) {
        return std::string(caption) +
               " is 0: a flank at 0 degrees to the Z axis never reaches the floor (division by zero)";
    }
    return std::string(caption) + " " + Shown(angle) + ": its tangent is 0 (division by zero)";
}

Derived Derive(const ShapeData& s) {
    Derived d{};
    d.A1Rad = Div(Mul(s.A1, Pi, "A 1"), 180, "A 1");
    d.A2Rad = Div(Mul(s.A2, Pi, "A 2"), 180, "A 2");
    d.PathR1 = Add(s.R1, s.NoseR, "R 1 + Nose-R");
    d.PathR2 = Sub(s.R2, s.NoseR, "R 2 - Nose-R");
    d.PathR3 = Sub(s.R3, s.NoseR, "R 3 - Nose-R");
    d.PathR4 = Add(s.R4, s.NoseR, "R 4 + Nose-R");
    d.DepthD2 = Div(Sub(s.D1, s.D2, "depth D 1 - D 2"), 2, "depth D 1 - D 2");
    d.DepthD3 = Div(Sub(s.D1, s.D3, "depth D 1 - D 3"), 2, "depth D 1 - D 3");
    if (s.D3 != s.D2) {
        // The A2 flank keeps the axial run it would have at depth D2 and climbs DepthD3 instead.
        const double tanEntered = Tan(d.A2Rad, "A 2");
        if (tanEntered == 0)
            throw DataError(ZeroFlank("A 2", s.A2) + "; D 3 differs from D 2, so the flank is recomputed");
        const double run = Div(d.DepthD2, tanEntered, "flank A 2 (D 1, D 2, A 2)");
        if (run == 0) {
            const std::string why = d.DepthD2 == 0 ? "D 1 equals D 2 (" + Shown(s.D1) + ")"
                                                   : "its run is 0 (D 1 " + Shown(s.D1) + ", D 2 " + Shown(s.D2) + ")";
            throw DataError("flank A 2: D 3 " + Shown(s.D3) + " differs from D 2, but " + why +
                            ", so the flank has no axial run to climb to D 3 (division by zero)");
        }
        d.A2Rad = Atan(Div(d.DepthD3, run, "flank A 2 (D 1, D 3)"), "A 2");
    }
    const double tanA1 = Tan(d.A1Rad, "A 1");
    const double tanHalfA1 = Tan(d.A1Rad / 2, "A 1");
    const double tanA2 = Tan(d.A2Rad, "A 2");
    const double tanHalfA2 = Tan(d.A2Rad / 2, "A 2");
    if (tanA1 == 0) throw DataError(ZeroFlank("A 1", s.A1));
    if (tanA2 == 0) throw DataError(ZeroFlank("A 2", s.A2));
    const char* r1 = "arc R 1 (R 1, Nose-R, A 1)";
    const char* r2 = "arc R 2 (R 2, Nose-R, A 1, D 1, D 2)";
    const char* r3 = "arc R 3 (R 3, Nose-R, A 2, WIDTH)";
    const char* r4 = "arc R 4 (R 4, Nose-R, A 2, D 1, D 3)";
    d.EndR1 = Mul(d.PathR1, Sin(d.A1Rad, "A 1"), r1);
    d.EndR2 = Add(Add(Mul(d.PathR2, tanHalfA1, r2), Div(d.DepthD2, tanA1, r2), r2), Mul(d.PathR1, tanHalfA1, r2), r2);
    d.EndA1 = Sub(d.EndR2, Mul(d.PathR2, Sin(d.A1Rad, "A 1"), r2), r2);
    d.EndD1 = Add(d.EndR2, s.Width, "floor D 1 (WIDTH)");
    d.EndR3 = Add(d.EndD1, Mul(d.PathR3, Sin(d.A2Rad, "A 2"), r3), r3);
    d.EndR4 = Add(Add(Add(d.EndD1, Mul(d.PathR3, tanHalfA2, r4), r4), Div(d.DepthD3, tanA2, r4), r4),
                  Mul(d.PathR4, tanHalfA2, r4), r4);
    d.EndA2 = Sub(d.EndR4, Mul(d.PathR4, Sin(d.A2Rad, "A 2"), r4), r4);
    return d;
}

// What the messages call each segment, the box of its feed, and for the arcs their radius box.
constexpr const char* SegmentNames[8] = {"arc R 1", "flank A 1", "arc R 2", "floor D 1",
                                         "arc R 3", "flank A 2", "arc R 4", "land"};
constexpr const char* ArcRadiusBox[8] = {"R 1", nullptr, "R 2", nullptr, "R 3", nullptr, "R 4", nullptr};

double ArcRadius(const ShapeData& s, int k) {
    switch (k) {
        case 0:
            return s.R1;
        case 2:
            return s.R2;
        case 4:
            return s.R3;
        default:
            return s.R4;
    }
}

// Square root for an arc segment. A negative root has two causes, told apart for the user: a
// nose radius that leaves the corner's tool-centre path no radius, or a step that jumped from
// before the corner to beyond its reach (an arc's own steps stay within it, so the culprit is an
// earlier segment's feed: the step out of the last point that still lay within reach).
double ArcRoot(const ShapeData& s, double pathR, double t, int k, const std::vector<ProfilePoint>& points, double u) {
    const char* segment = SegmentNames[k];
    const double v = Sub(Mul(pathR, pathR, segment), Mul(t, t, segment), segment);
    if (v >= 0) return Sqrt(v, segment);
    const bool concave = k == 2 || k == 4;
    const std::string radius = std::string(ArcRadiusBox[k]) + " " + Shown(ArcRadius(s, k));
    const std::string nose = "Nose-R " + Shown(s.NoseR);
    const std::string path = Rounded(pathR) + " (" + radius + (concave ? " - " : " + ") + nose + ")";
    const std::string where =
        std::string(segment) + ": point " + std::to_string(points.size() + 1) + " at u = " + Rounded(u);
    if (pathR <= 0) {
        throw DataError(where + ": the corner's tool-centre radius is " + path +
                        (concave ? ", so the tool cannot form the corner; Nose-R must be smaller than " +
                                       std::string(ArcRadiusBox[k])
                                 : ", not above 0") +
                        " (square root of a negative number)");
    }
    const double reach = (k == 0 || k == 4 ? u - t : u + t) + pathR;  // the corner's centre along u, plus the radius
    std::size_t from = points.size();
    while (from > 0 && points[from - 1].Z > reach) --from;
    const ProfilePoint* last = from > 0 ? &points[from - 1] : nullptr;
    const std::size_t f = static_cast<std::size_t>(last ? last->Segment : k);
    const std::string feed = FeedCaptions[f];
    throw DataError(where + " lies " + Rounded(std::fabs(t)) +
                    " from the corner's centre, beyond its tool-centre radius " + path + ": the step of " + feed + " " +
                    GeneralNumberText(s.Feed[f]) + (last ? " from u = " + Rounded(last->Z) : "") +
                    " jumped past the corner (square root of a negative number); use a smaller " + feed +
                    " or a larger " + ArcRadiusBox[k]);
}

// The run has reached the point cap: names the feed that stalls, or the one that took the most
// points. The segments are called by their feed labels here, so that the message names no box
// (D 1, A 1 ...) that has no part in it.
[[noreturn]] void TooManyPoints(const ShapeData& s, int k, double u, const std::array<int, 8>& perSegment) {
    static constexpr const char* Segment[8] = {"R1 arc", "A1 flank", "R2 arc", "floor",
                                               "R3 arc", "A2 flank", "R4 arc", "land"};
    const std::size_t fk = static_cast<std::size_t>(k);
    std::string detail = "more than " + std::to_string(MaxProfilePoints) + " profile points: ";
    if (s.Feed[fk] == 0.0f) {
        detail += std::string(FeedCaptions[fk]) + " is 0 (an empty feed box reads as 0), so the " + Segment[k] +
                  " does not advance";
    } else if (s.Feed[fk] < 0.0f) {
        detail += std::string(FeedCaptions[fk]) + " " + GeneralNumberText(s.Feed[fk]) + " is negative, so the " +
                  Segment[k] + " steps backwards and never ends";
    } else {
        const std::size_t most =
            static_cast<std::size_t>(std::max_element(perSegment.begin(), perSegment.end()) - perSegment.begin());
        detail += std::string(FeedCaptions[most]) + " " + GeneralNumberText(s.Feed[most]) + " alone took " +
                  std::to_string(perSegment[most]) + " of them before the " + Segment[k] +
                  " reached the cap at u = " + Rounded(u) + "; the feeds are too small for the groove and PITCH " +
                  Shown(s.Pitch);
    }
    throw DataError(detail);
}

}  // namespace

ProfileGeometry ComputeProfileGeometry(const ShapeData& shape) { return Derive(shape); }

double ComputeCutSpanZ(const ShapeData& s) {
    const char* what = "cutting span (Start Point Z - End Point Z + PITCH)";
    return Add(Sub(s.StartPointZ, s.EndPointZ, what), s.Pitch, what);
}

std::vector<ProfilePoint> ComputeProfile(const ShapeData& s) {
    const Derived d = Derive(s);
    const double side = s.Side;
    std::array<int, 8> perSegment{};

    std::vector<ProfilePoint> points;
    points.reserve(MaxProfilePoints);
    double u = 0;
    for (int k = 0; k < 8; ++k) {
        const float currentFeed = s.Feed[static_cast<std::size_t>(k)];
        const char* name = SegmentNames[k];
        bool more = true;
        while (more) {
            const int i = static_cast<int>(points.size());
            double o = 0;
            double base = k < 4 ? s.D2 : s.D3;
            switch (k) {
                case 0:
                    o = Mul(side, Sub(ArcRoot(s, d.PathR1, u, k, points, u), d.PathR1, name), name);
                    break;
                case 1: {
                    const double t = Sub(u, Mul(d.PathR1, Tan(d.A1Rad / 2, name), name), name);
                    o = Mul(side, Mul(t, -Tan(d.A1Rad, name), name), name);
                    break;
                }
                case 2: {
                    const double t = Sub(d.EndR2, u, name);
                    o = Mul(side, Add(Sub(-d.DepthD2, ArcRoot(s, d.PathR2, t, k, points, u), name), d.PathR2, name),
                            name);
                    break;
                }
                case 3:
                    o = Mul(side, -d.DepthD2, name);
                    break;
                case 4: {
                    const double t = Sub(u, d.EndD1, name);
                    o = Mul(side, Add(Sub(-d.DepthD3, ArcRoot(s, d.PathR3, t, k, points, u), name), d.PathR3, name),
                            name);
                    break;
                }
                case 5: {
                    const double t = Sub(Sub(d.EndR4, u, name), Mul(d.PathR4, Tan(d.A2Rad / 2, name), name), name);
                    o = Mul(side, Mul(t, -Tan(d.A2Rad, name), name), name);
                    break;
                }
                case 6: {
                    const double t = Sub(d.EndR4, u, name);
                    o = Mul(side, Sub(ArcRoot(s, d.PathR4, t, k, points, u), d.PathR4, name), name);
                    break;
                }
                default:
                    o = 0;
                    break;
            }
            if (i >= MaxProfilePoints) TooManyPoints(s, k, u, perSegment);
            ProfilePoint p;
            p.Offset = o;
            p.X = k == 7 ? s.D3 : Add(base, Mul(2, o, name), name);
            p.Z = u;
            p.Segment = k;
            points.push_back(p);
            ++perSegment[static_cast<std::size_t>(k)];
            u = Add(u, static_cast<double>(currentFeed), name);
            switch (k) {
                case 0:
                    more = u < d.EndR1;
                    break;
                case 1:
                    more = u < d.EndA1;
                    break;
                case 2:
                    more = u < d.EndR2;
                    break;
                case 3:
                    more = u < d.EndD1;
                    break;
                case 4:
                    more = u < d.EndR3;
                    break;
                case 5:
                    more = u < d.EndA2;
                    break;
                case 6:
                    more = u < d.EndR4;
                    break;
                default: {
                    // The land runs one feed past the lead, so the next groove's start is covered.
                    double twoFeeds = 0;
                    try {
                        twoFeeds = static_cast<double>(ToFloat(2.0 * static_cast<double>(currentFeed), name));
                    } catch (const DataError&) {
                        throw DataError("land: twice D2-F " + GeneralNumberText(currentFeed) +
                                        " is beyond the single-precision range (about 3.4E+38)");
                    }
                    more = Sub(u, twoFeeds, name) < s.Pitch;
                    break;
                }
            }
        }
    }
    return points;
}

Pass ComputePass(const ShapeData& s, const ProfilePoint& point) {
    Pass p;
    const char* start = "pass start Z (Start Point Z + PITCH)";
    p.PassZ = Sub(Add(s.StartPointZ, s.Pitch, start), point.Z, start);
    if (s.Side == 1) {
        const char* cut = "external cut diameter (D 1 - D 2 + profile + Finish Stock)";
        p.CutX = Add(Add(Sub(s.D1, s.D2, cut), point.X, cut), s.FinishStock, cut);
        p.Exists = p.CutX < s.BlankDiaX;
    } else {
        p.CutX = Sub(point.X, s.FinishStock, "cut diameter (profile from D 1, D 2, D 3 - Finish Stock)");
        p.Exists = p.CutX > s.BlankDiaX;
    }
    return p;
}

double ComputeTaperEndX(const ShapeData& s, const Pass& pass) {
    const char* what = "taper end diameter (Taper Angle, End Point Z)";
    const double slope = Tan(Mul(s.TaperAngle, Pi / 180, what), what);
    return Add(pass.CutX, Mul(Mul(Sub(pass.PassZ, s.EndPointZ, what), slope, what), 2, what), what);
}

}  // namespace quillane
