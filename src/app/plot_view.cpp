// A plot picture: paints a recorded Drawing at whatever size the window gives it, with the
// emphasis, measurement and texts that the user's picking adds on top.
#include "app/plot_view.h"

#include "app/twips.h"
#include "core/ncplot/plot_picture.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_fit.h"
#include "qt/drawing_painter.h"
#include "qt/plot_ruler.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QToolTip>

#include <utility>

namespace quillane {
namespace {

// Emphasis over the plot's own colours: a pass in orange, its current line in white on top.
const QColor PassColour(255, 140, 0);
const QColor LineColour(255, 255, 255);
constexpr double EmphasisWidth = 3;
const QColor MeasureColour(0, 255, 127);
// The check's drawing: the wanted groove in light blue, material left in amber, tools thin
// grey, a crossing of the outline in red.
const QColor OutlineColour(120, 200, 255);
const QColor UncutColour(255, 190, 0, 150);
const QColor ToolColour(200, 200, 200, 110);
const QColor GougeColour(255, 40, 40);
// Texts over the picture (the caption, the pass, a measurement) stand on a dark backing so
// they read over the grid and the path alike.
const QColor BackingColour(0, 0, 0, 190);
constexpr int kOverlayPointSize = 9;

PixelBox BoxOf(const QRectF& r) { return {r.left(), r.top(), r.width(), r.height()}; }

QPointF DeviceOf(const ViewTransform& map, const DrawPoint& p) {
    return {map.DeviceX(static_cast<double>(p.X)), map.DeviceY(static_cast<double>(p.Y))};
}

// Lines of text in a dark box whose top-right corner is at `topRight`; the box's bottom.
double PaintTextBox(QPainter& painter, const QStringList& lines, const QPointF& topRight, const QColor& colour) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    double width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const double lineHeight = metrics.height();
    const QRectF box(topRight.x() - width - 8, topRight.y(), width + 8,
                     lineHeight * static_cast<double>(lines.size()) + 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BackingColour);
    painter.drawRect(box);
    painter.setPen(colour);
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(QPointF(box.left() + 4, box.top() + 2 + lineHeight * i + metrics.ascent()), lines[i]);
    }
    return box.bottom();
}

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
    own_ = std::move(drawing);
    ownLinks_.Rebuild(own_, kind_);
    showPicture(own_, ownLinks_, zOffset);
}

namespace {

// Two splices one after the other as one: the span either touched, told in the items before
// the first and after the second.
ItemSplice CombineSplices(const ItemSplice& first, const ItemSplice& then) {
    const std::size_t from = std::min(first.First, then.First);
    const std::size_t to = std::max(first.NewEnd, then.OldEnd);
    return {from, to - first.NewEnd + first.OldEnd, to - then.OldEnd + then.NewEnd, first.LineDelta + then.LineDelta};
}

}  // namespace

void PlotView::showPicture(const Drawing& drawing, const PlotLinks& links, double zOffset,
                           std::optional<ItemSplice> splice) {
    // A plot that stopped before it could set a scale leaves the picture's scale as it was,
    // and with it the read-out's units.
    const std::optional<UserScale> scale = drawing.Scale ? drawing.Scale : scale_;
    // A new extent (a new Program Output) starts at its own scale; an edit keeps the view.
    if (scale != scale_) {
        zoom_.reset();
        measurePoints_.clear();
    }
    // The thinned picture follows a splice of the picture it was thinned from; anything else is
    // thinned again whole.
    if (!splice || &drawing != drawing_ || scale != scale_) paintedStale_ = true;
    if (!paintedStale_) paintedSplice_ = paintedSplice_ ? CombineSplices(*paintedSplice_, *splice) : *splice;
    scale_ = scale;
    drawing_ = &drawing;
    links_ = &links;
    zOffset_ = zOffset;
    // Whoever emphasised the old picture's items says again what to emphasise in this one.
    clearHighlight();
    if (drawing.Crosshair) {
        crosshair_ = true;
        if (!panning_ && !spaceHeld_) setCursor(Qt::CrossCursor);
    }
    ++replotCount_;
    update();
    emit linksChanged();
}

