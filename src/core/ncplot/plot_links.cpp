// What ties a plot to the text it was drawn from, read from the line indices of its Drawing.
#include "core/ncplot/plot_links.h"

#include "core/ncplot/plot_picture.h"
#include "core/ncplot/plot_readout.h"
#include "core/numeric/number_text.h"

#include <algorithm>
#include <cmath>

namespace quillane {
namespace {

bool IsMove(const Primitive& item) {
    return item.NcLine != NoNcLine && (item.Kind == PrimitiveKind::Line || item.Kind == PrimitiveKind::Dot);
}

// A cutting move: the rapid moves are purple, and the dot that starts a path is no move at all.
bool IsCut(const Primitive& item) { return item.Kind == PrimitiveKind::Line && item.Colour == plot::Cut; }

// Where the pass of a move starts: a line's start (the cut), a dot's place (a point).
DrawPoint StartOf(const Primitive& item) { return item.At; }

// Squared distance in pixels from p to the segment a-b, all in drawing units scaled by `s`.
double PixelDistanceSquared(DrawPoint p, DrawPoint a, DrawPoint b, PixelsPerUnit s) {
    const double px = static_cast<double>(p.X) * s.X, py = static_cast<double>(p.Y) * s.Y;
    const double ax = static_cast<double>(a.X) * s.X, ay = static_cast<double>(a.Y) * s.Y;
    const double dx = static_cast<double>(b.X) * s.X - ax, dy = static_cast<double>(b.Y) * s.Y - ay;
    const double length2 = dx * dx + dy * dy;
    double t = 0;
    if (length2 > 0) t = std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return ex * ex + ey * ey;
}

std::string Z(float x, double zOffset) {
    return ReadoutNumber(zOffset == 0 ? x : static_cast<float>(static_cast<double>(x) + zOffset));
}

}  // namespace

void PlotLinks::Rebuild(const Drawing& drawing, PlotKind kind) {
    lines_.clear();
    passes_.clear();
    extents_.reset();
    bool ordered = true;
    const std::vector<Primitive>& items = drawing.Items;
    const auto take = [this](DrawPoint p) {
        if (!extents_) extents_ = PlotExtents{p.X, p.X, p.Y, p.Y};
        extents_->Left = std::min(extents_->Left, p.X);
        extents_->Right = std::max(extents_->Right, p.X);
        extents_->Top = std::min(extents_->Top, p.Y);
        extents_->Bottom = std::max(extents_->Bottom, p.Y);
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Primitive& item = items[i];
        if (item.NcLine == NoNcLine) continue;
        if (lines_.empty() || lines_.back().Line != item.NcLine || lines_.back().Items.End != i) {
            ordered = ordered && (lines_.empty() || lines_.back().Line < item.NcLine);
            lines_.push_back({item.NcLine, {i, i}});
        }
        LineItems& line = lines_.back();
        line.Items.End = i + 1;
        if (!IsMove(item)) continue;
        line.Move = true;
        line.Cut = line.Cut || IsCut(item);
        take(item.At);
        if (item.Kind == PrimitiveKind::Line) take(item.To);
    }
    if (!ordered) {
        // Not as a plot draws: the lines can still be found, but passes are not told apart.
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const LineItems& a, const LineItems& b) { return a.Line < b.Line; });
        return;
    }
    moves_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Move) moves_.push_back(i);
    }
    if (kind == PlotKind::PointData) {
        FindPointPasses(drawing);
    } else {
        FindCuttingPasses(drawing);
    }
}

// The first item of a line that is a move (a point), or a cut when `cut`.
static const Primitive& FirstMoveOf(const Drawing& drawing, ItemRange r, bool cut) {
    for (std::size_t i = r.First; i < r.End; ++i) {
        if (IsMove(drawing.Items[i]) && (!cut || IsCut(drawing.Items[i]))) return drawing.Items[i];
    }
    return drawing.Items[r.First];
}

void PlotLinks::FindPointPasses(const Drawing& drawing) {
    for (const std::size_t m : moves_) {
        const LineItems& l = lines_[m];
        const Primitive& point = FirstMoveOf(drawing, l.Items, false);
        passes_.push_back({l.Line, l.Line, l.Line, l.Items, point.Kind == PrimitiveKind::Line ? point.To : point.At});
    }
}

