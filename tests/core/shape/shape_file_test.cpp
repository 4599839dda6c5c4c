// Shape files for the command line: values as the dialog reads them, and clear errors.
#include "core/shape/shape_file.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quillane {
namespace {

std::string ErrorOf(const std::string& text) {
    try {
        ParseShapeFile(text, "groove.toml");
    } catch (const ShapeFileError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ShapeFile, TextsAndNumbersReadAsTheDialogWould) {
    const ShapeFile f = ParseShapeFile(
        "Side = \"External\"\nPitch = \"12.7mm\"\nWidth = 3\nD1 = 36.5\nD3 = \"1,5\"\nR2 = 1e-3\n"
        "Feed = [0.5, \"0.25\", 1]\nOutputType = \"FANUC\"\nSequenceNumbers = false\n",
        "groove.toml");
    ShapeData s;
    ReadShapeBoxes(f.Boxes, s);
    EXPECT_EQ(s.Side, 1);
    EXPECT_EQ(s.Pitch, 12.7);
    EXPECT_EQ(s.Width, 3);
    EXPECT_EQ(s.D1, 36.5);
    EXPECT_EQ(s.D3, 1);
    EXPECT_EQ(s.R2, 1e-3);
    EXPECT_EQ(s.NoseR, 0);  // absent means an empty box
    EXPECT_EQ(s.Feed[0], 0.5f);
    EXPECT_EQ(s.Feed[1], 0.25f);
    EXPECT_EQ(s.Feed[2], 1.0f);
    EXPECT_EQ(s.Feed[3], 0.0f);
    const OutputOptions o = OptionsFor(f, OutputOptions{});
    EXPECT_TRUE(o.Fanuc);
    EXPECT_FALSE(o.Trv);
    EXPECT_FALSE(o.SequenceNumbers);
    EXPECT_TRUE(o.OutputModin);  // not in the file: the command line's
}

TEST(ShapeFile, AbsentSideIsInternal) {
    ShapeData s;
    ReadShapeBoxes(ParseShapeFile("Pitch = 1", "g.toml").Boxes, s);
    EXPECT_EQ(s.Side, -1);
}

TEST(ShapeFile, EveryNumberKeepsItsExactValue) {
    for (double v : {0.1, 12.7005, 1e-300, 1.7976931348623157e308, -2.5, 17.7 - 12.5}) {
        ShapeData s;
        char text[64];
        std::snprintf(text, sizeof text, "Pitch = %.17g", v);
        ReadShapeBoxes(ParseShapeFile(text, "g.toml").Boxes, s);
        EXPECT_EQ(s.Pitch, v) << text;
    }
}

TEST(ShapeFile, ToolAngleIsForTheCheckAndLeavesTheRecordAlone) {
    const std::string groove = "Side = \"Internal\"\nPitch = 12.7\nA1 = 60\nFeed = [0.5]\n";
    const ShapeFile plain = ParseShapeFile(groove, "g.toml");
    EXPECT_FALSE(plain.ToolAngle);
    for (const auto& [value, angle] : {std::pair{"60", 60.0}, {"\"60deg\"", 60.0}, {"0", 0.0}, {"179.5", 179.5}}) {
        const ShapeFile with = ParseShapeFile(groove + "ToolAngle = " + value + "\n", "g.toml");
        EXPECT_EQ(with.ToolAngle, angle) << value;
        EXPECT_EQ(with.Boxes.Text, plain.Boxes.Text);
        EXPECT_EQ(with.Boxes.Feed, plain.Boxes.Feed);
        EXPECT_EQ(with.Boxes.External, plain.Boxes.External);
    }
    for (const char* bad : {"180", "-1", "\"200\""}) {
        EXPECT_EQ(ErrorOf(std::string("ToolAngle = ") + bad),
                  "groove.toml:1: key \"ToolAngle\": expected an angle from 0 up to below 180 degrees")
            << bad;
    }
}

TEST(ShapeFile, ErrorsNameTheFileTheLineAndTheKey) {
    EXPECT_EQ(ErrorOf("Pitch = 12.7\nPich = 3\n"), "groove.toml:2: key \"Pich\": unknown key");
    EXPECT_EQ(ErrorOf("Side = \"Outside\""), "groove.toml:1: key \"Side\": expected \"External\" or \"Internal\"");
    EXPECT_EQ(ErrorOf("\n\nD1 = true"), "groove.toml:3: key \"D1\": expected a number or a text");
    EXPECT_EQ(ErrorOf("Feed = [1,2,3,4,5,6,7,8,9]"), "groove.toml:1: key \"Feed\": more than 8 feeds");
    EXPECT_EQ(ErrorOf("D1 = inf"), "groove.toml:1: key \"D1\": expected a finite number");
    EXPECT_EQ(ErrorOf("OutputModin = 1"), "groove.toml:1: key \"OutputModin\": expected true or false");
    EXPECT_EQ(ErrorOf("OutputType = \"G32\""), "groove.toml:1: key \"OutputType\": expected \"TRV\" or \"FANUC\"");
    const std::string syntax = ErrorOf("Pitch = 12.7\nWidth = = 3\n");
    EXPECT_EQ(syntax.rfind("groove.toml:2: ", 0), 0u) << syntax;
}

// Beyond ASCII comments may hold any character and texts all but those the reader's blank test
// fails on (toml_guard.h); the reader is never handed one where it would test it.
TEST(ShapeFile, CharactersTheReaderMistakesAreRefusedBeforeReading) {
    const std::string outside =
        " cannot be read there: beyond ASCII, a character may stand only in a text or a comment";
    const auto inText = [](const char* escape) {
        return std::string(" cannot be read in a text as it stands: write it as \\u") + escape +
               " there (and not after a backslash)";
    };
    EXPECT_EQ(ErrorOf("Pitch = 12.7\nWidth = \u00e93\n"), "groove.toml:2: U+00E9 at column 9" + outside);
    EXPECT_EQ(ErrorOf("D1 = \xff"), "groove.toml:1: byte 0xFF at column 6" + outside);
    EXPECT_EQ(ErrorOf("D1 =\u3000 36"), "groove.toml:1: U+3000 at column 5" + outside);
    EXPECT_EQ(ErrorOf("D2 = \"\"\"a\"\"\"\" \ufebf\n"), "groove.toml:1: U+FEBF at column 15" + outside);
    EXPECT_EQ(ErrorOf("D1 = 'a' # \u00d8\n\u00d8D2 = 1"), "groove.toml:2: U+00D8 at column 1" + outside);
    // A wrong value is read on to the next blank, also into what would be a text.
    EXPECT_EQ(ErrorOf("D1 = +\"\" \"x\u00e0\""), "groove.toml:1: U+00E0 at column 12" + inText("00E0"));
    EXPECT_EQ(ErrorOf("D1 = \"\"\"a\\\u00e9\"\"\""), "groove.toml:1: U+00E9 at column 11" + inText("00E9"));
    EXPECT_EQ(ErrorOf("D1 = \"\"\"a\\ \r\n  \u2000\"\"\""), "groove.toml:2: U+2000 at column 3" + inText("2000"));
    const ShapeFile read = ParseShapeFile(
        "# \u00d8 29, \ufebf\nD1 = \"\u4e2d \\\" 29\"\nD2 = '\u4e2d'\nD3 = \"\"\"\n\u2000\"\"\"\"\nA1 = '''\u4e2d''''\n"
        "R1 = \"\\u00d8 29\"\n",
        "groove.toml");
    EXPECT_EQ(read.Boxes.Text[3], "\u4e2d \" 29");
    EXPECT_EQ(read.Boxes.Text[4], "\u4e2d");
    EXPECT_EQ(read.Boxes.Text[17], "\u2000\"");
    EXPECT_EQ(read.Boxes.Text[5], "\u4e2d'");
    EXPECT_EQ(read.Boxes.Text[7], "\u00d8 29");
}

TEST(ShapeFile, SeveralRunsInOneFileAreRefusedSayingWhy) {
    const std::string hint =
        " (a shape file holds one run, one press of \"Program Output\": give each run a file of its own)";
    EXPECT_EQ(ErrorOf("[roughing]\nPitch = 12.7\n"), "groove.toml:1: key \"roughing\": a table of its own" + hint);
    EXPECT_EQ(ErrorOf("Pitch = 1\n[[run]]\nPitch = 12.7\n"), "groove.toml:2: key \"run\": a table of its own" + hint);
    // Two files put together: the second defines the keys again.
    const std::string twice = ErrorOf("Pitch = 12.7\nWidth = 3\nPitch = 12.7\n");
    EXPECT_EQ(twice.rfind("groove.toml:3: ", 0), 0u) << twice;
    EXPECT_NE(twice.find(hint), std::string::npos) << twice;
}

// What the window's Save Shape As writes reads back as the same boxes and options.
TEST(ShapeFile, WrittenFilesReadBackAsTheSameBoxesAndOptions) {
    ShapeBoxTexts boxes;
    boxes.External = true;
    const char* texts[] = {"0.4",   "12.7mm", "3",   "-80", "1E+15", "007", "1,5",  "+5",  "a\"b\\c",
                           "tab\t", "",       "0.1", "inf", "1e5",   "-0",  "Ø 29", "1_0", "x\ny = 1"};
    for (std::size_t i = 0; i < boxes.Text.size(); ++i) boxes.Text[i] = texts[i];
    boxes.Feed = {"0.5", "", "0.25mm", "1", "", "", "", ""};
    for (const bool fanuc : {false, true}) {
        OutputOptions options;
        options.Fanuc = fanuc;
        options.Trv = !fanuc;
        options.SequenceNumbers = fanuc;
        options.OutputModin = !fanuc;
        const std::string text = ShapeFileText(boxes, options);
        const ShapeFile read = ParseShapeFile(text, "written.toml");
        EXPECT_EQ(read.Boxes.External, boxes.External);
        EXPECT_EQ(read.Boxes.Text, boxes.Text) << text;
        EXPECT_EQ(read.Boxes.Feed, boxes.Feed) << text;
        const OutputOptions back = OptionsFor(read, OutputOptions{});
        EXPECT_EQ(back.Fanuc, fanuc);
        EXPECT_EQ(back.Trv, !fanuc);
        EXPECT_EQ(back.SequenceNumbers, options.SequenceNumbers);
        EXPECT_EQ(back.OutputModin, options.OutputModin);
    }
}

TEST(ShapeFile, WrittenNumbersAreNumbersAndOtherTextsAreTexts) {
    ShapeBoxTexts boxes;
    boxes.Text[1] = "12.7";    // Pitch
    boxes.Text[14] = "-80";    // EndPointZ
    boxes.Text[3] = "36.50";   // D1: not the number's own form
    boxes.Text[16] = "28 mm";  // RetractX
    boxes.Feed[0] = "0.5";
    const std::string text = ShapeFileText(boxes, OutputOptions{});
    for (const char* line : {"Side = \"Internal\"\n", "\nPitch = 12.7\n", "\nEndPointZ = -80\n", "\nD1 = \"36.50\"\n",
                             "\nRetractX = \"28 mm\"\n", "\nFeed = [0.5]\n", "\nOutputType = \"TRV\"\n",
                             "\nSequenceNumbers = true\n", "\nOutputModin = true\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_EQ(text.find("Width"), std::string::npos) << "an empty box is left out";
}

}  // namespace
}  // namespace quillane
