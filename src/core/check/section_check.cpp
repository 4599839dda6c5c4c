// The cross-section check: what the passes of a point-data text really cut out of one lead.
#include "core/check/section_check.h"

#include "core/check/section_outline.h"
#include "core/ncplot/plot_picture.h"
#include "core/numeric/data_error.h"
#include "core/numeric/number_text.h"
#include "core/shape/pass_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace quillane {
namespace {

using check::Outline;
using check::OutlinePiece;
using check::SectionPoint;

constexpr double Unreached = -std::numeric_limits<double>::infinity();
constexpr std::int64_t OverlayStride = 8;

// Plain length: std::hypot guards against overflow these sizes never reach, at many times the cost.
inline double Length(double x, double y) { return std::sqrt(x * x + y * y); }

// The tool's boundary towards the material, as depth below its nose centre's depth.
struct Tool {
    double R = 0;
    bool Parallel = true;
    double ArcHalfWidth = 0;  // u from the centre where the sides leave the nose circle
    double SideStart = 0;     // depth of that point below the centre
    double SideRise = 0;      // depth lost per unit of u along a side

    Tool(double noseR, double includedAngle) : R(noseR) {
        // The pass geometry's Pi, as for the flanks: an insert of the flanks' own angle then
        // lies exactly along them.
        const double half = includedAngle / 2 * (Pi / 180);
        Parallel = half == 0;
        ArcHalfWidth = R * std::cos(half);
        SideStart = R * std::sin(half);
        SideRise = Parallel ? 0 : 1 / std::tan(half);
    }
    // Deepest depth the tool reaches at du from its centre (centre depth c); Unreached beside a
    // parallel-sided tool.
    double At(double c, double du) const {
        const double a = std::fabs(du);
        if (a <= ArcHalfWidth) return c + std::sqrt(std::max(0.0, R * R - a * a));
        if (Parallel) return Unreached;
        return c + SideStart - (a - ArcHalfWidth) * SideRise;
    }
    // How far from its centre the tool still reaches below `depth`.
    double Reach(double c, double depth) const {
        if (Parallel) return R;
        return ArcHalfWidth + std::max(0.0, c + SideStart - depth) / SideRise;
    }
};

// Keeps the points of a sampled line that its shape needs: a point is dropped while it lies
// within `Tolerance` of the line from the last kept point through the one after that. An
// overlay needs the shape, not every sample.
class Thinner {
public:
    explicit Thinner(double tolerance) : tolerance2_(tolerance * tolerance) {}
    // Called for every sample drawn: a call costs more than the work.
    [[gnu::always_inline]] void Add(SectionPoint p) {
        if (out_.empty()) {
            out_.push_back(p);
            anchor_ = p;
            aimed_ = false;
        } else if (!aimed_) {
            Aim(p);
        } else if (Off(p) > tolerance2_ * length2_) {
            out_.push_back(last_);
            anchor_ = last_;
            Aim(p);
        }
        last_ = p;
    }
    std::vector<SectionPoint> Take() {
        if (!out_.empty() && (last_.U != out_.back().U || last_.Depth != out_.back().Depth)) out_.push_back(last_);
        std::vector<SectionPoint> taken;
        taken.swap(out_);
        return taken;
    }

private:
    // Squared distance from the line, times the squared length of its direction: no root.
    double Off(SectionPoint p) const {
        const double cross = (p.U - anchor_.U) * ty_ - (p.Depth - anchor_.Depth) * tx_;
        return cross * cross;
    }
    void Aim(SectionPoint p) {
        tx_ = p.U - anchor_.U;
        ty_ = p.Depth - anchor_.Depth;
        length2_ = tx_ * tx_ + ty_ * ty_;
        aimed_ = length2_ > 0;  // a repeated point gives no direction yet
    }
    double tolerance2_;
    std::vector<SectionPoint> out_;
    SectionPoint anchor_, last_;
    double tx_ = 0, ty_ = 0, length2_ = 0;
    bool aimed_ = false;
};

// Pieces of the outline and their copies one lead before and after, in order of u.
struct PieceIndex {
    std::vector<OutlinePiece> Pieces;
    std::vector<double> MaxU;  // running maximum of the pieces' last u, for the search

    explicit PieceIndex(const Outline& outline) {
        for (int copy = -1; copy <= 1; ++copy) {
            const double shift = copy * outline.Pitch;
            for (OutlinePiece p : outline.Pieces) {
                p.From.U += shift;
                p.To.U += shift;
                p.Centre.U += shift;
                Pieces.push_back(p);
            }
        }
        double running = -std::numeric_limits<double>::infinity();
        for (const OutlinePiece& p : Pieces) {
            running = std::max(running, std::max(p.From.U, p.To.U));
            MaxU.push_back(running);
        }
    }

