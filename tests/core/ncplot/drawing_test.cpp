// Drawing: the scale a picture accepts, the fresh picture and the JSON form.
#include "core/ncplot/drawing.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

namespace quillane {
namespace {

struct ScaleCase {
    const char* Name;
    double Left, Top, Width, Height;
    bool Accepted;
};

class UserScaleRule : public testing::TestWithParam<ScaleCase> {};

TEST_P(UserScaleRule, ZeroOrUnrepresentableIsRefused) {
    const ScaleCase& c = GetParam();
    EXPECT_EQ(MakeUserScale(c.Left, c.Top, c.Width, c.Height).has_value(), c.Accepted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, UserScaleRule, testing::Values(
    ScaleCase{"Ordinary", -91.04, -16.7, 132.48, 4.2, true},
    ScaleCase{"NegativeWidthFlips", 1, 1, -5, 2, true},
    ScaleCase{"ZeroWidth", 0, 0, 0, 1, false},
    ScaleCase{"ZeroHeight", 0, 0, 1, 0, false},
    ScaleCase{"HeightRoundsToZero", 0, 0, 1, 1e-50, false},
    ScaleCase{"WidthBeyondSingle", 0, 0, 1e39, 1, false},
    ScaleCase{"LeftBeyondSingle", -1e39, 0, 1, 1, false},
    ScaleCase{"TopNotANumber", 0, std::nan(""), 1, 1, false},
    ScaleCase{"InfiniteHeight", 0, 0, 1, INFINITY, false}),
    test::ByNameField());
// clang-format on

TEST(UserScaleRule, KeepsSinglePrecisionValues) {
    const auto s = MakeUserScale(-91.04, -16.7, 132.48, 4.2);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->Left, -91.04f);
    EXPECT_EQ(s->Height, 4.2f);
}

TEST(FreshPicture, ButtonFaceWithoutScale) {
    const Drawing d = FreshPicture();
    EXPECT_EQ(d.Background, Color::System(ColorRole::ButtonFace));
    EXPECT_FALSE(d.Scale.has_value());
    EXPECT_TRUE(d.Items.empty());
    EXPECT_FALSE(d.ReadoutVisible);
}

Drawing Sample() {
    Drawing d;
    d.Background = Color::Rgb(8, 0, 0);
    d.Scale = UserScale{-91.04f, -16.7f, 132.48f, 4.2f};
    Primitive line;
    line.Kind = PrimitiveKind::Line;
    line.At = {17.7f, -16};
    line.To = {0.1f + 0.2f, -16};
    line.Colour = Color::Rgb(255, 255, 0);
    line.NcLine = 2;
    d.Items.push_back(line);
    Primitive grid = line;
    grid.Colour = Color::System(ColorRole::ButtonShadow);
    grid.Style = LineStyle::Dotted;
    grid.NcLine = NoNcLine;
    d.Items.push_back(grid);
    Primitive dot;
    dot.Kind = PrimitiveKind::Dot;
    dot.At = {50, -14};
    dot.Colour = Color::Rgb(255, 255, 0);
    dot.NcLine = 0;
    d.Items.push_back(dot);
    Primitive ring;
    ring.Kind = PrimitiveKind::Circle;
    ring.At = {5, -16};
    ring.Radius = 0.05f;
    ring.Colour = Color::Rgb(0, 255, 255);
    ring.NcLine = 2;
    d.Items.push_back(ring);
    Primitive text;
    text.Kind = PrimitiveKind::Text;
    text.At = {-88.2f, -15.6f};
    text.Text = static_cast<std::uint32_t>(d.Texts.size());
    d.Texts.push_back("X\"31\\");
    text.Colour = Color::Rgb(192, 192, 192);
    text.FontSize = 12;
    d.Items.push_back(text);
    d.ReadoutVisible = true;
    d.Crosshair = true;
    return d;
}

// Splices that add and remove lines here and there, above and below the one before, read as the
// same splices with every item after them renumbered at once; also the unnumbered grid items.
TEST(DrawingSplice, ItemsReadTheLinesOfAnEagerRenumbering) {
    std::mt19937 random(7);
    const auto item = [](int line) {
        Primitive p;
        p.NcLine = line;
        return p;
    };
    Drawing lazy;
    std::vector<Primitive> eager;
    for (int i = 0; i < 60; ++i) eager.push_back(item(i % 7 == 0 ? NoNcLine : i));
    lazy.Items = eager;
    for (int edit = 0; edit < 400; ++edit) {
        const std::size_t first = random() % (eager.size() + 1);
        const std::size_t last = first + random() % (eager.size() - first + 1);
        const int lines = static_cast<int>(random() % 7) - 3;
        std::vector<Primitive> with(random() % 4, item(static_cast<int>(random() % 90)));
        if (random() % 5 == 0) with.assign(1, item(NoNcLine));
        lazy.SpliceItems(first, last, with, lines);
        eager.erase(eager.begin() + static_cast<std::ptrdiff_t>(first),
                    eager.begin() + static_cast<std::ptrdiff_t>(last));
        eager.insert(eager.begin() + static_cast<std::ptrdiff_t>(first), with.begin(), with.end());
        for (std::size_t i = first + with.size(); i < eager.size(); ++i) {
            if (eager[i].NcLine != NoNcLine) eager[i].NcLine += lines;
        }
        Drawing settled;
        settled.Items = eager;
        ASSERT_EQ(lazy, settled) << "edit " << edit;
        for (std::size_t i = 0; i < eager.size(); ++i) ASSERT_EQ(lazy.LineOf(i), eager[i].NcLine) << edit << " " << i;
    }
}

TEST(DrawingJson, EveryKindInShortestRoundTripForm) {
    EXPECT_EQ(DrawingJson(Sample()),
              "{\"background\":\"#080000\",\"scale\":{\"left\":-91.04,\"top\":-16.7,\"width\":132.48,\"height\":4.2},"
              "\"items\":[\n"
              "{\"kind\":\"line\",\"from\":[17.7,-16],\"to\":[0.3,-16],\"color\":\"#ffff00\","
              "\"style\":\"solid\",\"line\":2},\n"
              "{\"kind\":\"line\",\"from\":[17.7,-16],\"to\":[0.3,-16],\"color\":\"buttonshadow\","
              "\"style\":\"dotted\",\"line\":null},\n"
              "{\"kind\":\"dot\",\"at\":[50,-14],\"color\":\"#ffff00\",\"line\":0},\n"
              "{\"kind\":\"circle\",\"center\":[5,-16],\"radius\":0.05,\"color\":\"#00ffff\",\"line\":2},\n"
              "{\"kind\":\"text\",\"at\":[-88.2,-15.6],\"text\":\"X\\\"31\\\\\",\"color\":\"#c0c0c0\",\"size\":12}],"
              "\"readoutVisible\":true,\"crosshair\":true,\"untouched\":false}\n");
}

// Keeps what a stream is given, and the largest piece it was given at once.
class PieceRecorder : public std::streambuf {
public:
    std::string Text;
    std::size_t Largest = 0;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Text.append(s, static_cast<std::size_t>(n));
        Largest = std::max(Largest, static_cast<std::size_t>(n));
        return n;
    }
    int_type overflow(int_type ch) override {
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            const char c = traits_type::to_char_type(ch);
            xsputn(&c, 1);
        }
        return traits_type::not_eof(ch);
    }
};

