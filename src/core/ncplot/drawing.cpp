// A plot picture as data: scale checks, the fresh picture and the JSON form of a drawing.
#include "core/ncplot/drawing.h"

#include "core/ncplot/vector_splice.h"

#include "core/numeric/single_precision.h"

#include <algorithm>
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

void Drawing::OweFrom(std::size_t to) {
    const int owed = owedLines_;
    if (owed == 0) {
        owedFrom_ = to;
        return;
    }
    const auto at = [&](std::size_t i) { return Items.begin() + static_cast<std::ptrdiff_t>(i); };
    // Items that come to owe the move hold their line less it, which must not read as NoNcLine:
    // if one would (lines added far below, then an edit in the first few lines), every item
    // is renumbered now instead.
    const auto readsUnnumbered = [&](const Primitive& p) { return p.NcLine == owed - 1; };  // owed is not 0
    if (to < owedFrom_ && std::any_of(at(to), at(owedFrom_), readsUnnumbered)) {
        OweFrom(Items.size());
        owedLines_ = 0;
        owedFrom_ = to;
        return;
    }
    for (std::size_t i = owedFrom_; i < to; ++i) {
        if (Items[i].NcLine != NoNcLine) Items[i].NcLine += owed;
    }
    for (std::size_t i = to; i < owedFrom_; ++i) {
        if (Items[i].NcLine != NoNcLine) Items[i].NcLine -= owed;
    }
    owedFrom_ = to;
}

void Drawing::SpliceItems(std::size_t first, std::size_t last, const std::vector<Primitive>& with, int lines) {
    OweFrom(last);
    Replace(Items, first, last, with);
    owedFrom_ = first + with.size();
    owedLines_ += lines;
}

bool operator==(const Drawing& a, const Drawing& b) {
    if (!(a.Background == b.Background && a.Scale == b.Scale && a.Texts == b.Texts &&
          a.ReadoutVisible == b.ReadoutVisible && a.Crosshair == b.Crosshair && a.Items.size() == b.Items.size())) {
        return false;
    }
    for (std::size_t i = 0; i < a.Items.size(); ++i) {
        Primitive p = a.Items[i], q = b.Items[i];
        p.NcLine = a.LineOf(i);
        q.NcLine = b.LineOf(i);
        if (!(p == q)) return false;
    }
    return true;
}

namespace {

// Background, scale and the opening of the item list.
void AppendJsonHead(std::string& out, const Drawing& drawing) {
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
}

// One item, on a line of its own after the separator of the one before.
void AppendJsonItem(std::string& out, const Drawing& drawing, std::size_t i, bool first) {
    const Primitive& p = drawing.Items[i];
    if (!first) out += ',';
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
            AppendLineIndex(out, drawing.LineOf(i));
            break;
        case PrimitiveKind::Dot:
            out += "{\"kind\":\"dot\",\"at\":";
            AppendPoint(out, p.At);
            out += ",\"color\":";
            AppendColor(out, p.Colour);
            out += ",\"line\":";
            AppendLineIndex(out, drawing.LineOf(i));
            break;
        case PrimitiveKind::Circle:
            out += "{\"kind\":\"circle\",\"center\":";
            AppendPoint(out, p.At);
            out += ",\"radius\":";
            AppendNumber(out, p.Radius);
            out += ",\"color\":";
            AppendColor(out, p.Colour);
            out += ",\"line\":";
            AppendLineIndex(out, drawing.LineOf(i));
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
}

// The end of the item list and the closing fields.
void AppendJsonTail(std::string& out, const Drawing& drawing, bool untouched) {
    out += "],\"readoutVisible\":";
    out += drawing.ReadoutVisible ? "true" : "false";
    out += ",\"crosshair\":";
    out += drawing.Crosshair ? "true" : "false";
    out += ",\"untouched\":";
    out += untouched ? "true" : "false";
    out += "}\n";
}

// Pieces of this size reach the stream: large enough that writing costs little per item, small
// enough to stay in the cache.
constexpr std::size_t kJsonPiece = std::size_t{1} << 16;

}  // namespace

std::string DrawingJson(const Drawing& drawing, bool untouched) {
    std::string out;
    out.reserve(64 + drawing.Items.size() * 96);
    AppendJsonHead(out, drawing);
    bool first = true;
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        AppendJsonItem(out, drawing, i, first);
        first = false;
    }
    AppendJsonTail(out, drawing, untouched);
    return out;
}

void WriteDrawingJson(std::ostream& stream, const Drawing& drawing, bool untouched) {
    DrawingJsonWriter(stream).Finish(drawing, untouched);
}

DrawingJsonWriter::DrawingJsonWriter(std::ostream& stream) : stream_(stream) { buffer_.reserve(kJsonPiece + 4096); }

void DrawingJsonWriter::Drain(Drawing& pending) {
    Write(pending);
    pending.ClearItems();
}

void DrawingJsonWriter::Finish(const Drawing& rest, bool untouched) {
    Write(rest);
    AppendJsonTail(buffer_, rest, untouched);
    Flush();
}

void DrawingJsonWriter::Write(const Drawing& drawing) {
    if (!started_) {
        AppendJsonHead(buffer_, drawing);
        started_ = true;
    }
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        AppendJsonItem(buffer_, drawing, i, firstItem_);
        firstItem_ = false;
        if (buffer_.size() >= kJsonPiece) Flush();
    }
}

void DrawingJsonWriter::Flush() {
    stream_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

}  // namespace quillane
