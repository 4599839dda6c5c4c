// What the two plots share: a picture that records into a Drawing, bounded loops, the line walk.
#include "ncplot/plot_picture.h"

#include "ncplot/word_value.h"

namespace quillane::plot {
namespace {

void Check(double value) {
    if (!FitsSingle(value)) throw PictureFailure{};
}

void Check(DrawPoint p) {
    Check(p.X);
    Check(p.Y);
}

}  // namespace

void Picture::SetScale(double left, double top, double width, double height) {
    drawing_.Scale = MakeUserScale(left, top, width, height);
    if (!drawing_.Scale) throw PictureFailure{};
}

void Picture::Line(DrawPoint from, DrawPoint to, Color colour, LineStyle style, int ncLine) {
    Check(from);
    Check(to);
    Primitive& p = drawing_.Items.emplace_back();
    p.Kind = PrimitiveKind::Line;
    p.At = from;
    p.To = to;
    p.Colour = colour;
    p.Style = style;
    p.NcLine = ncLine;
}

void Picture::Dot(DrawPoint at, Color colour, int ncLine) {
    Check(at);
    Primitive& p = drawing_.Items.emplace_back();
    p.Kind = PrimitiveKind::Dot;
    p.At = at;
    p.Colour = colour;
    p.NcLine = ncLine;
}

void Picture::Circle(DrawPoint centre, double radius, Color colour, int ncLine) {
    Check(centre);
    Check(radius);
    Primitive& p = drawing_.Items.emplace_back();
    p.Kind = PrimitiveKind::Circle;
    p.At = centre;
    p.Radius = radius;
    p.Colour = colour;
    p.NcLine = ncLine;
}

void Picture::Text(DrawPoint at, std::string text) {
    Check(at);
    Primitive& p = drawing_.Items.emplace_back();
    p.Kind = PrimitiveKind::Text;
    p.At = at;
    p.Colour = Label;
    p.FontSize = LabelFontSize;
    p.Text = std::move(text);
}

std::int16_t ToInt16(double value) {
    if (!std::isfinite(value)) throw PictureFailure{};
    double r = std::floor(value);
    const double diff = value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (r < -32768.0 || r > 32767.0) throw PictureFailure{};
    return static_cast<std::int16_t>(r);
}

}  // namespace quillane::plot
