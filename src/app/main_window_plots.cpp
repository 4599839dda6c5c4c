// Keeps each plot in step with its pane, and the X/Z read-out with the mouse over a plot.
#include "app/main_window.h"

#include "app/pane_text.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "ncplot/cutting_graphic.h"
#include "ncplot/plot_readout.h"
#include "ncplot/point_graphic.h"

#include <QLabel>

#include <utility>

namespace quillane {

void MainWindow::replotPointData() {
    adoptPlot(Picture1_, PlotPointData(pointDataText(), generator_.Shape, scan_));
}

void MainWindow::replotCuttingPath() {
    // Before the first Program Output there is no extent to draw to: the picture stays.
    if (std::optional<Drawing> drawing = PlotCuttingPath(standardProgramText(), generator_, scan_)) {
        adoptPlot(Picture2_, std::move(*drawing));
    }
}

void MainWindow::adoptPlot(PlotView* view, Drawing drawing) {
    if (drawing.ReadoutVisible) {
        Picture3_->show();
    }
    view->showDrawing(std::move(drawing));
}

void MainWindow::replotNonEmptyPanes() {
    if (!txtDataA_->document()->isEmpty()) {
        replotPointData();
    }
    if (!txtDataB_->document()->isEmpty()) {
        replotCuttingPath();
    }
}

void MainWindow::showReadout(const QPointF& drawingPosition) {
    Picture3_->setText(QString::fromStdString(
        ReadoutText(static_cast<float>(drawingPosition.x()), static_cast<float>(drawingPosition.y()))));
}

}  // namespace quillane
