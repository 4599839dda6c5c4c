// What ties a plot to the text it was drawn from, read from the line indices of its Drawing.
#include "core/ncplot/plot_links.h"

#include "core/ncplot/plot_picture.h"
#include "core/ncplot/plot_readout.h"
#include "core/numeric/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>

namespace quillane {
namespace {

// A line or dot: a move or point if an NC line drew it.
bool MoveKind(const Primitive& item) { return item.Kind == PrimitiveKind::Line || item.Kind == PrimitiveKind::Dot; }

// `line`: the line that drew it (Drawing::LineOf).
bool IsMove(const Primitive& item, int line) { return line != NoNcLine && MoveKind(item); }

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

bool SamePass(const PlotPass& p, const PlotPass& q) {
    return p.FirstLine == q.FirstLine && p.LastLine == q.LastLine && p.MoveLine == q.MoveLine && p.Items == q.Items &&
           p.Start == q.Start;
}

constexpr std::size_t kNone = ~std::size_t{0};

bool Numbers(const Primitive& item) {
    return !std::isnan(item.At.X) && !std::isnan(item.At.Y) && !std::isnan(item.To.X) && !std::isnan(item.To.Y);
}

void Grow(PlotExtents& box, DrawPoint p) {
    box.Left = std::min(box.Left, p.X);
    box.Right = std::max(box.Right, p.X);
    box.Top = std::min(box.Top, p.Y);
    box.Bottom = std::max(box.Bottom, p.Y);
}

// One edge of the extents and how many lines reach it, after a line whose box reaches `value`
// is taken out: false when a zero edge would leave the sign to the lines that are left.
bool Leave(float edge, float value, std::size_t& reached) {
    if (!(value == edge)) return true;
    --reached;
    return edge != 0;
}

// The same when a line whose box reaches `value` is added: false when which of two equal values
// comes first would decide (zeros of both signs).
template <class Beyond>
bool Reach(float& edge, float value, std::size_t& reached, Beyond beyond) {
    if (beyond(value, edge)) {
        edge = value;
        reached = 1;
        return true;
    }
    if (!(value == edge)) return true;
    ++reached;
    return std::signbit(value) == std::signbit(edge);
}

std::string Z(float x, double zOffset) {
    return ReadoutNumber(zOffset == 0 ? x : static_cast<float>(static_cast<double>(x) + zOffset));
}

}  // namespace

void PlotLinks::Rebuild(const Drawing& drawing, PlotKind kind) {
    std::vector<LineItems>& lines = lines_.Refill();
    passes_.Refill();
    extents_.reset();
    bool ordered = true;
    const std::vector<Primitive>& items = drawing.Items;
    bool numbers = true;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Primitive& item = items[i];
        const int line = drawing.LineOf(i);
        if (line == NoNcLine) continue;
        ordered = Take(lines, item, line, i) && ordered;
        if (!IsMove(item, line)) continue;
        numbers = numbers && Numbers(item);
        if (!extents_) extents_ = PlotExtents{item.At.X, item.At.X, item.At.Y, item.At.Y};
        Grow(*extents_, item.At);
        if (item.Kind == PrimitiveKind::Line) Grow(*extents_, item.To);
    }
    spliceable_ = ordered && numbers;
    CountReached();
    if (!ordered) {
        // Not as a plot draws: the lines can still be found, but passes are not told apart.
        std::stable_sort(lines.begin(), lines.end(),
                         [](const LineItems& a, const LineItems& b) { return a.Line < b.Line; });
        return;
    }
    FindPasses(drawing, kind);
}

bool PlotLinks::Take(std::vector<LineItems>& lines, const Primitive& item, int line, std::size_t i) {
    bool ordered = true;
    if (lines.empty() || lines.back().Line != line || lines.back().Items.End != i) {
        ordered = lines.empty() || lines.back().Line < line;
        lines.push_back({line, {i, i}, false, false, {}});
    }
    LineItems& drew = lines.back();
    drew.Items.End = i + 1;
    if (!IsMove(item, line)) return ordered;
    if (!drew.Move) drew.Box = {item.At.X, item.At.X, item.At.Y, item.At.Y};
    drew.Move = true;
    drew.Cut = drew.Cut || IsCut(item);
    Grow(drew.Box, item.At);
    if (item.Kind == PrimitiveKind::Line) Grow(drew.Box, item.To);
    return ordered;
}

