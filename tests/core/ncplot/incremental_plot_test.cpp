// A plot updated edit by edit against a replot of the whole text after every edit: the picture,
// the links and the shared scanner must come out the same, whatever the edits.
#include "core/ncplot/incremental_plot.h"
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/point_graphic.h"
#include "core/shape/example_programs.h"
#include "core/shape/program_writers.h"

#include "worked_example.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quillane {
namespace {

// A text as the lines an edit counts (split at CR LF).
struct Lines {
    std::vector<std::string> Of;

    explicit Lines(const std::string& text) {
        std::size_t start = 0;
        for (std::size_t crlf = text.find("\r\n"); crlf != std::string::npos; crlf = text.find("\r\n", start)) {
            Of.push_back(text.substr(start, crlf - start));
            start = crlf + 2;
        }
        Of.push_back(text.substr(start));
    }
    std::string Text() const {
        std::string text;
        for (std::size_t i = 0; i < Of.size(); ++i) text += (i == 0 ? "" : "\r\n") + Of[i];
        return text;
    }
    int Count() const { return static_cast<int>(Of.size()); }
};

// Lines [first, first + old) replaced by `with`; returns the edit and what it replaced.
LineEdit Replace(Lines& lines, int first, int old, std::vector<std::string> with,
                 std::vector<std::string>* replaced = nullptr) {
    const auto from = lines.Of.begin() + first, to = from + old;
    if (replaced != nullptr) replaced->assign(from, to);
    const int added = static_cast<int>(with.size());
    lines.Of.erase(from, to);
    lines.Of.insert(lines.Of.begin() + first, with.begin(), with.end());
    if (lines.Of.empty()) {
        // A text has one line at least: deleting every line leaves an empty one.
        lines.Of.emplace_back();
        return {first, old, added + 1};
    }
    return {first, old, added};
}

enum class EditKind { InsertLine, DeleteLines, ChangeCharacter, PasteBlock, Undo };

// Characters a typed change brings: every one the scanner acts on, digits, signs and the LF that
// starts a line as the plots hand it over.
const std::string Typed = "GXZ()0123456789.-+*/= ,PN\n";

struct Editor {
    Editor(unsigned seed, const std::string& text) : Random(seed), Text(text) {}
    std::mt19937 Random;
    Lines Text;
    // What undoes the last edit (an undo of an undo redoes it).
    int UndoFirst = 0, UndoOld = 0;
    std::vector<std::string> UndoWith;

    int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(Random() % static_cast<unsigned>(n)); }
    std::string SomeLine() { return Text.Of[static_cast<std::size_t>(Pick(Text.Count()))]; }

    LineEdit Apply(EditKind kind) {
        const int n = Text.Count();
        int first = Pick(n), old = 0;
        std::vector<std::string> with;
        switch (kind) {
            case EditKind::InsertLine:
                with = {SomeLine()};
                break;
            case EditKind::DeleteLines:
                old = std::min(1 + Pick(3), n - first);
                break;
            case EditKind::ChangeCharacter: {
                std::string line = Text.Of[static_cast<std::size_t>(first)];
                const int at = Pick(static_cast<int>(line.size()) + 1);
                const char ch = Typed[static_cast<std::size_t>(Pick(static_cast<int>(Typed.size())))];
                if (Pick(3) == 0 && !line.empty()) {
                    line.erase(static_cast<std::size_t>(std::min(at, static_cast<int>(line.size()) - 1)), 1);
                } else {
                    line.insert(line.begin() + at, ch);
                }
                old = 1;
                with = {line};
                break;
            }
            case EditKind::PasteBlock: {
                // Lines copied from elsewhere, over a selection of a few lines or none.
                old = std::min(Pick(3), n - first);
                const int from = Pick(n), count = 1 + Pick(std::min(n, 300));
                for (int i = 0; i < count && from + i < n; ++i)
                    with.push_back(Text.Of[static_cast<std::size_t>(from + i)]);
                break;
            }
            case EditKind::Undo: {
                std::vector<std::string> replaced;
                const LineEdit edit = Replace(Text, UndoFirst, UndoOld, UndoWith, &replaced);
                UndoOld = edit.NewLines;
                UndoWith = std::move(replaced);
                return edit;
            }
        }
        std::vector<std::string> replaced;
        const LineEdit edit = Replace(Text, first, old, std::move(with), &replaced);
        UndoFirst = edit.FirstLine;
        UndoOld = edit.NewLines;
        UndoWith = std::move(replaced);
        return edit;
    }
};

