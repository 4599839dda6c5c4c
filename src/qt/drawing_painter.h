// Paints a recorded plot picture with QPainter, fitting its user scale to any rectangle.
#pragma once

#include "core/ncplot/drawing.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <vector>

namespace quillane {

// The colour to paint: RGB colours as they are, system colours from `palette`
// (ButtonFace -> Button, ButtonShadow -> Dark, WindowBackground -> Base).
QColor PaintColor(const Color& color, const QPalette& palette);

// Fills `target` (in the painter's device coordinates) with the background and paints every
// item, the user scale mapped onto the whole of `target`. Without a scale only the background
// is painted. Lines are 1 device pixel wide (dotted ones in a dot pattern), dots a small
// round spot, circles round with their radius in x units, texts with their top-left corner at
// their position in the painter's font at the item's point size (for the device's DPI), less
// those that would run into others (PaintedLabels).
// Anything far outside `target` is skipped, so huge coordinates cannot upset the painter.
// Leaves the painter's state as it found it.
void PaintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target,
                  const QPalette& palette = QPalette());

// A text item that painting at a size shows, and the box it covers in device coordinates.
struct PaintedLabel {
    std::size_t Item = 0;
    QRectF Box;
};

// The texts of `drawing` that PaintDrawing paints at `target` in `font` (its size set per item)
// on `device`, in drawing order: those that show, less each grid label that would come within
// a few pixels of one already painted (see LabelsToPaint; the first and last of each axis stay).
// The drawing itself keeps every label; only the painting leaves some out.
std::vector<PaintedLabel> PaintedLabels(const Drawing& drawing, const QRectF& target, const QFont& font,
                                        QPaintDevice* device);

// Paints items [first, end) of `drawing` over what is painted already, all in `colour`, lines and
// rings `width` pixels wide and dots as large again: emphasis on what a program line drew.
// Texts are left out.
void PaintEmphasised(QPainter& painter, const Drawing& drawing, std::size_t first, std::size_t end,
                     const UserScale& scale, const QRectF& target, const QColor& colour, double width);

// Drawing coordinates of a device position, for the read-out under the mouse. Without a scale
// the position relative to the top-left corner of `target`, in device pixels.
QPointF DrawingPosition(const Drawing& drawing, const QRectF& target, const QPointF& device);
// The same for a picture shown at `scale` (a zoomed view of it).
QPointF DrawingPosition(const UserScale& scale, const QRectF& target, const QPointF& device);
// Device position of a drawing point on a picture shown at `scale`.
QPointF DevicePosition(const UserScale& scale, const QRectF& target, const DrawPoint& at);

}  // namespace quillane
