// Profile points across one lead of the groove, and the thread pass that each point gives.
// Every formula keeps the evaluation order of its parentheses: the generated digits depend on it.
#include "core/shape/pass_geometry.h"

#include "core/numeric/checked_math.h"

#include <string>

namespace quillane {
namespace {

using namespace checked;

using Derived = ProfileGeometry;

Derived Derive(const ShapeData& s) {
    Derived d{};
    d.A1Rad = Div(Mul(s.A1, Pi, "angle A 1"), 180, "angle A 1");
    d.A2Rad = Div(Mul(s.A2, Pi, "angle A 2"), 180, "angle A 2");
    d.PathR1 = Add(s.R1, s.NoseR, "R 1 + Nose-R");
    d.PathR2 = Sub(s.R2, s.NoseR, "R 2 - Nose-R");
    d.PathR3 = Sub(s.R3, s.NoseR, "R 3 - Nose-R");
    d.PathR4 = Add(s.R4, s.NoseR, "R 4 + Nose-R");
    d.DepthD2 = Div(Sub(s.D1, s.D2, "depth D 1 - D 2"), 2, "depth D 1 - D 2");
    d.DepthD3 = Div(Sub(s.D1, s.D3, "depth D 1 - D 3"), 2, "depth D 1 - D 3");
    if (s.D3 != s.D2) {
        // The A2 flank keeps the axial run it would have at depth D2 and climbs DepthD3 instead.
        const double run =
            Div(d.DepthD2, Tan(d.A2Rad, "angle A 2"), "flank A 2 with D 3 differing from D 2 (A 2 is 0)");
        d.A2Rad = Atan(Div(d.DepthD3, run, "flank A 2 with D 3 differing from D 2 (D 1 equals D 2)"), "angle A 2");
    }
    const double tanA1 = Tan(d.A1Rad, "angle A 1");
    const double tanHalfA1 = Tan(d.A1Rad / 2, "angle A 1");
    const double tanA2 = Tan(d.A2Rad, "angle A 2");
    const double tanHalfA2 = Tan(d.A2Rad / 2, "angle A 2");
    d.EndR1 = Mul(d.PathR1, Sin(d.A1Rad, "angle A 1"), "end of arc R 1");
    d.EndR2 = Add(Add(Mul(d.PathR2, tanHalfA1, "end of arc R 2"), Div(d.DepthD2, tanA1, "flank A 1 (A 1 is 0)"),
                      "end of arc R 2"),
                  Mul(d.PathR1, tanHalfA1, "end of arc R 2"), "end of arc R 2");
    d.EndA1 = Sub(d.EndR2, Mul(d.PathR2, Sin(d.A1Rad, "angle A 1"), "end of flank A 1"), "end of flank A 1");
    d.EndD1 = Add(d.EndR2, s.Width, "end of floor D 1");
    d.EndR3 = Add(d.EndD1, Mul(d.PathR3, Sin(d.A2Rad, "angle A 2"), "end of arc R 3"), "end of arc R 3");
    d.EndR4 = Add(Add(Add(d.EndD1, Mul(d.PathR3, tanHalfA2, "end of arc R 4"), "end of arc R 4"),
                      Div(d.DepthD3, tanA2, "flank A 2 (A 2 is 0)"), "end of arc R 4"),
                  Mul(d.PathR4, tanHalfA2, "end of arc R 4"), "end of arc R 4");
    d.EndA2 = Sub(d.EndR4, Mul(d.PathR4, Sin(d.A2Rad, "angle A 2"), "end of flank A 2"), "end of flank A 2");
    return d;
}

// Square root for an arc segment: explains which arc the step overshot.
double ArcRoot(double pathR, double t, const char* segment, int index) {
    const double v = Sub(Mul(pathR, pathR, segment), Mul(t, t, segment), segment);
    if (v < 0) {
        throw DataError(std::string("arc ") + segment + ": point " + std::to_string(index + 1) +
                        " lies beyond the arc's tool-centre radius (square root of a negative number); "
                        "use a smaller feed or a larger radius");
    }
    return Sqrt(v, segment);
}

}  // namespace

ProfileGeometry ComputeProfileGeometry(const ShapeData& shape) { return Derive(shape); }

double ComputeCutSpanZ(const ShapeData& s) {
    return Add(Sub(s.StartPointZ, s.EndPointZ, "Start Point Z - End Point Z"), s.Pitch, "cutting span");
}

std::vector<ProfilePoint> ComputeProfile(const ShapeData& s) {
    const Derived d = Derive(s);
    const double side = s.Side;
    static constexpr const char* SegmentNames[8] = {"R 1", "A 1", "R 2", "D 1", "R 3", "A 2", "R 4", "D 2"};

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
                    o = Mul(side, Sub(ArcRoot(d.PathR1, u, name, i), d.PathR1, name), name);
                    break;
                case 1: {
                    const double t = Sub(u, Mul(d.PathR1, Tan(d.A1Rad / 2, name), name), name);
                    o = Mul(side, Mul(t, -Tan(d.A1Rad, name), name), name);
                    break;
                }
                case 2: {
                    const double t = Sub(d.EndR2, u, name);
                    o = Mul(side, Add(Sub(-d.DepthD2, ArcRoot(d.PathR2, t, name, i), name), d.PathR2, name), name);
                    break;
                }
                case 3:
                    o = Mul(side, -d.DepthD2, name);
                    break;
                case 4: {
                    const double t = Sub(u, d.EndD1, name);
                    o = Mul(side, Add(Sub(-d.DepthD3, ArcRoot(d.PathR3, t, name, i), name), d.PathR3, name), name);
                    break;
                }
                case 5: {
                    const double t = Sub(Sub(d.EndR4, u, name), Mul(d.PathR4, Tan(d.A2Rad / 2, name), name), name);
                    o = Mul(side, Mul(t, -Tan(d.A2Rad, name), name), name);
                    break;
                }
                case 6: {
                    const double t = Sub(d.EndR4, u, name);
                    o = Mul(side, Sub(ArcRoot(d.PathR4, t, name, i), d.PathR4, name), name);
                    break;
                }
                default:
                    o = 0;
                    break;
            }
            if (i >= MaxProfilePoints) {
                throw DataError("more than " + std::to_string(MaxProfilePoints) +
                                " passes: the feeds are 0, negative or too small for the PITCH (segment " +
                                SegmentNames[k] + ")");
            }
            ProfilePoint p;
            p.Offset = o;
            p.X = k == 7 ? s.D3 : Add(base, Mul(2, o, name), name);
            p.Z = u;
            points.push_back(p);
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
                    const double twoFeeds = ToFloat(2.0 * static_cast<double>(currentFeed), name);
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
    p.PassZ = Sub(Add(s.StartPointZ, s.Pitch, "pass start Z"), point.Z, "pass start Z");
    if (s.Side == 1) {
        p.CutX = Add(Add(Sub(s.D1, s.D2, "external cut diameter"), point.X, "external cut diameter"), s.FinishStock,
                     "external cut diameter");
        p.Exists = p.CutX < s.BlankDiaX;
    } else {
        p.CutX = Sub(point.X, s.FinishStock, "cut diameter");
        p.Exists = p.CutX > s.BlankDiaX;
    }
    return p;
}

double ComputeTaperEndX(const ShapeData& s, const Pass& pass) {
    const char* what = "taper end diameter";
    const double slope = Tan(Mul(s.TaperAngle, Pi / 180, what), what);
    return Add(pass.CutX, Mul(Mul(Sub(pass.PassZ, s.EndPointZ, what), slope, what), 2, what), what);
}

}  // namespace quillane
