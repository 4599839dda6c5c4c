// What ties a plot to the text it was drawn from: the items each NC line drew, the passes of a
// thread-cutting program, and the plotted point nearest the mouse. All of it is read from the
// line indices a Drawing records, so it is made again with every replot and never re-scans.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/shifted_list.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillane {

// Items [First, End) of a Drawing.
struct ItemRange {
    std::size_t First = 0;
    std::size_t End = 0;
    bool Empty() const { return First >= End; }
    friend bool operator==(const ItemRange&, const ItemRange&) = default;
};

// An edit of a drawing's items: items [First, OldEnd) became items [First, NewEnd), and every
// item after them moved along unchanged but for its line, renumbered by LineDelta.
struct ItemSplice {
    std::size_t First = 0;
    std::size_t OldEnd = 0;
    std::size_t NewEnd = 0;
    int LineDelta = 0;
};

// One pass as a plot shows it.
struct PlotPass {
    int FirstLine = 0;  // the lines of its text, FirstLine to LastLine
    int LastLine = 0;
    int MoveLine = 0;  // the line of the point (point data) or of the cut (program)
    ItemRange Items;   // what those lines drew
    DrawPoint Start;   // where the pass starts cutting, in drawing coordinates
};

// A pass moved along by lines and items.
inline PlotPass Moved(PlotPass p, const Shift& by) {
    p.FirstLine += by.Lines;
    p.LastLine += by.Lines;
    p.MoveLine += by.Lines;
    p.Items.First = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(p.Items.First) + by.Items);
    p.Items.End = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(p.Items.End) + by.Items);
    return p;
}

// The smallest rectangle, in drawing coordinates, that holds every plotted move.
struct PlotExtents {
    float Left = 0, Right = 0, Top = 0, Bottom = 0;
    friend bool operator==(const PlotExtents&, const PlotExtents&) = default;
};

enum class PlotKind {
    PointData,    // every plotted point is a pass
    CuttingPath,  // every run of cutting moves is a pass, with the rapid moves around it
};

class PlotLinks {
public:
    PlotLinks() = default;
    PlotLinks(const Drawing& drawing, PlotKind kind) { Rebuild(drawing, kind); }
    // The links of another drawing, made in the storage of these (a replot on every key).
    void Rebuild(const Drawing& drawing, PlotKind kind);
    // The links of `drawing`, these links' drawing changed by `splice`: what Rebuild gives,
    // made again only around the spliced items (a keystroke in a long program).
    void Splice(const Drawing& drawing, PlotKind kind, const ItemSplice& splice);

    // The items line `line` drew, as one range per run of them (one in the plots' own
    // drawings, where a line's items follow each other).
    std::vector<ItemRange> ItemsOfLine(int line) const;
    // The pass (0-based) whose lines hold `line`.
    std::optional<std::size_t> PassOfLine(int line) const;
    // Read by value (see shifted_list.h).
    const ShiftedList<PlotPass>& Passes() const { return passes_; }
    std::optional<PlotExtents> Extents() const { return extents_; }

    // The same links, extents to the bit (a zero's sign shows in the read-out).
    friend bool operator==(const PlotLinks& a, const PlotLinks& b);

private:
    struct LineItems {
        int Line = 0;
        ItemRange Items;
        bool Move = false;  // it drew a move or a point
        bool Cut = false;   // it drew a cutting move
        PlotExtents Box;    // of its moves, when it drew one
        friend bool operator==(const LineItems&, const LineItems&) = default;
        friend LineItems Moved(LineItems l, const Shift& by) {
            l.Line += by.Lines;
            l.Items.First = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(l.Items.First) + by.Items);
            l.Items.End = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(l.Items.End) + by.Items);
            return l;
        }
    };
    // Adds item `i`, drawn by `line`, to the lines as Rebuild walks them; false when it starts a
    // line numbered before the last. Called for every item of a replot: with the list's growth
    // called apart instead of written in place, the links of 10 MB took 35 ms instead of 27.
    [[gnu::flatten]] static bool Take(std::vector<LineItems>& lines, const Primitive& item, int line, std::size_t i);
    void FindPasses(const Drawing& drawing, PlotKind kind);
    // The passes of lines_[from, to) appended to `out`: a point's for each line that drew one.
    void PointPassesOf(const Drawing& drawing, std::size_t from, std::size_t to, std::vector<PlotPass>& out) const;
    // A pass for each run of cutting moves, the part [from, to) of the lines starting at a pass's
    // approach (`lastLineBefore`: the last line of the pass before, none at the first line).
    // Short of the last line, the last run in the part makes no pass. False when the part cannot
    // tell its last pass. leads_ gets, for each pass, the line before its approach.
    bool CuttingPassesOf(const Drawing& drawing, std::size_t from, std::size_t to, std::optional<int> lastLineBefore,
                         std::vector<PlotPass>& out);
    // The passes after a splice that made lines_[seed, stable) again, the lines after them the
    // old ones from the item `oldStableItem` on, moved along.
    void RedoPasses(const Drawing& drawing, PlotKind kind, std::size_t seed, std::size_t stable,
                    std::size_t oldStableItem, const ItemSplice& splice);
    void FindExtents();
    void CountReached();

    ShiftedList<LineItems> lines_;  // in order of Line
    ShiftedList<PlotPass> passes_;  // in order of their lines
    std::optional<PlotExtents> extents_;
    bool spliceable_ = true;          // lines_ came in order of Line and no move is NaN
    std::vector<std::size_t> moves_;  // working memory: the lines that drew a move
    bool rapidBetweenCuts_ = false;   // the cutting passes were told apart by rapid moves
    // How many lines' boxes reach each edge of the extents: a splice that takes one out keeps
    // the edge while another still does.
    struct EdgeCounts {
        std::size_t Left = 0, Right = 0, Top = 0, Bottom = 0;
    };
    EdgeCounts reached_;
    // Working memory.
    std::vector<LineItems> fresh_;    // the lines a splice made again
    std::vector<PlotPass> window_;    // the passes a splice made again
    std::vector<std::size_t> leads_;  // the line before each of those passes' approach
};

// How a picture maps drawing units to device pixels, for distances measured on screen.
struct PixelsPerUnit {
    double X = 1;
    double Y = 1;
};

// The plotted move or point (a line or dot that an NC line drew) nearest `at`, if one lies
// within `tolerance` pixels. Where moves meet, the one that ends there is picked.
std::optional<std::size_t> NearestMove(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale, double tolerance);

// The end point of a plotted move (or a plotted point) nearest `at`, if one lies within
// `tolerance` pixels.
std::optional<DrawPoint> NearestEndPoint(const Drawing& drawing, DrawPoint at, PixelsPerUnit scale, double tolerance);

// "pass n, X…, Z…": a pass by its 1-based number and start, the diameter and Z with three
// decimals. `zOffset` is added to the drawing's x to give Z (the point graphic draws Z from the
// start point).
std::string PassToolTip(std::size_t number, DrawPoint start, double zOffset = 0);

// A measurement between two drawing points: "dZ…  dX…  dR…  L…", dX on the diameter, dR the
// radial difference, L the distance in the plane, each with three decimals.
struct Measurement {
    double DeltaZ = 0;
    double DeltaX = 0;  // on the diameter
    double DeltaR = 0;  // radial
    double Distance = 0;
};
Measurement Measure(DrawPoint from, DrawPoint to);
std::string MeasurementText(const Measurement& m);

// "Z min .. max  X min .. max" of the extents, X on the diameter, Z offset as for PassToolTip.
std::string ExtentsText(const PlotExtents& extents, double zOffset = 0);

}  // namespace quillane
