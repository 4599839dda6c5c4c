// A plot picture as data: scale checks, the fresh picture and the JSON form of a drawing.
#include "core/ncplot/drawing.h"

#include "core/numeric/single_precision.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace quillane {
namespace {

// A picture holds its scale in single precision; anything that would not fit cannot be set.
std::optional<float> PictureValue(double value) {
    if (!FitsSingle(value)) return std::nullopt;
    return static_cast<float>(value);
}

void AppendNumber(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void AppendPoint(std::string& out, const DrawPoint& p) {
    out += '[';
    AppendNumber(out, p.X);
    out += ',';
    AppendNumber(out, p.Y);
    out += ']';
}

void AppendColor(std::string& out, const Color& c) {
    out += '"';
    switch (c.Role) {
        case ColorRole::Rgb: {
            constexpr char hex[] = "0123456789abcdef";
            out += '#';
            for (std::uint8_t v : {c.Red, c.Green, c.Blue}) {
                out += hex[v >> 4];
                out += hex[v & 15];
            }
            break;
        }
        case ColorRole::ButtonFace:
            out += "buttonface";
            break;
        case ColorRole::ButtonShadow:
            out += "buttonshadow";
            break;
        case ColorRole::WindowBackground:
            out += "window";
            break;
    }
    out += '"';
}

void AppendString(std::string& out, const std::string& text) {
    constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

void AppendLineIndex(std::string& out, int line) {
    if (line < 0) {
        out += "null";
    } else {
        out += std::to_string(line);
    }
}

}  // namespace

std::optional<UserScale> MakeUserScale(double left, double top, double width, double height) {
    const auto l = PictureValue(left), t = PictureValue(top), w = PictureValue(width), h = PictureValue(height);
    if (!l || !t || !w || !h || *w == 0.0f || *h == 0.0f) return std::nullopt;
    return UserScale{*l, *t, *w, *h};
}

Drawing FreshPicture() { return Drawing{}; }

namespace {

// The JSON text into `out`; `drain` is handed `out` whenever it holds `drainAt` bytes or more and
// empties it, so that a stream gets the text in pieces of bounded size.
template <typename Drain>
void AppendDrawingJson(std::string& out, const Drawing& drawing, bool untouched, std::size_t drainAt, Drain drain) {
    out += "{\"background\":";
    AppendColor(out, drawing.Background);
    out += ",\"scale\":";
    if (drawing.Scale) {
        out += "{\"left\":";
        AppendNumber(out, drawing.Scale->Left);
        out += ",\"top\":";
        AppendNumber(out, drawing.Scale->Top);
        out += ",\"width\":";
        AppendNumber(out, drawing.Scale->Width);
        out += ",\"height\":";
        AppendNumber(out, drawing.Scale->Height);
        out += '}';
    } else {
        out += "null";
    }
    out += ",\"items\":[";
    bool first = true;
    for (const Primitive& p : drawing.Items) {
        if (!first) out += ',';
        first = false;
        out += '\n';
        switch (p.Kind) {
            case PrimitiveKind::Line:
                out += "{\"kind\":\"line\",\"from\":";
                AppendPoint(out, p.At);
                out += ",\"to\":";
                AppendPoint(out, p.To);
                out += ",\"color\":";
                AppendColor(out, p.Colour);
                out += p.Style == LineStyle::Dotted ? ",\"style\":\"dotted\"" : ",\"style\":\"solid\"";
                out += ",\"line\":";
                AppendLineIndex(out, p.NcLine);
                break;
            case PrimitiveKind::Dot:
                out += "{\"kind\":\"dot\",\"at\":";
                AppendPoint(out, p.At);
                out += ",\"color\":";
                AppendColor(out, p.Colour);
                out += ",\"line\":";
                AppendLineIndex(out, p.NcLine);
                break;
            case PrimitiveKind::Circle:
                out += "{\"kind\":\"circle\",\"center\":";
                AppendPoint(out, p.At);
                out += ",\"radius\":";
                AppendNumber(out, p.Radius);
                out += ",\"color\":";
                AppendColor(out, p.Colour);
                out += ",\"line\":";
                AppendLineIndex(out, p.NcLine);
                break;
            case PrimitiveKind::Text:
                out += "{\"kind\":\"text\",\"at\":";
                AppendPoint(out, p.At);
                out += ",\"text\":";
                AppendString(out, p.Text < drawing.Texts.size() ? drawing.Texts[p.Text] : std::string());
                out += ",\"color\":";
                AppendColor(out, p.Colour);
                out += ",\"size\":";
                out += std::to_string(p.FontSize);
                break;
        }
        out += '}';
        if (out.size() >= drainAt) drain(out);
    }
    out += "],\"readoutVisible\":";
    out += drawing.ReadoutVisible ? "true" : "false";
    out += ",\"crosshair\":";
    out += drawing.Crosshair ? "true" : "false";
    out += ",\"untouched\":";
    out += untouched ? "true" : "false";
    out += "}\n";
}

}  // namespace

std::string DrawingJson(const Drawing& drawing, bool untouched) {
    std::string out;
    out.reserve(64 + drawing.Items.size() * 96);
    AppendDrawingJson(out, drawing, untouched, std::string::npos, [](std::string&) {});
    return out;
}

void WriteDrawingJson(std::ostream& stream, const Drawing& drawing, bool untouched) {
    constexpr std::size_t piece = std::size_t{1} << 16;
    std::string out;
    out.reserve(piece + 4096);
    const auto drain = [&stream](std::string& text) {
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    AppendDrawingJson(out, drawing, untouched, piece, drain);
    drain(out);
}

}  // namespace quillane
