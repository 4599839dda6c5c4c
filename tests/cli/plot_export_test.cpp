// Plot pictures on screen and on disk: the QPainter renderer and quillane-cli plot.
#include "cli/commands.h"
#include "qt/drawing_painter.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quillane {
namespace {

// ---- painter --------------------------------------------------------------------------------------

constexpr Color Red = Color::Rgb(255, 0, 0);
constexpr Color Back = Color::Rgb(8, 0, 0);

Primitive LineItem(DrawPoint from, DrawPoint to, Color colour) {
    Primitive p;
    p.Kind = PrimitiveKind::Line;
    p.At = from;
    p.To = to;
    p.Colour = colour;
    return p;
}

QImage Paint(const Drawing& d, int width = 200, int height = 100, const QPalette& palette = QPalette()) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintDrawing(painter, d, QRectF(0, 0, width, height), palette);
    return image;
}

Drawing Scaled(float left, float top, float width, float height) {
    Drawing d;
    d.Background = Back;
    d.Scale = UserScale{left, top, width, height};
    return d;
}

TEST(Painter, UserScaleFillsTheTarget) {
    Drawing d = Scaled(0, 0, 100, 50);
    d.Items.push_back(LineItem({10, 10}, {90, 10}, Red));
    const QImage image = Paint(d);
    EXPECT_EQ(image.pixelColor(100, 20), QColor(255, 0, 0));  // (50, 10) -> twice the size
    EXPECT_EQ(image.pixelColor(100, 60), QColor(8, 0, 0));
    EXPECT_EQ(image.pixelColor(10, 20), QColor(8, 0, 0));  // the line starts at x 20
}

TEST(Painter, NegativeWidthRunsRightToLeft) {
    Drawing d = Scaled(100, 0, -100, 50);
    d.Items.push_back(LineItem({10, 0}, {10, 50}, Red));
    const QImage image = Paint(d);
    EXPECT_EQ(image.pixelColor(180, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(20, 50), QColor(8, 0, 0));
}

TEST(Painter, SystemColoursComeFromThePalette) {
    QPalette palette;
    palette.setColor(QPalette::Dark, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    Drawing d = Scaled(0, 0, 100, 50);
    d.Background = Color::System(ColorRole::ButtonFace);
    d.Items.push_back(LineItem({50, 0}, {50, 50}, Color::System(ColorRole::ButtonShadow)));
    const QImage image = Paint(d, 200, 100, palette);
    EXPECT_EQ(image.pixelColor(100, 50), QColor(1, 2, 3));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(4, 5, 6));
}

TEST(Painter, WithoutScaleOnlyTheBackground) {
    Drawing d;
    d.Background = Back;
    d.Items.push_back(LineItem({0, 0}, {1000, 1000}, Red));
    const QImage image = Paint(d);
    for (int x = 0; x < 200; x += 7) {
        for (int y = 0; y < 100; y += 7) ASSERT_EQ(image.pixelColor(x, y), QColor(8, 0, 0));
    }
}

TEST(Painter, HugeCoordinatesAreClippedNotLost) {
    Drawing d = Scaled(0, 0, 100, 50);
    d.Items.push_back(LineItem({-3e38f, 25}, {3e38f, 25}, Red));
    Primitive ring;
    ring.Kind = PrimitiveKind::Circle;
    ring.At = {3e38f, 3e38f};
    ring.Radius = 3e38f;
    ring.Colour = Red;
    d.Items.push_back(ring);
    const QImage image = Paint(d);
    EXPECT_EQ(image.pixelColor(5, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(195, 50), QColor(255, 0, 0));
}

TEST(Painter, CircleRadiusInHorizontalUnits) {
    Drawing d = Scaled(0, 0, 100, 100);  // 2 pixels per unit across, 1 down
    Primitive ring;
    ring.Kind = PrimitiveKind::Circle;
    ring.At = {50, 50};
    ring.Radius = 10;
    ring.Colour = Red;
    d.Items.push_back(ring);
    const QImage image = Paint(d);
    EXPECT_GT(image.pixelColor(120, 50).red(), 100);  // 20 pixels right
    EXPECT_GT(image.pixelColor(100, 30).red(), 100);  // and 20 pixels up: round on screen
    EXPECT_EQ(image.pixelColor(100, 50), QColor(8, 0, 0));
}

TEST(Painter, DotIsVisible) {
    Drawing d = Scaled(0, 0, 100, 50);
    Primitive dot;
    dot.Kind = PrimitiveKind::Dot;
    dot.At = {50, 25};
    dot.Colour = Red;
    d.Items.push_back(dot);
    EXPECT_GT(Paint(d).pixelColor(100, 50).red(), 100);
}

TEST(Painter, DrawingPositionInvertsTheScale) {
    Drawing d = Scaled(-91.04f, -16.7f, 132.48f, 4.2f);
    const QRectF target(10, 20, 1200, 500);
    const QPointF p = DrawingPosition(d, target, QPointF(10 + 600, 20 + 250));
    EXPECT_NEAR(p.x(), -91.04 + 132.48 / 2, 1e-4);
    EXPECT_NEAR(p.y(), -16.7 + 4.2 / 2, 1e-5);
    EXPECT_EQ(DrawingPosition(Drawing{}, target, QPointF(15, 27)), QPointF(5, 7));
}

// ---- quillane-cli plot -----------------------------------------------------------------------------

class PlotCommand : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("quillane-plot-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Write("program.nc", "G00 X28. Z50. S700 M4\r\nG00 X32. Z17.7 M8\r\nG32 Z-80. F12.7\r\nG00 X28.\r\n");
        Write("shape.toml", "Pitch = 12.7\nD1 = 30\nD2 = 27\nBlankDiaX = 29\nStartPointZ = 17.7\nEndPointZ = -80\n");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        std::ostringstream s;
        s << file.rdbuf();
        return s.str();
    }
    int Run(std::vector<std::string> args) {
        std::ostringstream out;
        err_.str("");
        return cli::RunPlot(args, out, err_);
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
        return n;
    }

    std::filesystem::path dir_;
    std::ostringstream err_;
};

TEST_F(PlotCommand, CuttingGraphicAsJson) {
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("plot.json"), Path("program.nc")}),
              cli::ExitOk)
        << err_.str();
    const std::string json = Read("plot.json");
    EXPECT_EQ(json.rfind("{\"background\":\"#080000\",\"scale\":{\"left\":", 0), 0u);
    EXPECT_EQ(Count(json, "\"kind\":\"circle\""), 16);
    EXPECT_EQ(Count(json, "\"color\":\"#800080\""), 2);  // the two rapid moves
    EXPECT_NE(json.find("\"readoutVisible\":true,\"crosshair\":true,\"untouched\":false}"), std::string::npos);
}