// The extents from each line's box taken in turn: what every move taken in turn gives, as
// long as none is NaN (a value that equals an edge leaves the edge as the first to reach it
// set it, zero's sign included, taken one by one or line by line).
void PlotLinks::FindExtents() {
    extents_.reset();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineItems& line = lines_.Stored(i);  // its box and moves
        if (!line.Move) continue;
        if (!extents_) {
            extents_ = line.Box;
            continue;
        }
        PlotExtents& e = *extents_;
        e.Left = std::min(e.Left, line.Box.Left);
        e.Right = std::max(e.Right, line.Box.Right);
        e.Top = std::min(e.Top, line.Box.Top);
        e.Bottom = std::max(e.Bottom, line.Box.Bottom);
    }
    CountReached();
}

void PlotLinks::CountReached() {
    reached_ = {};
    if (!extents_) return;
    const PlotExtents& e = *extents_;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineItems& line = lines_.Stored(i);  // its box and moves
        if (!line.Move) continue;
        reached_.Left += line.Box.Left == e.Left ? 1 : 0;
        reached_.Right += line.Box.Right == e.Right ? 1 : 0;
        reached_.Top += line.Box.Top == e.Top ? 1 : 0;
        reached_.Bottom += line.Box.Bottom == e.Bottom ? 1 : 0;
    }
}

void PlotLinks::FindPasses(const Drawing& drawing, PlotKind kind) {
    std::vector<PlotPass>& passes = passes_.Refill();
    if (kind == PlotKind::PointData) {
        PointPassesOf(drawing, 0, lines_.size(), passes);
    } else {
        CuttingPassesOf(drawing, 0, lines_.size(), std::nullopt, passes);
    }
}

