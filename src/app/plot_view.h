// A plot picture: paints a recorded Drawing at whatever size the window gives it.
#pragma once

#include "app/plot_thinning.h"
#include "platform/drawing.h"

#include <QFrame>

#include <utility>

namespace quillane {

class PlotView : public QFrame {
    Q_OBJECT
public:
    PlotView(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    const Drawing& drawing() const { return drawing_; }
    // How many pictures have been shown since the window opened; every replot counts.
    int replotCount() const { return replotCount_; }

    // Shows a new picture. A completed plot also turns the mouse pointer into a crosshair,
    // which then stays.
    void showDrawing(Drawing drawing);
    // The picture that the last showDrawing replaced, for the next plot to reuse its storage.
    Drawing takeSpareDrawing() { return std::move(spare_); }
    // Clears the picture to the button face; the scale stays, as a cleared picture keeps it.
    void clearToButtonFace();

    // Drawing coordinates under a widget position. Before any plot set a scale these are the
    // picture's own coordinates: twips from its top-left corner.
    QPointF drawingPositionAt(const QPointF& widgetPosition) const;

signals:
    void gotFocus();
    void mouseMovedTo(QPointF drawingPosition);

protected:
    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QString caption_;
    Drawing drawing_ = FreshPicture();
    Drawing spare_;
    // What gets painted: the drawing thinned for the current size, made again when either changes.
    Drawing painted_;
    ThinningScratch thinning_;
    QSize paintedSize_;
    bool paintedStale_ = true;
    int replotCount_ = 0;
};

}  // namespace quillane
