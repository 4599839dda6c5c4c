// Paints a recorded plot picture with QPainter, fitting its user scale to any rectangle.
#include "qt/drawing_painter.h"

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
          // Items are clipped against a slightly larger box so that lines on the border still show.
          box_(target.adjusted(-2, -2, 2, 2)),
          target_(target),
          palette_(palette),
          emphasis_(emphasis),
          baseFont_(painter.font()) {}

    void Paint(const Primitive& item) {
        const QColor colour = emphasis_.Colour.value_or(PaintColor(item.Colour, palette_));
        const double width = emphasis_.Width;
        switch (item.Kind) {
            case PrimitiveKind::Line: {
                QPointF a = Device(map_, item.At), b = Device(map_, item.To);
                if (!ClipSegment(a, b, box_)) break;
                QPen pen(colour, width, item.Style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
                pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
                painter_.setRenderHint(QPainter::Antialiasing, width > 1);
                painter_.setPen(pen);
                painter_.drawLine(a, b);
                break;
            }
            case PrimitiveKind::Dot: {
                const QPointF p = Device(map_, item.At);
                if (!Finite(p) || !box_.contains(p)) break;
                painter_.setRenderHint(QPainter::Antialiasing, true);
                painter_.setPen(Qt::NoPen);
                painter_.setBrush(colour);
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
                painter_.setRenderHint(QPainter::Antialiasing, true);
                painter_.setPen(QPen(colour, width));
                painter_.setBrush(Qt::NoBrush);
                painter_.drawEllipse(c, r, r);
                break;
            }
            case PrimitiveKind::Text: {
                if (emphasis_.Colour) break;  // emphasis is for what the program drew
                const QPointF p = Device(map_, item.At);
                if (!Finite(p) || item.Text >= drawing_.Texts.size() || drawing_.Texts[item.Text].empty()) break;
                if (item.FontSize != currentFontSize_) {
                    QFont font = baseFont_;
                    font.setPointSize(std::max(1, static_cast<int>(item.FontSize)));
                    painter_.setFont(font);
                    metrics_.emplace(font, painter_.device());
                    currentFontSize_ = item.FontSize;
                }
                const std::string& raw = drawing_.Texts[item.Text];
                const QString text = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
                const QRectF bounds(p.x(), p.y(), metrics_->horizontalAdvance(text), metrics_->height());
                if (!bounds.intersects(box_)) break;
                painter_.setRenderHint(QPainter::Antialiasing, true);
                painter_.setRenderHint(QPainter::TextAntialiasing, true);
                painter_.setPen(colour);
                painter_.drawText(QPointF(p.x(), p.y() + metrics_->ascent()), text);
                break;
            }
        }
    }

private:
    QPainter& painter_;
    const Drawing& drawing_;
    ViewTransform map_;
    QRectF box_;
    QRectF target_;
    const QPalette& palette_;
    Emphasis emphasis_;
    QFont baseFont_;
    int currentFontSize_ = -1;              // none set yet
    std::optional<QFontMetricsF> metrics_;  // made for the first text: pictures without texts need no fonts
};

}  // namespace

void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target, const QPalette& palette) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, PaintColor(drawing.Background, palette));
    if (drawing.Scale && !target.isEmpty()) {
        ItemPainter items(painter, drawing, *drawing.Scale, target, palette);
        for (const Primitive& item : drawing.Items) items.Paint(item);
    }
    painter.restore();
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
