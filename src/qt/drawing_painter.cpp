// Paints a recorded plot picture with QPainter, fitting its user scale to any rectangle.
#include "qt/drawing_painter.h"

#include "core/ncplot/label_spacing.h"
#include "core/ncplot/view_transform.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quillane {
namespace {

PixelBox BoxOf(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

QPointF Device(const ViewTransform& map, const DrawPoint& p) {
    return {map.DeviceX(static_cast<double>(p.X)), map.DeviceY(static_cast<double>(p.Y))};
}

bool Finite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Items are clipped against a slightly larger box than the picture so that lines on the
// border still show.
QRectF PaintBox(const QRectF& target) { return target.adjusted(-2, -2, 2, 2); }

// Pixels kept free between two painted labels, so that "-85" and "-80" never read as one.
constexpr double kLabelGap = 2;

QString TextOf(const Drawing& drawing, const Primitive& item) {
    const std::string& raw = drawing.Texts[item.Text];
    return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
}

// The font of a label of `size` points, and its metrics on `device`, made again only when the
// size changes (a plot's labels all have one).
class LabelFont {
public:
    LabelFont(const QFont& base, QPaintDevice* device) : base_(base), device_(device) {}
    bool Set(int size) {
        if (size == size_) return false;
        font_ = base_;
        font_.setPointSize(std::max(1, size));
        metrics_.emplace(font_, device_);
        size_ = size;
        return true;
    }
    const QFont& Font() const { return font_; }
    const QFontMetricsF& Metrics() const { return *metrics_; }

private:
    QFont base_;
    QPaintDevice* device_;
    QFont font_;
    int size_ = -1;                         // none set yet
    std::optional<QFontMetricsF> metrics_;  // made for the first text: pictures without texts need no fonts
};

// Clips the segment a-b to `box` (Cohen-Sutherland); false when nothing of it lies inside.
// Each cut moves one end onto a box edge and sets that coordinate exactly, so grid lines with
// far-away ends keep their place; a slanted line that far away may be off by a pixel.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    if (!Finite(a) || !Finite(b)) return false;
    enum : int { Left = 1, Right = 2, Top = 4, Bottom = 8 };
    const auto code = [&](const QPointF& p) {
        return (p.x() < box.left() ? Left : 0) | (p.x() > box.right() ? Right : 0) | (p.y() < box.top() ? Top : 0) |
               (p.y() > box.bottom() ? Bottom : 0);
    };
    for (int round = 0; round < 8; ++round) {
        const int ca = code(a), cb = code(b);
        if ((ca | cb) == 0) return true;
        if ((ca & cb) != 0) return false;
        QPointF& p = ca != 0 ? a : b;
        const int c = ca != 0 ? ca : cb;
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        if ((c & (Left | Right)) != 0) {
            const double x = (c & Left) != 0 ? box.left() : box.right();
            p = QPointF(x, a.y() + dy * ((x - a.x()) / dx));
        } else {
            const double y = (c & Top) != 0 ? box.top() : box.bottom();
            p = QPointF(a.x() + dx * ((y - a.y()) / dy), y);
        }
        if (!Finite(p)) return false;
    }
    return code(a) == 0 && code(b) == 0;
}

}  // namespace

QColor PaintColor(const Color& color, const QPalette& palette) {
    switch (color.Role) {
        case ColorRole::Rgb:
            return QColor(color.Red, color.Green, color.Blue);
        case ColorRole::ButtonFace:
            return palette.color(QPalette::Button);
        case ColorRole::ButtonShadow:
            return palette.color(QPalette::Dark);
        case ColorRole::WindowBackground:
            return palette.color(QPalette::Base);
    }
    return QColor(color.Red, color.Green, color.Blue);
}

namespace {

// How items are painted: as recorded, or emphasised in one colour with wider lines.
struct Emphasis {
    std::optional<QColor> Colour;
    double Width = 1;
};

class ItemPainter {
public:
    ItemPainter(QPainter& painter, const Drawing& drawing, const UserScale& scale, const QRectF& target,
                const QPalette& palette, Emphasis emphasis = {})
        : painter_(painter),
          drawing_(drawing),
          map_(scale, BoxOf(target)),
          box_(PaintBox(target)),
          target_(target),
          palette_(palette),
          emphasis_(emphasis),
          labels_(painter.font(), painter.device()) {}

