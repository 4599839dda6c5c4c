// Paints a recorded plot picture with QPainter, fitting its user scale to any rectangle.
#include "platform/drawing_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quillane {
namespace {

// Linear map from drawing coordinates to device coordinates.
struct Mapping {
    double OriginX = 0, OriginY = 0, ScaleX = 1, ScaleY = 1;
    QPointF Device(const DrawPoint& p) const {
        return {OriginX + static_cast<double>(p.X) * ScaleX, OriginY + static_cast<double>(p.Y) * ScaleY};
    }
};

Mapping MappingFor(const UserScale& scale, const QRectF& target) {
    Mapping m;
    m.ScaleX = target.width() / static_cast<double>(scale.Width);
    m.ScaleY = target.height() / static_cast<double>(scale.Height);
    m.OriginX = target.left() - static_cast<double>(scale.Left) * m.ScaleX;
    m.OriginY = target.top() - static_cast<double>(scale.Top) * m.ScaleY;
    return m;
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
        case ColorRole::Rgb: return QColor(color.Red, color.Green, color.Blue);
        case ColorRole::ButtonFace: return palette.color(QPalette::Button);
        case ColorRole::ButtonShadow: return palette.color(QPalette::Dark);
        case ColorRole::WindowBackground: return palette.color(QPalette::Base);
    }
    return QColor(color.Red, color.Green, color.Blue);
}

void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target, const QPalette& palette) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, PaintColor(drawing.Background, palette));
    if (!drawing.Scale || target.isEmpty()) {
        painter.restore();
        return;
    }
    const Mapping map = MappingFor(*drawing.Scale, target);
    // Items are clipped against a slightly larger box so that lines on the border still show.
    const QRectF box = target.adjusted(-2, -2, 2, 2);
    const QFont baseFont = painter.font();
    int currentFontSize = -1;  // none set yet
    std::optional<QFontMetricsF> metrics;  // made for the first text: pictures without texts need no fonts

    for (const Primitive& item : drawing.Items) {
        const QColor colour = PaintColor(item.Colour, palette);
        switch (item.Kind) {
            case PrimitiveKind::Line: {
                QPointF a = map.Device(item.At), b = map.Device(item.To);
                if (!ClipSegment(a, b, box)) break;
                QPen pen(colour, 1, item.Style == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
                pen.setCapStyle(Qt::FlatCap);
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.setPen(pen);
                painter.drawLine(a, b);
                break;
            }
            case PrimitiveKind::Dot: {
                const QPointF p = map.Device(item.At);
                if (!Finite(p) || !box.contains(p)) break;
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setPen(Qt::NoPen);
                painter.setBrush(colour);
                painter.drawEllipse(p, 1.5, 1.5);
                painter.setBrush(Qt::NoBrush);
                break;
            }
            case PrimitiveKind::Circle: {
                const QPointF c = map.Device(item.At);
                const double r = std::fabs(static_cast<double>(item.Radius) * map.ScaleX);
                if (!Finite(c) || !std::isfinite(r)) break;
                if (!box.adjusted(-r, -r, r, r).contains(c)) break;
                // A ring larger than the picture shows as its visible arcs; one that big tells
                // nothing and would only cost time, so it is left out.
                if (r > 4 * std::max(target.width(), target.height())) break;
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setPen(QPen(colour, 1));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(c, r, r);
                break;
            }
            case PrimitiveKind::Text: {
                const QPointF p = map.Device(item.At);
                if (!Finite(p) || item.Text >= drawing.Texts.size() || drawing.Texts[item.Text].empty()) break;
                if (item.FontSize != currentFontSize) {
                    QFont font = baseFont;
                    font.setPointSize(std::max(1, static_cast<int>(item.FontSize)));
                    painter.setFont(font);
                    metrics.emplace(font, painter.device());
                    currentFontSize = item.FontSize;
                }
                const std::string& raw = drawing.Texts[item.Text];
                const QString text = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
                const QRectF bounds(p.x(), p.y(), metrics->horizontalAdvance(text), metrics->height());
                if (!bounds.intersects(box)) break;
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setRenderHint(QPainter::TextAntialiasing, true);
                painter.setPen(colour);
                painter.drawText(QPointF(p.x(), p.y() + metrics->ascent()), text);
                break;
            }
        }
    }
    painter.restore();
}

QPointF DrawingPosition(const Drawing& drawing, const QRectF& target, const QPointF& device) {
    if (!drawing.Scale || target.width() == 0 || target.height() == 0) return device - target.topLeft();
    const UserScale& s = *drawing.Scale;
    return {static_cast<double>(s.Left) + (device.x() - target.left()) * static_cast<double>(s.Width) / target.width(),
            static_cast<double>(s.Top) + (device.y() - target.top()) * static_cast<double>(s.Height) / target.height()};
}

}  // namespace quillane