void PlotLinks::Splice(const Drawing& drawing, PlotKind kind, const ItemSplice& s) {
    const std::vector<Primitive>& items = drawing.Items;
    if (!spliceable_ || s.First > s.OldEnd || s.First > s.NewEnd || s.NewEnd > items.size()) {
        Rebuild(drawing, kind);
        return;
    }
    const std::ptrdiff_t itemDelta = static_cast<std::ptrdiff_t>(s.NewEnd) - static_cast<std::ptrdiff_t>(s.OldEnd);
    const auto byFirst = [](const LineItems& l, std::size_t i) { return l.Items.First < i; };
    // The lines that drew spliced items are made again, from the line before them (the first new
    // item may continue it) up to the first old line after them that starts a line again.
    std::size_t k =
        static_cast<std::size_t>(std::lower_bound(lines_.begin(), lines_.end(), s.First, byFirst) - lines_.begin());
    std::size_t from = s.First;
    if (k > 0 && lines_[k - 1].Items.End > s.First) from = lines_[--k].Items.First;  // a line across the start
    fresh_.clear();
    std::size_t seed = k;
    if (k > 0) fresh_.push_back(lines_[--seed]);
    std::size_t j =
        static_cast<std::size_t>(std::lower_bound(lines_.begin(), lines_.end(), s.OldEnd, byFirst) - lines_.begin());
    bool ordered = true, numbers = true, met = false;
    for (std::size_t i = from; i < items.size(); ++i) {
        const Primitive& item = items[i];
        const int line = drawing.LineOf(i);
        if (line == NoNcLine) continue;
        numbers = numbers && (!IsMove(item, line) || Numbers(item));
        const bool starts = fresh_.empty() || fresh_.back().Line != line || fresh_.back().Items.End != i;
        if (starts && i >= s.NewEnd) {
            // From an old line's start on, the lines are the old ones moved along.
            const std::size_t old = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) - itemDelta);
            while (j < lines_.size() && lines_[j].Items.First < old) ++j;
            if (j < lines_.size() && lines_[j].Items.First == old) {
                ordered = ordered && (fresh_.empty() || fresh_.back().Line < line);
                met = true;
                break;
            }
        }
        ordered = Take(fresh_, item, line, i) && ordered;
    }
    if (!met) j = lines_.size();
    if (!ordered || !numbers) {
        Rebuild(drawing, kind);
        return;
    }

    // The extents stay those of the lines kept, grown by the new ones, as long as each edge is
    // still reached by a line kept or made; else they come from every line's box. Zeros of both
    // signs compare equal but show apart: where one could decide, so does every line's box.
    PlotExtents grown = extents_.value_or(PlotExtents{});
    EdgeCounts reached = reached_;
    bool follow = extents_.has_value();
    for (std::size_t i = seed; i < j && follow; ++i) {
        const LineItems& gone = lines_.Stored(i);  // its box
        if (!gone.Move) continue;
        follow = Leave(grown.Left, gone.Box.Left, reached.Left) && Leave(grown.Right, gone.Box.Right, reached.Right) &&
                 Leave(grown.Top, gone.Box.Top, reached.Top) && Leave(grown.Bottom, gone.Box.Bottom, reached.Bottom);
    }
    for (std::size_t i = 0; i < fresh_.size() && follow; ++i) {
        const LineItems& added = fresh_[i];
        if (!added.Move) continue;
        follow = Reach(grown.Left, added.Box.Left, reached.Left, std::less<>()) &&
                 Reach(grown.Right, added.Box.Right, reached.Right, std::greater<>()) &&
                 Reach(grown.Top, added.Box.Top, reached.Top, std::less<>()) &&
                 Reach(grown.Bottom, added.Box.Bottom, reached.Bottom, std::greater<>());
    }
    follow = follow && reached.Left > 0 && reached.Right > 0 && reached.Top > 0 && reached.Bottom > 0;

    // The lines after move along; the made ones replace the old.
    const std::size_t oldStableItem = j < lines_.size() ? lines_[j].Items.First : kNone;
    lines_.Replace(seed, j, fresh_, {s.LineDelta, itemDelta});
    if (follow) {
        extents_ = grown;
        reached_ = reached;
    } else {
        FindExtents();
    }
    RedoPasses(drawing, kind, seed, seed + fresh_.size(), oldStableItem, s);
}

// The first item of a line that is a move (a point), or a cut when `cut`: the items of a line,
// which an NC line drew.
static const Primitive& FirstMoveOf(const Drawing& drawing, ItemRange r, bool cut) {
    for (std::size_t i = r.First; i < r.End; ++i) {
        if (MoveKind(drawing.Items[i]) && (!cut || IsCut(drawing.Items[i]))) return drawing.Items[i];
    }
    return drawing.Items[r.First];
}

void PlotLinks::PointPassesOf(const Drawing& drawing, std::size_t from, std::size_t to,
                              std::vector<PlotPass>& out) const {
    for (std::size_t m = from; m < to; ++m) {
        const LineItems& l = lines_[m];
        if (!l.Move) continue;
        const Primitive& point = FirstMoveOf(drawing, l.Items, false);
        out.push_back({l.Line, l.Line, l.Line, l.Items, point.Kind == PrimitiveKind::Line ? point.To : point.At});
    }
}

