// Plot pictures as PNG or SVG files, painted with the toolkit's painter.
#include "cli/picture_export.h"

#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_transform.h"
#include "qt/drawing_painter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <ostream>

namespace quillane::cli {
namespace {

// How far past the picture's edge an item may reach and still be cut at the edge rather than
// kept whole: more than a line's width, so nothing that shows changes.
constexpr double kMarginPixels = 4;

// The part of the line from (x0, y0) to (x1, y1) inside `box` (Liang-Barsky); false when none is.
bool ClipLine(double& x0, double& y0, double& x1, double& y1, const PixelBox& box) {
    double from = 0, to = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - box.Left, box.Left + box.Width - x0, y0 - box.Top, box.Top + box.Height - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            from = std::max(from, t);
        } else {
            to = std::min(to, t);
        }
    }
    if (from > to) return false;
    const double ax = x0 + from * dx, ay = y0 + from * dy;
    x1 = x0 + to * dx;
    y1 = y0 + to * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

// The drawing as the picture shows it: solid lines cut at its edges, and lines, dots and rings
// that lie wholly outside it left out. Thousands of moves that start off the picture and end on
// it then become the same few segments, which the thinning can tell apart from the rest. Dotted
// lines stay whole, as cutting one would shift its dots; texts always stay.
void ClipToPicture(Drawing& drawing, double width, double height) {
    if (!drawing.Scale) return;
    const ViewTransform map(*drawing.Scale, PixelBox{0, 0, width, height});
    const PixelBox box{-kMarginPixels, -kMarginPixels, width + 2 * kMarginPixels, height + 2 * kMarginPixels};
    const auto inside = [&](double x, double y, double reach) {
        return x + reach >= box.Left && x - reach <= box.Left + box.Width && y + reach >= box.Top &&
               y - reach <= box.Top + box.Height;
    };
    // In place: the drawing of a long program is the largest thing the command holds.
    std::size_t kept = 0;
    const auto keep = [&](const Primitive& item) { drawing.Items[kept++] = item; };
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive item = drawing.Items[i];
        const double x = map.DeviceX(static_cast<double>(item.At.X));
        const double y = map.DeviceY(static_cast<double>(item.At.Y));
        if (!std::isfinite(x) || !std::isfinite(y)) {
            keep(item);  // the painter's own clipping deals with these
            continue;
        }
        switch (item.Kind) {
            case PrimitiveKind::Text:
                keep(item);
                break;
            case PrimitiveKind::Dot:
                if (inside(x, y, 0)) keep(item);
                break;
            case PrimitiveKind::Circle: {
                const double reach = std::fabs(static_cast<double>(item.Radius) * map.PixelsPerUnitX());
                if (!std::isfinite(reach) || inside(x, y, reach)) keep(item);
                break;
            }
            case PrimitiveKind::Line: {
                const double toX = map.DeviceX(static_cast<double>(item.To.X));
                const double toY = map.DeviceY(static_cast<double>(item.To.Y));
                double x0 = x, y0 = y, x1 = toX, y1 = toY;
                if (!std::isfinite(toX) || !std::isfinite(toY)) {
                    keep(item);
                } else if (!ClipLine(x0, y0, x1, y1, box)) {
                    // wholly outside: it paints nothing
                } else if (item.Style == LineStyle::Dotted || (inside(x, y, 0) && inside(toX, toY, 0))) {
                    keep(item);
                } else {
                    Primitive cut = item;
                    cut.At = DrawPoint(map.DrawingX(x0), map.DrawingY(y0));
                    cut.To = DrawPoint(map.DrawingX(x1), map.DrawingY(y1));
                    keep(cut);
                }
                break;
            }
        }
    }
    drawing.Items.resize(kept);
}

}  // namespace

std::optional<std::string> RenderPicture(Drawing drawing, const std::string& path, bool svg, int width, int height,
                                         std::ostream& err) {
    // Plot export never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "quillane-cli";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;  // fonts need one; a caller may have its own
    if (QGuiApplication::instance() == nullptr) app.emplace(argc, argv);
    const QRectF target(0, 0, width, height);
    constexpr int dotsPerMeter = 3780;  // 96 dpi: 12-point labels are 16 pixels high
    // What the picture can show, as the window paints it: a long program puts thousands of rings
    // and moves on the same pixels, and an SVG would otherwise keep every one of them.
    ClipToPicture(drawing, width, height);
    const Drawing thinned = ThinForPainting(drawing, width, height);
    // In memory first: the caller writes the file whole or not at all.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&bytes);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(96);
        generator.setTitle("Quillane plot");
        QPainter painter;
        if (!painter.begin(&generator)) {
            err << "quillane-cli plot: " << path << ": the picture cannot be painted\n";
            return std::nullopt;
        }
        PaintDrawing(painter, thinned, target, QGuiApplication::palette());
        painter.end();
    } else {
        QImage image(width, height, QImage::Format_RGB32);
        if (image.isNull()) throw std::bad_alloc();
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        {
            QPainter painter(&image);
            PaintDrawing(painter, thinned, target, QGuiApplication::palette());
        }
        if (!image.save(&bytes, "PNG")) {
            err << "quillane-cli plot: " << path << ": the picture cannot be encoded\n";
            return std::nullopt;
        }
    }
    return bytes.data().toStdString();
}

}  // namespace quillane::cli
