// Program Output end to end: the worked example in both dialects, accumulation over runs,
// the floored write-backs and what a failed run leaves behind.
#include "core/shape/program_writers.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quillane {
namespace {

using testing_shapes::WorkedExample;

// Splits a pane text at CR LF; a text must end with CR LF, so nothing is left after the last.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2) {
        lines.push_back(text.substr(start, pos - start));
    }
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

RunResult Generate(const ShapeData& shape, OutputOptions options = {}, float passCounter = 1, const std::string& a = "",
                   const std::string& b = "") {
    GeneratorState state;
    state.Shape = shape;
    state.PassCounter = passCounter;
    return RunGenerator(state, options, a, b);
}

OutputOptions Fanuc() {
    OutputOptions o;
    o.Trv = false;
    o.Fanuc = true;
    return o;
}

TEST(WorkedExample, PointDataMatchesLineForLine) {
    const RunResult r = Generate(WorkedExample());
    ASSERT_TRUE(r.Succeeded) << r.ErrorDetail;
    const auto a = Lines(r.PointText);
    ASSERT_EQ(a.size(), 32u);
    EXPECT_EQ(a[0], "N000 MODIN OG34 XP=28 ZP=-80 FD=12.7");
    EXPECT_EQ(a[1], "(-----< D36 >-----)");
    EXPECT_EQ(a[2], "N001 X30.000 Z17.700");
    EXPECT_EQ(a[3], "N002 X30.303 Z17.200");
    EXPECT_EQ(a[4], "N003 X31.664 Z16.700");
    EXPECT_EQ(a[7], "N006 X35.984 Z15.200");  // rounded here, floored in the TRV program
    EXPECT_EQ(a[27], "N026 X30.000 Z5.200");
    EXPECT_EQ(a[29], "N028 X30.000 Z4.200");
    EXPECT_EQ(a[30], "N000 MODOUT");
    EXPECT_EQ(a[31], "");
    EXPECT_EQ(r.PointCount, 28);
    EXPECT_EQ(r.PassCount, 28);
    EXPECT_EQ(r.State.PassCounter, 29.0f);
}

TEST(WorkedExample, TrvProgramMatchesLineForLine) {
    const RunResult r = Generate(WorkedExample());
    const auto b = Lines(r.ProgramText);
    ASSERT_EQ(b.size(), 1u + 28 * 4 + 1);
    EXPECT_EQ(b[0], "(-----< D36 >-----)");
    const std::vector<std::string> firstPass = {"N001 G00 X30 Z17.7", "N000 G34 Z-80 F12.7", "N000 G00 X28",
                                                "N000     Z17.7"};
    EXPECT_EQ(std::vector<std::string>(b.begin() + 1, b.begin() + 5), firstPass);
    EXPECT_EQ(b[5], "N002 G00 X30.303 Z17.2");
    const std::vector<std::string> sixth = {"N006 G00 X35.983 Z15.2", "N000 G34 Z-80 F12.7", "N000 G00 X28",
                                            "N000     Z15.2"};
    EXPECT_EQ(std::vector<std::string>(b.begin() + 21, b.begin() + 25), sixth);
    EXPECT_EQ(b.back(), "");
}

// 17.7 - 12.5 is 5.199999999999999 in binary; the land passes keep the Z the user would read.
TEST(WorkedExample, LandPassesStartAtTheSameZAsThePointData) {
    const auto b = Lines(Generate(WorkedExample()).ProgramText);
    const char* expected[][2] = {{"N021 G00 X30 Z7.7", "N000     Z7.7"}, {"N022 G00 X30 Z7.2", "N000     Z7.2"},
                                 {"N023 G00 X30 Z6.7", "N000     Z6.7"}, {"N024 G00 X30 Z6.2", "N000     Z6.2"},
                                 {"N025 G00 X30 Z5.7", "N000     Z5.7"}, {"N026 G00 X30 Z5.2", "N000     Z5.2"},
                                 {"N027 G00 X30 Z4.7", "N000     Z4.7"}, {"N028 G00 X30 Z4.2", "N000     Z4.2"}};
    for (int k = 0; k < 8; ++k) {
        const std::size_t first = 1 + static_cast<std::size_t>(20 + k) * 4;
        EXPECT_EQ(b[first], expected[k][0]);
        EXPECT_EQ(b[first + 3], expected[k][1]);
    }
    EXPECT_EQ(b[1 + 19 * 4], "N020 G00 X30 Z8.2");
}

