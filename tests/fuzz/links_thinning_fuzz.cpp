// Fuzz target: the plot links and the thinning on drawings of any coordinates (NaN, infinities,
// the ends of the single-precision range), any line indices and any picture size and view.
// Built with clang's libFuzzer (QUILLANE_FUZZ).
#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_links.h"
#include "core/ncplot/plot_thinning.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace quillane;

// Names the broken rule before the fuzzer reports the crash.
#define Require(condition) Check(condition, __LINE__)
void Check(bool condition, int line) {
    if (condition) return;
    std::fprintf(stderr, "links_thinning_fuzz.cpp:%d: a rule does not hold\n", line);
    std::abort();
}

// Reads raw values off the input; zeros once it runs out.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    template <typename T>
    T Take() {
        T v{};
        const std::size_t n = std::min(sizeof v, size_);
        std::memcpy(&v, data_, n);
        data_ += n;
        size_ -= n;
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The same item, NaN coordinates included.
bool Same(const Primitive& a, const Primitive& b) {
    const auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
    return a.Kind == b.Kind && a.Style == b.Style && a.Colour == b.Colour && a.NcLine == b.NcLine && a.Text == b.Text &&
           bits(a.At.X) == bits(b.At.X) && bits(a.At.Y) == bits(b.At.Y) && bits(a.To.X) == bits(b.To.X) &&
           bits(a.To.Y) == bits(b.To.Y) && bits(a.Radius) == bits(b.Radius);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    Drawing d;
    if (in.Take<std::uint8_t>() & 1)
        d.Scale = UserScale{in.Take<float>(), in.Take<float>(), in.Take<float>(), in.Take<float>()};
    const double width = in.Take<double>(), height = in.Take<double>();
    const PlotKind kind = in.Take<std::uint8_t>() & 1 ? PlotKind::PointData : PlotKind::CuttingPath;
    d.Texts.push_back("X31");
    while (!in.Empty() && d.Items.size() < 4096) {
        Primitive p;
        const auto look = in.Take<std::uint8_t>();
        p.Kind = static_cast<PrimitiveKind>(look & 3);
        p.Style = static_cast<LineStyle>((look >> 2) & 1);
        p.Colour = Color::Rgb(look & 0x80 ? 255 : 0, look & 0x40 ? 255 : 0, 0);
        p.At = DrawPoint(static_cast<double>(in.Take<float>()), static_cast<double>(in.Take<float>()));
        p.To = DrawPoint(static_cast<double>(in.Take<float>()), static_cast<double>(in.Take<float>()));
        p.Radius = in.Take<float>();
        p.NcLine = in.Take<std::int16_t>();
        d.Items.push_back(p);
    }

    const PlotLinks links(d, kind);
    for (const PlotPass& pass : links.Passes()) {
        Require(pass.FirstLine <= pass.MoveLine && pass.MoveLine <= pass.LastLine);
        Require(pass.Items.First <= pass.Items.End && pass.Items.End <= d.Items.size());
        Require(links.PassOfLine(pass.MoveLine).has_value());
    }
    for (const Primitive& p : d.Items) {
        for (const ItemRange& r : links.ItemsOfLine(p.NcLine)) Require(r.End <= d.Items.size());
    }
    NearestMove(d, d.Items.empty() ? DrawPoint() : d.Items.front().At, PixelsPerUnit{width, height}, 6);
    NearestEndPoint(d, d.Items.empty() ? DrawPoint() : d.Items.back().To, PixelsPerUnit{width, height}, 6);

    // Thinning only leaves out, keeps the order and every text.
    const Drawing thin = ThinForPainting(d, width, height);
    Require(thin.Items.size() <= d.Items.size());
    Require(std::count_if(thin.Items.begin(), thin.Items.end(), [](const Primitive& p) {
                return p.Kind == PrimitiveKind::Text;
            }) == std::count_if(d.Items.begin(), d.Items.end(), [](const Primitive& p) {
                return p.Kind == PrimitiveKind::Text;
            }));
    std::size_t at = 0;
    for (const Primitive& kept : thin.Items) {
        while (at < d.Items.size() && !Same(d.Items[at], kept)) ++at;
        Require(at < d.Items.size());
        ++at;
    }
    return 0;
}
