// A plot picture: paints a recorded Drawing at whatever size the window gives it.
#include "app/plot_view.h"

#include "app/main_layout.h"
#include "app/plot_thinning.h"
#include "platform/drawing_painter.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace quillane {

PlotView::PlotView(const QString& objectName, const QString& caption, QWidget* parent)
    : QFrame(parent), caption_(caption) {
    setObjectName(objectName);
    // A sunken border, as a picture box has: the picture inside it stays clear of the pane edges.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Plot labels come every 5 mm at 12 points; a condensed face keeps neighbours apart.
    QFont labels(QStringLiteral("DejaVu Sans"));
    labels.setStretch(QFont::Condensed);
    setFont(labels);
    setAccessibleName(caption);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Every pixel is painted each time; nothing behind needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotView::showDrawing(Drawing drawing) {
    // A plot that stopped before it could set a scale leaves the picture's scale as it was,
    // and with it the read-out's units.
    if (!drawing.Scale) {
        drawing.Scale = drawing_.Scale;
    }
    spare_ = std::exchange(drawing_, std::move(drawing));
    paintedStale_ = true;
    if (drawing_.Crosshair) {
        setCursor(Qt::CrossCursor);
    }
    ++replotCount_;
    update();
}

void PlotView::clearToButtonFace() {
    drawing_.Background = Color::System(ColorRole::ButtonFace);
    drawing_.Items.clear();
    paintedStale_ = true;
    ++replotCount_;
    update();
}

QPointF PlotView::drawingPositionAt(const QPointF& widgetPosition) const {
    const QPointF p = DrawingPosition(drawing_, QRectF(contentsRect()), widgetPosition);
    if (drawing_.Scale) {
        return p;
    }
    const double twipsPerPixelX = kTwipsPerInch / logicalDpiX();
    const double twipsPerPixelY = kTwipsPerInch / logicalDpiY();
    return {p.x() * twipsPerPixelX, p.y() * twipsPerPixelY};
}

void PlotView::paintEvent(QPaintEvent* /*e*/) {
    const QRect picture = contentsRect();
    if (paintedStale_ || paintedSize_ != picture.size()) {
        if (drawing_.Scale) {
            ThinForPainting(drawing_, *drawing_.Scale, QSizeF(picture.size()), painted_, thinning_);
        } else {
            painted_ = drawing_;
        }
        paintedSize_ = picture.size();
        paintedStale_ = false;
    }
    QPainter painter(this);
    PaintDrawing(painter, painted_, QRectF(picture), palette());
    drawFrame(&painter);
}

void PlotView::focusInEvent(QFocusEvent* e) {
    QFrame::focusInEvent(e);
    emit gotFocus();
}

void PlotView::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMovedTo(drawingPositionAt(e->position()));
    QFrame::mouseMoveEvent(e);
}

}  // namespace quillane