TEST(DrawingJson, StreamedInBoundedPiecesAsTheSameText) {
    Drawing d = Sample();
    const std::vector<Primitive> items = d.Items;
    for (int i = 0; i < 20000; ++i) d.Items.insert(d.Items.end(), items.begin(), items.end());
    PieceRecorder recorder;
    std::ostream out(&recorder);
    WriteDrawingJson(out, d);
    EXPECT_EQ(recorder.Text, DrawingJson(d));
    EXPECT_LT(recorder.Largest, recorder.Text.size() / 10);
}

TEST(DrawingJson, UntouchedFreshPicture) {
    EXPECT_EQ(DrawingJson(FreshPicture(), true),
              "{\"background\":\"buttonface\",\"scale\":null,\"items\":[],\"readoutVisible\":false,"
              "\"crosshair\":false,\"untouched\":true}\n");
}

TEST(DrawingJson, NumbersReadBackExactly) {
    Drawing d;
    Primitive dot;
    dot.Kind = PrimitiveKind::Dot;
    dot.At = {17.5f - 17.7f, 1.0f / 3};
    d.Items.push_back(dot);
    const std::string json = DrawingJson(d);
    const auto at = json.find("\"at\":[") + 6;
    float x = 0, y = 0;
    const auto r1 = std::from_chars(json.data() + at, json.data() + json.size(), x);
    std::from_chars(r1.ptr + 1, json.data() + json.size(), y);
    EXPECT_EQ(x, 17.5f - 17.7f);
    EXPECT_EQ(y, 1.0f / 3);
}

TEST(DrawingJson, ControlCharactersAreEscaped) {
    Drawing d;
    Primitive text;
    text.Kind = PrimitiveKind::Text;
    d.Texts.push_back(std::string("a\nb\x01", 4));
    d.Items.push_back(text);
    EXPECT_NE(DrawingJson(d).find("\"a\\u000ab\\u0001\""), std::string::npos);
}

}  // namespace
}  // namespace quillane
