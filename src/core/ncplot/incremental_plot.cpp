// A plot kept up to date with its text edit by edit, equal to a replot of the whole text.
#include "core/ncplot/incremental_plot.h"

#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/point_graphic.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace quillane {
namespace {

template <class T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The last line a CR LF ends, as the walk over all lines would leave it in LineText.
std::string_view LastNcLine(std::string_view text) {
    const std::size_t cr = text.rfind("\r\n");
    if (cr == std::string_view::npos) return {};
    // A CR LF cannot start on the LF of another, so the one before ends at cr - 2 at the latest.
    const std::size_t before = cr == 0 ? std::string_view::npos : text.rfind("\r\n", cr - 1);
    const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
    return text.substr(start, cr - start);
}

// The scanner brings what it brought before, to the bit.
bool SameCarry(const ScanCarry& a, const ScanCarry& b) {
    return SameBits(a.GValue, b.GValue) && a.InComment == b.InComment;
}

// Lines a plot can number without clamping: a text beyond is always replotted whole.
constexpr int kMostLines = INT_MAX / 2;

}  // namespace

LineEdit CombineEdits(const LineEdit& first, const LineEdit& then) {
    // Both spans in the text between the edits; the union of them, told in the text before the
    // first and after the second.
    const int from = std::min(first.FirstLine, then.FirstLine);
    const int to = std::max(first.FirstLine + first.NewLines, then.FirstLine + then.OldLines);
    return {from, to - from - (first.NewLines - first.OldLines), to - from + (then.NewLines - then.OldLines)};
}

IncrementalPlot::IncrementalPlot(PlotKind kind, int checkpointSpacing, bool links)
    : kind_(kind), spacing_(std::max(checkpointSpacing, 1)), linksFollow_(links) {}

IncrementalPlot::LineState IncrementalPlot::StateOf(const ScanState& scan, const plot::PathWalk& walk) {
    LineState s;
    s.GValue = scan.GValue;
    s.InComment = scan.InComment;
    s.StartNewPath = scan.StartNewPath;
    s.XValue = scan.XValue;
    s.ZValue = scan.ZValue;
    s.Walk = walk;
    s.LineLength = scan.LineLength;
    s.ScanPos = scan.ScanPos;
    return s;
}

void IncrementalPlot::Load(const LineState& state, ScanState& scan) {
    scan.GValue = state.GValue;
    scan.InComment = state.InComment;
    scan.StartNewPath = state.StartNewPath;
    scan.XValue = state.XValue;
    scan.ZValue = state.ZValue;
    scan.LineLength = state.LineLength;
    scan.ScanPos = state.ScanPos;
}

// Two states from which the same lines scan and draw the same. Values compare by their bits, so
// that a zero's sign can never make a difference go unnoticed.
bool IncrementalPlot::SameCourse(const LineState& a, const LineState& b) {
    return SameBits(a.GValue, b.GValue) && a.InComment == b.InComment && a.StartNewPath == b.StartNewPath &&
           SameBits(a.XValue, b.XValue) && SameBits(a.ZValue, b.ZValue) && SameBits(a.Walk.PrevX, b.Walk.PrevX) &&
           SameBits(a.Walk.PrevZ, b.Walk.PrevZ) && a.Walk.RingPairs == b.Walk.RingPairs;
}

// The record's values a plot reads.
std::array<double, 7> IncrementalPlot::InputsOf(const GeneratorState& gen) const {
    const ShapeData& s = gen.Shape;
    const double span = kind_ == PlotKind::CuttingPath ? gen.CutSpanZ : 0;
    return {s.Pitch, s.D1, s.D2, s.BlankDiaX, s.StartPointZ, s.EndPointZ, span};
}