    void Paint(const Primitive& item) {
        const double width = emphasis_.Width;
        switch (item.Kind) {
            case PrimitiveKind::Line: {
                QPointF a = Device(map_, item.At), b = Device(map_, item.To);
                if (!ClipSegment(a, b, box_)) break;
                Antialias(width > 1);
                SetPen({ColourOf(item), width, item.Style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine,
                        width > 1 ? Qt::RoundCap : Qt::FlatCap});
                painter_.drawLine(a, b);
                break;
            }
            case PrimitiveKind::Dot: {
                const QPointF p = Device(map_, item.At);
                if (!Finite(p) || !box_.contains(p)) break;
                Antialias(true);
                painter_.setPen(Qt::NoPen);
                pen_.reset();
                painter_.setBrush(ColourOf(item));
                const double r = 1.5 * width;
                painter_.drawEllipse(p, r, r);
                painter_.setBrush(Qt::NoBrush);
                break;
            }
            case PrimitiveKind::Circle: {
                const QPointF c = Device(map_, item.At);
                const double r = std::fabs(static_cast<double>(item.Radius) * map_.PixelsPerUnitX());
                if (!Finite(c) || !std::isfinite(r)) break;
                if (!box_.adjusted(-r, -r, r, r).contains(c)) break;
                // A ring larger than the picture shows as its visible arcs; one that big tells
                // nothing and would only cost time, so it is left out.
                if (r > 4 * std::max(target_.width(), target_.height())) break;
                Antialias(true);
                SetPen({ColourOf(item), width, Qt::SolidLine, Qt::SquareCap});
                painter_.setBrush(Qt::NoBrush);
                painter_.drawEllipse(c, r, r);
                break;
            }
            case PrimitiveKind::Text: {
                if (emphasis_.Colour) break;  // emphasis is for what the program drew
                const QPointF p = Device(map_, item.At);
                if (!Finite(p) || item.Text >= drawing_.Texts.size() || drawing_.Texts[item.Text].empty()) break;
                if (labels_.Set(item.FontSize)) painter_.setFont(labels_.Font());
                const QString text = TextOf(drawing_, item);
                Antialias(true);
                painter_.setRenderHint(QPainter::TextAntialiasing, true);
                SetPen({ColourOf(item), 1, Qt::SolidLine, Qt::SquareCap});
                painter_.drawText(QPointF(p.x(), p.y() + labels_.Metrics().ascent()), text);
                break;
            }
        }
    }

private:
    // The pen an item is painted with: what QPen(colour, width, style, cap) makes.
    struct PenLook {
        QColor Colour;
        double Width = 1;
        Qt::PenStyle Style = Qt::SolidLine;
        Qt::PenCapStyle Cap = Qt::SquareCap;
        friend bool operator==(const PenLook&, const PenLook&) = default;
    };

    // The painter is set only when an item needs something else than the one before: Qt makes
    // the pen again for the next stroke after any change of the hints, also to what they were,
    // and a picture's items come in long runs of one look.
    void Antialias(bool on) {
        if (antialiased_ == on) return;
        painter_.setRenderHint(QPainter::Antialiasing, on);
        antialiased_ = on;
    }
    void SetPen(const PenLook& look) {
        if (pen_ == look) return;
        QPen pen(look.Colour, look.Width, look.Style);
        pen.setCapStyle(look.Cap);
        painter_.setPen(pen);
        pen_ = look;
    }
    QColor ColourOf(const Primitive& item) const {
        return emphasis_.Colour.value_or(PaintColor(item.Colour, palette_));
    }

    QPainter& painter_;
    const Drawing& drawing_;
    ViewTransform map_;
    QRectF box_;
    QRectF target_;
    const QPalette& palette_;
    Emphasis emphasis_;
    LabelFont labels_;
    std::optional<bool> antialiased_;  // none: as the painter came
    std::optional<PenLook> pen_;       // none: as the painter came, or no pen
};

}  // namespace

void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target, const QPalette& palette) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, PaintColor(drawing.Background, palette));
    if (drawing.Scale && !target.isEmpty()) {
        const std::vector<PaintedLabel> labels = PaintedLabels(drawing, target, painter.font(), painter.device());
        auto nextLabel = labels.begin();
        ItemPainter items(painter, drawing, *drawing.Scale, target, palette);
        for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
            const Primitive& item = drawing.Items[i];
            if (item.Kind == PrimitiveKind::Text) {
                if (nextLabel == labels.end() || nextLabel->Item != i) continue;
                ++nextLabel;
            }
            items.Paint(item);
        }
    }
    painter.restore();
}

std::vector<PaintedLabel> PaintedLabels(const Drawing& drawing, const QRectF& target, const QFont& font,
                                        QPaintDevice* device) {
    std::vector<PaintedLabel> shown;
    if (!drawing.Scale || target.isEmpty()) return shown;
    const ViewTransform map(*drawing.Scale, BoxOf(target));
    const QRectF box = PaintBox(target);
    LabelFont labels(font, device);
    std::vector<LabelSpot> spots;
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
        if (item.Kind != PrimitiveKind::Text) continue;
        const QPointF p = Device(map, item.At);
        if (!Finite(p) || item.Text >= drawing.Texts.size() || drawing.Texts[item.Text].empty()) continue;
        labels.Set(item.FontSize);
        const QRectF bounds(p.x(), p.y(), labels.Metrics().horizontalAdvance(TextOf(drawing, item)),
                            labels.Metrics().height());
        if (!bounds.intersects(box)) continue;
        shown.push_back({i, bounds});
        spots.push_back({item.At, BoxOf(bounds)});
    }
    const std::vector<bool> paint = LabelsToPaint(spots, kLabelGap);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (paint[i]) shown[kept++] = shown[i];
    }
    shown.resize(kept);
    return shown;
}

void PaintEmphasised(QPainter& painter, const Drawing& drawing, std::size_t first, std::size_t end,
                     const UserScale& scale, const QRectF& target, const QColor& colour, double width) {
    if (target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target);
    ItemPainter items(painter, drawing, scale, target, QPalette(), Emphasis{colour, width});
    for (std::size_t i = first; i < end && i < drawing.Items.size(); ++i) items.Paint(drawing.Items[i]);
    painter.restore();
}

QPointF DrawingPosition(const Drawing& drawing, const QRectF& target, const QPointF& device) {
    if (!drawing.Scale) return device - target.topLeft();
    return DrawingPosition(*drawing.Scale, target, device);
}

QPointF DevicePosition(const UserScale& s, const QRectF& target, const DrawPoint& at) {
    return Device(ViewTransform(s, BoxOf(target)), at);
}

QPointF DrawingPosition(const UserScale& s, const QRectF& target, const QPointF& device) {
    const ViewTransform map(s, BoxOf(target));
    return {map.DrawingX(device.x()), map.DrawingY(device.y())};
}

}  // namespace quillane