    // The nearest piece to q among those within `bound` of it in u; -1 when none.
    int Nearest(SectionPoint q, double bound, double& distance) const {
        const auto first = std::lower_bound(MaxU.begin(), MaxU.end(), q.U - bound) - MaxU.begin();
        int best = -1;
        double bestKey = std::numeric_limits<double>::infinity();
        for (auto i = static_cast<std::size_t>(first); i < Pieces.size(); ++i) {
            const OutlinePiece& p = Pieces[i];
            if (std::min(p.From.U, p.To.U) > q.U + bound) break;
            bool inside = false;
            const double d = PieceDistance(p, q, inside);
            // Where a piece's end is nearest, the piece that meets it there squarely has it.
            const double key = inside ? d : d + 1e-12;
            if (key < bestKey) {
                bestKey = key;
                best = static_cast<int>(i);
                distance = d;
            }
        }
        return best;
    }
    // The segments whose pieces lie within `bound` of u.
    template <class Visit>
    void SegmentsNear(double u, double bound, Visit&& visit) const {
        const auto first = std::lower_bound(MaxU.begin(), MaxU.end(), u - bound) - MaxU.begin();
        for (auto i = static_cast<std::size_t>(first); i < Pieces.size(); ++i) {
            if (std::min(Pieces[i].From.U, Pieces[i].To.U) > u + bound) break;
            visit(Pieces[i].Segment);
        }
    }
};

struct SampleArrays {
    std::vector<double> Wanted;  // depth of the outline
    std::vector<std::uint8_t> WantedBy;
    std::vector<double> Cut;  // deepest depth any pass's tool reached
};

std::int64_t Wrap(std::int64_t s, std::int64_t n) { return ((s % n) + n) % n; }

// Samples s0..s1 of a lead of n samples, as runs that do not wrap: visit(s, j, count) for
// samples s.. lying at indexes j.. (plain loops over a run are quick to compile and run).
template <class Visit>
void ForEachRun(std::int64_t s0, std::int64_t s1, std::int64_t n, Visit&& visit) {
    std::int64_t s = s0, j = Wrap(s0, n);
    while (s <= s1) {
        const std::int64_t count = std::min(s1 - s + 1, n - j);
        visit(s, static_cast<std::size_t>(j), count);
        s += count;
        j = 0;
    }
}

// Appends the piece's points after its first (arcs in steps of at most 2 degrees).
void AppendPiece(const OutlinePiece& p, double shift, std::vector<SectionPoint>& out) {
    if (p.Arc && p.Radius > 0) {
        const double a0 = std::atan2(p.From.Depth - p.Centre.Depth, p.From.U - p.Centre.U);
        double sweep = std::atan2(p.To.Depth - p.Centre.Depth, p.To.U - p.Centre.U) - a0;
        if (sweep > Pi) sweep -= 2 * Pi;
        if (sweep < -Pi) sweep += 2 * Pi;
        const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / (2 * Pi / 180))));
        for (int i = 1; i < steps; ++i) {
            const double a = a0 + sweep * i / steps;
            out.push_back({p.Centre.U + shift + p.Radius * std::cos(a), p.Centre.Depth + p.Radius * std::sin(a)});
        }
    }
    out.push_back({p.To.U + shift, p.To.Depth});
}

}  // namespace

std::string CheckSummaryText(const SectionCheck& check) {
    if (!check.Problem.empty()) return "check: " + check.Problem;
    const auto mm = [](double v) { return FormatPattern(v, "####0.000"); };
    std::string out =
        "uncut " + mm(check.Uncut) + " mm on " + check.Segments[static_cast<std::size_t>(check.UncutSegment)].Name;
    if (check.Gouge) {
        out += ", gouge " + mm(check.Gouge->Depth) + " mm at pass " + std::to_string(check.Gouge->Pass);
    } else {
        out += ", no gouge";
    }
    const std::size_t idle = check.IdlePasses.size();
    out += ", " + std::to_string(idle) + (idle == 1 ? " idle pass" : " idle passes");
    return out;
}

bool SectionCheck::Passed() const {
    if (!Problem.empty() || Gouge) return false;
    return std::all_of(Segments.begin(), Segments.end(), [&](const CheckSegment& s) { return s.Uncut <= Target; });
}

