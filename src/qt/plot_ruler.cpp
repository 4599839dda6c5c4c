// The rulers along the left and bottom edges of a zoomed plot: diameter and Z at round steps.
#include "qt/plot_ruler.h"

#include "core/ncplot/ruler_steps.h"
#include "core/ncplot/view_transform.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace quillane {
namespace {

constexpr double kTick = 5;       // length of a mark's tick, pixels
constexpr double kPadding = 4;    // between a strip's edge, its ticks and its texts
constexpr double kLabelGap = 12;  // at least this much free between two values along the bottom
constexpr double kLineGap = 4;    // and between two values down the side
// Dark enough that the picture's own labels underneath do not read through.
const QColor StripColour(0, 0, 0, 225);
constexpr int kRulerPointSize = 9;

QFont RulerFont(QFont font) {
    font.setPointSize(kRulerPointSize);
    return font;
}

PixelBox BoxOf(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

QString ValueText(double value, double step) { return QString::number(value, 'f', StepDecimals(step)); }
QString DiameterText(double value, double step) { return QStringLiteral("X") + ValueText(value, step); }

// The smallest round step whose marks lie at least `needed(values, step)` pixels apart on an
// axis of `unitsPerPixel`, trying steps from the one that keeps them `least` pixels apart (a
// bound below what any step needs, so that a fine step's hundreds of texts are never measured).
template <class Needed>
RulerScale ChooseStep(double low, double high, double unitsPerPixel, double least, Needed&& needed) {
    RulerScale scale;
    if (!(unitsPerPixel > 0) || !std::isfinite(unitsPerPixel)) return scale;
    double step = RoundStepAtLeast(unitsPerPixel * std::max(1.0, least));
    for (int round = 0; round < 64 && step > 0; ++round) {
        std::vector<double> values = RulerMarks(low, high, step);
        if (step / unitsPerPixel >= needed(values, step)) {
            scale.Step = step;
            scale.Values = std::move(values);
            return scale;
        }
        step = RoundStepAtLeast(step * 1.5);  // the next round step
    }
    return scale;
}

}  // namespace

RulerScale DiameterRuler(const UserScale& view, const QRectF& target, const QFont& font, QPaintDevice* device) {
    if (target.isEmpty()) return {};
    const QFontMetricsF metrics(font, device);
    const double top = -2 * static_cast<double>(view.Top);
    const double bottom = -2 * (static_cast<double>(view.Top) + static_cast<double>(view.Height));
    // A diameter is twice the radius that y is: two units of it to a unit of y.
    const double unitsPerPixel = 2 * std::fabs(static_cast<double>(view.Height)) / target.height();
    const double spacing = metrics.height() + kLineGap;
    return ChooseStep(std::min(top, bottom), std::max(top, bottom), unitsPerPixel, spacing,
                      [&](const std::vector<double>&, double) { return spacing; });
}

RulerScale ZRuler(const UserScale& view, const QRectF& target, const QFont& font, QPaintDevice* device) {
    if (target.isEmpty()) return {};
    const QFontMetricsF metrics(font, device);
    const double left = static_cast<double>(view.Left);
    const double right = left + static_cast<double>(view.Width);
    const double unitsPerPixel = std::fabs(static_cast<double>(view.Width)) / target.width();
    // No mark's text is narrower than the whole part of the value at either end.
    const double least = kLabelGap + std::max(metrics.horizontalAdvance(ValueText(std::trunc(left), 1)),
                                              metrics.horizontalAdvance(ValueText(std::trunc(right), 1)));
    return ChooseStep(std::min(left, right), std::max(left, right), unitsPerPixel, least,
                      [&](const std::vector<double>& values, double step) {
                          double widest = 0;
                          for (const double v : values) {
                              widest = std::max(widest, metrics.horizontalAdvance(ValueText(v, step)));
                          }
                          return widest + kLabelGap;
                      });
}

QSizeF RulerRoom(const UserScale& view, const QRectF& target, const QFont& painterFont, QPaintDevice* device) {
    const QFont font = RulerFont(painterFont);
    const QFontMetricsF metrics(font, device);
    const RulerScale diameters = DiameterRuler(view, target, font, device);
    double sideWidth = 0;
    for (const double v : diameters.Values) {
        sideWidth = std::max(sideWidth, metrics.horizontalAdvance(DiameterText(v, diameters.Step)));
    }
    return {sideWidth + 2 * kPadding + kTick, metrics.height() + kPadding + kTick};
}

void PaintRulers(QPainter& painter, const UserScale& view, const QRectF& target, const QColor& colour) {
    if (target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target);
    const QSizeF room = RulerRoom(view, target, painter.font(), painter.device());
    const QFont font = RulerFont(painter.font());
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const ViewTransform map(view, BoxOf(target));
    const RulerScale diameters = DiameterRuler(view, target, font, painter.device());
    const RulerScale zs = ZRuler(view, target, font, painter.device());
    const double sideWidth = room.width(), bottomHeight = room.height();
    const QRectF side(target.left(), target.top(), sideWidth, target.height() - bottomHeight);
    const QRectF bottom(target.left(), target.bottom() - bottomHeight, target.width(), bottomHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(StripColour);
    painter.drawRect(side);
    painter.drawRect(bottom);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(colour);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    for (const double v : diameters.Values) {
        const double y = map.DeviceY(-v / 2);
        if (y < side.top() || y > side.bottom()) continue;
        painter.drawLine(QPointF(side.right() - kTick, y), QPointF(side.right(), y));
        const QString text = DiameterText(v, diameters.Step);
        const double width = metrics.horizontalAdvance(text);
        // Centred on its tick, but never cut by the strip's ends.
        const double baseline =
            std::max(side.top() + metrics.ascent(),
                     std::min(y + (metrics.ascent() - metrics.descent()) / 2, side.bottom() - metrics.descent()));
        painter.drawText(QPointF(side.right() - kTick - kPadding - width, baseline), text);
    }
    for (const double v : zs.Values) {
        const double x = map.DeviceX(v);
        if (x < side.right() || x > bottom.right()) continue;
        painter.drawLine(QPointF(x, bottom.top()), QPointF(x, bottom.top() + kTick));
        const QString text = ValueText(v, zs.Step);
        const double width = metrics.horizontalAdvance(text);
        const double left = std::max(side.right(), std::min(x - width / 2, bottom.right() - width));
        painter.drawText(QPointF(left, bottom.top() + kTick + metrics.ascent()), text);
    }
    painter.restore();
}

}  // namespace quillane