TEST_F(PlotCommand, LoneLineFeedsAreReadAsCrLf) {
    Write("lf.nc", "G00 X28. Z50. S700 M4\nG00 X32. Z17.7 M8\nG32 Z-80. F12.7\nG00 X28.\n");
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("a.json"), Path("program.nc")}), 0);
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("b.json"), Path("lf.nc")}), 0);
    EXPECT_EQ(Read("a.json"), Read("b.json"));
}

TEST_F(PlotCommand, PointGraphicAsJson) {
    Write("points.txt", "(POINTS)\r\nN001 X32 Z17.7\r\nN002 X32 Z17.5\r\n");
    ASSERT_EQ(Run({"--points", "--shape", Path("shape.toml"), "-o", Path("p.json"), Path("points.txt")}), 0);
    const std::string json = Read("p.json");
    EXPECT_NE(json.find("{\"kind\":\"dot\",\"at\":[0,-16],\"color\":\"#ffff00\",\"line\":1}"), std::string::npos);
    EXPECT_NE(json.find("\"scale\":{\"left\":-0.762,\"top\":-16.7,\"width\":14.986,\"height\":3.9}"),
              std::string::npos);
}

TEST_F(PlotCommand, NoProgramGeneratedLeavesAFreshPicture) {
    Write("backwards.toml", "Pitch = 1\nD1 = 30\nD2 = 27\nStartPointZ = -90\nEndPointZ = -80\n");
    ASSERT_EQ(Run({"--cutting", "--shape", Path("backwards.toml"), "-o", Path("u.json"), Path("program.nc")}), 0);
    EXPECT_EQ(Read("u.json"),
              "{\"background\":\"buttonface\",\"scale\":null,\"items\":[],\"readoutVisible\":false,"
              "\"crosshair\":false,\"untouched\":true}\n");
}