bool PlotLinks::CuttingPassesOf(const Drawing& drawing, std::size_t from, std::size_t to,
                                std::optional<int> lastLineBefore, std::vector<PlotPass>& out) {
    // A pass is a run of cutting moves (a thread cut and a pull-out or a feed retract after it
    // are one pass), the rapid move just before it (the approach) and the rapid moves after it
    // up to the next approach. After the last run it takes as many as the pass before it had
    // (retract and return: two, when there is no pass before). A program that cuts without any
    // rapid move between its cuts makes each cut a pass.
    const bool whole = from == 0 && to == lines_.size(), atEnd = to == lines_.size();
    moves_.clear();
    for (std::size_t i = from; i < to; ++i) {
        if (lines_.Stored(i).Move) moves_.push_back(i);
    }
    struct Run {
        std::size_t First = 0, Last = 0;  // positions in moves_
    };
    leads_.clear();
    std::vector<Run> runs;
    bool rapidBetweenCuts = false;
    for (std::size_t i = 0; i < moves_.size(); ++i) {
        if (!lines_.Stored(moves_[i]).Cut) continue;
        if (!runs.empty() && runs.back().Last + 1 == i) {
            runs.back().Last = i;
        } else {
            rapidBetweenCuts = rapidBetweenCuts || !runs.empty();
            runs.push_back({i, i});
        }
    }
    if (whole) {
        rapidBetweenCuts_ = rapidBetweenCuts;
        if (!rapidBetweenCuts && !runs.empty()) {
            const Run only = runs.front();
            runs.clear();
            for (std::size_t i = only.First; i <= only.Last; ++i) runs.push_back({i, i});
        }
    } else if (atEnd && runs.size() < 2) {
        return false;  // the last pass would need the pass before the part
    }
    const auto approachOf = [&](std::size_t k) {
        const std::size_t c = runs[k].First;
        const bool before = c > 0 && (k == 0 || c - 1 > runs[k - 1].Last);
        return before ? c - 1 : c;
    };
    // Short of the end, the last run may go on, and its pass ends where the next run starts.
    const std::size_t made = atEnd ? runs.size() : (runs.empty() ? 0 : runs.size() - 1);
    std::size_t trailing = 2;
    for (std::size_t k = 0; k < made; ++k) {
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
        if (k > 0) {
            pass.FirstLine = out.back().LastLine + 1;
        } else {
            pass.FirstLine = lastLineBefore ? *lastLineBefore + 1 : lines_[moves_[approach]].Line;
        }
        pass.LastLine = lines_[moves_[last]].Line;
        pass.MoveLine = cut.Line;
        pass.Items = {lines_[moves_[approach]].Items.First, lines_[moves_[last]].Items.End};
        pass.Start = StartOf(FirstMoveOf(drawing, cut.Items, true));
        out.push_back(pass);
        // The line before the approach: from a pass whose lines before it are unchanged on, the
        // passes are the old ones.
        leads_.push_back(approach > 0 ? moves_[approach - 1] : kNone);
    }
    return true;
}