void PlotLinks::FindCuttingPasses(const Drawing& drawing) {
    // A pass is a run of cutting moves (a thread cut and a pull-out or a feed retract after it
    // are one pass), the rapid move just before it (the approach) and the rapid moves after it
    // up to the next approach. After the last run it takes as many as the pass before it had
    // (retract and return: two, when there is no pass before). A program that cuts without any
    // rapid move between its cuts makes each cut a pass.
    struct Run {
        std::size_t First = 0, Last = 0;  // positions in moves_
    };
    std::vector<Run> runs;
    bool rapidBetweenCuts = false;
    for (std::size_t i = 0; i < moves_.size(); ++i) {
        if (!lines_[moves_[i]].Cut) continue;
        if (!runs.empty() && runs.back().Last + 1 == i) {
            runs.back().Last = i;
        } else {
            rapidBetweenCuts = rapidBetweenCuts || !runs.empty();
            runs.push_back({i, i});
        }
    }
    if (!rapidBetweenCuts && !runs.empty()) {
        const Run only = runs.front();
        runs.clear();
        for (std::size_t i = only.First; i <= only.Last; ++i) runs.push_back({i, i});
    }
    const auto approachOf = [&](std::size_t k) {
        const std::size_t c = runs[k].First;
        const bool before = c > 0 && (k == 0 || c - 1 > runs[k - 1].Last);
        return before ? c - 1 : c;
    };
    std::size_t trailing = 2;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const std::size_t c = runs[k].Last;
        const std::size_t approach = approachOf(k);
        std::size_t last = c;
        if (k + 1 < runs.size()) {
            last = approachOf(k + 1) - 1;
            trailing = last - c;
        } else {
            last = std::min(c + trailing, moves_.size() - 1);
        }
        const LineItems& cut = lines_[moves_[runs[k].First]];
        PlotPass pass;
        pass.FirstLine = k == 0 ? lines_[moves_[approach]].Line : passes_.back().LastLine + 1;
        pass.LastLine = lines_[moves_[last]].Line;
        pass.MoveLine = cut.Line;
        pass.Items = {lines_[moves_[approach]].Items.First, lines_[moves_[last]].Items.End};
        pass.Start = StartOf(FirstMoveOf(drawing, cut.Items, true));
        passes_.push_back(pass);
    }
}

std::vector<ItemRange> PlotLinks::ItemsOfLine(int line) const {
    const auto [from, to] = std::equal_range(lines_.begin(), lines_.end(), LineItems{line, {}},
                                             [](const LineItems& a, const LineItems& b) { return a.Line < b.Line; });
    std::vector<ItemRange> ranges;
    for (auto it = from; it != to; ++it) ranges.push_back(it->Items);
    return ranges;
}

std::optional<std::size_t> PlotLinks::PassOfLine(int line) const {
    const auto after = std::upper_bound(passes_.begin(), passes_.end(), line,
                                        [](int l, const PlotPass& p) { return l < p.FirstLine; });
    if (after == passes_.begin()) return std::nullopt;
    const auto pass = std::prev(after);
    if (line > pass->LastLine) return std::nullopt;
    return static_cast<std::size_t>(pass - passes_.begin());
}

std::optional<std::size_t> NearestMove(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale, double tolerance) {
    std::optional<std::size_t> best;
    double bestScore = 0;
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
        if (!IsMove(item)) continue;
        const DrawPoint to = item.Kind == PrimitiveKind::Line ? item.To : item.At;
        const double d = std::sqrt(PixelDistanceSquared(at, item.At, to, scale));
        if (!(d <= tolerance)) continue;
        // Where moves meet, the one that ends there made the point: a little of the distance
        // to each move's end counts too. Later items lie on top: on a tie they win.
        const double score = d + 0.05 * std::sqrt(PixelDistanceSquared(at, to, to, scale));
        if (!best || score <= bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

std::optional<DrawPoint> NearestEndPoint(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale, double tolerance) {
    std::optional<DrawPoint> best;
    double bestDistance = tolerance * tolerance;
    const auto consider = [&](DrawPoint p) {
        const double d = PixelDistanceSquared(at, p, p, scale);
        if (d <= bestDistance) {
            bestDistance = d;
            best = p;
        }
    };
    for (const Primitive& item : drawing.Items) {
        if (!IsMove(item)) continue;
        consider(item.At);
        if (item.Kind == PrimitiveKind::Line) consider(item.To);
    }
    return best;
}

std::string PassToolTip(std::size_t number, DrawPoint start, double zOffset) {
    return "pass " + std::to_string(number) + ", X" + ReadoutNumber(-2.0F * start.Y) + ", Z" + Z(start.X, zOffset);
}

Measurement Measure(DrawPoint from, DrawPoint to) {
    Measurement m;
    m.DeltaZ = static_cast<double>(to.X) - static_cast<double>(from.X);
    // y is minus the radius.
    m.DeltaR = static_cast<double>(from.Y) - static_cast<double>(to.Y);
    m.DeltaX = 2 * m.DeltaR;
    m.Distance = std::hypot(m.DeltaZ, m.DeltaR);
    return m;
}

std::string MeasurementText(const Measurement& m) {
    const auto f = [](double v) { return FormatPattern(v, "###0.000"); };
    return "dZ" + f(m.DeltaZ) + "  dX" + f(m.DeltaX) + "  dR" + f(m.DeltaR) + "  L" + f(m.Distance);
}

std::string ExtentsText(const PlotExtents& e, double zOffset) {
    // y is minus the radius: the largest diameter is at the top.
    return "Z" + Z(e.Left, zOffset) + " .. " + Z(e.Right, zOffset) + "  X" + ReadoutNumber(-2.0F * e.Bottom) + " .. " +
           ReadoutNumber(-2.0F * e.Top);
}

}  // namespace quillane
