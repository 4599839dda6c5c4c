// A plot kept up to date with its text edit by edit: an edit rescans only the lines it touched
// and as many after them as it takes for the scan to be back where it was, and the picture is
// spliced there. The result is always what a replot of the whole text gives.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_links.h"
#include "core/ncplot/plot_path.h"
#include "core/shape/program_writers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quillane {

// What an edit replaced, in lines as the plots split a text (at each CR LF; the text after the
// last CR LF is a line too, an empty one when the text ends with CR LF): lines [FirstLine,
// FirstLine + OldLines) of the text plotted last became lines [FirstLine, FirstLine + NewLines)
// of the new text, and every other line is unchanged. Typing on one line is {n, 1, 1}, Enter in
// it {n, 1, 2}, deleting lines n and n + 1 {n, 2, 0} (or {n, 3, 1} when the caret's line joins
// the next); larger spans than the change are fine, only slower.
struct LineEdit {
    int FirstLine = 0;
    int OldLines = 0;
    int NewLines = 0;
};

// One edit for two made one after the other (`then` counted in the text `first` left): what a
// view tells at its next replot when several changes came since the last.
LineEdit CombineEdits(const LineEdit& first, const LineEdit& then);

// What the scanner carries from one plot to the next, whichever pane it plots: a plot that ends
// with other values than before changes how the other pane's text plots.
struct ScanCarry {
    float GValue = 0;
    bool InComment = false;
    friend bool operator==(const ScanCarry&, const ScanCarry&) = default;
};
inline ScanCarry CarryOf(const ScanState& scan) { return {scan.GValue, scan.InComment}; }

// How the last Replot or Update went.
struct PlotUpdate {
    bool Drawn = false;      // false: the cutting graphic had no extent yet; the picture is as it was
    bool Spliced = false;    // false: the whole text was replotted
    int RescannedLines = 0;  // lines scanned (all of them after a whole replot)
    // The scanner ends this plot with other values than the plot before it: the other plot, drawn
    // with the old ones, no longer shows what its text gives (its next Update rescans from its
    // first line until its scan is back on its old track).
    bool CarryChanged = false;
    // After a splice: which items of the picture it replaced (the links and a thinned picture
    // follow it there).
    ItemSplice Items;
    // Update was given the text from a byte on and needs the bytes before: nothing changed, and
    // Update with the whole text does what it was asked.
    bool NeedsWholeText = false;
};

// One plot (point graphic or cutting graphic) with what an edit needs to redo only its part: the
// scanner's state and the path's every `checkpointSpacing` lines, with where those lines start
// in the text and in the picture.
//
// Update replots the whole text (as Replot) when: nothing updatable was plotted before (the first
// plot, a cutting graphic without an extent, a picture that stopped early), the plot's inputs
// from the record changed (pitch, diameters, blank, start and end point, cut span), the edit does
// not fit the lines plotted last, or the edit brings most of the new text (a paste of most of it).
// Everything else, also a scanner that arrives with other values from the other plot, is spliced.
class IncrementalPlot {
public:
    // `links`: whether Links() follows the picture (a caller that keeps its own leaves it off).
    explicit IncrementalPlot(PlotKind kind, int checkpointSpacing = 4096, bool links = true);

    // Plots the whole `text` (CR LF lines) with `gen` (the point graphic reads gen.Shape), exactly
    // as PlotPointData or PlotCuttingPath do, on the shared `scan`.
    const PlotUpdate& Replot(std::string_view text, const GeneratorState& gen, ScanState& scan);

    // The same for `text`, the text plotted last changed by `edit`; the picture, links and scan
    // afterwards are those Replot would give. Nothing of `text` before byte `readable` is read:
    // a caller may hand a view whose bytes before it are not the text's (an editor's buffer read
    // in place from there, which keeps it from being rearranged for the bytes before), and gets
    // NeedsWholeText where the update needs them after all.
    const PlotUpdate& Update(std::string_view text, const LineEdit& edit, const GeneratorState& gen, ScanState& scan,
                             std::size_t readable = 0);
    // The first byte of the new text that Update with `edit`, `gen` and `scan` reads, as far as
    // can be told before it runs (0 when it replots the whole text).
    std::size_t ReadsFrom(const LineEdit& edit, const GeneratorState& gen, const ScanState& scan) const;

    // When the scanner brings other values than the picture was drawn with, Update first rescans
    // the lines before the edit with them (see TakeCarry); a caller may do that beforehand from
    // just those lines, the first `CarryReach` bytes of the new text (0: nothing to do), which
    // an editor has where the caret left them, and then hand Update the text from ReadsFrom on.
    std::size_t CarryReach(const LineEdit& edit, const GeneratorState& gen, const ScanState& scan) const;
    void TakeCarry(std::string_view head, const LineEdit& edit, const GeneratorState& gen, const ScanState& scan);

    // Whether Update with `edit` and `gen` starts with a whole replot (it may still fall back to one
    // when the rescan does not come back on its old track).
    bool ReplotsWhole(const LineEdit& edit, const GeneratorState& gen) const;
    // The picture as a whole replot draws it (after a PlotUpdate that was not Drawn: the one
    // before, as the window keeps it).
    const Drawing& Picture() const { return drawing_; }
    // The links of that picture, made again after every change of it.
    const PlotLinks& Links() const { return links_; }
    const PlotUpdate& LastUpdate() const { return update_; }

private:
    // Everything a line's scan and drawing depends on from the lines before it.
    struct LineState {
        float GValue = 0;
        bool InComment = false;
        bool StartNewPath = false;
        double XValue = 0;
        double ZValue = 0;
        plot::PathWalk Walk;
        // Left by the line before; nothing after depends on them.
        std::size_t LineLength = 0;
        std::size_t ScanPos = 0;
    };
    struct Checkpoint {
        int Line = 0;            // the line it comes before
        std::size_t Offset = 0;  // where that line starts in the text
        std::size_t Item = 0;    // where that line's items start in the picture
        LineState Before;        // the state that line is scanned and drawn from
    };
    static LineState StateOf(const ScanState& scan, const plot::PathWalk& walk);
    static void Load(const LineState& state, ScanState& scan);
    static bool SameCourse(const LineState& a, const LineState& b);
    std::array<double, 7> InputsOf(const GeneratorState& gen) const;

    // Returns the lines it scanned.
    int TakeCarry(std::string_view text, const LineEdit& edit, const ScanCarry& carry);
    bool Splice(std::string_view text, const LineEdit& edit, ScanState& scan);
    // The checkpoint the rescan for `edit` starts from while the scanner brings what it did.
    std::size_t StartOf(const LineEdit& edit) const;
    void Finish(std::string_view text, ScanState& scan) const;

    PlotKind kind_;
    int spacing_;
    bool linksFollow_;
    bool updatable_ = false;  // the picture is complete and the checkpoints describe it
    std::array<double, 7> inputs_{};
    plot::PathStep step_;
    ScanCarry entry_;  // what the scanner brought when the picture was drawn
    std::size_t textSize_ = 0;
    int lines_ = 0;  // lines that a CR LF ends
    Drawing drawing_;
    PlotLinks links_;
    std::vector<Checkpoint> checkpoints_;  // in line order, the first at line 0
    LineState final_;                      // after the last line
    PlotUpdate update_;
    // Working memory kept between updates.
    Drawing fresh_;
    std::vector<Checkpoint> rescanned_;
};

}  // namespace quillane
