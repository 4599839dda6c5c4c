// The rulers along the left and bottom edges of a zoomed plot: diameter and Z at round steps.
#pragma once

#include "core/ncplot/drawing.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace quillane {

// The marks of one ruler: the values it labels and the step between them.
struct RulerScale {
    double Step = 0;
    std::vector<double> Values;
};

// The diameters (X = -2y) a ruler down the left edge of `target` marks for `view`, each label
// of `font` at least its own height plus a few pixels from the next, on `device`.
RulerScale DiameterRuler(const UserScale& view, const QRectF& target, const QFont& font, QPaintDevice* device);
// The Z values (x) a ruler along the bottom edge marks, each label clear of the next.
RulerScale ZRuler(const UserScale& view, const QRectF& target, const QFont& font, QPaintDevice* device);

// How much of `target` the rulers take for `view`: the width of the strip down the left edge
// and the height of the one along the bottom, in the painter font `font` (set to the rulers' size).
QSizeF RulerRoom(const UserScale& view, const QRectF& target, const QFont& font, QPaintDevice* device);

// Paints both rulers inside `target` for `view`: a dark strip along the left and the bottom
// edge, a tick and a value at every mark, in `colour`.
void PaintRulers(QPainter& painter, const UserScale& view, const QRectF& target, const QColor& colour);

}  // namespace quillane