void PlotView::clearToButtonFace() {
    // The picture's own fields stay, as a cleared picture keeps them; only its items go.
    Drawing cleared;
    cleared.Scale = scale_;
    cleared.ReadoutVisible = drawing_->ReadoutVisible;
    cleared.Crosshair = drawing_->Crosshair;
    cleared.Background = Color::System(ColorRole::ButtonFace);
    own_ = std::move(cleared);
    ownLinks_.Rebuild(own_, kind_);  // nothing drawn: no links
    drawing_ = &own_;
    links_ = &ownLinks_;
    clearHighlight();
    measurePoints_.clear();
    zoom_.reset();
    // A pass's tool tip would stay over a picture that no longer has the pass.
    if (QToolTip::isVisible()) QToolTip::hideText();
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
    if (pass >= links_->Passes().size()) return {};
    return QString::fromStdString(PassToolTip(pass + 1, links_->Passes()[pass].Start, zOffset_));
}

std::optional<UserScale> PlotView::shownScale() const { return shownScaleFor(QSizeF(contentsRect().size())); }

std::optional<UserScale> PlotView::shownScaleFor(const QSizeF& size) const {
    const std::optional<UserScale> view = zoom_ ? zoom_ : scale_;
    if (!view || !equalScales_) return view;
    return EqualScales(*view, size.width(), size.height());
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
    const std::optional<PlotExtents> extents = links_->Extents();
    return extents ? QString::fromStdString(ExtentsText(*extents, zOffset_)) : QString();
}

void PlotView::paintEvent(QPaintEvent* /*e*/) {
    const QRect picture = contentsRect();
    const std::optional<UserScale> scale = shownScale();
    // Thinned to the device's pixels, which a high-density screen has more of than the
    // picture has pixels of its own.
    const double ratio = devicePixelRatioF();
    // What covers what depends on the size of a drawing unit in pixels, not on where the view
    // lies: a pan within the thinned picture's reach only moves it.
    const bool panned = scale && painted_.Reaches(*scale);
    const double width = picture.width() * ratio, height = picture.height() * ratio;
    if (!paintedStale_ && paintedSplice_ && scale && paintedSize_ == picture.size() &&
        painted_.ThinnedFor(*scale, width, height)) {
        painted_.Follow(*drawing_, *paintedSplice_);
    } else if (paintedStale_ || paintedSplice_ || paintedSize_ != picture.size() || !panned) {
        if (scale) {
            painted_.Thin(*drawing_, *scale, width, height);
        } else {
            painted_.Unthinned(*drawing_);
        }
        paintedSize_ = picture.size();
    } else {
        painted_.SetScale(scale);
    }
    paintedStale_ = false;
    paintedSplice_.reset();
    QPainter painter(this);
    PaintDrawing(painter, painted_.Picture(), QRectF(picture), palette());
    paintOnTop(painter, QRectF(picture), scale);
    drawFrame(&painter);
}

void PlotView::renderView(QPainter& painter, const QRectF& target) const {
    if (target.isEmpty()) return;
    const std::optional<UserScale> scale = shownScaleFor(target.size());
    ThinnedPicture thinned;
    if (scale) {
        thinned.Thin(*drawing_, *scale, target.width(), target.height());
    } else {
        thinned.Unthinned(*drawing_);
    }
    painter.save();
    painter.setFont(font());
    PaintDrawing(painter, thinned.Picture(), target, palette());
    paintOnTop(painter, target, scale);
    painter.restore();
}

void PlotView::paintOnTop(QPainter& painter, const QRectF& target, const std::optional<UserScale>& scale) const {
    if (scale && overlay_) paintCheckOverlay(painter, target, *scale);
    if (scale) {
        if (!passItems_.Empty()) {
            PaintEmphasised(painter, *drawing_, passItems_.First, passItems_.End, *scale, target, PassColour,
                            EmphasisWidth);
        }
        for (const ItemRange& r : lineItems_) {
            PaintEmphasised(painter, *drawing_, r.First, r.End, *scale, target, LineColour, EmphasisWidth);
        }
    }
    // While zoomed the picture's own labels are mostly out of view: the rulers say where it is.
    if (scale && zoom_) {
        painter.save();
        painter.setFont(font());
        PaintRulers(painter, *scale, target, PaintColor(plot::Label, palette()));
        painter.restore();
    }
    paintOverlay(painter, target, scale);
}

