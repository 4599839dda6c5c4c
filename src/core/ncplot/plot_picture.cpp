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
    const auto index = static_cast<std::uint32_t>(drawing_.Texts.size());
    drawing_.Texts.push_back(std::move(text));
    Add([&](Primitive& p) {
        Set(p, PrimitiveKind::Text, a, Label, NoNcLine);
        p.FontSize = LabelFontSize;
        p.Text = index;
    });
}

void Picture::MakeRoom() {
    std::vector<Primitive>& items = drawing_.Items;
    items.reserve(std::max<std::size_t>(64, 2 * items.size()));
}

void Picture::Drain() {
    if (!drain_ || !drawing_.Scale) return;
    drain_(drawing_);
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
