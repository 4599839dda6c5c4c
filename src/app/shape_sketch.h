// The fixed drawing of the groove profile at the top of the shape dialog.
#pragma once

class QPainter;

namespace quillane {

// Paints the sketch in twips: the caller's painter transform maps twips to the device.
void PaintShapeSketch(QPainter& painter);

}  // namespace quillane
