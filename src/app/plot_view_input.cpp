// A plot picture's mouse and keys: zoom about the mouse, pan, pick a move, step through the
// passes, measure.
#include "app/plot_view.h"

#include "core/ncplot/view_fit.h"
#include "qt/plot_ruler.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillane {
namespace {

// How far the view may go from the picture's own scale: closer than a hundred-thousandth of it
// the single-precision scale runs out of digits; further away there is nothing more to see.
constexpr double kMostMagnified = 1e5;
constexpr double kLeastMagnified = 0.05;
// One notch of the wheel, and one press of + or -.
constexpr double kZoomStep = 1.25;
// How near, in pixels, a click must come to a move to pick it, or to an end point to snap.
constexpr double kPickTolerance = 5;
constexpr double kSnapTolerance = 6;

DrawPoint ToDrawPoint(const QPointF& p) { return DrawPoint(p.x(), p.y()); }

// Whether a view from `start` spanning `span` over `pixels` still tells pixels apart: the
// scale is single precision, and a pixel must span several of its steps there or a pan by
// one pixel would not move, or would jump.
bool Resolves(double start, double span, double pixels) {
    const auto reach = static_cast<float>(std::max(std::fabs(start), std::fabs(start + span)));
    const double step = static_cast<double>(std::nextafter(reach, std::numeric_limits<float>::infinity()) - reach);
    return std::fabs(span) / pixels >= 8 * step;
}

}  // namespace

void PlotView::setZoom(std::optional<UserScale> zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    update();
}

void PlotView::zoomAt(const QPointF& widgetPosition, double factor) {
    const std::optional<UserScale> shown = shownScale();
    const QRectF picture(contentsRect());
    if (!shown || !scale_ || !(factor > 0) || picture.isEmpty()) return;
    const double width = static_cast<double>(shown->Width) / factor;
    const double height = static_cast<double>(shown->Height) / factor;
    const double magnification = static_cast<double>(scale_->Width) / width;
    if (magnification > kMostMagnified || magnification < kLeastMagnified) return;
    // The drawing point under the mouse keeps its place in the picture.
    const QPointF at = drawingPositionAt(widgetPosition);
    const double rx = (widgetPosition.x() - picture.left()) / picture.width();
    const double ry = (widgetPosition.y() - picture.top()) / picture.height();
    const double left = at.x() - rx * width, top = at.y() - ry * height;
    if (factor > 1 && !(Resolves(left, width, picture.width()) && Resolves(top, height, picture.height()))) return;
    if (const std::optional<UserScale> zoom = MakeUserScale(left, top, width, height)) {
        setZoom(*zoom);
    }
}

void PlotView::panBy(const QPointF& pixels) {
    const std::optional<UserScale> shown = shownScale();
    const QRectF picture(contentsRect());
    if (!shown || picture.isEmpty()) return;
    const ViewTransform map = transformFor(*shown);
    const double dx = map.UnitsX(pixels.x());
    const double dy = map.UnitsY(pixels.y());
    if (const std::optional<UserScale> zoom = MakeUserScale(
            static_cast<double>(shown->Left) - dx, static_cast<double>(shown->Top) - dy, shown->Width, shown->Height)) {
        setZoom(*zoom);
    }
}

void PlotView::resetView() { setZoom(std::nullopt); }

void PlotView::fitToPath() {
    const std::optional<PlotExtents> extents = links_->Extents();
    const QRectF picture(contentsRect());
    if (!extents || !scale_ || picture.isEmpty()) return;
    std::optional<UserScale> fit = FitView(*extents, *scale_);
    if (!fit) return;
    // The fitted view shows rulers: the path keeps its margin clear of them too. Their width
    // depends on the values they show, so the fit is made again until it no longer changes.
    QSizeF room;
    for (int round = 0; round < 4; ++round) {
        const QSizeF needed = RulerRoom(*fit, picture, font(), this);
        if (needed.width() <= room.width() && needed.height() <= room.height()) break;
        room = room.expandedTo(needed);
        FitMargins margins;
        margins.Left += room.width() / picture.width();
        margins.Bottom += room.height() / picture.height();
        const std::optional<UserScale> clear = FitView(*extents, *scale_, margins);
        if (!clear) break;
        fit = clear;
    }
    setZoom(*fit);
}

void PlotView::setEqualScales(bool on) {
    if (on == equalScales_) return;
    equalScales_ = on;
    update();
}

PixelsPerUnit PlotView::pixelsPerUnit() const {
    const std::optional<UserScale> shown = shownScale();
    if (!shown) return {};
    const ViewTransform map = transformFor(*shown);
    return {map.PixelsPerUnitX(), map.PixelsPerUnitY()};
}

