// The fixed drawing of the groove profile at the top of the shape dialog.
#pragma once

#include <cstdint>

class QPainter;

namespace quillane {

// The sketch says what the diameters mean, which depends on the side the groove is cut from.
enum class SketchSide : std::uint8_t { Internal, External };

// Paints the sketch in twips: the caller's painter transform maps twips to the device.
void PaintShapeSketch(QPainter& painter, SketchSide side);

}  // namespace quillane
