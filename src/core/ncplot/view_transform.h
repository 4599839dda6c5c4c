// Where drawing units land in pixels: a picture shown at a user scale in a rectangle of pixels.
#pragma once

#include "core/ncplot/drawing.h"

namespace quillane {

// A rectangle of device pixels.
struct PixelBox {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    bool Empty() const { return !(Width > 0) || !(Height > 0); }
};

// The one mapping between drawing coordinates and device pixels, used by painting, thinning,
// zoom, pan, picking and the read-out alike, so that what is painted is what is picked.
class ViewTransform {
public:
    ViewTransform(const UserScale& scale, const PixelBox& box)
        : scale_(scale),
          box_(box),
          perUnitX_(box.Width / static_cast<double>(scale.Width)),
          perUnitY_(box.Height / static_cast<double>(scale.Height)),
          originX_(box.Left - static_cast<double>(scale.Left) * perUnitX_),
          originY_(box.Top - static_cast<double>(scale.Top) * perUnitY_) {}

    const UserScale& Scale() const { return scale_; }
    const PixelBox& Box() const { return box_; }
    double PixelsPerUnitX() const { return perUnitX_; }
    double PixelsPerUnitY() const { return perUnitY_; }

    // Device position of drawing coordinates.
    double DeviceX(double x) const { return originX_ + x * perUnitX_; }
    double DeviceY(double y) const { return originY_ + y * perUnitY_; }

    // Drawing coordinates of a device position. An empty box maps nothing: the position is
    // then taken relative to the box's top-left corner.
    double DrawingX(double deviceX) const {
        if (Degenerate()) return deviceX - box_.Left;
        return static_cast<double>(scale_.Left) +
               (deviceX - box_.Left) * static_cast<double>(scale_.Width) / box_.Width;
    }
    double DrawingY(double deviceY) const {
        if (Degenerate()) return deviceY - box_.Top;
        return static_cast<double>(scale_.Top) +
               (deviceY - box_.Top) * static_cast<double>(scale_.Height) / box_.Height;
    }

    // A distance of device pixels in drawing units.
    double UnitsX(double pixels) const { return pixels * static_cast<double>(scale_.Width) / box_.Width; }
    double UnitsY(double pixels) const { return pixels * static_cast<double>(scale_.Height) / box_.Height; }

private:
    bool Degenerate() const { return box_.Width == 0 || box_.Height == 0; }

    UserScale scale_;
    PixelBox box_;
    double perUnitX_;
    double perUnitY_;
    double originX_;
    double originY_;
};

}  // namespace quillane