QString PlotView::passToolTipAt(const QPointF& widgetPosition) const {
    if (!shownScale()) return {};
    const std::optional<std::size_t> item =
        NearestMove(*drawing_, ToDrawPoint(drawingPositionAt(widgetPosition)), pixelsPerUnit(), kPickTolerance);
    if (!item) return {};
    const std::optional<std::size_t> pass = links_->PassOfLine(drawing_->LineOf(*item));
    return pass ? passToolTip(*pass) : QString();
}

void PlotView::measureAt(const QPointF& widgetPosition) {
    const DrawPoint at = ToDrawPoint(drawingPositionAt(widgetPosition));
    const DrawPoint point = NearestEndPoint(*drawing_, at, pixelsPerUnit(), kSnapTolerance).value_or(at);
    if (measurePoints_.size() >= 2) measurePoints_.clear();
    measurePoints_.push_back(point);
    update();
}

bool PlotView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const QString text = passToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QFrame::event(e);
}

void PlotView::keyPressEvent(QKeyEvent* e) {
    const QPointF centre = QRectF(contentsRect()).center();
    switch (e->key()) {
        case Qt::Key_Home:
            resetView();
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomAt(centre, kZoomStep);
            break;
        case Qt::Key_Minus:
            zoomAt(centre, 1 / kZoomStep);
            break;
        case Qt::Key_E:
            setShowExtents(!showExtents_);
            break;
        case Qt::Key_F:
        case Qt::Key_A:
            // Ctrl+A is the window's Copy All, and other chords are not these keys.
            if ((e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
                QFrame::keyPressEvent(e);
                return;
            }
            if (e->key() == Qt::Key_F) {
                fitToPath();
            } else {
                emit equalScalesKeyPressed();
            }
            break;
        case Qt::Key_M:
            emit measureKeyPressed();
            break;
        case Qt::Key_C:
            if (kind_ != PlotKind::PointData) {
                QFrame::keyPressEvent(e);
                return;
            }
            emit checkKeyPressed();
            break;
        case Qt::Key_Insert:
            if (e->modifiers() != Qt::NoModifier) {
                QFrame::keyPressEvent(e);
                return;
            }
            emit insertKeyPressed();
            break;
        case Qt::Key_Escape:
            measurePoints_.clear();
            update();
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_PageUp:
            emit passStepRequested(-1);
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            emit passStepRequested(+1);
            break;
        case Qt::Key_Space:
            if (!e->isAutoRepeat() && !panning_) {
                spaceHeld_ = true;
                setCursor(Qt::OpenHandCursor);
            }
            break;
        default:
            QFrame::keyPressEvent(e);
            return;
    }
    e->accept();
}

void PlotView::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        spaceHeld_ = false;
        if (!panning_) setCursor(restingCursor());
        e->accept();
        return;
    }
    QFrame::keyReleaseEvent(e);
}

void PlotView::focusOutEvent(QFocusEvent* e) {
    // The release of a Space held while the focus went elsewhere never comes here.
    if (spaceHeld_ && !panning_) setCursor(restingCursor());
    spaceHeld_ = false;
    QFrame::focusOutEvent(e);
}

void PlotView::mousePressEvent(QMouseEvent* e) {
    QFrame::mousePressEvent(e);
    if (e->button() == Qt::MiddleButton || (e->button() == Qt::LeftButton && spaceHeld_)) {
        panning_ = true;
        panFrom_ = e->position();
        setCursor(Qt::ClosedHandCursor);
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton || !shownScale()) return;
    e->accept();
    if (measuring_) {
        measureAt(e->position());
        return;
    }
    const std::optional<std::size_t> item =
        NearestMove(*drawing_, ToDrawPoint(drawingPositionAt(e->position())), pixelsPerUnit(), kPickTolerance);
    if (item) emit lineClicked(drawing_->LineOf(*item));
}

void PlotView::mouseMoveEvent(QMouseEvent* e) {
    if (panning_ && (e->buttons() & (Qt::MiddleButton | Qt::LeftButton)) == 0) {
        panning_ = false;  // the release went elsewhere
        setCursor(spaceHeld_ ? Qt::OpenHandCursor : restingCursor());
    }
    if (panning_) {
        panBy(e->position() - panFrom_);
        panFrom_ = e->position();
    }
    emit mouseMovedTo(drawingPositionAt(e->position()));
    QFrame::mouseMoveEvent(e);
}

void PlotView::mouseReleaseEvent(QMouseEvent* e) {
    if (panning_ && (e->button() == Qt::MiddleButton || e->button() == Qt::LeftButton)) {
        panning_ = false;
        setCursor(spaceHeld_ ? Qt::OpenHandCursor : restingCursor());
    }
    QFrame::mouseReleaseEvent(e);
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && !measuring_) {
        resetView();
        return;
    }
    QFrame::mouseDoubleClickEvent(e);
}

void PlotView::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) {
        QFrame::wheelEvent(e);
        return;
    }
    zoomAt(e->position(), std::pow(kZoomStep, notches));
    e->accept();
}

}  // namespace quillane
