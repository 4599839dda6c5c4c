// A plot picture: paints a recorded Drawing at whatever size the window gives it, with the
// emphasis, measurement and texts that the user's picking adds on top.
#include "app/plot_view.h"

#include "app/twips.h"
#include "core/ncplot/plot_thinning.h"
#include "qt/drawing_painter.h"

#include <QFontMetricsF>
#include <QPainter>

#include <utility>

namespace quillane {
namespace {

// Emphasis over the plot's own colours: a pass in orange, its current line in white on top.
const QColor PassColour(255, 140, 0);
const QColor LineColour(255, 255, 255);
constexpr double EmphasisWidth = 3;
const QColor MeasureColour(0, 255, 127);

}  // namespace

PlotView::PlotView(const QString& objectName, const QString& caption, PlotKind kind, QWidget* parent)
    : QFrame(parent), caption_(caption), kind_(kind) {
    setObjectName(objectName);
    // A sunken border keeps the picture inside it clear of the pane edges.
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

void PlotView::showDrawing(Drawing drawing, double zOffset) {
    // A plot that stopped before it could set a scale leaves the picture's scale as it was,
    // and with it the read-out's units.
    if (!drawing.Scale) {
        drawing.Scale = drawing_.Scale;
    }
    // A new extent (a new Program Output) starts at its own scale; an edit keeps the view.
    if (drawing.Scale != drawing_.Scale) {
        zoom_.reset();
        measurePoints_.clear();
    }
    spare_ = std::exchange(drawing_, std::move(drawing));
    links_.Rebuild(drawing_, kind_);
    zOffset_ = zOffset;
    // Whoever emphasised the old picture's items says again what to emphasise in this one.
    clearHighlight();
    paintedStale_ = true;
    if (drawing_.Crosshair) {
        crosshair_ = true;
        if (!panning_ && !spaceHeld_) setCursor(Qt::CrossCursor);
    }
    ++replotCount_;
    update();
    emit linksChanged();
}

void PlotView::clearToButtonFace() {
    drawing_.Background = Color::System(ColorRole::ButtonFace);
    drawing_.Items.clear();
    links_.Rebuild(drawing_, kind_);  // nothing drawn: no links
    clearHighlight();
    measurePoints_.clear();
    paintedStale_ = true;
    ++replotCount_;
    update();
    emit linksChanged();
}

void PlotView::clearHighlight() {
    lineItems_.clear();
    passItems_ = {};
    passLabel_.clear();
    passStart_.reset();
}

QString PlotView::passToolTip(std::size_t pass) const {
    if (pass >= links_.Passes().size()) return {};
    return QString::fromStdString(PassToolTip(pass + 1, links_.Passes()[pass].Start, zOffset_));
}

std::optional<UserScale> PlotView::shownScale() const {
    if (zoom_) return zoom_;
    return drawing_.Scale;
}

ViewTransform PlotView::transformFor(const UserScale& scale) const {
    const QRectF picture(contentsRect());
    return ViewTransform(scale, {picture.left(), picture.top(), picture.width(), picture.height()});
}

QPointF PlotView::drawingPositionAt(const QPointF& widgetPosition) const {
    if (const std::optional<UserScale> scale = shownScale()) {
        const ViewTransform map = transformFor(*scale);
        return {map.DrawingX(widgetPosition.x()), map.DrawingY(widgetPosition.y())};
    }
    // Before any scale, the picture's own coordinates: twips from its top-left corner.
    const QPointF p = widgetPosition - QRectF(contentsRect()).topLeft();
    return {p.x() * TwipsPerPixelX(this), p.y() * TwipsPerPixelY(this)};
}

std::optional<QPointF> PlotView::widgetPositionOf(const DrawPoint& at) const {
    const std::optional<UserScale> scale = shownScale();
    if (!scale) return std::nullopt;
    const ViewTransform map = transformFor(*scale);
    return QPointF(map.DeviceX(static_cast<double>(at.X)), map.DeviceY(static_cast<double>(at.Y)));
}

void PlotView::setHighlight(std::vector<ItemRange> lineItems, ItemRange passItems, const QString& passLabel,
                            std::optional<DrawPoint> passStart) {
    if (lineItems == lineItems_ && passItems == passItems_ && passLabel == passLabel_ && passStart == passStart_) {
        return;
    }
    lineItems_ = std::move(lineItems);
    passItems_ = passItems;
    passLabel_ = passLabel;
    passStart_ = passStart;
    update();
}

void PlotView::setMeasuring(bool on) {
    if (on == measuring_) return;
    measuring_ = on;
    measurePoints_.clear();
    update();
}

QString PlotView::measurementText() const {
    if (measurePoints_.size() < 2) return {};
    return QString::fromStdString(MeasurementText(Measure(measurePoints_[0], measurePoints_[1])));
}

void PlotView::setShowExtents(bool on) {
    showExtents_ = on;
    update();
}

QString PlotView::extentsText() const {
    const std::optional<PlotExtents> extents = links_.Extents();
    return extents ? QString::fromStdString(ExtentsText(*extents, zOffset_)) : QString();
}

void PlotView::paintEvent(QPaintEvent* /*e*/) {
    const QRect picture = contentsRect();
    const std::optional<UserScale> scale = shownScale();
    // What covers what depends on the size of a drawing unit in pixels, not on where the view
    // lies: a pan only moves the thinned picture.
    const bool panned =
        scale && painted_.Scale && painted_.Scale->Width == scale->Width && painted_.Scale->Height == scale->Height;
    if (paintedStale_ || paintedSize_ != picture.size() || !panned) {
        if (scale) {
            ThinForPainting(drawing_, *scale, picture.width(), picture.height(), painted_, thinning_);
        } else {
            painted_ = drawing_;
        }
        paintedSize_ = picture.size();
        paintedStale_ = false;
    } else {
        painted_.Scale = scale;
    }
    QPainter painter(this);
    PaintDrawing(painter, painted_, QRectF(picture), palette());
    if (scale) {
        const QRectF target(picture);
        if (!passItems_.Empty()) {
            PaintEmphasised(painter, drawing_, passItems_.First, passItems_.End, *scale, target, PassColour,
                            EmphasisWidth);
        }
        for (const ItemRange& r : lineItems_) {
            PaintEmphasised(painter, drawing_, r.First, r.End, *scale, target, LineColour, EmphasisWidth);
        }
    }
    paintOverlay(painter);
    drawFrame(&painter);
}

void PlotView::paintOverlay(QPainter& painter) {
    const QRectF picture(contentsRect());
    painter.save();
    painter.setClipRect(picture);
    painter.setRenderHint(QPainter::Antialiasing, true);

    // The current pass's start point, ringed.
    if (passStart_) {
        if (const std::optional<QPointF> at = widgetPositionOf(*passStart_)) {
            painter.setPen(QPen(PassColour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(*at, 6, 6);
        }
    }

    // The measured points, snapped where they were, and the line between them.
    std::vector<QPointF> marks;
    for (const DrawPoint& p : measurePoints_) {
        if (const std::optional<QPointF> at = widgetPositionOf(p)) marks.push_back(*at);
    }
    painter.setPen(QPen(MeasureColour, 1, Qt::DashLine));
    if (marks.size() == 2) painter.drawLine(marks[0], marks[1]);
    painter.setPen(QPen(MeasureColour, 1.5));
    for (const QPointF& m : marks) painter.drawRect(QRectF(m.x() - 4, m.y() - 4, 8, 8));

    // Texts in the top right corner, where the plots put no labels of their own.
    QStringList lines;
    if (!passLabel_.isEmpty()) lines << passLabel_;
    if (measuring_)
        lines << (measurePoints_.size() < 2 ? QStringLiteral("Measure: click two points") : measurementText());
    else if (measurePoints_.size() == 2)
        lines << measurementText();
    if (showExtents_ && links_.Extents()) lines << extentsText();
    if (!lines.isEmpty()) {
        QFont font = this->font();
        font.setPointSize(9);
        painter.setFont(font);
        const QFontMetricsF metrics(font, this);
        double width = 0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        const double lineHeight = metrics.height();
        QRectF box(picture.right() - width - 12, picture.top() + 4, width + 8,
                   lineHeight * static_cast<double>(lines.size()) + 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 190));
        painter.drawRect(box);
        painter.setPen(Qt::white);
        for (int i = 0; i < lines.size(); ++i) {
            painter.drawText(QPointF(box.left() + 4, box.top() + 2 + lineHeight * i + metrics.ascent()), lines[i]);
        }
    }
    painter.restore();
}

void PlotView::focusInEvent(QFocusEvent* e) {
    QFrame::focusInEvent(e);
    emit gotFocus();
}

}  // namespace quillane
