// Plot links: items per line, the passes of a generated program in both plots, hit tests,
// measuring and the texts shown for them.
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_links.h"
#include "core/ncplot/point_graphic.h"
#include "core/shape/program_writers.h"
#include "ncplot/test_support.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillane {
namespace {

using testing_support::P;

// Index of the first line of `text` (CR LF lines) that starts with `start`, from `from` on.
int LineStarting(const std::string& text, const std::string& start, int from = 0) {
    std::istringstream in(text);
    std::string line;
    for (int i = 0; std::getline(in, line); ++i) {
        if (i >= from && line.rfind(start, 0) == 0) return i;
    }
    return -1;
}

struct Generated {
    RunResult Run;
    Drawing Points;
    Drawing Program;
};

Generated Generate(bool fanuc) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    OutputOptions options;
    options.Trv = !fanuc;
    options.Fanuc = fanuc;
    Generated g{RunGenerator(state, options, "", ""), {}, {}};
    EXPECT_TRUE(g.Run.Succeeded);
    ScanState scan;
    g.Points = PlotPointData(g.Run.PointText, g.Run.ShapeAtPointData, scan);
    g.Program = PlotCuttingPath(g.Run.ProgramText, g.Run.State, scan).value();
    return g;
}

TEST(PlotLinks, EveryGeneratedPassIsOnePassInBothPlots) {
    for (const bool fanuc : {false, true}) {
        SCOPED_TRACE(fanuc ? "FANUC" : "TRV");
        const Generated g = Generate(fanuc);
        const PlotLinks points(g.Points, PlotKind::PointData);
        const PlotLinks program(g.Program, PlotKind::CuttingPath);
        ASSERT_EQ(points.Passes().size(), 28U);
        ASSERT_EQ(program.Passes().size(), 28U);
        // Pass 1 and pass 2 of the point data: "N001 X30.000 Z17.700", "N002 X30.303 Z17.200".
        EXPECT_EQ(points.Passes()[0].MoveLine, LineStarting(g.Run.PointText, "N001 "));
        EXPECT_EQ(points.Passes()[1].MoveLine, LineStarting(g.Run.PointText, "N002 "));
        EXPECT_EQ(PassToolTip(2, points.Passes()[1].Start, g.Run.ShapeAtPointData.StartPointZ),
                  "pass 2, X30.303, Z17.200");
        // In the program a pass runs from its approach (or its sequence number) to its return.
        const PlotPass& second = program.Passes()[1];
        EXPECT_EQ(PassToolTip(2, second.Start), "pass 2, X30.303, Z17.200");
        const std::string cut = fanuc ? "G32 " : "N000 G34 ";
        const int firstCut = LineStarting(g.Run.ProgramText, cut);
        const int secondCut = LineStarting(g.Run.ProgramText, cut, firstCut + 1);
        EXPECT_EQ(second.MoveLine, secondCut);
        EXPECT_EQ(second.FirstLine, fanuc ? LineStarting(g.Run.ProgramText, "N2") : secondCut - 1);
        EXPECT_EQ(second.LastLine, secondCut + 2);
        EXPECT_EQ(program.Passes()[0].FirstLine, firstCut - 1);
        // The last pass ends with its retract and return, not with the program's end.
        const PlotPass& last = program.Passes().back();
        EXPECT_EQ(last.LastLine, last.MoveLine + 2);
        for (std::size_t k = 0; k < program.Passes().size(); ++k) {
            const PlotPass& pass = program.Passes()[k];
            for (int line = pass.FirstLine; line <= pass.LastLine; ++line) EXPECT_EQ(program.PassOfLine(line), k);
        }
        EXPECT_FALSE(program.PassOfLine(0).has_value());
        EXPECT_FALSE(program.PassOfLine(last.LastLine + 1).has_value());
    }
}

TEST(PlotLinks, ALinesItemsAreExactlyWhatItDrew) {
    const Generated g = Generate(true);
    const PlotLinks program(g.Program, PlotKind::CuttingPath);
    const int cutLine = LineStarting(g.Run.ProgramText, "G32 ");
    const std::vector<ItemRange> ranges = program.ItemsOfLine(cutLine);
    ASSERT_EQ(ranges.size(), 1U);
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < g.Program.Items.size(); ++i) {
        const bool inside = i >= ranges[0].First && i < ranges[0].End;
        EXPECT_EQ(g.Program.Items[i].NcLine == cutLine, inside) << i;
        drawn += inside ? 1 : 0;
    }
    // The cut and its pairs of rings, one pair per pitch over 97.7 mm.
    EXPECT_EQ(drawn, 1 + 2 * 8U);
    EXPECT_TRUE(program.ItemsOfLine(LineStarting(g.Run.ProgramText, "N1")).empty());
}

TEST(PlotLinks, PassesFollowLinesInsertedAbove) {
    Generated g = Generate(false);
    const std::string inserted = "(A)\r\n(B)\r\n" + g.Run.ProgramText;
    ScanState scan;
    const Drawing moved = PlotCuttingPath(inserted, g.Run.State, scan).value();
    const PlotLinks before(g.Program, PlotKind::CuttingPath);
    const PlotLinks after(moved, PlotKind::CuttingPath);
    ASSERT_EQ(after.Passes().size(), before.Passes().size());
    EXPECT_EQ(after.Passes()[5].MoveLine, before.Passes()[5].MoveLine + 2);
    EXPECT_EQ(after.PassOfLine(before.Passes()[5].MoveLine + 2), 5U);
}