const PlotUpdate& IncrementalPlot::Replot(std::string_view text, const GeneratorState& gen, ScanState& scan) {
    update_ = {};
    updatable_ = false;
    const ScanCarry before = CarryOf(scan);
    // No program has been generated yet: the cutting graphic keeps what it shows.
    if (kind_ == PlotKind::CuttingPath && !(gen.CutSpanZ > 0)) return update_;
    update_.Drawn = true;
    inputs_ = InputsOf(gen);
    entry_ = before;
    textSize_ = text.size();
    checkpoints_.clear();
    int lines = 0;
    plot::Picture picture(plot::Background, std::move(drawing_));
    picture.ReserveFor(text.size());
    try {
        step_ = kind_ == PlotKind::PointData ? plot::DrawPointDataGrid(picture, gen.Shape)
                                             : plot::DrawCuttingPathGrid(picture, gen);
        LineState first = StateOf(scan, {});
        first.StartNewPath = true;
        first.XValue = 0;
        first.ZValue = 0;
        checkpoints_.push_back({0, 0, picture.ItemCount(), first});
        plot::DrawPath(picture, step_, text, scan, [&](int line, std::size_t next, const plot::PathWalk& walk) {
            lines = line + 1;
            if (lines % spacing_ == 0) checkpoints_.push_back({lines, next, picture.ItemCount(), StateOf(scan, walk)});
        });
        final_ = StateOf(scan, {});
        picture.Complete();
        updatable_ = lines < kMostLines;
    } catch (const plot::PictureFailure&) {
        // Stops silently with what has been drawn; the next change replots the whole text again.
    }
    lines_ = lines;
    drawing_ = picture.Take();
    if (linksFollow_) links_.Rebuild(drawing_, kind_);
    update_.RescannedLines = lines;
    update_.CarryChanged = !(CarryOf(scan) == before);
    return update_;
}

bool IncrementalPlot::ReplotsWhole(const LineEdit& edit, const GeneratorState& gen) const {
    const long long newLines = static_cast<long long>(lines_) - edit.OldLines + edit.NewLines;
    const bool fits = edit.FirstLine >= 0 && edit.OldLines >= 0 && edit.NewLines >= 0 &&
                      static_cast<long long>(edit.FirstLine) + edit.OldLines <= static_cast<long long>(lines_) + 1 &&
                      newLines >= 0 && newLines < kMostLines;
    // A paste of most of the text costs a whole replot anyway.
    const bool most = edit.NewLines > spacing_ && edit.NewLines > newLines / 2;
    return !updatable_ || !fits || most || !SameBits(InputsOf(gen), inputs_);
}

std::size_t IncrementalPlot::StartOf(const LineEdit& edit) const {
    const auto byLine = [](const Checkpoint& c, int line) { return c.Line < line; };
    return static_cast<std::size_t>(
               std::lower_bound(checkpoints_.begin(), checkpoints_.end(), edit.FirstLine + 1, byLine) -
               checkpoints_.begin()) -
           1;
}

std::size_t IncrementalPlot::ReadsFrom(const LineEdit& edit, const GeneratorState& gen, const ScanState& scan) const {
    if (ReplotsWhole(edit, gen) || !SameCarry(CarryOf(scan), entry_)) return 0;
    return checkpoints_[StartOf(edit)].Offset;
}

std::size_t IncrementalPlot::CarryReach(const LineEdit& edit, const GeneratorState& gen, const ScanState& scan) const {
    if (ReplotsWhole(edit, gen) || SameCarry(CarryOf(scan), entry_)) return 0;
    // Through the LF that starts the checkpoint's line: the line before ends with a whole CR LF.
    const std::size_t last = StartOf(edit);
    return last == 0 ? 0 : checkpoints_[last].Offset + 1;
}

void IncrementalPlot::TakeCarry(std::string_view head, const LineEdit& edit, const GeneratorState& gen,
                                const ScanState& scan) {
    const std::size_t reach = CarryReach(edit, gen, scan);
    if (reach == 0 || head.size() < reach) return;
    TakeCarry(head.substr(0, reach), edit, CarryOf(scan));
}

const PlotUpdate& IncrementalPlot::Update(std::string_view text, const LineEdit& edit, const GeneratorState& gen,
                                          ScanState& scan, std::size_t readable) {
    const auto needsWholeText = [&]() -> const PlotUpdate& {
        update_ = {};
        update_.NeedsWholeText = true;
        return update_;
    };
    const bool whole = ReplotsWhole(edit, gen);
    if (readable > 0) {
        // The rescan starts at a checkpoint, and the scanner's last line is read again: both
        // must lie after `readable`.
        const std::string_view tail = text.substr(std::min(readable, text.size()));
        const std::size_t cr = tail.rfind("\r\n");
        const std::size_t before = cr == std::string_view::npos || cr == 0 ? cr : tail.rfind("\r\n", cr - 1);
        if (whole || !SameCarry(CarryOf(scan), entry_) || checkpoints_[StartOf(edit)].Offset < readable ||
            before == std::string_view::npos || cr == 0) {
            return needsWholeText();
        }
    }
    if (whole) return Replot(text, gen, scan);
    const ScanCarry before = CarryOf(scan);
    const int carried = TakeCarry(text, edit, before);
    if (!Splice(text, edit, scan)) return readable > 0 ? needsWholeText() : Replot(text, gen, scan);
    update_.RescannedLines += carried;
    if (linksFollow_) links_.Splice(drawing_, kind_, update_.Items);
    update_.Drawn = true;
    update_.Spliced = true;
    update_.CarryChanged = !(CarryOf(scan) == before);
    return update_;
}

