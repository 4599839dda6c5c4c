// Program Output in the runs the worked example never makes: one dialect alone with and
// without MODIN, values off the 0.001 grid (which the NC numbers floor and write back), and
// negative tapers.
#include "core/shape/program_writers.h"
#include "param_name.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillane {
namespace {

using testing_shapes::WorkedExample;

// Lines of a pane text (CR LF ends every line, the last one included).
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The first line of `text` that starts with `prefix`, or "" when none does.
std::string LineStarting(const std::string& text, const std::string& prefix) {
    for (const std::string& line : Lines(text)) {
        if (line.rfind(prefix, 0) == 0) return line;
    }
    return {};
}

OutputOptions Options(bool trv, bool fanuc, bool modin) {
    OutputOptions o;
    o.Trv = trv;
    o.Fanuc = fanuc;
    o.OutputModin = modin;
    return o;
}

RunResult Generate(const ShapeData& shape, const OutputOptions& options) {
    GeneratorState state;
    state.Shape = shape;
    const RunResult r = RunGenerator(state, options, "", "");
    EXPECT_TRUE(r.Succeeded) << r.ErrorDetail;
    return r;
}

// ---- write-backs ------------------------------------------------------------------------------

// Retract X, end Z and pitch are floored to 0.001 and written back where an NC number prints
// them: in the MODIN line of the point data and in the TRV program. A FANUC program prints
// them rounded and leaves them as they are.
struct WriteBackRow {
    const char* Name;
    bool Trv, Fanuc, Modin;
    double RetractX, EndPointZ, Pitch;  // in the record after the run
    const char* FirstPoint;             // the first line of point data
    const char* FanucCut;               // the first FANUC thread block, "" without FANUC
    const char* FanucRetract;
};

class OffGridWriteBack : public testing::TestWithParam<WriteBackRow> {};

TEST_P(OffGridWriteBack, FloorsWhatAnNcNumberPrinted) {
    const WriteBackRow& row = GetParam();
    ShapeData s = WorkedExample();
    s.RetractX = 28.0009;
    s.EndPointZ = -79.9994;
    s.Pitch = 12.7009;
    const RunResult r = Generate(s, Options(row.Trv, row.Fanuc, row.Modin));
    EXPECT_EQ(r.State.Shape.RetractX, row.RetractX);
    EXPECT_EQ(r.State.Shape.EndPointZ, row.EndPointZ);
    EXPECT_EQ(r.State.Shape.Pitch, row.Pitch);
    EXPECT_EQ(LineStarting(r.PointText, "N001"), row.FirstPoint);
    EXPECT_EQ(LineStarting(r.ProgramText, "G32"), row.FanucCut);
    EXPECT_EQ(LineStarting(r.ProgramText, "G00 X2"), row.FanucRetract);
    EXPECT_EQ(LineStarting(r.PointText, "N000 MODIN").empty(), !row.Modin);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, OffGridWriteBack, testing::Values(
    WriteBackRow{"TrvWithModin", true, false, true, 28, -80, 12.7, "N001 X30.000 Z17.700", "", ""},
    // the point data comes before the TRV program floors the pitch
    WriteBackRow{"TrvWithoutModin", true, false, false, 28, -80, 12.7, "N001 X30.000 Z17.701", "", ""},
    WriteBackRow{"FanucWithModin", false, true, true, 28, -80, 12.7, "N001 X30.000 Z17.700",
                 "G32 Z-80.0 F12.7", "G00 X28.0"},
    WriteBackRow{"FanucWithoutModin", false, true, false, 28.0009, -79.9994, 12.7009, "N001 X30.000 Z17.701",
                 "G32 Z-79.999 F12.7009", "G00 X28.001"},
    WriteBackRow{"BothWithoutModin", true, true, false, 28, -80, 12.7, "N001 X30.000 Z17.701",
                 "G32 Z-80.0 F12.7", "G00 X28.0"}),
    test::ByNameField());
// clang-format on

// A FANUC pitch keeps four decimals.
TEST(FanucPitch, FourDecimals) {
    ShapeData s = WorkedExample();
    s.Pitch = 1.2345;
    s.Feed.fill(0.05f);
    EXPECT_EQ(LineStarting(Generate(s, Options(false, true, false)).ProgramText, "G32"), "G32 Z-80.0 F1.2345");
}

// ---- tapers -------------------------------------------------------------------------------------

// The thread block of the first pass gets the taper's end diameter as an X word, whichever way
// the taper runs. From Z17.7 to Z-80 a taper of a degrees moves the diameter by
// 2 x 97.7 x tan(a): 34.454292... for 10 degrees.
struct TaperRow {
    const char* Name;
    bool Fanuc;
    double Angle;
    const char* Block;
};

class TaperBlock : public testing::TestWithParam<TaperRow> {};

TEST_P(TaperBlock, CarriesTheEndDiameter) {
    ShapeData s = WorkedExample();
    s.TaperAngle = GetParam().Angle;
    const RunResult r = Generate(s, Options(!GetParam().Fanuc, GetParam().Fanuc, true));
    EXPECT_EQ(LineStarting(r.ProgramText, GetParam().Fanuc ? "G32" : "N000 G34"), GetParam().Block);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, TaperBlock, testing::Values(
    TaperRow{"TrvPositive", false, 10, "N000 G34 X64.454 Z-80 F12.7"},
    TaperRow{"TrvNegative", false, -10, "N000 G34 X-4.455 Z-80 F12.7"},
    TaperRow{"FanucPositive", true, 10, "G32 X64.454 Z-80.0 F12.7"},
    TaperRow{"FanucNegative", true, -10, "G32 X-4.454 Z-80.0 F12.7"},
    // tan(45 degrees) with the program's truncated pi lies just below 1: the floor shows it
    TaperRow{"TrvFortyFive", false, 45, "N000 G34 X225.399 Z-80 F12.7"},
    TaperRow{"FanucFortyFive", true, 45, "G32 X225.4 Z-80.0 F12.7"},
    TaperRow{"TrvNone", false, 0, "N000 G34 Z-80 F12.7"},
    TaperRow{"FanucNone", true, 0, "G32 Z-80.0 F12.7"}),
    test::ByNameField());
// clang-format on

// ---- one dialect alone ----------------------------------------------------------------------------

struct DialectRow {
    const char* Name;
    bool Trv, Fanuc, Modin, SequenceNumbers;
    const char* FirstProgramLine;  // after the header
    const char* LastPointLine;     // before the blank line that ends the point data
};

class OneDialect : public testing::TestWithParam<DialectRow> {};

TEST_P(OneDialect, WritesOnlyItsOwnBlocks) {
    const DialectRow& row = GetParam();
    OutputOptions o = Options(row.Trv, row.Fanuc, row.Modin);
    o.SequenceNumbers = row.SequenceNumbers;
    const RunResult r = Generate(WorkedExample(), o);
    const std::string& program = r.ProgramText;
    const std::vector<std::string> programLines = Lines(program), pointLines = Lines(r.PointText);
    ASSERT_GE(programLines.size(), 2u);
    ASSERT_GE(pointLines.size(), 2u);
    EXPECT_EQ(programLines[1], row.FirstProgramLine);
    EXPECT_EQ(pointLines[pointLines.size() - 2], row.LastPointLine);
    EXPECT_EQ(program.find("G34") != std::string::npos, row.Trv);
    EXPECT_EQ(program.find("G32") != std::string::npos, row.Fanuc);
    EXPECT_EQ(r.PassCount, 28 * ((row.Trv ? 1 : 0) + (row.Fanuc ? 1 : 0)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, OneDialect, testing::Values(
    DialectRow{"TrvModin", true, false, true, true, "N001 G00 X30 Z17.7", "N000 MODOUT"},
    DialectRow{"TrvNoModin", true, false, false, true, "N001 G00 X30 Z17.7", "N028 X30.000 Z4.200"},
    DialectRow{"FanucModin", false, true, true, true, "N1", "N000 MODOUT"},
    DialectRow{"FanucNoModin", false, true, false, true, "N1", "N028 X30.000 Z4.200"},
    DialectRow{"FanucPlain", false, true, false, false, "G00 X30.0 Z17.7", "X30.000 Z4.200"},
    DialectRow{"NeitherModin", false, false, true, true, "", "N000 MODOUT"}),
    test::ByNameField());
// clang-format on

// ---- both dialects at full capacity -------------------------------------------------------------

// Both dialects in one run write a TRV group and a FANUC group per pass, with long numbers more
// than the room a program text is first given: the text grows on the way and loses nothing. With
// the stored fields on the 0.001 grid nothing is floored, so it is the TRV program followed by the FANUC groups of a
// run that starts where the TRV passes ended.
TEST(BothDialects, FullCapacityIsTheTwoProgramsInTurn) {
    ShapeData shape = WorkedExample();
    shape.Pitch = 179.2;            // 361 profile points
    shape.BlankDiaX = 0;            // each a pass
    shape.StartPointZ = 123456789;  // long numbers, on the 0.001 grid
    shape.EndPointZ = -123456789;
    shape.RetractX = -123456789;
    shape.TaperAngle = 0.0001;
    GeneratorState state;
    state.Shape = shape;
    const RunResult both = RunGenerator(state, Options(true, true, true), "", "");
    ASSERT_TRUE(both.Succeeded) << both.ErrorDetail;
    ASSERT_EQ(both.PointCount, 361);
    EXPECT_GT(both.ProgramText.size(), 128u + 361u * 160u);

    const RunResult trv = RunGenerator(state, Options(true, false, true), "", "");
    GeneratorState after = state;
    after.PassCounter = trv.State.PassCounter;
    const RunResult fanuc = RunGenerator(after, Options(false, true, true), "", "");
    ASSERT_TRUE(trv.Succeeded && fanuc.Succeeded);
    const std::size_t header = fanuc.ProgramText.find("\r\n") + 2;
    EXPECT_EQ(both.ProgramText,
              trv.ProgramText.substr(0, trv.ProgramText.size() - 2) + fanuc.ProgramText.substr(header));
    EXPECT_EQ(both.PassCount, trv.PassCount + fanuc.PassCount);
}

}  // namespace
}  // namespace quillane