TEST(PlotLinks, CutsThatFollowEachOtherAreOnePass) {
    // A feed retract (G01 after the cut) and a pull-out (a second G32) belong to their pass.
    const GeneratorState state = Generate(false).Run.State;
    for (const std::string& after : {std::string("G01 X28.\r\n"), std::string("G32 X32. Z-85.\r\nG00 X28.\r\n")}) {
        SCOPED_TRACE(after);
        std::string text;
        for (const char* z : {"17.7", "17.2", "16.7"}) {
            text += std::string("G00 X31. Z") + z + "\r\nG32 Z-80. F12.7\r\n" + after + "G00 Z" + z + "\r\n";
        }
        ScanState scan;
        const PlotLinks links(PlotCuttingPath(text, state, scan).value(), PlotKind::CuttingPath);
        const int groupLines = after.starts_with("G01") ? 4 : 5;
        ASSERT_EQ(links.Passes().size(), 3U);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(links.Passes()[k].FirstLine, k * groupLines);
            EXPECT_EQ(links.Passes()[k].MoveLine, k * groupLines + 1);
            EXPECT_EQ(links.Passes()[k].LastLine, k * groupLines + groupLines - 1);
        }
    }
}

TEST(PlotLinks, HandWrittenPathsAndOddDrawings) {
    // Cuts with no rapid move between any of them (each is a pass), and a program that ends
    // after its cut.
    Drawing d;
    const auto move = [&](int line, Color colour, DrawPoint from, DrawPoint to) {
        Primitive p;
        p.Colour = colour;
        p.At = from;
        p.To = to;
        p.NcLine = line;
        d.Items.push_back(p);
    };
    Primitive start;
    start.Kind = PrimitiveKind::Dot;
    start.NcLine = 0;
    d.Items.push_back(start);
    move(1, testing_support::Yellow, {0, 0}, {-10, 0});
    move(2, testing_support::Yellow, {-10, 0}, {-20, -1});
    const PlotLinks links(d, PlotKind::CuttingPath);
    ASSERT_EQ(links.Passes().size(), 2U);
    EXPECT_EQ(links.Passes()[0].FirstLine, 0);  // the dot is its approach
    EXPECT_EQ(links.Passes()[0].LastLine, 1);
    EXPECT_EQ(links.Passes()[1].FirstLine, 2);
    EXPECT_EQ(links.Passes()[1].LastLine, 2);
    const std::optional<PlotExtents> e = links.Extents();
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(ExtentsText(*e), "Z-20.000 .. 0.000  X0.000 .. 2.000");

    // Items out of line order (not as a plot draws them): lines are found, no passes made up.
    std::swap(d.Items[0], d.Items[2]);
    const PlotLinks shuffled(d, PlotKind::CuttingPath);
    EXPECT_TRUE(shuffled.Passes().empty());
    EXPECT_EQ(shuffled.ItemsOfLine(0), (std::vector<ItemRange>{{2, 3}}));

    const PlotLinks empty(Drawing{}, PlotKind::PointData);
    EXPECT_TRUE(empty.Passes().empty());
    EXPECT_FALSE(empty.Extents().has_value());
    EXPECT_FALSE(empty.PassOfLine(0).has_value());
}

TEST(PlotLinks, NearestMoveAndEndPointWithinAFewPixels) {
    Drawing d;
    Primitive grid;  // no NC line: never hit
    grid.At = {-100, 0.5F};
    grid.To = {100, 0.5F};
    d.Items.push_back(grid);
    Primitive a;
    a.At = {0, 0};
    a.To = {10, 0};
    a.NcLine = 4;
    d.Items.push_back(a);
    Primitive b = a;
    b.At = {10, 0};
    b.To = {10, -5};
    b.NcLine = 5;
    d.Items.push_back(b);
    const PixelsPerUnit ten{10, 10};  // 10 pixels a unit
    EXPECT_EQ(NearestMove(d, {5, 0.3F}, ten, 4), 1U);
    EXPECT_FALSE(NearestMove(d, {5, 0.5F}, ten, 4).has_value());  // 5 pixels off; the grid is not a move
    // Where two moves meet, the one that ends there made the point.
    EXPECT_EQ(NearestMove(d, {10, 0}, ten, 4), 1U);
    EXPECT_EQ(NearestMove(d, {10, -0.1F}, ten, 4), 1U);
    EXPECT_EQ(NearestMove(d, {10, -1}, ten, 4), 2U);
    // Of two moves drawn over each other, the later one lies on top.
    Primitive again = b;
    again.NcLine = 9;
    d.Items.push_back(again);
    EXPECT_EQ(NearestMove(d, {10, -2}, ten, 4), 3U);
    const std::optional<DrawPoint> end = NearestEndPoint(d, {9.7F, -0.2F}, ten, 4);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(*end, DrawPoint(10, 0));
    EXPECT_FALSE(NearestEndPoint(d, {5, 0}, ten, 4).has_value());
}

TEST(Measure, DifferencesOnTheDiameterAndTheRadius) {
    // From X30 Z17.7 to X36 Z-80 (y is minus the radius).
    const Measurement m = Measure(P(17.7, -15), P(-80, -18));
    EXPECT_EQ(m.DeltaZ, -80.0 - static_cast<double>(17.7F));
    EXPECT_EQ(m.DeltaX, 6.0);
    EXPECT_EQ(m.DeltaR, 3.0);
    EXPECT_EQ(MeasurementText(m), "dZ-97.700  dX6.000  dR3.000  L97.746");
    EXPECT_EQ(MeasurementText(Measure(P(1, -1), P(1, -1))), "dZ0.000  dX0.000  dR0.000  L0.000");
}

}  // namespace
}  // namespace quillane