void PlotView::setCheckOverlay(std::optional<CheckOverlay> overlay) {
    overlay_ = std::move(overlay);
    update();
}

void PlotView::setLitPass(std::optional<std::size_t> pass) {
    if (pass == litPass_) return;
    litPass_ = pass;
    if (overlay_) update();
}

void PlotView::paintCheckOverlay(QPainter& painter, const QRectF& target, const UserScale& scale) const {
    const ViewTransform map(scale, BoxOf(target));
    const auto polygon = [&map](const std::vector<DrawPoint>& points) {
        QPolygonF out;
        out.reserve(static_cast<qsizetype>(points.size()));
        for (const DrawPoint& p : points) out << DeviceOf(map, p);
        return out;
    };
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(UncutColour);
    for (const auto& region : overlay_->UncutRegions) painter.drawPolygon(polygon(region));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ToolColour, 1));
    for (const auto& tool : overlay_->Tools) painter.drawPolyline(polygon(tool));
    painter.setPen(QPen(OutlineColour, 1.5));
    painter.drawPolyline(polygon(overlay_->Outline));
    if (!overlay_->FinishedOutline.empty()) {
        painter.setPen(QPen(OutlineColour, 1, Qt::DashLine));
        painter.drawPolyline(polygon(overlay_->FinishedOutline));
    }
    if (litPass_ && *litPass_ < overlay_->Tools.size()) {
        painter.setPen(QPen(PassColour, 2));
        painter.drawPolyline(polygon(overlay_->Tools[*litPass_]));
    }
    painter.setPen(QPen(GougeColour, 2));
    for (const DrawPoint& p : overlay_->GougeSpots) painter.drawEllipse(DeviceOf(map, p), 5, 5);
    painter.restore();
}

void PlotView::paintOverlay(QPainter& painter, const QRectF& target, const std::optional<UserScale>& scale) const {
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, true);

    if (scale) {
        const ViewTransform map(*scale, BoxOf(target));
        // The current pass's start point, ringed.
        if (passStart_) {
            painter.setPen(QPen(PassColour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(DeviceOf(map, *passStart_), 6, 6);
        }
        // The measured points, snapped where they were, and the line between them.
        std::vector<QPointF> marks;
        for (const DrawPoint& p : measurePoints_) marks.push_back(DeviceOf(map, p));
        painter.setPen(QPen(MeasureColour, 1, Qt::DashLine));
        if (marks.size() == 2) painter.drawLine(marks[0], marks[1]);
        painter.setPen(QPen(MeasureColour, 1.5));
        for (const QPointF& m : marks) painter.drawRect(QRectF(m.x() - 4, m.y() - 4, 8, 8));
    }

    // The plot's name, then the pass, measurement and extents, in the top right corner, where
    // the plots put no labels of their own.
    QFont font = this->font();
    font.setPointSize(kOverlayPointSize);
    painter.setFont(font);
    const QPointF corner(target.right() - 4, target.top() + 4);
    const double below = PaintTextBox(painter, {caption_}, corner, PaintColor(plot::Label, palette()));
    QStringList lines;
    if (!passLabel_.isEmpty()) lines << passLabel_;
    if (measuring_)
        lines << (measurePoints_.size() < 2 ? QStringLiteral("Measure: click two points") : measurementText());
    else if (measurePoints_.size() == 2)
        lines << measurementText();
    if (showExtents_ && links_->Extents()) lines << extentsText();
    if (!lines.isEmpty()) PaintTextBox(painter, lines, QPointF(corner.x(), below + 2), Qt::white);
    painter.restore();
}

void PlotView::focusInEvent(QFocusEvent* e) {
    QFrame::focusInEvent(e);
    emit gotFocus();
}

}  // namespace quillane
