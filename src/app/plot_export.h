// File > Export Plot...: the focused plot as it is seen, written to a PNG or SVG picture.
#pragma once

#include "qt/file_saving.h"

#include <QDialog>
#include <QSize>
#include <QString>

class QSpinBox;

namespace quillane {

class PlotView;

// The picture of `plot` as it shows now (zoom, lit pass, check overlay, rulers, caption) at
// `size` pixels, as PNG bytes, or as SVG when `svg`; empty when it cannot be painted.
QByteArray PlotPicture(const PlotView& plot, const QSize& size, bool svg);

// Writes that picture to `path`, as SVG when the name ends in ".svg" (any case), else as PNG;
// atomically, so a failure leaves the old file as it was.
SaveResult ExportPlot(const PlotView& plot, const QString& path, const QSize& size);

// Asks for the picture's size, starting from the plot's size on screen.
class ExportSizeDialog : public QDialog {
    Q_OBJECT
public:
    ExportSizeDialog(const QSize& initial, QWidget* parent = nullptr);
    QSize chosenSize() const;

private:
    QSpinBox* width_;
    QSpinBox* height_;
};

}  // namespace quillane