TEST(WorkedExample, FanucProgramBeginsAsExpected) {
    const RunResult r = Generate(WorkedExample(), Fanuc());
    const auto b = Lines(r.ProgramText);
    const std::vector<std::string> head = {
        "(-----< D36 >-----)", "N1", "G00 X30.0 Z17.7",  "G32 Z-80.0 F12.7", "G00 X28.0",
        "G00 Z17.7",           "N2", "G00 X30.303 Z17.2"};
    EXPECT_EQ(std::vector<std::string>(b.begin(), b.begin() + 8), head);
    ASSERT_EQ(b.size(), 1u + 28 * 5 + 1);
    EXPECT_EQ(b[1 + 5 * 5 + 1], "G00 X35.984 Z15.2");
    EXPECT_EQ(b[1 + 27 * 5], "N28");
    EXPECT_EQ(b[1 + 27 * 5 + 1], "G00 X30.0 Z4.2");
    EXPECT_EQ(r.State.PassCounter, 29.0f);
    EXPECT_EQ(r.PointText, Generate(WorkedExample()).PointText);  // the point data does not depend on the dialect
}

TEST(Options, WithoutSequenceNumbers) {
    OutputOptions o;
    o.SequenceNumbers = false;
    auto a = Lines(Generate(WorkedExample(), o).PointText);
    EXPECT_EQ(a[0], "MODIN OG34 XP=28 ZP=-80 FD=12.7");
    EXPECT_EQ(a[2], "X30.000 Z17.700");
    EXPECT_EQ(a[30], "MODOUT");
    auto b = Lines(Generate(WorkedExample(), o).ProgramText);
    const std::vector<std::string> pass = {"G00 X30 Z17.7", "G34 Z-80 F12.7", "G00 X28", "    Z17.7"};
    EXPECT_EQ(std::vector<std::string>(b.begin() + 1, b.begin() + 5), pass);
    o = Fanuc();
    o.SequenceNumbers = false;
    b = Lines(Generate(WorkedExample(), o).ProgramText);
    EXPECT_EQ(b[1], "G00 X30.0 Z17.7");
    EXPECT_EQ(b[5], "G00 X30.303 Z17.2");
}

TEST(Options, WithoutModinNoMacroLines) {
    OutputOptions o;
    o.OutputModin = false;
    const auto a = Lines(Generate(WorkedExample(), o).PointText);
    EXPECT_EQ(a[0], "(-----< D36 >-----)");
    EXPECT_EQ(a[28], "N028 X30.000 Z4.200");
    EXPECT_EQ(a[29], "");
}

TEST(Options, NoDialectWritesTheHeaderOnlyAndKeepsTheCounter) {
    OutputOptions o;
    o.Trv = false;
    const RunResult r = Generate(WorkedExample(), o);
    EXPECT_EQ(r.ProgramText, "(-----< D36 >-----)\r\n\r\n");
    EXPECT_EQ(r.State.PassCounter, 1.0f);
}

TEST(Accumulation, SecondRunContinuesNumbersWithoutASecondMacroCall) {
    const RunResult first = Generate(WorkedExample());
    const RunResult second = RunGenerator(first.State, {}, first.PointText, first.ProgramText);
    ASSERT_TRUE(second.Succeeded);
    EXPECT_EQ(second.PointText.substr(0, first.PointText.size()), first.PointText);
    const auto a = Lines(second.PointText.substr(first.PointText.size()));
    EXPECT_EQ(a[0], "(-----< D36 >-----)");
    EXPECT_EQ(a[1], "N029 X30.000 Z17.700");
    EXPECT_EQ(a[29], "N000 MODOUT");
    const auto b = Lines(second.ProgramText.substr(first.ProgramText.size()));
    EXPECT_EQ(b[1], "N029 G00 X30 Z17.7");
    EXPECT_EQ(second.State.PassCounter, 57.0f);
    // each pane shows the second block after an empty line
    EXPECT_NE(second.ProgramText.find("N000     Z4.2\r\n\r\n(-----< D36 >-----)\r\nN029 "), std::string::npos);
}

TEST(Accumulation, RoughingWithFinishStockHasNoModout) {
    ShapeData s = WorkedExample();
    s.FinishStock = 0.2;
    const RunResult r = Generate(s);
    const auto a = Lines(r.PointText);
    EXPECT_EQ(a[1], "(-----< D35.8 >-----)");
    EXPECT_EQ(a[2], "N001 X29.800 Z17.700");
    EXPECT_EQ(a[a.size() - 2], "N028 X29.800 Z4.200");
    EXPECT_EQ(Lines(r.ProgramText)[0], "(-----< D35.8 >-----)");
}

TEST(Accumulation, NoPassInsideTheBlankKeepsTheCounterAndTheMacroCallForLater) {
    ShapeData s = WorkedExample();
    s.BlankDiaX = 36;  // every cut diameter is at or inside the blank
    const RunResult r = Generate(s);
    ASSERT_TRUE(r.Succeeded);
    EXPECT_EQ(r.PointText, "N000 MODIN OG34 XP=28 ZP=-80 FD=12.7\r\n(-----< D36 >-----)\r\nN000 MODOUT\r\n\r\n");
    EXPECT_EQ(r.ProgramText, "(-----< D36 >-----)\r\n\r\n");
    EXPECT_EQ(r.State.PassCounter, 1.0f);
}

