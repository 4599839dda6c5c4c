// Plot pictures as PNG or SVG files, painted with the toolkit's painter.
#include "cli/picture_export.h"

#include "core/ncplot/plot_thinning.h"
#include "qt/drawing_painter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <new>
#include <optional>
#include <ostream>

namespace quillane::cli {

bool CanWritePictures() { return true; }

std::optional<std::string> RenderPicture(const Drawing& drawing, const std::string& path, bool svg, int width,
                                         int height, std::ostream& err) {
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