void PlotLinks::RedoPasses(const Drawing& drawing, PlotKind kind, std::size_t seed, std::size_t stable,
                           std::size_t oldStableItem, const ItemSplice& s) {
    const std::ptrdiff_t itemDelta = static_cast<std::ptrdiff_t>(s.NewEnd) - static_cast<std::ptrdiff_t>(s.OldEnd);
    const Shift shift{s.LineDelta, itemDelta};
    // The passes and lines before `seed` are as they were; where they end in the items.
    const std::size_t changed = seed < lines_.size() ? lines_[seed].Items.First
                                : seed > 0           ? lines_[seed - 1].Items.End
                                                     : 0;
    // Old passes [0, keep) stay, [again, end) come back moved along; those between are made again.
    const auto keepAll = [&](std::size_t keep, std::size_t again) { passes_.Replace(keep, again, window_, shift); };
    window_.clear();
    if (kind == PlotKind::PointData) {
        const auto byFirst = [](const PlotPass& p, std::size_t i) { return p.Items.First < i; };
        const std::size_t keep = static_cast<std::size_t>(
            std::lower_bound(passes_.begin(), passes_.end(), changed, byFirst) - passes_.begin());
        const std::size_t again = static_cast<std::size_t>(
            std::lower_bound(passes_.begin(), passes_.end(), oldStableItem, byFirst) - passes_.begin());
        PointPassesOf(drawing, seed, stable, window_);
        keepAll(keep, again);
        return;
    }
    if (!rapidBetweenCuts_) {
        FindPasses(drawing, kind);
        return;
    }
    // The first pass that reaches the changed lines: its run may join the one before, whose
    // pass ends where this one's approach starts. Two passes back nothing can change.
    const std::size_t touched =
        static_cast<std::size_t>(std::upper_bound(passes_.begin(), passes_.end(), changed,
                                                  [](std::size_t i, const PlotPass& p) { return i < p.Items.End; }) -
                                 passes_.begin());
    const std::size_t keep = touched >= 2 ? touched - 2 : 0;
    std::size_t from = 0;
    std::optional<int> lastLineBefore;
    if (keep > 0) {
        from = static_cast<std::size_t>(
            std::lower_bound(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(seed),
                             passes_[keep].Items.First,
                             [](const LineItems& l, std::size_t i) { return l.Items.First < i; }) -
            lines_.begin());
        lastLineBefore = passes_[keep - 1].LastLine;
    }
    for (std::size_t span = 64;; span *= 4) {
        const std::size_t to = std::min(lines_.size(), std::max(stable, from) + span);
        window_.clear();
        if (!CuttingPassesOf(drawing, from, to, lastLineBefore, window_)) break;
        std::size_t w = 1;
        while (w < window_.size() && (leads_[w] == kNone || leads_[w] < stable)) ++w;
        if (w < window_.size()) {
            // All this pass depends on lies in the lines after the change: it is an old one, and
            // so are all after it.
            const std::size_t old =
                static_cast<std::size_t>(static_cast<std::ptrdiff_t>(window_[w].Items.First) - itemDelta);
            const auto again = std::lower_bound(passes_.begin(), passes_.end(), old,
                                                [](const PlotPass& p, std::size_t i) { return p.Items.First < i; });
            if (again == passes_.end() || !SamePass(Moved(*again, shift), window_[w])) break;
            window_.resize(w);
            keepAll(keep, static_cast<std::size_t>(again - passes_.begin()));
            return;
        }
        if (to == lines_.size()) {
            keepAll(keep, passes_.size());
            return;
        }
    }
    FindPasses(drawing, kind);
}

bool operator==(const PlotLinks& a, const PlotLinks& b) {
    const auto bits = [](const std::optional<PlotExtents>& e) {
        std::array<std::uint32_t, 4> out{};
        if (e)
            out =
                std::bit_cast<std::array<std::uint32_t, 4>>(std::array<float, 4>{e->Left, e->Right, e->Top, e->Bottom});
        return out;
    };
    return std::equal(a.lines_.begin(), a.lines_.end(), b.lines_.begin(), b.lines_.end()) &&
           a.extents_.has_value() == b.extents_.has_value() && bits(a.extents_) == bits(b.extents_) &&
           std::equal(a.passes_.begin(), a.passes_.end(), b.passes_.begin(), b.passes_.end(), SamePass);
}

std::vector<ItemRange> PlotLinks::ItemsOfLine(int line) const {
    const auto [from, to] = std::equal_range(lines_.begin(), lines_.end(), LineItems{line, {}, false, false, {}},
                                             [](const LineItems& a, const LineItems& b) { return a.Line < b.Line; });
    std::vector<ItemRange> ranges;
    for (auto it = from; it != to; ++it) ranges.push_back((*it).Items);
    return ranges;
}

std::optional<std::size_t> PlotLinks::PassOfLine(int line) const {
    const auto after = std::upper_bound(passes_.begin(), passes_.end(), line,
                                        [](int l, const PlotPass& p) { return l < p.FirstLine; });
    if (after == passes_.begin()) return std::nullopt;
    const auto pass = std::prev(after);
    if (line > (*pass).LastLine) return std::nullopt;
    return static_cast<std::size_t>(pass - passes_.begin());
}

std::optional<std::size_t> NearestMove(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale, double tolerance) {
    std::optional<std::size_t> best;
    double bestScore = 0;
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
        if (!IsMove(item, drawing.LineOf(i))) continue;
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
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
        if (!IsMove(item, drawing.LineOf(i))) continue;
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