TEST(Accumulation, LabelsGrowPastThreeDigits) {
    const RunResult r = Generate(WorkedExample(), {}, 999);
    const auto a = Lines(r.PointText);
    EXPECT_EQ(a[1], "N999 X30.000 Z17.700");  // no macro call: the counter is not 1
    EXPECT_EQ(a[2], "N1000 X30.303 Z17.200");
    const auto f = Lines(Generate(WorkedExample(), Fanuc(), 999).ProgramText);
    EXPECT_EQ(f[6], "N1000");
}

TEST(WriteBack, MacroCallFloorsStoredValuesForTheRestOfTheRun) {
    ShapeData s = WorkedExample();
    s.Pitch = 12.7009;
    s.RetractX = 28.0009;
    s.EndPointZ = -80.0001;
    const RunResult r = Generate(s);
    const auto a = Lines(r.PointText);
    EXPECT_EQ(a[0], "N000 MODIN OG34 XP=28 ZP=-80.001 FD=12.7");
    EXPECT_EQ(a[2], "N001 X30.000 Z17.700");  // computed with the floored lead
    EXPECT_EQ(r.State.Shape.Pitch, 12.7);
    EXPECT_EQ(r.State.Shape.RetractX, 28);
    EXPECT_EQ(r.State.Shape.EndPointZ, -80.001);
}

TEST(WriteBack, TrvProgramFloorsFromItsFirstPassOn) {
    ShapeData s = WorkedExample();
    s.Pitch = 12.7009;
    OutputOptions o;
    o.OutputModin = false;
    const RunResult r = Generate(s, o);
    EXPECT_EQ(Lines(r.PointText)[1], "N001 X30.000 Z17.701");  // nothing floored yet
    const auto b = Lines(r.ProgramText);
    EXPECT_EQ(b[1], "N001 G00 X30 Z17.7");  // 17.7009, printed floored
    EXPECT_EQ(b[2], "N000 G34 Z-80 F12.7");
    EXPECT_EQ(b[5], "N002 G00 X30.303 Z17.2");  // the second pass uses the floored lead
    EXPECT_EQ(r.State.Shape.Pitch, 12.7);
    // the FANUC writer rounds and stores nothing
    const RunResult f = Generate(s, [] {
        OutputOptions x = Fanuc();
        x.OutputModin = false;
        return x;
    }());
    EXPECT_EQ(Lines(f.ProgramText)[3], "G32 Z-80.0 F12.7009");
    EXPECT_EQ(f.State.Shape.Pitch, 12.7009);
}

TEST(Taper, PassesCutToTheTaperEndDiameter) {
    ShapeData s = WorkedExample();
    s.TaperAngle = 1;
    auto b = Lines(Generate(s).ProgramText);
    EXPECT_EQ(b[2], "N000 G34 X33.41 Z-80 F12.7");
    EXPECT_EQ(b[6], "N000 G34 X33.696 Z-80 F12.7");
    b = Lines(Generate(s, Fanuc()).ProgramText);
    EXPECT_EQ(b[3], "G32 X33.411 Z-80.0 F12.7");
    EXPECT_EQ(b[8], "G32 X33.697 Z-80.0 F12.7");
}

TEST(Failure, GeometryFailureWritesNothingButKeepsTheReadValues) {
    ShapeData s = WorkedExample();
    s.A1 = 0;
    const RunResult r = Generate(s, {}, 5, "old A\r\n", "old B\r\n");
    EXPECT_FALSE(r.Succeeded);
    EXPECT_NE(r.ErrorDetail.find("A 1"), std::string::npos);
    EXPECT_EQ(r.PointText, "old A\r\n");
    EXPECT_EQ(r.ProgramText, "old B\r\n");
    EXPECT_EQ(r.State.PassCounter, 5.0f);
    EXPECT_EQ(r.State.Shape.A1, 0);
    EXPECT_DOUBLE_EQ(r.State.CutSpanZ, 97.7);  // stored before the failure
}

// A number that no control reads (more than nine digits before the point) stops the run before
// either pane gets any text, in whichever part of the run it turns up, and names its box.
struct UnreadableCase {
    const char* name;
    void (*change)(ShapeData&);
    bool fanuc, modin;
    const char* detail;
};

