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

class PlotView : public QFrame {
    Q_OBJECT
public:
    PlotView(const QString& objectName, const QString& caption, PlotKind kind, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    PlotKind kind() const { return kind_; }
    const Drawing& drawing() const { return drawing_; }
    // What ties the picture to its text, made again with every new picture.
    const PlotLinks& links() const { return links_; }
    // How many pictures have been shown since the window opened; every replot counts.
    int replotCount() const { return replotCount_; }

    // Shows a new picture. A completed plot also turns the mouse pointer into a crosshair,
    // which then stays. `zOffset` turns the picture's x into Z for the texts it shows (the
    // point graphic draws Z from the start point). A zoomed view stays while the picture's
    // own scale does.
    void showDrawing(Drawing drawing, double zOffset = 0);
    // The picture that the last showDrawing replaced, for the next plot to reuse its storage.
    Drawing takeSpareDrawing() { return std::move(spare_); }
    // Clears the picture to the button face; the scale stays, as a cleared picture keeps it.
    void clearToButtonFace();

    // Drawing coordinates under a widget position, at the current zoom. Before any plot set a
    // scale these are the picture's own coordinates: twips from its top-left corner.
    QPointF drawingPositionAt(const QPointF& widgetPosition) const;
    // Widget position of a drawing point at the current zoom (none before a scale is set).
    std::optional<QPointF> widgetPositionOf(const DrawPoint& at) const;

    // Zoom and pan. The shown scale is the picture's own until the user zooms or pans.
    std::optional<UserScale> shownScale() const;
    bool zoomed() const { return zoom_.has_value(); }
    // Zooms by `factor` (above 1: closer) keeping the drawing point under `widgetPosition` there.
    void zoomAt(const QPointF& widgetPosition, double factor);
    // Moves the picture by a distance in pixels, as a drag does.
    void panBy(const QPointF& pixels);
    // Back to the picture's own scale.
    void resetView();

    // Emphasises the items of the current line and, under them, those of the current pass,
    // whose start is ringed. `passLabel` ("pass 3 / 28") is shown in the corner meanwhile.
    void setHighlight(std::vector<ItemRange> lineItems, ItemRange passItems, const QString& passLabel,
                      std::optional<DrawPoint> passStart);
    const std::vector<ItemRange>& highlightedLine() const { return lineItems_; }
    ItemRange highlightedPass() const { return passItems_; }

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
    void paintOverlay(QPainter& painter);

    QString caption_;
    PlotKind kind_;
    Drawing drawing_ = FreshPicture();
    Drawing spare_;
    PlotLinks links_;
    double zOffset_ = 0;
    std::optional<UserScale> zoom_;  // the user's view; none: the picture's own scale
    // What gets painted: the drawing thinned for the shown scale and size, made again when
    // either changes.
    Drawing painted_;
    ThinningScratch thinning_;
    QSize paintedSize_;
    bool paintedStale_ = true;
    int replotCount_ = 0;

    std::vector<ItemRange> lineItems_;
    ItemRange passItems_;
    QString passLabel_;
    std::optional<DrawPoint> passStart_;

    bool measuring_ = false;
    std::vector<DrawPoint> measurePoints_;  // none, one or two
    bool showExtents_ = false;

    // The pointer when no drag is going on: a crosshair once a plot has completed.
    Qt::CursorShape restingCursor() const { return crosshair_ ? Qt::CrossCursor : Qt::ArrowCursor; }
    bool crosshair_ = false;
    bool spaceHeld_ = false;
    bool panning_ = false;
    QPointF panFrom_;
};

}  // namespace quillane
