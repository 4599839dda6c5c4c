// Plot pictures as PNG or SVG files, painted with the toolkit's painter and, for PNG, encoded
// with libpng.
#include "cli/picture_export.h"

#include "qt/drawing_painter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <png.h>

#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <ostream>

namespace quillane::cli {
namespace {

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

// The toolkit's messages as it writes them itself, but for its remark that no folder for runtime
// files is set (as for root in a container): a picture needs none, and the remark would only be
// noise on the command's error stream.
void ToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

// The toolkit as picture export runs it: an application, which fonts need, and the arguments it
// keeps pointing to; the message handler it had before is put back at the end.
struct Toolkit {
    QtMessageHandler Before = qInstallMessageHandler(ToolkitMessage);
    int Argc = 1;
    char Name[13] = "quillane-cli";
    char* Argv[2] = {Name, nullptr};
    QGuiApplication App{Argc, Argv};

    Toolkit() = default;
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;
    ~Toolkit() { qInstallMessageHandler(Before); }
};

// The picture as a PNG file's bytes, false when libpng fails. The toolkit's own writer took
// longer than all the painting (15 ms for 1200 x 500 pixels, 8 ms even without compression); a
// plot is mostly plain background, and unfiltered rows at level 3 take a quarter of that for a
// file a third larger. The pixels are the same either way. Rows are taken as painted, each pixel
// a word 0xffRRGGBB: libpng reorders the bytes and leaves out the fourth, which saves a copy of
// the picture in PNG's order (a millisecond); a machine that stores words the other way round
// gets the copy.
bool WritePng(const QImage& painted, int dotsPerMeter, std::string& out) {
    const bool asPainted = Q_BYTE_ORDER == Q_LITTLE_ENDIAN && painted.format() == QImage::Format_RGB32;
    const QImage image = asPainted ? painted : painted.convertToFormat(QImage::Format_RGB888);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    // Nothing below needs destroying when libpng jumps back here: `image` and `out` were made
    // before, and what was written to `out` is dropped by the caller.
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, static_cast<png_uint_32>(dotsPerMeter), static_cast<png_uint_32>(dotsPerMeter),
                 PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    if (asPainted) {
        png_set_bgr(png);                          // B G R x in memory
        png_set_filler(png, 0, PNG_FILLER_AFTER);  // the x left out
    }
    for (int y = 0; y < image.height(); ++y) png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void* StartToolkit() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (QGuiApplication::instance() != nullptr) return nullptr;  // the caller's own
    auto* toolkit = new Toolkit;
    // The fonts are found now rather than at the first label: that is most of the toolkit's
    // start after its libraries, and the caller draws the program meanwhile.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    painter.drawText(QPointF(0, 0), QStringLiteral("0"));
    return toolkit;
}

void StopToolkit(void* toolkit) { delete static_cast<Toolkit*>(toolkit); }

std::optional<std::string> RenderPicture(const Drawing& drawing, const std::string& path, bool svg, int width,
                                         int height, std::ostream& err) {
    std::unique_ptr<Toolkit, void (*)(void*)> own(static_cast<Toolkit*>(StartToolkit()), StopToolkit);
    const QRectF target(0, 0, width, height);
    constexpr int dotsPerMeter = 3780;  // 96 dpi: 12-point labels are 16 pixels high
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
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
        painter.end();
        return bytes.data().toStdString();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw std::bad_alloc();
    image.setDotsPerMeterX(dotsPerMeter);  // the labels' size in pixels follows it
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        PaintDrawing(painter, drawing, target, QGuiApplication::palette());
    }
    std::string bytes;
    if (!WritePng(image, dotsPerMeter, bytes)) {
        err << "quillane-cli plot: " << path << ": the picture cannot be encoded\n";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace quillane::cli