TEST_F(PlotCommand, PngAtTheDefaultAndAGivenSize) {
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("plot.png"), Path("program.nc")}), 0)
        << err_.str();
    QImage image(QString::fromStdString(Path("plot.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1200, 500));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(8, 0, 0));

    ASSERT_EQ(Run({"--points", "--size", "300x200", "--shape", Path("shape.toml"), "-o", Path("small.PNG"),
                   Path("program.nc")}),
              0);
    EXPECT_EQ(QImage(QString::fromStdString(Path("small.PNG"))).size(), QSize(300, 200));
}

TEST_F(PlotCommand, Svg) {
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("plot.svg"), Path("program.nc")}), 0);
    const std::string svg = Read("plot.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("X31"), std::string::npos);
}

TEST_F(PlotCommand, ALongProgramsSvgHoldsWhatCanBeSeen) {
    // 60,000 passes 0.002 mm apart, a quarter of them starting left of the picture: four moves
    // and two rings each.
    std::string program = "G00 X28. Z50. S700 M4\r\n";
    for (int i = 0; i < 60000; ++i) {
        const std::string z = std::to_string(17.7 - 0.002 * i);
        program += "G00 X32. Z" + z + "\r\nG32 Z-80. F12.7\r\nG00 X28.\r\nG00 Z" + z + "\r\n";
    }
    Write("long.nc", program);
    ASSERT_EQ(Run({"--cutting", "--shape", Path("shape.toml"), "-o", Path("long.svg"), Path("long.nc")}), 0);
    const std::string svg = Read("long.svg");
    const int items = Count(svg, "<polyline") + Count(svg, "<circle");
    EXPECT_GT(items, 100);
    EXPECT_LT(items, 36000);  // a tenth of what was drawn: what the pixels can tell apart
}

TEST_F(PlotCommand, ShapeThatFailsAtReadingIsADataError) {
    Write("bad.toml", "Pitch = \"1E999\"\nD1 = 30\n");
    EXPECT_EQ(Run({"--cutting", "--shape", Path("bad.toml"), "-o", Path("x.json"), Path("program.nc")}),
              cli::ExitDataError);
    EXPECT_EQ(err_.str().rfind("Data error ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(Path("x.json")));
}

struct UsageCase {
    const char* Name;
    std::vector<std::string> Args;
};

class PlotUsage : public PlotCommand, public testing::WithParamInterface<UsageCase> {};

TEST_P(PlotUsage, RefusedWithUsage) {
    std::vector<std::string> args;
    for (const std::string& a : GetParam().Args) args.push_back(a.find('@') == 0 ? Path(a.substr(1)) : a);
    EXPECT_EQ(Run(args), cli::ExitUsage);
    EXPECT_FALSE(err_.str().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PlotUsage, testing::Values(
    UsageCase{"NoKind", {"--shape", "@shape.toml", "-o", "@x.json", "@program.nc"}},
    UsageCase{"BothKinds", {"--cutting", "--points", "--shape", "@shape.toml", "-o", "@x.json", "@program.nc"}},
    UsageCase{"NoShape", {"--cutting", "-o", "@x.json", "@program.nc"}},
    UsageCase{"NoOutput", {"--cutting", "--shape", "@shape.toml", "@program.nc"}},
    UsageCase{"NoProgram", {"--cutting", "--shape", "@shape.toml", "-o", "@x.json"}},
    UsageCase{"TwoPrograms", {"--cutting", "--shape", "@shape.toml", "-o", "@x.json", "@program.nc", "@program.nc"}},
    UsageCase{"ZeroSize", {"--cutting", "--size", "0x10", "--shape", "@shape.toml", "-o", "@x.png", "@program.nc"}},
    UsageCase{"BadSize", {"--cutting", "--size", "big", "--shape", "@shape.toml", "-o", "@x.png", "@program.nc"}},
    UsageCase{"HugeSize", {"--cutting", "--size", "99999x10", "--shape", "@shape.toml", "-o", "@x.png", "@program.nc"}},
    UsageCase{"UnknownFormat", {"--cutting", "--shape", "@shape.toml", "-o", "@x.bmp", "@program.nc"}},
    UsageCase{"UnknownOption", {"--cutting", "--fast", "--shape", "@shape.toml", "-o", "@x.json", "@program.nc"}},
    UsageCase{"MissingProgram", {"--cutting", "--shape", "@shape.toml", "-o", "@x.json", "@none.nc"}},
    UsageCase{"MissingShape", {"--cutting", "--shape", "@none.toml", "-o", "@x.json", "@program.nc"}}),
    test::ByNameField());
// clang-format on

}  // namespace
}  // namespace quillane
