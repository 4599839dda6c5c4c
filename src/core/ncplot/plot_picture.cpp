// What the two plots share: a picture that records into a Drawing, bounded loops, the line walk.
#include "core/ncplot/plot_picture.h"

#include "core/ncplot/word_value.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

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

void Picture::ReserveFor(std::size_t textSize) {
    std::vector<Primitive>& items = drawing_.Items;
    const bool fresh = items.capacity() == 0;
    items.reserve(drain_ ? DrainAt : 64 + textSize / 6);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Fresh storage for a large program is faulted in a large page at a time as the items are
    // written, rather than in thousands of small ones: the pages' faults had cost a third of a
    // plot that does not recycle a picture.
    constexpr std::uintptr_t page = 4096;
    const auto begin = reinterpret_cast<std::uintptr_t>(items.data());
    const std::uintptr_t end = begin + items.capacity() * sizeof(Primitive);
    const std::uintptr_t from = (begin + page - 1) & ~(page - 1), to = end & ~(page - 1);
    if (fresh && to > from && to - from >= (std::uintptr_t{8} << 20)) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
#endif
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
