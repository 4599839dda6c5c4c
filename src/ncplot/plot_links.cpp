// What ties a plot to the text it was drawn from, read from the line indices of its Drawing.
#include "ncplot/plot_links.h"

#include "ncplot/plot_picture.h"
#include "ncplot/plot_readout.h"
#include "platform/number_text.h"

#include <algorithm>
#include <cmath>

namespace quillane {
namespace {

bool IsMove(const Primitive& item) {
    return item.NcLine != NoNcLine && (item.Kind == PrimitiveKind::Line || item.Kind == PrimitiveKind::Dot);
}

// A cutting move: the rapid moves are purple, and the dot that starts a path is no move at all.
bool IsCut(const Primitive& item) {
    return item.Kind == PrimitiveKind::Line && item.Colour == plot::Cut;
}

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

PlotLinks::PlotLinks(const Drawing& drawing, PlotKind kind) {
    // Per line: does it draw a move, a cut?
    struct Flags {
        bool Move = false;
        bool Cut = false;
    };
    std::vector<Flags> flags;
    bool ordered = true;
    const std::vector<Primitive>& items = drawing.Items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Primitive& item = items[i];
        if (item.NcLine == NoNcLine) continue;
        if (lines_.empty() || lines_.back().Line != item.NcLine || lines_.back().Items.End != i) {
            ordered = ordered && (lines_.empty() || lines_.back().Line < item.NcLine);
            lines_.push_back({item.NcLine, {i, i}});
            flags.emplace_back();
        }
        lines_.back().Items.End = i + 1;
        if (!IsMove(item)) continue;
        flags.back().Move = true;
        flags.back().Cut = flags.back().Cut || IsCut(item);
        const auto take = [this](DrawPoint p) {
            if (!extents_) extents_ = PlotExtents{p.X, p.X, p.Y, p.Y};
            extents_->Left = std::min(extents_->Left, p.X);
            extents_->Right = std::max(extents_->Right, p.X);
            extents_->Top = std::min(extents_->Top, p.Y);
            extents_->Bottom = std::max(extents_->Bottom, p.Y);
        };
        take(item.At);
        if (item.Kind == PrimitiveKind::Line) take(item.To);
    }
    if (!ordered) {
        // Not as a plot draws: the lines can still be found, but passes are not told apart.
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const LineItems& a, const LineItems& b) { return a.Line < b.Line; });
        return;
    }

    // The lines that drew a move, and which of them cut.
    std::vector<std::size_t> moves;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (flags[i].Move) moves.push_back(i);
    }
    const auto firstMoveOf = [&](std::size_t line) -> const Primitive& {
        const ItemRange r = lines_[line].Items;
        for (std::size_t i = r.First; i < r.End; ++i) {
            if (IsMove(items[i]) && (kind == PlotKind::PointData || IsCut(items[i]))) return items[i];
        }
        return items[r.First];
    };

    if (kind == PlotKind::PointData) {
        for (const std::size_t m : moves) {
            const LineItems& l = lines_[m];
            const Primitive& point = firstMoveOf(m);
            passes_.push_back({l.Line, l.Line, l.Line, l.Items, point.Kind == PrimitiveKind::Line ? point.To : point.At});
        }
        return;
    }

    // A pass is its cut, the rapid move just before it (the approach) and the rapid moves after
    // it up to the next approach. After the last cut it takes as many as the pass before it
    // had (retract and return: two, when there is no pass before).
    std::vector<std::size_t> cuts;  // positions in `moves`
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (flags[moves[i]].Cut) cuts.push_back(i);
    }
    const auto approachOf = [&](std::size_t k) {
        const std::size_t c = cuts[k];
        const bool before = c > 0 && (k == 0 || c - 1 > cuts[k - 1]);
        return before ? c - 1 : c;
    };
    std::size_t trailing = 2;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const std::size_t c = cuts[k];
        const std::size_t approach = approachOf(k);
        std::size_t last = c;
        if (k + 1 < cuts.size()) {
            last = approachOf(k + 1) - 1;
            trailing = last - c;
        } else {
            last = std::min(c + trailing, moves.size() - 1);
        }
        PlotPass pass;
        pass.FirstLine = k == 0 ? lines_[moves[approach]].Line : passes_.back().LastLine + 1;
        pass.LastLine = lines_[moves[last]].Line;
        pass.MoveLine = lines_[moves[c]].Line;
        pass.Items = {lines_[moves[approach]].Items.First, lines_[moves[last]].Items.End};
        pass.Start = StartOf(firstMoveOf(moves[c]));
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

std::optional<DrawPoint> NearestEndPoint(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale,
                                         double tolerance) {
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