class Unreadable : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(Unreadable, StopsBeforeAnythingIsAppended) {
    ShapeData s = WorkedExample();
    GetParam().change(s);
    OutputOptions o = GetParam().fanuc ? Fanuc() : OutputOptions{};
    o.OutputModin = GetParam().modin;
    const RunResult r = Generate(s, o, 1, "A\r\n", "B\r\n");
    EXPECT_FALSE(r.Succeeded);
    EXPECT_EQ(r.ErrorDetail.rfind(GetParam().detail, 0), 0u) << r.ErrorDetail;
    EXPECT_NE(r.ErrorDetail.find("digits before the decimal point"), std::string::npos) << r.ErrorDetail;
    EXPECT_EQ(r.PointText, "A\r\n");
    EXPECT_EQ(r.ProgramText, "B\r\n");
    EXPECT_EQ(r.State.PassCounter, 1.0f);
    EXPECT_EQ(r.PassCount, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Fields, Unreadable,
    ::testing::Values(
        UnreadableCase{"StartZ", [](ShapeData& s) { s.StartPointZ = 1e306; }, false, true, "pass start Z (Start Point Z + PITCH)"},
        UnreadableCase{"EndZMacro", [](ShapeData& s) { s.EndPointZ = 1e306; }, false, true, "End Point Z"},
        UnreadableCase{"EndZTrv", [](ShapeData& s) { s.EndPointZ = -1e306; }, false, false, "End Point Z"},
        UnreadableCase{"EndZFanuc", [](ShapeData& s) { s.EndPointZ = 1e306; }, true, false, "End Point Z"},
        UnreadableCase{"EndZUnderATaper", [](ShapeData& s) { s.EndPointZ = -1e300; s.TaperAngle = 89.9999999; },
                       false, false, "End Point Z"},
        UnreadableCase{"RetractMacro", [](ShapeData& s) { s.RetractX = 1e306; }, false, true, "Retract X"},
        UnreadableCase{"RetractTrv", [](ShapeData& s) { s.RetractX = 1e306; }, false, false, "Retract X"},
        UnreadableCase{"RetractFanuc", [](ShapeData& s) { s.RetractX = -1e306; }, true, true, "Retract X"},
        UnreadableCase{"TenDigitRetract", [](ShapeData& s) { s.RetractX = 1e9; }, false, false, "Retract X"},
        UnreadableCase{"RoundsToTenDigits", [](ShapeData& s) { s.RetractX = 999999999.9996; }, true, false, "Retract X"},
        UnreadableCase{"PitchMacro", [](ShapeData& s) { s.Pitch = 1e12; s.Feed[7] = 1e12f; }, false, true, "PITCH"},
        UnreadableCase{"Header", [](ShapeData& s) { s.FinishStock = -1e306; }, false, false, "header D 1 - Finish Stock"},
        UnreadableCase{"TaperEnd", [](ShapeData& s) { s.TaperAngle = 89.99999999999; s.EndPointZ = -8e8; }, false, false,
                       "taper end diameter (Taper Angle, End Point Z)"}),
    [](const ::testing::TestParamInfo<UnreadableCase>& c) { return std::string(c.param.name); });
// clang-format on

TEST(Unreadable, NineDigitsArePrinted) {
    ShapeData s = WorkedExample();
    s.RetractX = -999999999.999;
    s.EndPointZ = -999999999.999;
    RunResult r = Generate(s);
    ASSERT_TRUE(r.Succeeded) << r.ErrorDetail;
    EXPECT_EQ(Lines(r.PointText)[0], "N000 MODIN OG34 XP=-999999999.999 ZP=-999999999.999 FD=12.7");
    r = Generate(s, Fanuc());
    ASSERT_TRUE(r.Succeeded) << r.ErrorDetail;
    EXPECT_EQ(Lines(r.ProgramText)[4], "G00 X-999999999.999");
}

TEST(Failure, ProgramOutputReadsTheBoxesFirst) {
    ShapeBoxTexts boxes = ShapeToBoxes(WorkedExample());
    boxes.Text[1] = "12.70";  // PITCH
    boxes.Text[7] = "";       // R 1
    const RunResult ok = ProgramOutput(GeneratorState{}, boxes, {}, "", "");
    ASSERT_TRUE(ok.Succeeded) << ok.ErrorDetail;
    EXPECT_EQ(ShapeToBoxes(ok.State.Shape).Text[1], "12.7");
    EXPECT_EQ(ShapeToBoxes(ok.State.Shape).Text[7], "0");

    boxes.Feed[2] = "1E39";  // beyond the single-precision range
    const RunResult bad = ProgramOutput(ok.State, boxes, {}, ok.PointText, ok.ProgramText);
    EXPECT_FALSE(bad.Succeeded);
    EXPECT_NE(bad.ErrorDetail.find("R2-F"), std::string::npos) << bad.ErrorDetail;
    EXPECT_EQ(bad.PointText, ok.PointText);
    EXPECT_EQ(bad.State.PassCounter, ok.State.PassCounter);
}

}  // namespace
}  // namespace quillane
