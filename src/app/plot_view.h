// A plot picture: paints a recorded Drawing at whatever size the window gives it, and lets the
// user zoom, pan, pick a move, step through passes and measure on it.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/plot_links.h"
#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_transform.h"

#include <QFrame>

#include <optional>
#include <utility>
#include <vector>

namespace quillane {

// What the cross-section check draws over the point graphic, in its drawing coordinates.
struct CheckOverlay {
    std::vector<DrawPoint> Outline;                    // the groove the passes should cut
    std::vector<DrawPoint> FinishedOutline;            // after finishing, with a finish stock
    std::vector<std::vector<DrawPoint>> UncutRegions;  // material left standing
    std::vector<std::vector<DrawPoint>> Tools;         // the tool at every pass
    std::vector<DrawPoint> GougeSpots;                 // where a tool crosses the outline
};

class PlotView : public QFrame {
    Q_OBJECT
public:
    PlotView(const QString& objectName, const QString& caption, PlotKind kind, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    PlotKind kind() const { return kind_; }
    // The picture shown, as its plot drew it (a plot that stopped before its scale has none).
    const Drawing& drawing() const { return *drawing_; }
    // What ties the picture to its text, made again with every new picture.
    const PlotLinks& links() const { return *links_; }
    // How many pictures have been shown since the window opened; every replot counts.
    int replotCount() const { return replotCount_; }

    // Shows a new picture. A completed plot also turns the mouse pointer into a crosshair,
    // which then stays. `zOffset` turns the picture's x into Z for the texts it shows (the
    // point graphic draws Z from the start point). A zoomed view stays while the picture's
    // own scale does. The picture and its links stay the plot's, shown as they are: they must
    // live, unchanged, until the next showPicture, showDrawing or clearToButtonFace.
    // `splice`: the picture is the one shown before (the same object), changed only there; its
    // thinned picture then follows it instead of being thinned again whole.
    void showPicture(const Drawing& drawing, const PlotLinks& links, double zOffset = 0,
                     std::optional<ItemSplice> splice = std::nullopt);
    // The same for a picture the view keeps itself, its links made here.
    void showDrawing(Drawing drawing, double zOffset = 0);
    // Clears the picture to the button face; the scale stays, as a cleared picture keeps it.
    // Whatever the user did on the old picture goes with it: the zoom, the measured points,
    // the lit pass and a pass's tool tip.
    void clearToButtonFace();

    // Drawing coordinates under a widget position, at the current zoom. Before any plot set a
    // scale these are the picture's own coordinates: twips from its top-left corner.
    QPointF drawingPositionAt(const QPointF& widgetPosition) const;
    // Widget position of a drawing point at the current zoom (none before a scale is set).
    std::optional<QPointF> widgetPositionOf(const DrawPoint& at) const;

    // Zoom and pan. The shown scale is the picture's own until the user zooms or pans (then
    // rulers along the left and bottom edges say where the view is), widened along one axis
    // while equal scales are on.
    std::optional<UserScale> shownScale() const;
    // The same for a picture of `size` pixels (an export of the view at another size).
    std::optional<UserScale> shownScaleFor(const QSizeF& size) const;
    bool zoomed() const { return zoom_.has_value(); }
    // Zooms by `factor` (above 1: closer) keeping the drawing point under `widgetPosition` there.
    void zoomAt(const QPointF& widgetPosition, double factor);
    // Moves the picture by a distance in pixels, as a drag does.
    void panBy(const QPointF& pixels);
    // Back to the picture's own scale.
    void resetView();
    // Zooms to the extents of the plotted path with a small margin (nothing when none is drawn).
    void fitToPath();
    // Equal scales on both axes: a millimetre on the radius as long as one along Z, so that
    // flanks and corners look as they are. Off: the plot's own, stretched scale.
    void setEqualScales(bool on);
    bool equalScales() const { return equalScales_; }

    // Paints the view as it shows now (zoom, lit pass, check overlay, measurement, rulers,
    // caption) into `target` of any size, thinned for that size: an export of what is seen.
    void renderView(QPainter& painter, const QRectF& target) const;

    // Emphasises the items of the current line and, under them, those of the current pass,
    // whose start is ringed. `passLabel` ("pass 3 / 28") is shown in the corner meanwhile.
    void setHighlight(std::vector<ItemRange> lineItems, ItemRange passItems, const QString& passLabel,
                      std::optional<DrawPoint> passStart);
    const std::vector<ItemRange>& highlightedLine() const { return lineItems_; }
    ItemRange highlightedPass() const { return passItems_; }

    // The check's drawing over the picture; none: nothing drawn over it. The lit pass's tool
    // is drawn heavier.
    void setCheckOverlay(std::optional<CheckOverlay> overlay);
    bool showsCheckOverlay() const { return overlay_.has_value(); }
    void setLitPass(std::optional<std::size_t> pass);

    // Measuring: in measure mode two clicks measure between two points, each snapped to the
    // nearest plotted end point within a few pixels.
    void setMeasuring(bool on);
    bool measuring() const { return measuring_; }
    // The last measurement as text, empty until there are two points.
    QString measurementText() const;
    // The extents of the plotted path in a corner of the picture.
    void setShowExtents(bool on);
    bool showsExtents() const { return showExtents_; }
    QString extentsText() const;

    // The pass under a widget position as a tool tip text, empty when there is none.
    QString passToolTipAt(const QPointF& widgetPosition) const;
    // "pass n, X…, Z…" for a pass (0-based) of this picture, empty when it has no such pass.
    QString passToolTip(std::size_t pass) const;

signals:
    void gotFocus();
    // A new or cleared picture: its links are new, and what was lit up in it is gone.
    void linksChanged();
    void mouseMovedTo(QPointF drawingPosition);
    // A click picked a move drawn by this 0-based line of the text.
    void lineClicked(int line);
    // The user asked for the next (+1) or previous (-1) pass.
    void passStepRequested(int step);
    // The user pressed the measure key on this picture.
    void measureKeyPressed();
    // The Insert key: insert and overwrite are the window's, whatever has the focus.
    void insertKeyPressed();
    // The C key: the cross-section check on or off.
    void checkKeyPressed();
    // The A key: equal scales on or off (for both plots).
    void equalScalesKeyPressed();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void setZoom(std::optional<UserScale> zoom);
    void clearHighlight();
    PixelsPerUnit pixelsPerUnit() const;
    // Drawing units to pixels of the picture inside the frame, shown at `scale`.
    ViewTransform transformFor(const UserScale& scale) const;
    void measureAt(const QPointF& widgetPosition);
    // Everything painted over the thinned picture in `target` at `scale`.
    void paintOnTop(QPainter& painter, const QRectF& target, const std::optional<UserScale>& scale) const;
    void paintOverlay(QPainter& painter, const QRectF& target, const std::optional<UserScale>& scale) const;
    void paintCheckOverlay(QPainter& painter, const QRectF& target, const UserScale& scale) const;

    QString caption_;
    PlotKind kind_;
    // A picture given to the view itself (showDrawing, the button face) and its links.
    Drawing own_ = FreshPicture();
    PlotLinks ownLinks_;
    const Drawing* drawing_ = &own_;
    const PlotLinks* links_ = &ownLinks_;
    // The scale of the pictures shown: a plot that stops before it could set one keeps it, and
    // with it the read-out's units.
    std::optional<UserScale> scale_;
    double zOffset_ = 0;
    std::optional<UserScale> zoom_;  // the user's view; none: the picture's own scale
    // What gets painted: the drawing thinned for the shown scale and size, made again when
    // either changes, and following the picture's splices in between.
    ThinnedPicture painted_;
    QSize paintedSize_;
    bool paintedStale_ = true;
    std::optional<ItemSplice> paintedSplice_;  // what changed in the picture since it was thinned
    int replotCount_ = 0;

    std::vector<ItemRange> lineItems_;
    ItemRange passItems_;
    QString passLabel_;
    std::optional<DrawPoint> passStart_;

    std::optional<CheckOverlay> overlay_;
    std::optional<std::size_t> litPass_;

    bool measuring_ = false;
    std::vector<DrawPoint> measurePoints_;  // none, one or two
    bool showExtents_ = false;
    bool equalScales_ = false;

    // The pointer when no drag is going on: a crosshair once a plot has completed.
    Qt::CursorShape restingCursor() const { return crosshair_ ? Qt::CrossCursor : Qt::ArrowCursor; }
    bool crosshair_ = false;
    bool spaceHeld_ = false;
    bool panning_ = false;
    QPointF panFrom_;
};

}  // namespace quillane