// The scanner comes with other values than the picture was drawn with (each replot hands the
// next the values its last line left, so the first key after a replot always does): the lines
// from the first are scanned again with them, up to where the edit's own rescan starts at the
// latest. Where they are back on the old track and drew the same items, which the first G word
// of a program sees to, the picture stands and the edit's rescan need not start at the first
// line and run through every line before the edit. Anything else is left to that rescan.
int IncrementalPlot::TakeCarry(std::string_view text, const LineEdit& edit, const ScanCarry& carry) {
    if (SameCarry(carry, entry_)) return 0;
    // The lines before this checkpoint are those before the edit: the same text at the same bytes.
    const std::size_t last = StartOf(edit);
    if (last == 0) return 0;
    const Checkpoint& start = checkpoints_.front();
    ScanState work;
    Load(start.Before, work);
    work.GValue = carry.GValue;
    work.InComment = carry.InComment;
    plot::PathWalk walk = start.Before.Walk;
    plot::Picture fresh(plot::Background, std::move(fresh_));
    rescanned_.clear();
    std::size_t next = 1;
    bool met = false;
    int scanned = 0;
    try {
        plot::WalkNcLines(text, start.Offset, start.Line, work, [&](int line, std::size_t) {
            step_(fresh, work, walk, line);
            ++scanned;
            if (line + 1 < checkpoints_[next].Line) return true;
            const LineState now = StateOf(work, walk);
            met = SameCourse(now, checkpoints_[next].Before);
            rescanned_.push_back(checkpoints_[next]);
            rescanned_.back().Before = now;
            return !met && ++next <= last;
        });
    } catch (const plot::PictureFailure&) {
        met = false;
    }
    fresh_ = fresh.Take();
    // Item for item to the bit: a zero's sign shows in the read-out.
    const auto same = [&](std::size_t k) {
        const Primitive &a = fresh_.Items[k], &b = drawing_.Items[start.Item + k];
        return a.Kind == b.Kind && a.Style == b.Style && a.FontSize == b.FontSize && a.Colour == b.Colour &&
               SameBits(a.At, b.At) && SameBits(a.To, b.To) && SameBits(a.Radius, b.Radius) && a.Text == b.Text &&
               a.NcLine == drawing_.LineOf(start.Item + k);
    };
    if (!met || fresh_.Items.size() != checkpoints_[next].Item - start.Item) return scanned;
    for (std::size_t k = 0; k < fresh_.Items.size(); ++k) {
        if (!same(k)) return scanned;
    }
    // Up to the checkpoint met, whose state is the old one but for what the line before it left,
    // which the last line's scan reads if the edit's rescan starts there.
    for (std::size_t i = 0; i < rescanned_.size(); ++i) checkpoints_[i + 1].Before = rescanned_[i].Before;
    checkpoints_.front().Before.GValue = carry.GValue;
    checkpoints_.front().Before.InComment = carry.InComment;
    entry_ = carry;
    return scanned;
}

