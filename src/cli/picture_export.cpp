// Plot pictures as PNG or SVG files, painted with the toolkit's painter.
#include "cli/picture_export.h"

#include "qt/drawing_painter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <optional>
#include <ostream>

namespace quillane::cli {

bool CanWritePictures() { return true; }

bool WritePicture(const Drawing& drawing, const std::string& path, bool svg, int width, int height, std::ostream& err) {
    // Plot export never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "quillane-cli";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;  // fonts need one; a caller may have its own
    if (QGuiApplication::instance() == nullptr) app.emplace(argc, argv);
    const QRectF target(0, 0, width, height);
    constexpr int dotsPerMeter = 3780;  // 96 dpi: 12-point labels are 16 pixels high
    if (svg) {
        QSvgGenerator generator;
        generator.setFileName(QString::fromStdString(path));
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(96);
        generator.setTitle("Quillane plot");
        QPainter painter;
        if (!painter.begin(&generator)) {
            err << "quillane-cli plot: cannot write " << path << "\n";
            return false;
        }
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
        painter.end();
        return true;
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
    }
    if (!image.save(QString::fromStdString(path), "PNG")) {
        err << "quillane-cli plot: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace quillane::cli
