// The colouring classes of NC lines: the generator's words, the scanner's forms, comments that run
// on over lines, and agreement with the scanner on where a comment is open.
#include "core/ncplot/nc_highlight.h"
#include "core/ncplot/nc_scanner.h"
#include "core/shape/example_programs.h"
#include "core/shape/program_writers.h"
#include "param_name.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {
namespace {

// One letter per style, so that a row shows the expected styles under its line, byte for byte.
constexpr std::string_view StyleLetters = "dnogmafwkpch";

// The runs of `line` as one letter per byte; also checks that the runs tile the line.
std::string Mask(std::string_view line, bool open, bool* openAfter = nullptr) {
    std::vector<NcRun> runs;
    const bool after = HighlightNcLine(line, open, runs);
    if (openAfter != nullptr) *openAfter = after;
    std::string mask;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        EXPECT_EQ(runs[k].Start, mask.size()) << line;
        EXPECT_GT(runs[k].Length, 0u) << line;
        if (k > 0) {
            EXPECT_NE(runs[k].Style, runs[k - 1].Style) << line;
        }
        mask.append(runs[k].Length, StyleLetters[static_cast<std::size_t>(runs[k].Style)]);
    }
    EXPECT_EQ(mask.size(), line.size()) << line;
    return mask;
}

struct Row {
    const char* Line;
    bool OpenBefore;  // a comment is open from an earlier line
    const char* Mask;
    bool OpenAfter;
};

class Highlight : public testing::TestWithParam<Row> {};

TEST_P(Highlight, ClassifiesEachByte) {
    const Row& row = GetParam();
    bool openAfter = false;
    EXPECT_EQ(Mask(row.Line, row.OpenBefore, &openAfter), row.Mask);
    EXPECT_EQ(openAfter, row.OpenAfter);
}

// d default, n sequence number, o program number, g G code, m M code, a axis word, f feed,
// w other address word, k macro word, p macro parameter, c comment, h header comment.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Highlight, testing::Values(
    // what the generator writes
    Row{"N000 MODIN OG34 XP=28 ZP=-80 FD=12.7", false,
        "nnnndkkkkkdoooodpppppdppppppdppppppp", false},
    Row{"(-----< D36 >-----)", false, "hhhhhhhhhhhhhhhhhhh", false},
    Row{"N001 X30.000 Z17.700", false, "nnnndaaaaaaadaaaaaaa", false},
    Row{"N000     Z17.7", false, "nnnndddddaaaaa", false},
    Row{"N001 G34 X27.5 Z-80 F12.7", false, "nnnndgggdaaaaadaaaadfffff", false},
    Row{"N000 MODOUT", false, "nnnndkkkkkk", false},
    Row{"MODIN OG34 XP=28", false, "kkkkkdoooodppppp", false},
    Row{"N2", false, "nn", false},
    Row{"G32 Z-80.0 F12.7", false, "gggdaaaaaadfffff", false},
    Row{"O0001( FANUC THREAD )%", false, "oooooccccccccccccccccd", false},
    Row{"N000 G00 X28 Z50 T0101 M42 S700 M04", false, "nnnndgggdaaadaaadwwwwwdmmmdwwwwdmmm", false},
    Row{"G28 U0 W0 M5", false, "gggdaadaadmm", false},
    Row{"NT01 MODIN", false, "nnnndkkkkk", false},
    Row{"NEND M02", false, "nnnndmmm", false},
    Row{". (POINT DATA)", false, "ddcccccccccccc", false},
    Row{". ", false, "dd", false},
    Row{"", false, "", false},
    // the macro sub-program
    Row{"----------< THREAD CYCLE >----------", false, "hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh", false},
    Row{"NOEX ZSP=VSIOZ", false, "nnnndppppppppp", false},
    Row{"N000 G34 Z=ZP F=FD", false, "nnnndgggdaaaadffff", false},
    Row{"NRTS RTS", false, "nnnndkkk", false},
    Row{"FD = PITCH", false, "dddddddddd", false},
    // forms the scanner reads: no blanks, expressions, commas, signs
    Row{"G00X28.Z-5", false, "gggaaaaaaa", false},
    Row{"X10+VC1 Z1", false, "aaaaaaadaa", false},
    Row{"X-.5-.25", false, "aaaaaaaa", false},
    Row{"X1,5", false, "aaaa", false},
    Row{"X", false, "a", false},
    // not words: lower case, a lone capital, a label after the first word, other bytes
    Row{"g00 x1", false, "dddddd", false},
    Row{"G00 NT01", false, "gggddddd", false},
    Row{"Q \xff\xfe\xc3\xa9", false, "dddddd", false},
    Row{"MODINX", false, "dddddd", false},
    // comments: unclosed, carried over, closed only after the first column, and where the
    // scanner passes over a "(" inside a symbolic X or Z word
    Row{"G00 (open", false, "gggdccccc", true},
    Row{"X1 Z2", true, "ccccc", true},
    Row{")G00", true, "cccc", true},
    Row{"a)G00", true, "ccggg", false},
    Row{"()X1", false, "ccaa", false},
    Row{"(", false, "c", true},
    Row{"XP=(1 (c)", false, "pppppdccc", false},
    Row{"X+(1 Z2", false, "aaaadaa", false},
    Row{"AXB=(1", false, "dddddd", false},
    Row{"FD=(1", false, "pppcc", true}),
    [](const auto& row) { return test::ParamName(std::string(row.param.Line) + (row.param.OpenBefore ? " open" : "")); });