bool IncrementalPlot::Splice(std::string_view text, const LineEdit& edit, ScanState& scan) {
    const ScanCarry carry = CarryOf(scan);
    const int delta = edit.NewLines - edit.OldLines;
    const auto byLine = [](const Checkpoint& c, int line) { return c.Line < line; };

    // From the last checkpoint at or before the first changed line; from the first line when the
    // scanner comes with other values than the picture was drawn with.
    const std::size_t from = SameCarry(carry, entry_) ? StartOf(edit) : 0;
    Checkpoint start = checkpoints_[from];
    if (from == 0) {
        start.Before.GValue = carry.GValue;
        start.Before.InComment = carry.InComment;
    }
    if (start.Offset > text.size()) return false;
    // The old checkpoints the new scan can meet again: those in the unchanged lines after the edit.
    std::size_t meet = static_cast<std::size_t>(
        std::lower_bound(checkpoints_.begin(), checkpoints_.end(), edit.FirstLine + edit.OldLines, byLine) -
        checkpoints_.begin());

    ScanState work;
    Load(start.Before, work);
    plot::PathWalk walk = start.Before.Walk;
    plot::Picture fresh(plot::Background, std::move(fresh_));
    rescanned_.clear();
    rescanned_.push_back(start);
    bool met = false;
    std::size_t metAt = 0;
    LineState metState;
    int scanned = 0, last = start.Line - 1;
    try {
        plot::WalkNcLines(text, start.Offset, start.Line, work, [&](int line, std::size_t next) {
            step_(fresh, work, walk, line);
            ++scanned;
            last = line;
            const int nextLine = line + 1;
            while (meet < checkpoints_.size() && checkpoints_[meet].Line + delta < nextLine) ++meet;
            const bool onCheckpoint = meet < checkpoints_.size() && checkpoints_[meet].Line + delta == nextLine;
            const bool spaced = (nextLine - start.Line) % spacing_ == 0;
            if (!onCheckpoint && !spaced) return true;
            const LineState now = StateOf(work, walk);
            if (onCheckpoint && SameCourse(now, checkpoints_[meet].Before)) {
                met = true;
                metAt = next;
                metState = now;
                return false;
            }
            if (spaced) rescanned_.push_back({nextLine, next, start.Item + fresh.ItemCount(), now});
            return true;
        });
    } catch (const plot::PictureFailure&) {
        // The picture stops in the new lines: a whole replot draws it as far as it goes.
        fresh_ = fresh.Take();
        return false;
    }
    fresh_ = fresh.Take();
    const std::ptrdiff_t byteDelta = static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(textSize_);
    // Back on the old track at a line that starts where the edit says it must: else the edit
    // did not describe the change, and only a whole replot is sure.
    if (met && static_cast<std::ptrdiff_t>(checkpoints_[meet].Offset) + byteDelta != static_cast<std::ptrdiff_t>(metAt))
        return false;
    // Met after the last line: the new last line is the one the scanner stands on.
    if (met && checkpoints_[meet].Line == lines_) final_ = StateOf(work, walk);
    // The checkpoint met keeps its state but for what the line before it left, which a later
    // rescan that starts there and scans no line leaves to the scanner.
    if (met) checkpoints_[meet].Before = metState;

    // The new items replace those of the rescanned lines; the lines after keep theirs, renumbered.
    const std::size_t first = start.Item, oldEnd = met ? checkpoints_[meet].Item : drawing_.Items.size();
    const std::size_t oldCount = oldEnd - first, newCount = fresh_.Items.size();
    drawing_.SpliceItems(first, oldEnd, fresh_.Items, met ? delta : 0);

    // The checkpoints likewise.
    const std::size_t keepFrom = met ? meet : checkpoints_.size();
    const std::ptrdiff_t itemDelta = static_cast<std::ptrdiff_t>(newCount) - static_cast<std::ptrdiff_t>(oldCount);
    for (std::size_t i = keepFrom; i < checkpoints_.size(); ++i) {
        Checkpoint& c = checkpoints_[i];
        c.Line += delta;
        c.Offset = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(c.Offset) + byteDelta);
        c.Item = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(c.Item) + itemDelta);
    }
    const auto at = [&](std::size_t i) { return checkpoints_.begin() + static_cast<std::ptrdiff_t>(i); };
    checkpoints_.erase(at(from), at(keepFrom));
    checkpoints_.insert(at(from), rescanned_.begin(), rescanned_.end());

    if (met) {
        lines_ += delta;
    } else {
        lines_ = last + 1;
        final_ = scanned > 0 ? StateOf(work, walk) : start.Before;
    }
    textSize_ = text.size();
    entry_ = carry;
    update_ = {};
    update_.RescannedLines = scanned;
    update_.Items = {first, oldEnd, first + newCount, met ? delta : 0};
    Finish(text, scan);
    return true;
}

// The scanner as the last line of the text leaves it (as at the start of the path when there is
// no line: what only a scanned line sets stays as the scanner had it).
void IncrementalPlot::Finish(std::string_view text, ScanState& scan) const {
    scan.GValue = final_.GValue;
    scan.InComment = final_.InComment;
    scan.StartNewPath = final_.StartNewPath;
    scan.XValue = final_.XValue;
    scan.ZValue = final_.ZValue;
    if (lines_ == 0) return;
    scan.LineLength = final_.LineLength;
    scan.ScanPos = final_.ScanPos;
    scan.LineText.assign(LastNcLine(text));
}

}  // namespace quillane
