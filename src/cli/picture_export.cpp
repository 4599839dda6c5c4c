// Plot pictures as PNG or SVG files, painted with the toolkit's painter and, for PNG, encoded
// with libpng.
#include "cli/picture_export.h"

#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_transform.h"
#include "qt/drawing_painter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <png.h>

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
    // An item kept where it lies is not written again: that would store the whole drawing anew.
    const auto keep = [&](const Primitive& item) {
        if (&drawing.Items[kept] != &item) drawing.Items[kept] = item;
        ++kept;
    };
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
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
                if (!std::isfinite(toX) || !std::isfinite(toY) || (inside(x, y, 0) && inside(toX, toY, 0))) {
                    keep(item);  // most lines lie wholly inside: nothing to cut
                } else if (!ClipLine(x0, y0, x1, y1, box)) {
                    // wholly outside: it paints nothing
                } else if (item.Style == LineStyle::Dotted) {
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

// Appends what libpng writes to a string; on running out of memory, fails the write (libpng
// then returns to WritePng's jump point), as an exception may not pass through libpng.
void AppendPngBytes(png_structp png, png_bytep data, png_size_t size) {
    bool full = false;
    try {
        static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    if (full) png_error(png, "out of memory");
}
void FlushNothing(png_structp /*png*/) {}

// The picture as a PNG file's bytes, false when libpng fails. The toolkit's writer tries every
// row filter at its strongest compression, which took longer than all the painting; a plot is
// mostly plain background, and unfiltered rows at a low level come out nearly as small in a
// quarter of the time. The pixels are the same either way.
bool WritePng(const QImage& image, int dotsPerMeter, std::string& out) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);  // PNG's byte order
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    // Nothing below needs destroying when libpng jumps back here: `rgb` and `out` were made
    // before, and what was written to `out` is dropped by the caller.
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()), static_cast<png_uint_32>(rgb.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, static_cast<png_uint_32>(dotsPerMeter), static_cast<png_uint_32>(dotsPerMeter),
                 PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < rgb.height(); ++y) png_write_row(png, rgb.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
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
    if (svg) {
        QBuffer bytes;
        bytes.open(QIODevice::WriteOnly);
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
        return bytes.data().toStdString();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw std::bad_alloc();
    image.setDotsPerMeterX(dotsPerMeter);  // the labels' size in pixels follows it
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        PaintDrawing(painter, thinned, target, QGuiApplication::palette());
    }
    std::string bytes;
    if (!WritePng(image, dotsPerMeter, bytes)) {
        err << "quillane-cli plot: " << path << ": the picture cannot be encoded\n";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace quillane::cli
