// Twips, the unit the window and the shape dialog are laid out in: 1440 to the logical inch.
#pragma once

#include <QPaintDevice>

namespace quillane {

inline constexpr float kTwipsPerInch = 1440.0F;

// Twips per pixel of a device, in single precision as the layout is computed.
inline double TwipsPerPixelX(const QPaintDevice* device) {
    return static_cast<double>(kTwipsPerInch / static_cast<float>(device->logicalDpiX()));
}
inline double TwipsPerPixelY(const QPaintDevice* device) {
    return static_cast<double>(kTwipsPerInch / static_cast<float>(device->logicalDpiY()));
}

// Pixels per twip of a device.
inline double PixelsPerTwipX(const QPaintDevice* device) {
    return device->logicalDpiX() / static_cast<double>(kTwipsPerInch);
}
inline double PixelsPerTwipY(const QPaintDevice* device) {
    return device->logicalDpiY() / static_cast<double>(kTwipsPerInch);
}

}  // namespace quillane