GeneratorState WorkedState() {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    OutputOptions options;
    options.Fanuc = true;
    return RunGenerator(state, options, "", "").State;
}

using testing_shapes::Repeated;
using testing_shapes::WorkedExampleRun;

void ExpectSameScan(const ScanState& a, const ScanState& b) {
    EXPECT_EQ(std::memcmp(&a.GValue, &b.GValue, sizeof a.GValue), 0);
    EXPECT_EQ(std::memcmp(&a.XValue, &b.XValue, sizeof a.XValue), 0);
    EXPECT_EQ(std::memcmp(&a.ZValue, &b.ZValue, sizeof a.ZValue), 0);
    EXPECT_EQ(a.InComment, b.InComment);
    EXPECT_EQ(a.StartNewPath, b.StartNewPath);
    EXPECT_EQ(a.LineText, b.LineText);
    EXPECT_EQ(a.LineLength, b.LineLength);
    EXPECT_EQ(a.ScanPos, b.ScanPos);
    EXPECT_EQ(a.WordText, b.WordText);
}

void ExpectSameLinks(const PlotLinks& a, const PlotLinks& b) {
    // Every line's items, the passes and the extents to the bit.
    EXPECT_TRUE(a == b);
    ASSERT_EQ(a.Passes().size(), b.Passes().size());
    for (std::size_t i = 0; i < a.Passes().size(); ++i) {
        const PlotPass &p = a.Passes()[i], &q = b.Passes()[i];
        EXPECT_TRUE(p.FirstLine == q.FirstLine && p.LastLine == q.LastLine && p.MoveLine == q.MoveLine &&
                    p.Items == q.Items && p.Start == q.Start)
            << "pass " << i;
    }
}

// Both panes, each with its plot kept up to date, against both replotted whole on one scanner
// of their own: edits fall at random in either pane, in the order the window replots them.
struct Case {
    const char* Name;
    std::string PointText;
    std::string ProgramText;
    int Edits;
    int CheckpointSpacing;
};

class IncrementalPlotMatchesReplot : public testing::TestWithParam<Case> {};

TEST_P(IncrementalPlotMatchesReplot, AfterEveryEdit) {
    const Case& c = GetParam();
    const GeneratorState gen = WorkedState();
    IncrementalPlot points(PlotKind::PointData, c.CheckpointSpacing),
        program(PlotKind::CuttingPath, c.CheckpointSpacing);
    Editor editors[2] = {Editor(11, c.PointText), Editor(12, c.ProgramText)};
    IncrementalPlot* plots[2] = {&points, &program};
    ScanState scan, wholeScan;
    const auto whole = [&](int pane) {
        const std::string text = editors[pane].Text.Text();
        return pane == 0 ? PlotPointData(text, gen.Shape, wholeScan) : *PlotCuttingPath(text, gen, wholeScan);
    };
    // Each picture thinned as a small plot view paints it, following the splices.
    ThinnedPicture thinned[2];
    const auto thinWhole = [&](int pane) {
        const Drawing& d = plots[pane]->Picture();
        if (d.Scale) thinned[pane].Thin(d, *d.Scale, 320, 200);
    };
    for (int pane : {0, 1}) {
        plots[pane]->Replot(editors[pane].Text.Text(), gen, scan);
        ASSERT_EQ(plots[pane]->Picture(), whole(pane));
        thinWhole(pane);
    }
    std::mt19937 random(2024);
    const EditKind kinds[] = {EditKind::InsertLine,
                              EditKind::DeleteLines,
                              EditKind::ChangeCharacter,
                              EditKind::ChangeCharacter,
                              EditKind::ChangeCharacter,
                              EditKind::PasteBlock,
                              EditKind::Undo};
    int spliced = 0;
    for (int e = 0; e < c.Edits; ++e) {
        const int pane = random() % 4 == 0 ? 0 : 1;
        const EditKind kind = kinds[random() % std::size(kinds)];
        LineEdit edit = editors[pane].Apply(kind);
        // Now and then two changes come before the plot follows: told as one.
        if (random() % 5 == 0) edit = CombineEdits(edit, editors[pane].Apply(kinds[random() % std::size(kinds)]));
        const std::string text = editors[pane].Text.Text();
        // Handed over from where it is read, as the window hands its editor's buffer: the bytes
        // before are made what the scanner would act on most, and must never be read.
        // Now and then the scanner's values are taken up first from the lines before the edit alone.
        if (random() % 2 == 0) {
            const std::size_t reach = plots[pane]->CarryReach(edit, gen, scan);
            plots[pane]->TakeCarry(std::string_view(text).substr(0, reach), edit, gen, scan);
        }
        const std::size_t from = plots[pane]->ReadsFrom(edit, gen, scan);
        std::string tail = text;
        std::fill_n(tail.begin(), std::min(from, tail.size()), 'X');
        const PlotUpdate* tried = &plots[pane]->Update(tail, edit, gen, scan, from);
        if (tried->NeedsWholeText) tried = &plots[pane]->Update(text, edit, gen, scan);
        const PlotUpdate& update = *tried;
        spliced += update.Spliced ? 1 : 0;
        const Drawing expected = whole(pane);
        ASSERT_EQ(plots[pane]->Picture(), expected)
            << "edit " << e << " in pane " << pane << " kind " << static_cast<int>(kind) << " at line "
            << edit.FirstLine << " -" << edit.OldLines << " +" << edit.NewLines;
        ExpectSameLinks(plots[pane]->Links(),
                        PlotLinks(expected, pane == 0 ? PlotKind::PointData : PlotKind::CuttingPath));
        ExpectSameScan(scan, wholeScan);
        if (update.Spliced && expected.Scale && thinned[pane].ThinnedFor(*expected.Scale, 320, 200)) {
            thinned[pane].Follow(plots[pane]->Picture(), update.Items);
            EXPECT_EQ(thinned[pane].Picture(), ThinForPainting(expected, 320, 200));
        } else {
            thinWhole(pane);
        }
        if (testing::Test::HasFailure()) FAIL() << "after edit " << e;
    }
    // The point of it all: most edits were not replotted whole.
    EXPECT_GT(spliced, c.Edits / 2);
}