// clang-format on

// The scanner and the colouring agree on where a comment is open, line after line.
bool ScannerOpenAfter(std::string_view line, bool open) {
    ScanState scan;
    scan.InComment = open;
    ScanNcLine(scan, line);
    return scan.InComment;
}

void ExpectAgreement(std::string_view line, bool open) {
    std::vector<NcRun> runs;
    EXPECT_EQ(HighlightNcLine(line, open, runs), ScannerOpenAfter(line, open))
        << "line \"" << line << "\", open before: " << open;
}

TEST(HighlightAgreement, CommentsOnRandomLines) {
    // Lines of the characters that decide: the acting letters, parentheses, operators, blanks.
    constexpr std::string_view alphabet = "XZGNOFAP()=+-*/.,0123456789 \t\xff";
    std::uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::string line;
    for (int k = 0; k < 20000; ++k) {
        line.clear();
        const std::uint32_t length = next() % 14;
        for (std::uint32_t c = 0; c < length; ++c) line += alphabet[next() % alphabet.size()];
        ExpectAgreement(line, false);
        ExpectAgreement(line, true);
        if (HasFailure()) return;
    }
}

// Every capital letter the generator and the examples write is part of a word that gets a
// colour, and a comment never stays open after a generated line.
TEST(HighlightGenerated, EveryWordIsRecognised) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    std::vector<std::string> texts{FanucExampleProgram(), TrvStandardExampleProgram(), TrvMacroMainProgram()};
    for (const bool fanuc : {false, true}) {
        OutputOptions options;
        options.Fanuc = fanuc;
        options.Trv = !fanuc;
        const RunResult run = RunGenerator(state, options, "", "");
        ASSERT_TRUE(run.Succeeded);
        texts.push_back(run.PointText);
        texts.push_back(run.ProgramText);
    }
    for (const std::string& text : texts) {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            ASSERT_NE(end, std::string::npos);
            const std::string_view line(text.data() + start, end - start);
            bool openAfter = true;
            const std::string mask = Mask(line, false, &openAfter);
            EXPECT_FALSE(openAfter) << line;
            for (std::size_t k = 0; k < line.size(); ++k) {
                if (line[k] >= 'A' && line[k] <= 'Z') {
                    EXPECT_NE(mask[k], 'd') << line << " at " << k;
                }
            }
            start = end + 2;
        }
    }
}

}  // namespace
}  // namespace quillane
