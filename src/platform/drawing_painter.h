// Paints a recorded plot picture with QPainter, fitting its user scale to any rectangle.
#pragma once

#include "platform/drawing.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QPointF>
#include <QRectF>

namespace quillane {

// The colour to paint: RGB colours as they are, system colours from `palette`
// (ButtonFace -> Button, ButtonShadow -> Dark, WindowBackground -> Base).
QColor PaintColor(const Color& color, const QPalette& palette);

// Fills `target` (in the painter's device coordinates) with the background and paints every
// item, the user scale mapped onto the whole of `target`. Without a scale only the background
// is painted. Lines are 1 device pixel wide (dotted ones in a dot pattern), dots a small
// round spot, circles round with their radius in x units, texts with their top-left corner at
// their position in the painter's font at the item's point size (for the device's DPI).
// Anything far outside `target` is skipped, so huge coordinates cannot upset the painter.
// Leaves the painter's state as it found it.
void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target,
                  const QPalette& palette = QPalette());

// Drawing coordinates of a device position, for the read-out under the mouse. Without a scale
// the position relative to the top-left corner of `target`, in device pixels.
QPointF DrawingPosition(const Drawing& drawing, const QRectF& target, const QPointF& device);

}  // namespace quillane