Case ExamplesCase() {
    return {"Examples", TrvMacroMainProgram() + TrvMacroSubProgram(),
            FanucExampleProgram() + TrvStandardExampleProgram(), 400, 8};
}
Case WorkedCase() {
    const RunResult trv = WorkedExampleRun(false), fanuc = WorkedExampleRun(true);
    return {"WorkedExample", trv.PointText, fanuc.ProgramText + trv.ProgramText, 400, 16};
}
Case LargeCase() {
    const RunResult trv = WorkedExampleRun(false), fanuc = WorkedExampleRun(true);
    return {"LargeGenerated", Repeated(trv.PointText, 200'000), Repeated(fanuc.ProgramText, 600'000), 120, 512};
}

INSTANTIATE_TEST_SUITE_P(Programs, IncrementalPlotMatchesReplot,
                         testing::Values(ExamplesCase(), WorkedCase(), LargeCase()),
                         [](const auto& row) { return std::string(row.param.Name); });

// What falls back to a whole replot, and what is spliced.
TEST(IncrementalPlot, ReplotsWholeWhenTheRecordChangesOrTheEditDoesNotFit) {
    const RunResult run = WorkedExampleRun(true);
    GeneratorState gen = run.State;
    const std::string text = Repeated(run.ProgramText, 100'000);
    IncrementalPlot plot(PlotKind::CuttingPath, 64);
    ScanState scan;
    EXPECT_FALSE(plot.Replot(text, gen, scan).Spliced);
    EXPECT_TRUE(plot.Update(text, {10, 1, 1}, gen, scan).Spliced);
    EXPECT_LT(plot.LastUpdate().RescannedLines, 200);
    EXPECT_FALSE(plot.Update(text, {100000, 1, 1}, gen, scan).Spliced);  // past the last line
    EXPECT_FALSE(plot.Update(text, {5, -1, 1}, gen, scan).Spliced);
    // Lines added that the text does not have: where the scan meets its old track, that track does
    // not start where the edit says, and the text is replotted whole.
    plot.Update(text, {10, 1, 3}, gen, scan);
    ScanState whole;
    EXPECT_EQ(plot.Picture(), *PlotCuttingPath(text, gen, whole));
    gen.Shape.Pitch = 12;
    EXPECT_FALSE(plot.Update(text, {10, 1, 1}, gen, scan).Spliced);
    EXPECT_EQ(plot.Picture(), *PlotCuttingPath(text, gen, whole));
    gen.CutSpanZ = 0;
    EXPECT_FALSE(plot.Update(text, {10, 1, 1}, gen, scan).Drawn);
}

// One line changed where the links are hardest to follow: the only cut that reaches an edge of
// the extents, an edge at zero of either sign, a rapid move that becomes a cut (two passes
// become one) and back, the first and the last pass.
struct LineChange {
    const char* Name;
    int Line;
    const char* Becomes;
};

class LinksFollowALineChange : public testing::TestWithParam<LineChange> {};

TEST_P(LinksFollowALineChange, AsAWholeReplot) {
    const LineChange& row = GetParam();
    // Every pass comes back to Z-0 but one to Z0; one cut alone goes to Z-90.
    std::string text;
    for (int pass = 0; pass < 12; ++pass) {
        const std::string z = pass == 10 ? "0" : "-0.", end = pass == 5 ? "-90." : "-80.";
        text += "G00 X30. Z" + z + "\r\nG32 Z" + end + " F12.7\r\nG00 X28.\r\nG00 Z" + z + "\r\n";
    }
    const GeneratorState gen = WorkedState();
    Lines lines(text);
    IncrementalPlot plot(PlotKind::CuttingPath, 2);
    ScanState scan;
    plot.Replot(lines.Text(), gen, scan);
    lines.Of[static_cast<std::size_t>(row.Line)] = row.Becomes;
    const std::string changed = lines.Text();
    EXPECT_TRUE(plot.Update(changed, {row.Line, 1, 1}, gen, scan).Spliced);
    ScanState whole;
    const Drawing expected = *PlotCuttingPath(changed, gen, whole);
    ASSERT_EQ(plot.Picture(), expected);
    ExpectSameLinks(plot.Links(), PlotLinks(expected, PlotKind::CuttingPath));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Changes, LinksFollowALineChange, testing::Values(
    LineChange{"TheOnlyCutAtAnEdgeComesBack", 21, "G32 Z-80. F12.7"},
    LineChange{"ACutGoesPastTheEdge", 25, "G32 Z-95. F12.7"},
    LineChange{"OneOfManyAtAnEdgeMovesIn", 4, "G00 X29. Z-0."},
    LineChange{"AZeroEdgeChangesSign", 0, "G00 X30. Z0"},
    LineChange{"AZeroEdgeLeaves", 40, "G00 X30. Z-5."},
    LineChange{"AnApproachBecomesACut", 16, "G32 X30. Z-0."},
    LineChange{"ARetractBecomesACut", 18, "G32 X28."},
    LineChange{"TheFirstApproach", 0, "G32 X30. Z-0."},
    LineChange{"TheLastReturn", 47, "G32 Z-1."},
    LineChange{"ACutBecomesARapid", 25, "G00 Z-80."}),
    [](const auto& row) { return std::string(row.param.Name); });
// clang-format on

// A plot that ends with other scanner values says so: the other plot was drawn with the old ones.
TEST(IncrementalPlot, TellsWhenTheScannerLeavesWithOtherValues) {
    const GeneratorState gen = WorkedState();
    IncrementalPlot plot(PlotKind::PointData, 4);
    ScanState scan;
    std::string text = "X1 Z1\r\nX2 Z2\r\n";
    plot.Replot(text, gen, scan);
    text = "X1 Z1\r\nX2 Z2 G5\r\n";
    EXPECT_TRUE(plot.Update(text, {1, 1, 1}, gen, scan).CarryChanged);
    text = "X1 Z1\r\nX3 Z2 G5\r\n";
    EXPECT_FALSE(plot.Update(text, {1, 1, 1}, gen, scan).CarryChanged);
    text = "X1 Z1\r\nX3 Z2 G5 (OPEN\r\n";
    EXPECT_TRUE(plot.Update(text, {1, 1, 1}, gen, scan).CarryChanged);
    EXPECT_TRUE(scan.InComment);
}

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

// The first edit after a replot: the scanner comes with what the replot's last line left. Lines
// before the first G word draw otherwise with it (a cut for a rapid move), and those after it the
// same; either way the picture is what a whole replot draws, and where nothing drew otherwise the
// edit far down the text rescans only around itself.
struct CarryRow {
    const char* Name;
    const char* Head;  // the program's first lines, before the repeated passes
    bool DrawsOtherwise;
    int EditLine;  // from the end when negative
};

class IncrementalPlotTakesACarry : public testing::TestWithParam<CarryRow> {};

TEST_P(IncrementalPlotTakesACarry, AsAWholeReplot) {
    const CarryRow& row = GetParam();
    const RunResult run = WorkedExampleRun(true);
    // The passes end with a rapid move: G0 is what the text leaves; the head starts it with G32.
    Lines lines(row.Head + Repeated(run.ProgramText, 60'000) + "G32 Z-1.\r\nG00 Z50.\r\n");
    IncrementalPlot plot(PlotKind::CuttingPath, 64);
    ScanState scan;
    scan.GValue = 32;
    plot.Replot(lines.Text(), run.State, scan);
    const int line = row.EditLine < 0 ? lines.Count() + row.EditLine : row.EditLine;
    lines.Of[static_cast<std::size_t>(line)] = "G00 X31. Z-3.";
    const std::string changed = lines.Text();
    // Taken up from the lines before the edit alone, the update reads from the edit's checkpoint.
    const LineEdit edit{line, 1, 1};
    const std::size_t reach = plot.CarryReach(edit, run.State, scan);
    EXPECT_GT(reach, 0U);
    plot.TakeCarry(std::string_view(changed).substr(0, reach), edit, run.State, scan);
    EXPECT_EQ(plot.ReadsFrom(edit, run.State, scan) > 0, !row.DrawsOtherwise);
    const PlotUpdate& update = plot.Update(changed, edit, run.State, scan);
    EXPECT_TRUE(update.Spliced);
    EXPECT_EQ(update.RescannedLines < 200, !row.DrawsOtherwise) << update.RescannedLines;
    ScanState whole;
    whole.GValue = 0;
    const Drawing expected = *PlotCuttingPath(changed, run.State, whole);
    ASSERT_EQ(plot.Picture(), expected);
    ExpectSameLinks(plot.Links(), PlotLinks(expected, PlotKind::CuttingPath));
    ExpectSameScan(scan, whole);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Heads, IncrementalPlotTakesACarry, testing::Values(
    CarryRow{"AGWordFirst", "G00 X40. Z20.\r\n", false, -40},
    // met at the edit's own checkpoint: the line before it is read to its CR LF
    CarryRow{"AGWordFirstEditInTheSecondBlock", "G00 X40. Z20.\r\n", false, 100},
    CarryRow{"AMoveBeforeAnyGWord", "X40. Z20.\r\nX41. Z21.\r\n", true, -40}),
    [](const auto& row) { return std::string(row.param.Name); });
// clang-format on

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

// An edit whose rescan meets the old track at the checkpoint before the last line, where the line
// before it now ends on an operator, and a later edit of that last line alone: the scanner ends
// where a whole replot leaves it. A text handed from past where the rescan starts is asked for
// whole.
TEST(IncrementalPlot, EditsAtTheEndLeaveTheScannerAsAWholeReplot) {
    const GeneratorState gen = WorkedState();
    IncrementalPlot plot(PlotKind::PointData, 1);
    ScanState scan;
    plot.Replot("X1 Z1\r\nX2 Z2\r\nZ3", gen, scan);
    for (const auto& [text, edit] : {std::pair<std::string, LineEdit>{"X1 Z1\r\nX2 Z2+\r\nZ3", {1, 1, 1}},
                                     std::pair<std::string, LineEdit>{"X1 Z1\r\nX2 Z2+\r\nZ4", {2, 1, 1}}}) {
        EXPECT_TRUE(plot.Update(text, edit, gen, scan).Spliced);
        ScanState whole;
        EXPECT_EQ(plot.Picture(), PlotPointData(text, gen.Shape, whole));
        ExpectSameScan(scan, whole);
    }
    const std::string longer = "X1 Z1\r\nX2 Z2+\r\nZ4\r\nZ5\r\nZ6\r\n";
    plot.Replot(longer, gen, scan);
    const LineEdit edit{2, 1, 1};
    const std::size_t from = plot.ReadsFrom(edit, gen, scan);
    EXPECT_GT(from, 0U);
    EXPECT_FALSE(plot.Update(longer, edit, gen, scan, from).NeedsWholeText);
    EXPECT_TRUE(plot.Update(longer, edit, gen, scan, from + 1).NeedsWholeText);
}

}  // namespace
}  // namespace quillane
