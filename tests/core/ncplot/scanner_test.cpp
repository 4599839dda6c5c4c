// NC word scanner: G, X and Z words, symbolic words, axis arithmetic and comments across lines.
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/word_value.h"
#include "core/numeric/number_text.h"

#include "ncplot/reference_scanner.h"
#include "param_name.h"

#include "ncplot/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quillane {
namespace {

// Values that no line of the tables produces, so "unchanged" can be told from "set".
constexpr float OldG = 7;
constexpr double OldX = 111;
constexpr double OldZ = 222;

ScanState Before() {
    ScanState s;
    s.GValue = OldG;
    s.XValue = OldX;
    s.ZValue = OldZ;
    return s;
}

ScanState Scan(const std::string& line, ScanState s = Before()) {
    s.LineText = line;
    ScanNcLine(s);
    return s;
}

// ---- one line at a time -----------------------------------------------------------------------

struct LineCase {
    const char* Line;
    float G;
    double X;
    double Z;
};

class ScanLine : public testing::TestWithParam<LineCase> {};

TEST_P(ScanLine, LeavesGXZ) {
    const LineCase& c = GetParam();
    const ScanState s = Scan(c.Line);
    EXPECT_EQ(s.GValue, c.G) << c.Line;
    EXPECT_EQ(s.XValue, c.X) << c.Line;
    EXPECT_EQ(s.ZValue, c.Z) << c.Line;
    EXPECT_FALSE(s.InComment) << c.Line;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(ProgramLines, ScanLine, testing::Values(
    LineCase{"", OldG, OldX, OldZ},
    LineCase{"G00 X28. Z50. S700 M4", 0, 28, 50},
    LineCase{"N001 G34 Z-80 F12.7", 34, OldX, -80},
    LineCase{"G32 Z-80. F12.7", 32, OldX, -80},
    LineCase{"N001 X30.000 Z17.700", OldG, 30, 17.7},
    LineCase{"x10 g1", OldG, OldX, OldZ},
    LineCase{"X10Z5", OldG, 10, 5},
    LineCase{"Z10 X", OldG, 0, 10},
    LineCase{"X 10", OldG, 0, OldZ}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(GNumbers, ScanLine, testing::Values(
    LineCase{"G", 0, OldX, OldZ},
    LineCase{"G ", 0, OldX, OldZ},
    LineCase{"G32", 32, OldX, OldZ},
    LineCase{"G00", 0, OldX, OldZ},
    LineCase{"G0", 0, OldX, OldZ},
    LineCase{"G1/2", 1, OldX, OldZ},
    LineCase{"G1.5", 1.5f, OldX, OldZ},
    LineCase{"G+-3", 0, OldX, OldZ},
    LineCase{"G-3X5", -3, 5, OldZ},
    LineCase{"G1,5", 1, OldX, OldZ}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(SymbolicWords, ScanLine, testing::Values(
    LineCase{"XP=30", OldG, OldX, OldZ},
    LineCase{"ZP=-80", OldG, OldX, OldZ},
    LineCase{"ZSP=VSIOZ", OldG, OldX, OldZ},
    LineCase{"NT01 MODIN OG34 XP=30 ZP=-80 FD=12.7", 34, OldX, OldZ},  // the G of OG34 is read
    LineCase{"N000 G00 X=XP", 0, 0, OldZ},
    LineCase{"NOEX ZSP=VSIOZ", OldG, 0, OldZ},
    LineCase{"XP=30 Z5", OldG, OldX, 5},
    LineCase{"ZSP=VSIOZ X5", OldG, 5, OldZ},
    LineCase{"XP=30\tZ5", OldG, OldX, 5},
    LineCase{"X10+VC1 Z5", OldG, 10, 5},
    LineCase{"X+ Z5", OldG, 0, OldZ},
    LineCase{"X5+", OldG, 5, OldZ},
    LineCase{"X5+ Z1", OldG, 5, OldZ},
    LineCase{"X5+,3", OldG, 5, OldZ}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// Values read left to right in single precision and handed back through seven digits.
// clang-format off
INSTANTIATE_TEST_SUITE_P(AxisArithmetic, ScanLine, testing::Values(
    LineCase{"X-.5", OldG, -0.5, OldZ},
    LineCase{"X+5", OldG, 5, OldZ},
    LineCase{"X-5", OldG, -5, OldZ},
    LineCase{"X1.5+2.5", OldG, 4, OldZ},
    LineCase{"X10/4*2", OldG, 5, OldZ},
    LineCase{"Z10+2.5*2", OldG, OldX, 25},
    LineCase{"X10/0", OldG, 10, OldZ},
    LineCase{"X5*0", OldG, 5, OldZ},
    LineCase{"X5*0-2", OldG, 3, OldZ},
    LineCase{"X123.456789", OldG, 123.4568, OldZ},
    LineCase{"X1,000", OldG, 1, OldZ},
    LineCase{"X1.2.3", OldG, 1.2, OldZ},
    LineCase{"X=5", OldG, 5, OldZ},
    LineCase{"X.", OldG, 0, OldZ},
    LineCase{"X1/3", OldG, 0.3333333, OldZ},
    LineCase{"X0.1+0.2", OldG, 0.3, OldZ},
    // 16777217 has no single-precision form: it rounds to 16777216, which shows as 1.677722E+07.
    LineCase{"X16777216+1", OldG, 16777220, OldZ},
    LineCase{"X0.00001", OldG, 0.00001, OldZ},
    LineCase{"X1;Z2", OldG, 1, 2}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// Values beyond the single-precision range leave the word without a value.
// clang-format off
INSTANTIATE_TEST_SUITE_P(OutOfRange, ScanLine, testing::Values(
    LineCase{"X1000000000000000000000000000000000000000 Z5", OldG, OldX, 5},
    LineCase{"X100000000000000000000*100000000000000000000", OldG, OldX, OldZ},
    LineCase{"X1/0.00000000000000000000000000000000000000001", OldG, OldX, OldZ},
    LineCase{"G1000000000000000000000000000000000000000 X5", OldG, 5, OldZ},
    // Below the smallest single-precision number: the value rounds to 0.
    LineCase{"X0.000000000000000000000000000000000000000000000001", OldG, 0, OldZ}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// ---- comments --------------------------------------------------------------------------------

TEST(ScanComment, WholeLineCommentOnlyStartsANewPath) {
    const ScanState s = Scan("( MAIN PROGRAM FOR MACRO )");
    EXPECT_TRUE(s.StartNewPath);
    EXPECT_FALSE(s.InComment);
    EXPECT_EQ(s.GValue, OldG);
    EXPECT_EQ(s.XValue, OldX);
    EXPECT_EQ(s.ZValue, OldZ);
}

TEST(ScanComment, WordsInsideACommentAreNotRead) {
    const ScanState s = Scan("(X-AXIS RETRACT) Z5");
    EXPECT_EQ(s.XValue, OldX);
    EXPECT_EQ(s.ZValue, 5);
    EXPECT_TRUE(s.StartNewPath);
    EXPECT_FALSE(s.InComment);
}

TEST(ScanComment, LineWithoutCommentLeavesStartNewPath) { EXPECT_FALSE(Scan("G00 X28. Z50.").StartNewPath); }

TEST(ScanComment, SeveralCommentsOnOneLine) {
    const ScanState s = Scan("(A)G1(B X9)X3");
    EXPECT_EQ(s.GValue, 1);
    EXPECT_EQ(s.XValue, 3);
    EXPECT_FALSE(s.InComment);
}

TEST(ScanComment, ClosingBracketOutsideACommentDoesNothing) {
    const ScanState s = Scan(")X4");
    EXPECT_EQ(s.XValue, 4);
    EXPECT_FALSE(s.InComment);
    EXPECT_FALSE(s.StartNewPath);
}

// Lines as the plots hand them over: every line after the first starts with the LF.
struct CommentRun {
    const char* Name;
    std::vector<std::string> Lines;
    bool InCommentBefore;
    double X;
    double Z;
    float G;
    bool InCommentAfter;
};

class ScanCommentAcrossLines : public testing::TestWithParam<CommentRun> {};

TEST_P(ScanCommentAcrossLines, CarriesTheComment) {
    const CommentRun& c = GetParam();
    ScanState s = Before();
    s.InComment = c.InCommentBefore;
    for (const std::string& line : c.Lines) s = Scan(line, s);
    EXPECT_EQ(s.XValue, c.X);
    EXPECT_EQ(s.ZValue, c.Z);
    EXPECT_EQ(s.GValue, c.G);
    EXPECT_EQ(s.InComment, c.InCommentAfter);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, ScanCommentAcrossLines, testing::Values(
    CommentRun{"SkipsToTheClosingLine", {"(OPEN X1", "\nX2 G5", "\nZ3) X4", "\nZ6"}, false, 4, 6, OldG, false},
    CommentRun{"OpenAtTheEnd", {"X1 (OPEN", "\nX2"}, false, 1, OldZ, OldG, true},
    // The search for ")" starts at the second character of a line.
    CommentRun{"FirstColumnNotSeen", {")X5"}, true, OldX, OldZ, OldG, true},
    CommentRun{"FirstColumnAfterLineFeed", {"\n)X5"}, true, 5, OldZ, OldG, false},
    CommentRun{"OpenFromAnEarlierPlot", {"G0 X1", "\nX2)", "\nX3"}, true, 3, OldZ, OldG, false},
    // Characters inside a comment never act, also where the line ends inside it.
    CommentRun{"FinalGInsideComment", {"(ABC G"}, false, OldX, OldZ, OldG, true},
    CommentRun{"FinalXInsideComment", {"Z1 (X"}, false, OldX, 1, OldG, true},
    CommentRun{"LoneCharacterInsideComment", {"X"}, true, OldX, OldZ, OldG, true},
    CommentRun{"LoneBracketInsideComment", {")"}, true, OldX, OldZ, OldG, true},
    CommentRun{"OpeningBracketLast", {"X8 ("}, false, 8, OldZ, OldG, true}),
    test::ByNameField());
// clang-format on

TEST(ScanComment, OpenCommentMakesEveryLineStartANewPath) {
    ScanState s = Before();
    s.InComment = true;
    s.StartNewPath = false;
    s = Scan("\nX5", s);
    EXPECT_TRUE(s.StartNewPath);
}

// ---- the word readers ---------------------------------------------------------------------------

ScanState At(const std::string& line, std::size_t pos) {
    ScanState s;
    s.LineText = line;
    s.LineLength = line.size();
    s.ScanPos = pos;
    return s;
}

struct WordCase {
    const char* Line;
    std::size_t Start;  // 1-based position of the address
    const char* Word;
    std::size_t End;  // ScanPos afterwards
};

class ReadG : public testing::TestWithParam<WordCase> {};

TEST_P(ReadG, CollectsAndStopsOnTheLastCharacter) {
    const WordCase& c = GetParam();
    ScanState s = At(c.Line, c.Start);
    ReadGNumber(s);
    EXPECT_EQ(s.WordText, c.Word);
    EXPECT_EQ(s.ScanPos, c.End);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ReadG, testing::Values(
    WordCase{"G32 X1", 1, "32", 3},
    WordCase{"G", 1, "", 1},
    WordCase{"G X", 1, "", 1},
    WordCase{"N1G1/2Z", 3, "1/2", 6},
    WordCase{"G+,-./09*", 1, "+,-./09", 8}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

class ReadAxis : public testing::TestWithParam<WordCase> {};

TEST_P(ReadAxis, WritesTheValueBackAsText) {
    const WordCase& c = GetParam();
    ScanState s = At(c.Line, c.Start);
    ReadAxisValue(s);
    EXPECT_EQ(s.WordText, c.Word);
    EXPECT_EQ(s.ScanPos, c.End);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ReadAxis, testing::Values(
    WordCase{"X28. Z50.", 1, "28", 4},
    WordCase{"X123.456789", 1, "123.4568", 11},
    WordCase{"X0.00001", 1, "1E-05", 8},
    WordCase{"X16777216+1", 1, "1.677722E+07", 11},
    WordCase{"X", 1, "0", 1},
    WordCase{"X=XP", 1, "0", 2},
    WordCase{"XP=30 Z5", 1, "", 5},
    WordCase{"XP=30", 1, "", 5},
    WordCase{"X10+VC1 Z5", 1, "10", 7},
    WordCase{"X+ Z5", 1, "0", 5},
    WordCase{"X10Z5", 1, "10", 3},
    WordCase{"G0Z-80.F1", 3, "-80", 7}),
    [](const auto& row) { return test::ParamName(row.param.Line); });
// clang-format on

// ---- numeric value of a word -----------------------------------------------------------------

// WordValue reads the scanner's words directly; it must give exactly what NumericValue gives.
TEST(WordValue, MatchesNumericValueOnWordsOfEveryShape) {
    const std::vector<std::string> fixed = {"",
                                            ".",
                                            "-",
                                            "+",
                                            "-0",
                                            "0",
                                            "00.000",
                                            "28.",
                                            ".5",
                                            "1,5",
                                            "1.2.3",
                                            "1/2",
                                            "+-3",
                                            "-,5",
                                            "123456789012345",
                                            "1234567890123456",
                                            "0.000000000000001",
                                            "99999999999999.9",
                                            "9007199254740993",
                                            "1E-05",
                                            "1.677722E+07",
                                            "-1.5E+30",
                                            "12,",
                                            "5..",
                                            ",",
                                            "-.5",
                                            "+5.",
                                            "1/3*2"};
    for (const std::string& w : fixed) {
        const double a = WordValue(w), b = NumericValue(w);
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << '"' << w << "\" " << a << " vs " << b;
    }
    std::mt19937 random(20240611);
    const std::string alphabet = "0123456789.,+-/*";
    for (int i = 0; i < 20000; ++i) {
        std::string w;
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) w += alphabet[random() % (k < 2 ? alphabet.size() : 12)];
        const double a = WordValue(w), b = NumericValue(w);
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << '"' << w << "\" " << a << " vs " << b;
    }
}

// The scanner writes its value back with seven digits without going through the general text
// routines; both must give the same text and value for every single-precision number.
void ExpectSevenDigitsLikeGeneralText(float f) {
    std::string text;
    const double value = SevenDigitValue(f, text);
    const std::string expected = GeneralNumberText(f);
    ASSERT_EQ(text, expected) << f;
    const double expectedValue = NumericValue(expected);
    ASSERT_EQ(std::memcmp(&value, &expectedValue, sizeof value), 0) << f;
}

TEST(SevenDigitValue, MatchesGeneralNumberText) {
    for (float f : {0.0f,           -0.0f,      1.0f,       17.7f,         -80.0f,     30.303f,    0.0001f,
                    0.00009999999f, 9999999.0f, 9999999.5f, 9999998.5f,    1234566.5f, 1234567.5f, 0.30000001f,
                    123.45679f,     1e7f,       1e-4f,      1e-5f,         3.4e38f,    1e-45f,     0.99999997f,
                    9.9999995f,     99.999996f, 999999.94f, 0.00099999993f}) {
        ExpectSevenDigitsLikeGeneralText(f);
        ExpectSevenDigitsLikeGeneralText(-f);
    }
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t bits = static_cast<std::uint32_t>(random());
        // Mostly magnitudes a program uses (1e-5 .. 1e8), some from the whole range.
        if (i % 4 != 0) bits = (bits & 0x807fffffu) | ((100u + (bits >> 23) % 40u) << 23);
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) continue;
        ExpectSevenDigitsLikeGeneralText(f);
    }
    // Every multiple of 0.0005 up to 100: the values a program is written with.
    for (int k = 0; k <= 200000; ++k) ExpectSevenDigitsLikeGeneralText(static_cast<float>(k * 0.0005));
}

TEST(WordValue, SingleRangeLimit) {
    EXPECT_TRUE(FitsSingle(3.4028234663852886e38));
    EXPECT_FALSE(FitsSingle(3.5e38));
    EXPECT_FALSE(FitsSingle(-3.5e38));
    EXPECT_FALSE(FitsSingle(std::nan("")));
    EXPECT_TRUE(FitsSingle(1e-50));
}

// ---- the scanner against its literal form --------------------------------------------------------

using testing_support::ExpectSameScanState;

// Words read where they lie give what reading back their collected and rounded text gives:
// program words, long and short decimals, expressions, symbolic words and comments.
TEST(ScanInPlace, ReadsEveryWordAsItsTextReadsBack) {
    const std::vector<std::string> pieces = {"X",        "Z",
                                             "G",        "X-",
                                             "Z+",       "X.",
                                             "0",        "1",
                                             "5",        "9",
                                             ".",        ",",
                                             "-",        "+",
                                             "*",        "/",
                                             "=",        " ",
                                             "\t",       "(",
                                             ")",        "P",
                                             "00",       "28.",
                                             "17.7",     "123.456789",
                                             "0.0001",   "16777216",
                                             "1e5",      "\n",
                                             "99999999", "0.000000001",
                                             "3.4E38",   "1000000000000000000000000000000000000000"};
    std::mt19937 random(1977);
    for (int i = 0; i < 100000; ++i) {
        std::string line;
        const int count = static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) {
            line += pieces[random() % pieces.size()];
        }
        for (const bool open : {false, true}) {
            ScanState fast = Before(), literal = Before();
            fast.InComment = literal.InComment = open;
            fast.LineText = literal.LineText = line;
            ScanNcLine(fast);
            reference::ScanNcLine(literal);
            ExpectSameScanState(fast, literal, line);
        }
    }
}

// Multiples of 0.0001 up to 1000 (every 101st), as a program writes them, and their negatives.
TEST(ScanInPlace, ReadsProgramDecimalsAsTheirTextReadsBack) {
    for (int k = 0; k <= 10000000; k += 101) {
        const std::string number = FormatPattern(k * 0.0001, "###0.0000");
        for (const std::string& line : {"X" + number, "Z-" + number, "X" + number + ".", "Z" + number + "0 X1"}) {
            ScanState fast = Before(), literal = Before();
            fast.LineText = literal.LineText = line;
            ScanNcLine(fast);
            reference::ScanNcLine(literal);
            ExpectSameScanState(fast, literal, line);
        }
    }
}

// Words with more of the line after them are read in larger pieces: each gives what its text
// reads back, with every count of digits before and after the point and every sign.
TEST(ScanInPlace, ReadsWordsWithTextAfterThemAsTheirTextReadsBack) {
    const std::vector<std::string> tails = {"", " ", std::string(30, ' '), " M8 F12.7 S700 T0101 M42 ",
                                            "X1 Z2\t(note)  "};
    std::mt19937 random(2012);
    for (int i = 0; i < 60000; ++i) {
        std::string word(1, "XZ"[random() % 2]);
        if (const auto sign = random() % 3; sign != 0) word += "-+"[sign - 1];
        const int whole = static_cast<int>(random() % 11), decimals = static_cast<int>(random() % 11);
        for (int k = 0; k < whole; ++k) word += static_cast<char>('0' + random() % (k == 0 ? 3 : 10));
        if (random() % 4 != 0) word += '.';
        for (int k = 0; k < decimals; ++k) word += static_cast<char>('0' + random() % 10);
        if (random() % 8 == 0) word += ".5";  // a second point ends the word
        for (const std::string& tail : tails) {
            const std::string line = word + tail;
            ScanState fast = Before(), literal = Before();
            fast.LineText = literal.LineText = line;
            ScanNcLine(fast);
            reference::ScanNcLine(literal);
            ExpectSameScanState(fast, literal, line);
        }
    }
}

// ---- a whole text, line after line ------------------------------------------------------------------

// Walking a text finds each CR LF as it scans and leaves what scanning each line alone leaves; a
// last line without CR LF is not scanned.
TEST(ScanWalk, ScansEachLineOfATextAsThatLineAlone) {
    std::mt19937 random(1990);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = testing_support::RandomNcText(random, 40);
        for (const bool open : {false, true}) {
            ScanState walked = Before(), alone = Before();
            walked.InComment = alone.InComment = open;
            std::size_t start = 0;
            for (;;) {
                const std::size_t cr = text.find("\r\n", start);
                const std::size_t end = ScanNextNcLine(walked, text, start);
                if (cr == std::string::npos) {
                    ASSERT_EQ(end, std::string_view::npos) << text;
                    break;
                }
                ASSERT_EQ(end, cr) << text;
                const std::string line = text.substr(start, cr - start);
                ScanNcLine(alone, line);
                ExpectSameScanState(walked, alone, text);
                start = cr + 1;  // the next line starts with the LF
            }
            ExpectSameScanState(walked, alone, text);  // the unfinished last line left both as they were
        }
    }
}

// ---- robustness -----------------------------------------------------------------------------------

TEST(ScanRobustness, BytesOfEveryValueNeitherCrashNorLoop) {
    std::string line;
    for (int c = 0; c < 256; ++c) line += static_cast<char>(c);
    ScanState s = Scan(line + line);
    EXPECT_EQ(s.GValue, 0);     // "GH": a G without number
    EXPECT_EQ(s.XValue, OldX);  // "XYZ...": symbolic, and it swallows the Z
    EXPECT_EQ(s.ZValue, OldZ);
    EXPECT_FALSE(s.InComment);  // every "(" is closed by the ")" right after it
    s = Scan(std::string(100000, 'X'));
    EXPECT_EQ(s.XValue, OldX);
    s = Scan(std::string(100000, '9'));
    EXPECT_EQ(s.XValue, OldX);
    s = Scan("X" + std::string(100000, '9'));
    EXPECT_EQ(s.XValue, OldX);  // beyond the single-precision range
    s = Scan("X" + std::string(100000, '-') + "5");
    EXPECT_EQ(s.XValue, 0);  // an operator before an operator makes the rest symbolic
}

}  // namespace
}  // namespace quillane
