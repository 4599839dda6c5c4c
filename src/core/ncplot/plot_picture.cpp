// What the two plots share: a picture that records into a Drawing, bounded loops, the line walk.
#include "core/ncplot/plot_picture.h"

#include "core/ncplot/word_value.h"

namespace quillane::plot {

void Picture::SetScale(double left, double top, double width, double height) {
    drawing_.Scale = MakeUserScale(left, top, width, height);
    if (!drawing_.Scale) throw PictureFailure{};
}

void Picture::Text(Point at, std::string text) {
    const DrawPoint a = Single(at);
    Primitive& p = drawing_.Items.emplace_back();
    p.Kind = PrimitiveKind::Text;
    p.At = a;
    p.Colour = Label;
    p.FontSize = LabelFontSize;
    p.Text = static_cast<std::uint32_t>(drawing_.Texts.size());
    drawing_.Texts.push_back(std::move(text));
    Added();
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