SectionCheck CheckSection(const ShapeData& shape, std::string_view pointText, double toolAngle, double target) {
    SectionCheck r;
    r.ToolAngle = toolAngle;
    r.Target = target;
    for (std::size_t k = 0; k < r.Segments.size(); ++k) {
        r.Segments[k].Name = check::SegmentNames[k];
        r.Segments[k].Feed = static_cast<double>(shape.Feed[k]);
    }
    const double pitch = shape.Pitch;
    if (!(toolAngle >= 0 && toolAngle < 180)) {
        r.Problem = "the tool angle must lie from 0 up to below 180 degrees";
        return r;
    }
    if (!(target > 0) || !std::isfinite(target)) {
        r.Problem = "the target height must be above 0";
        return r;
    }
    if (!(pitch > 0) || !std::isfinite(pitch) || !(pitch / CheckMaxStep <= 5e6)) {
        r.Problem = "PITCH must lie above 0 and at most 5000 mm";
        return r;
    }
    ProfileGeometry geometry;
    try {
        geometry = ComputeProfileGeometry(shape);
    } catch (const DataError& e) {
        r.Problem = e.what();
        return r;
    }
    Outline outline = check::BuildOutline(shape, geometry, r.Problem);
    if (!r.Problem.empty()) return r;

    // Depth from a diameter on the record's side, and the point graphic's coordinates.
    const double side = shape.Side == 1 ? 1.0 : -1.0;
    const double xRef = side > 0 ? shape.D1 + shape.FinishStock : shape.D2 - shape.FinishStock;
    const auto depthOf = [&](double x) { return -side * (x - xRef) / 2; };
    const auto draw = [&](SectionPoint p) { return DrawPoint(pitch - p.U, -xRef / 2 + side * p.Depth); };
    const double blank = depthOf(shape.BlankDiaX);
    const Tool tool(shape.NoseR, toolAngle);

    // The passes, as the point graphic plots them.
    {
        ScanState scan;
        scan.StartNewPath = true;
        double prevX = 0, prevZ = 0;
        plot::ForEachNcLine(pointText, scan, [&](int line) {
            if (scan.XValue == prevX && scan.ZValue == prevZ) return;
            CheckPass p;
            p.Line = line;
            p.X = scan.XValue;
            p.Z = scan.ZValue;
            p.U = (shape.StartPointZ + pitch) - p.Z;
            p.Depth = depthOf(p.X);
            r.Passes.push_back(std::move(p));
            prevX = scan.XValue;
            prevZ = scan.ZValue;
        });
    }

    // The samples of one lead.
    const auto n = static_cast<std::int64_t>(std::ceil(pitch / CheckMaxStep - 1e-9));
    const double h = pitch / static_cast<double>(n);
    r.Step = h;
    const auto count = static_cast<std::size_t>(n);
    // Fresh arrays each check: the check keeps no state between calls (faulting in the pages of
    // a 179 mm lead costs a few tenths of a millisecond).
    SampleArrays arrays;
    std::vector<double>& wanted = arrays.Wanted;
    std::vector<std::uint8_t>& wantedBy = arrays.WantedBy;  // the piece radially over the sample
    std::vector<double>& cut = arrays.Cut;
    wanted.assign(count, Unreached);
    wantedBy.assign(count, 0);
    cut.assign(count, Unreached);
    for (std::size_t k = 0; k < outline.Pieces.size(); ++k) {
        const OutlinePiece& p = outline.Pieces[k];
        if (!(p.To.U > p.From.U)) continue;
        const auto s0 = static_cast<std::int64_t>(std::ceil(p.From.U / h));
        const auto s1 = static_cast<std::int64_t>(std::floor(p.To.U / h));
        const double rise = p.Arc ? 0 : (p.To.Depth - p.From.Depth) / (p.To.U - p.From.U);
        const double r2 = p.Radius * p.Radius, sign = p.Convex ? -1 : 1;
        const auto piece = static_cast<std::uint8_t>(k);
        ForEachRun(s0, s1, n, [&](std::int64_t first, std::size_t j0, std::int64_t runLength) {
            double* depth = wanted.data() + j0;
            std::uint8_t* by = wantedBy.data() + j0;
            for (std::int64_t i = 0; i < runLength; ++i) {
                const double u = static_cast<double>(first + i) * h;
                double d = 0;
                if (p.Arc) {
                    const double du = u - p.Centre.U;
                    d = p.Centre.Depth + sign * std::sqrt(std::max(0.0, r2 - du * du));
                } else {
                    d = p.From.Depth + (u - p.From.U) * rise;
                }
                const auto at = static_cast<std::size_t>(i);
                if (d > depth[at]) {
                    depth[at] = d;
                    by[at] = piece;
                }
            }
        });
    }

    // Every pass in the order of the text, against what the passes before it left.
    // The nose's depths at whole steps from its centre: most passes sit on a sample (their Z
    // has three decimals, and so has a lead whose step is 0.001), and then need no root.
    std::vector<double> noseOnGrid;
    for (double du = 0; du <= tool.ArcHalfWidth; du = static_cast<double>(noseOnGrid.size()) * h) {
        noseOnGrid.push_back(std::sqrt(std::max(0.0, tool.R * tool.R - du * du)));
    }
    const auto onGridReach = static_cast<std::int64_t>(noseOnGrid.size()) - 1;
    for (std::size_t i = 0; i < r.Passes.size(); ++i) {
        CheckPass& p = r.Passes[i];
        const double centre = p.Depth - tool.R;
        // Within the lead: a hand-typed Z far away is the same place on the helix.
        const double uw = p.U - std::floor(p.U / pitch) * pitch;
        const double nearest = std::round(uw / h);
        const bool onGrid = std::fabs(uw / h - nearest) < 1e-6;
        const auto middle = static_cast<std::int64_t>(nearest);
        const double reach = std::min(tool.Reach(centre, blank), pitch / 2);
        const auto s0 = static_cast<std::int64_t>(std::ceil((uw - reach) / h));
        const auto s1 = std::min(static_cast<std::int64_t>(std::floor((uw + reach) / h)), s0 + n - 1);
        // Each sample stands for the step around it. A parallel side ends the tool between two
        // samples: the end samples stand for the width from the side to the middle of the step
        // beyond them, so a slot's area does not depend on where its sides fall.
        const double edgeLeft = tool.Parallel ? (static_cast<double>(s0) + 0.5) * h - (uw - reach) : h;
        const double edgeRight = tool.Parallel ? (uw + reach) - (static_cast<double>(s1) - 0.5) * h : h;
        // Material this pass removes at sample j, where its tool reaches depth t.
        const auto cutTo = [&](std::size_t j, double t) {
            if (!(t > cut[j])) return 0.0;
            const double before = std::max(cut[j], blank);
            cut[j] = t;
            return t > before ? t - before : 0.0;
        };
        double sum = 0, engagement = 0, removedFirst = 0, removedLast = 0;
        std::int64_t at = Wrap(s0, n);
        if (onGrid && s0 >= middle - onGridReach && s1 <= middle + onGridReach && s0 < s1) {
            // The whole tool from the table: most passes.
            const double firstBefore = cut[static_cast<std::size_t>(at)];
            const double lastBefore = cut[static_cast<std::size_t>(Wrap(s1, n))];
            ForEachRun(s0, s1, n, [&](std::int64_t first, std::size_t j0, std::int64_t runLength) {
                for (std::int64_t q = 0; q < runLength; ++q) {
                    const std::int64_t fromMiddle = std::abs(first + q - middle);
                    const double removed = cutTo(j0 + static_cast<std::size_t>(q),
                                                 centre + noseOnGrid[static_cast<std::size_t>(fromMiddle)]);
                    sum += removed;
                    engagement = std::max(engagement, removed);
                }
            });
            // The two ends again, for their widths: cut is now at least as deep as the tool.
            removedFirst = std::max(
                0.0, centre + noseOnGrid[static_cast<std::size_t>(middle - s0)] - std::max(firstBefore, blank));
            removedLast =
                std::max(0.0, centre + noseOnGrid[static_cast<std::size_t>(s1 - middle)] - std::max(lastBefore, blank));
        } else {
            for (std::int64_t s = s0; s <= s1; ++s, at = at + 1 == n ? 0 : at + 1) {
                const std::int64_t fromMiddle = s > middle ? s - middle : middle - s;
                // Within the window by construction, also where rounding puts it a hair outside.
                const double du = std::clamp(static_cast<double>(s) * h - uw, -reach, reach);
                const double t = onGrid && fromMiddle <= onGridReach
                                     ? centre + noseOnGrid[static_cast<std::size_t>(fromMiddle)]
                                     : tool.At(centre, du);
                const double removed = cutTo(static_cast<std::size_t>(at), t);
                sum += removed;
                engagement = std::max(engagement, removed);
                if (s == s0) removedFirst = removed;
                removedLast = removed;
            }
        }
        const double area = s0 == s1 ? removedFirst * 2 * reach
                                     : sum * h + (edgeLeft - h) * removedFirst + (edgeRight - h) * removedLast;
        p.ChipArea = area;
        p.Engagement = engagement;
        p.Idle = engagement < GougeTolerance;
        if (p.Idle) r.IdlePasses.push_back(static_cast<int>(i) + 1);
        if (p.ChipArea > r.MaxChipArea) {
            r.MaxChipArea = p.ChipArea;
            r.MaxChipPass = static_cast<int>(i) + 1;
        }
        if (p.Engagement > r.MaxEngagement) {
            r.MaxEngagement = p.Engagement;
            r.MaxEngagementPass = static_cast<int>(i) + 1;
        }
    }

    // Heights, normal to the outline, from each sample of the surface left.
    const PieceIndex index(outline);
    std::array<double, 8> segMax{};
    std::array<bool, 8> segFound{};
    bool inGouge = false;
    for (std::int64_t s = 0; s < n; ++s) {
        const auto j = static_cast<std::size_t>(s);
        const double u = static_cast<double>(s) * h;
        const double top = std::max(cut[j], blank);
        const double gap = wanted[j] - top;
        if (gap > 0) {
            // The radial gap bounds the normal one. Mostly the piece over the sample is the only
            // one within it: then only that piece's segment can have the height.
            const OutlinePiece& over = outline.Pieces[wantedBy[j]];
            if (u - gap > over.From.U && u + gap < over.To.U) {
                const auto k = static_cast<std::size_t>(over.Segment);
                if (!segFound[k] || gap > segMax[k]) {
                    bool inside = false;
                    const double d = check::PieceDistance(over, {u, top}, inside);
                    if (!segFound[k] || d > segMax[k]) {
                        segFound[k] = true;
                        segMax[k] = d;
                        r.Segments[k].Uncut = d;
                        r.Segments[k].UncutU = u;
                    }
                }
                inGouge = false;
                continue;
            }
            bool useful = false;
            index.SegmentsNear(u, gap, [&](int k) {
                const auto kk = static_cast<std::size_t>(k);
                if (!segFound[kk] || gap > segMax[kk]) useful = true;
            });
            if (useful) {
                double d = 0;
                const int piece = index.Nearest({u, top}, gap, d);
                if (piece >= 0) {
                    const auto k = static_cast<std::size_t>(index.Pieces[static_cast<std::size_t>(piece)].Segment);
                    if (!segFound[k] || d > segMax[k]) {
                        segFound[k] = true;
                        segMax[k] = d;
                        r.Segments[k].Uncut = d;
                        r.Segments[k].UncutU = u;
                    }
                }
            }
        }
        bool gouging = false;
        if (cut[j] > wanted[j] && cut[j] > blank) {
            double d = 0;
            const int piece = index.Nearest({u, cut[j]}, cut[j] - wanted[j], d);
            if (piece >= 0 && d > GougeTolerance) {
                gouging = true;
                if (!inGouge || d > r.GougeSpots.back().Depth) {
                    if (!inGouge) r.GougeSpots.emplace_back();
                    CheckGouge& g = r.GougeSpots.back();
                    g.Depth = d;
                    g.Segment = index.Pieces[static_cast<std::size_t>(piece)].Segment;
                    g.U = u;
                    g.At = draw({u, cut[j]});
                }
            }
        }
        inGouge = gouging;
    }

    // Each greatest height is then looked for again between the samples around it, on the
    // exact tools of the passes that reach there: the maximum of a cusp or at the foot of a
    // parallel side seldom falls on a sample.
    {
        std::vector<std::pair<double, int>> byU;  // passes by u within the lead
        double maxReach = 0;
        for (std::size_t i = 0; i < r.Passes.size(); ++i) {
            const CheckPass& p = r.Passes[i];
            byU.emplace_back(p.U - std::floor(p.U / pitch) * pitch, static_cast<int>(i));
            maxReach = std::max(maxReach, std::min(tool.Reach(p.Depth - tool.R, blank), pitch / 2));
        }
        std::sort(byU.begin(), byU.end());
        // The passes whose tools reach u, each with the u of its centre nearest to u.
        const auto forPassesAt = [&](double u, auto&& visit) {
            for (int copy = -1; copy <= 1; ++copy) {
                const double shiftU = copy * pitch;
                auto it = std::lower_bound(byU.begin(), byU.end(), std::make_pair(u - shiftU - maxReach, -1));
                for (; it != byU.end() && it->first <= u - shiftU + maxReach; ++it)
                    visit(it->second, it->first + shiftU);
            }
        };
        // The deepest cut at u and its pass (-1: none reaches).
        const auto cutAt = [&](double u, int& by) {
            double deepest = Unreached;
            by = -1;
            forPassesAt(u, [&](int i, double centreU) {
                const double t = tool.At(r.Passes[static_cast<std::size_t>(i)].Depth - tool.R, u - centreU);
                if (t > deepest) {
                    deepest = t;
                    by = i;
                }
            });
            return deepest;
        };
        const auto wantedAt = [&](double u) {
            double deepest = Unreached;
            for (const OutlinePiece& p : index.Pieces) {
                if (p.To.U > p.From.U && u >= p.From.U && u <= p.To.U) {
                    deepest = std::max(deepest, check::PieceDepth(p, u));
                }
            }
            return deepest;
        };
        // Where to look around a sample: evenly between its neighbours, and on either side of
        // every side of a parallel-sided tool there.
        const auto around = [&](double u0, auto&& look) {
            constexpr int Steps = 32;
            for (int i = 0; i <= Steps; ++i) look(u0 - h + 2 * h * i / Steps);
            if (!tool.Parallel) return;
            forPassesAt(u0, [&](int, double centreU) {
                for (const double wall : {centreU - tool.ArcHalfWidth, centreU + tool.ArcHalfWidth}) {
                    if (std::fabs(wall - u0) > h) continue;
                    look(wall - 1e-9);
                    look(wall + 1e-9);
                }
            });
        };
        for (std::size_t k = 0; k < r.Segments.size(); ++k) {
            if (!segFound[k]) continue;
            CheckSegment& seg = r.Segments[k];
            around(seg.UncutU, [&](double u) {
                int by = -1;
                const double top = std::max(cutAt(u, by), blank);
                const double gap = wantedAt(u) - top;
                if (!(gap > seg.Uncut)) return;
                double d = 0;
                const int piece = index.Nearest({u, top}, gap, d);
                if (piece >= 0 && index.Pieces[static_cast<std::size_t>(piece)].Segment == static_cast<int>(k) &&
                    d > seg.Uncut) {
                    seg.Uncut = d;
                    seg.UncutU = u - std::floor(u / pitch) * pitch;
                }
            });
        }
        for (CheckGouge& g : r.GougeSpots) {
            const CheckGouge sampled = g;
            int owner = -1;  // the pass that cut deepest at the sample
            cutAt(g.U, owner);
            g.Pass = owner + 1;
            around(sampled.U, [&](double u) {
                int by = -1;
                const double deepest = cutAt(u, by);
                const double over = deepest - wantedAt(u);
                if (by < 0 || !(over > 0) || !(deepest > blank)) return;
                double d = 0;
                const int piece = index.Nearest({u, deepest}, over, d);
                if (piece >= 0 && d > g.Depth) {
                    g.Depth = d;
                    g.Pass = by + 1;
                    g.Segment = index.Pieces[static_cast<std::size_t>(piece)].Segment;
                    g.U = u - std::floor(u / pitch) * pitch;
                    g.At = draw({u, deepest});
                }
            });
        }
    }

    for (std::size_t k = 0; k < r.Segments.size(); ++k) {
        if (segFound[k] && r.Segments[k].Uncut > r.Uncut) {
            r.Uncut = r.Segments[k].Uncut;
            r.UncutSegment = static_cast<int>(k);
            r.UncutU = r.Segments[k].UncutU;
        }
    }
    for (const CheckGouge& g : r.GougeSpots) {
        if (!r.Gouge || g.Depth > r.Gouge->Depth) r.Gouge = g;
    }

    // Suggested feeds: two neighbouring passes on the segment's own path, where the segment is
    // steepest, and the uncut height between them measured to the segment's own line or arc.
    {
        const ShapeData& sd = shape;
        const ProfileGeometry& g = geometry;
        const double shift = outline.LandDepth;
        const double rr = tool.R;
        const auto path = [&](int k, double u, bool& ok) {
            const auto root = [&](double radius, double t) {
                const double v = radius * radius - t * t;
                if (v < 0) ok = false;
                return std::sqrt(std::max(0.0, v));
            };
            switch (k) {
                case 0:
                    return g.PathR1 - root(g.PathR1, u);
                case 1:
                    return (u - g.PathR1 * std::tan(g.A1Rad / 2)) * std::tan(g.A1Rad);
                case 2:
                    return (g.DepthD2 + root(g.PathR2, g.EndR2 - u)) - g.PathR2;
                case 3:
                    return g.DepthD2;
                case 4:
                    return shift + ((g.DepthD3 + root(g.PathR3, u - g.EndD1)) - g.PathR3);
                case 5:
                    return shift + ((g.EndR4 - u) - g.PathR4 * std::tan(g.A2Rad / 2)) * std::tan(g.A2Rad);
                case 6:
                    return shift + (g.PathR4 - root(g.PathR4, g.EndR4 - u));
                default:
                    return shift;
            }
        };
        // Where the pair sits: the steep end of an arc, anywhere on a line.
        const std::array<double, 8> startAt = {g.EndR1, g.EndR1, g.EndA1, g.EndR2, g.EndR3, g.EndR3, g.EndA2, g.EndR4};
        const std::array<bool, 8> endsThere = {true, false, false, false, true, false, false, false};
        const std::array<double, 8> lengths = {g.EndR1,           g.EndA1 - g.EndR1, g.EndR2 - g.EndA1,
                                               g.EndD1 - g.EndR2, g.EndR3 - g.EndD1, g.EndA2 - g.EndR3,
                                               g.EndR4 - g.EndA2, pitch - g.EndR4};
        const double arcHalf = tool.ArcHalfWidth;
        for (std::size_t k = 0; k < 8; ++k) {
            const int seg = static_cast<int>(k);
            const OutlinePiece* piece = nullptr;
            for (const OutlinePiece& p : outline.Pieces) {
                if (p.Segment == seg) {
                    piece = &p;
                    break;
                }
            }
            const auto height = [&](double f) {
                const double ua = endsThere[k] ? startAt[k] - f : startAt[k];
                const double ub = ua + f;
                bool ok = true;
                const double ca = path(seg, ua, ok) - rr, cb = path(seg, ub, ok) - rr;
                if (!ok) return std::numeric_limits<double>::infinity();
                // Between the points where the two noses touch the segment's line or circle.
                const auto contact = [&](double u, double c) {
                    if (piece->Arc) {
                        const double du = u - piece->Centre.U, dd = c - piece->Centre.Depth;
                        const double len = Length(du, dd);
                        return len > 0 ? piece->Centre.U + piece->Radius * du / len : u;
                    }
                    const double tx = piece->To.U - piece->From.U, ty = piece->To.Depth - piece->From.Depth;
                    const double len2 = tx * tx + ty * ty;
                    const double along = ((u - piece->From.U) * tx + (c - piece->From.Depth) * ty) / len2;
                    return piece->From.U + along * tx;
                };
                const double from = contact(ua, ca), to = std::max(from, contact(ub, cb));
                double worst = Unreached;
                const auto at = [&](double u, double t) {
                    if (t == Unreached) {
                        worst = std::numeric_limits<double>::infinity();
                    } else {
                        worst = std::max(worst, SignedPieceDistance(*piece, {u, t}));
                    }
                };
                // Evenly between the contacts, then closer in around the highest of those: the
                // gap rises to a cusp or a wall and falls again.
                const auto gapAt = [&](double u) {
                    const double t = std::max(tool.At(ca, u - ua), tool.At(cb, u - ub));
                    return t == Unreached ? std::numeric_limits<double>::infinity()
                                          : SignedPieceDistance(*piece, {u, t});
                };
                constexpr int Steps = 64;
                const double step = (to - from) / Steps;
                int best = 0;
                double bestGap = Unreached;
                for (int i = 0; i <= Steps; ++i) {
                    const double gap = gapAt(from + step * i);
                    if (gap > bestGap) {
                        bestGap = gap;
                        best = i;
                    }
                }
                worst = std::max(worst, bestGap);
                double a = from + step * std::max(best - 1, 0), b = from + step * std::min(best + 1, Steps);
                for (int i = 0; i < 40 && b - a > 1e-7; ++i) {
                    const double m1 = a + (b - a) * 0.382, m2 = b - (b - a) * 0.382;
                    const double g1 = gapAt(m1), g2 = gapAt(m2);
                    worst = std::max(worst, std::max(g1, g2));
                    (g1 < g2 ? a : b) = g1 < g2 ? m1 : m2;
                }
                // Just outside each tool's reach, where a parallel side leaves a wall.
                if (tool.Parallel && ub - arcHalf > from && ub - arcHalf < to) {
                    at(ub - arcHalf, tool.At(ca, ub - arcHalf - ua));
                }
                if (tool.Parallel && ua + arcHalf > from && ua + arcHalf < to) {
                    at(ua + arcHalf, tool.At(cb, ua + arcHalf - ub));
                }
                return worst;
            };
            const bool reachable = (k != 2 || sd.R2 >= rr) && (k != 4 || sd.R3 >= rr);
            r.Segments[k].NoseFits = reachable;
            if (piece == nullptr || !reachable || height(1e-6) > target) continue;
            // A feed as long as the segment's path puts one pass on it: no more is needed.
            double lo = 1e-6, hi = std::max(lengths[k], 1e-3);
            if (height(hi) <= target) {
                lo = hi;
            } else {
                while (hi - lo > 1e-6) {
                    const double mid = (lo + hi) / 2;
                    (height(mid) <= target ? lo : hi) = mid;
                }
            }
            r.Segments[k].SuggestedFeed = lo;
        }
    }

    // The overlay, over the u the picture shows and the passes reach.
    double uLo = -0.12 * pitch, uHi = 1.06 * pitch;
    for (const CheckPass& p : r.Passes) {
        uLo = std::min(uLo, p.U - tool.R);
        uHi = std::max(uHi, p.U + tool.R);
    }
    // A pass typed a lead or more away lies outside the picture: no need to draw that far.
    uLo = std::max(uLo, -pitch);
    uHi = std::min(uHi, 2 * pitch);
    {
        double end = 0;
        for (const OutlinePiece& p : outline.Pieces) end = std::max(end, p.To.U);
        std::vector<SectionPoint> line;
        for (auto copy = static_cast<std::int64_t>(std::floor((uLo - end) / pitch));
             static_cast<double>(copy) * pitch <= uHi; ++copy) {
            const double shiftU = static_cast<double>(copy) * pitch;
            if (shiftU + end < uLo) continue;
            for (const OutlinePiece& p : outline.Pieces) {
                if (line.empty()) line.push_back({p.From.U + shiftU, p.From.Depth});
                AppendPiece(p, shiftU, line);
            }
        }
        for (const SectionPoint& p : line) r.Outline.push_back(draw(p));
        if (shape.FinishStock != 0) {
            for (SectionPoint p : line) {
                p.Depth += shape.FinishStock / 2;
                r.FinishedOutline.push_back(draw(p));
            }
        }
    }
    {
        const auto s0 = static_cast<std::int64_t>(std::floor(uLo / h));
        const auto s1 = static_cast<std::int64_t>(std::ceil(uHi / h));
        Thinner surface(1e-4), upper(1e-4), lower(1e-4);
        bool open = false;
        const auto closeRegion = [&] {
            const std::vector<SectionPoint> above = upper.Take(), below = lower.Take();
            if (open && above.size() >= 2) {
                std::vector<DrawPoint> polygon;
                polygon.reserve(above.size() + below.size());
                for (const SectionPoint& p : above) polygon.push_back(draw(p));
                for (auto it = below.rbegin(); it != below.rend(); ++it) polygon.push_back(draw(*it));
                r.UncutRegions.push_back(std::move(polygon));
            }
            open = false;
        };
        // Every OverlayStride-th sample: a picture needs no finer steps than 0.008 mm.
        const std::int64_t stride = std::min<std::int64_t>(OverlayStride, n);
        std::int64_t j = Wrap(s0, n);
        for (std::int64_t s = s0; s <= s1; s += stride, j = j + stride >= n ? j + stride - n : j + stride) {
            const auto i = static_cast<std::size_t>(j);
            const double u = static_cast<double>(s) * h;
            const double top = std::max(cut[i], blank);
            surface.Add({u, top});
            if (wanted[i] - top > 1e-6) {
                upper.Add({u, top});
                lower.Add({u, wanted[i]});
                open = true;
            } else if (open) {
                closeRegion();
            }
        }
        closeRegion();
        for (const SectionPoint& p : surface.Take()) r.CutSurface.push_back(draw(p));
    }
    // Each pass's tool: its sides up to above the blank, around the nose.
    const double sideTop = std::min(blank, 0.0) - tool.R;
    // The nose between the sides, around its centre, the same for every pass.
    std::vector<SectionPoint> noseArc;
    {
        constexpr int ArcSteps = 16;
        const double half = std::asin(std::clamp(tool.R > 0 ? tool.ArcHalfWidth / tool.R : 0.0, 0.0, 1.0));
        for (int i = 0; i <= ArcSteps; ++i) {
            const double a = -half + 2 * half * i / ArcSteps;
            noseArc.push_back({tool.R * std::sin(a), tool.R * std::cos(a)});
        }
    }
    for (CheckPass& p : r.Passes) {
        const double c = p.Depth - tool.R;
        const double sideLow = c + tool.SideStart;
        const double rise = std::max(0.0, sideLow - sideTop);
        const double spread = tool.Parallel ? 0 : rise / tool.SideRise;
        p.Tool.reserve(noseArc.size() + 2);
        p.Tool.push_back(draw({p.U - tool.ArcHalfWidth - spread, sideLow - rise}));
        for (const SectionPoint& q : noseArc) p.Tool.push_back(draw({p.U + q.U, c + q.Depth}));
        p.Tool.push_back(draw({p.U + tool.ArcHalfWidth + spread, sideLow - rise}));
    }
    return r;
}

}  // namespace quillane
