// Keeps each plot in step with its pane, and the X/Z read-out with the mouse over a plot.
#include "app/main_window.h"

#include "app/pane_text.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_readout.h"
#include "core/ncplot/point_graphic.h"

#include <QLabel>
#include <QTimer>

#include <utility>

namespace quillane {
namespace {

// Up to this many characters a pane is replotted at once on every change; a larger one when
// the changes pause, so that a burst of keys on a 10 MB program costs one replot, not one each.
constexpr int kPromptReplotLimit = 2'000'000;

}  // namespace

void MainWindow::connectReplots() {
    pointReplot_ = new QTimer(this);
    programReplot_ = new QTimer(this);
    for (QTimer* timer : {pointReplot_, programReplot_}) {
        timer->setSingleShot(true);
        timer->setInterval(0);
    }
    connect(pointReplot_, &QTimer::timeout, this, &MainWindow::replotPointData);
    connect(programReplot_, &QTimer::timeout, this, &MainWindow::replotCuttingPath);
    // The plots share one scan state that carries over from plot to plot, so they must run in
    // the order of the changes: every replot first runs the one still waiting.
    const auto onChange = [](ProgramPane* pane, QTimer* later, auto replot) {
        return [pane, later, replot] {
            if (pane->document()->characterCount() <= kPromptReplotLimit) {
                later->stop();  // this change is plotted now
                replot();
            } else {
                later->start();
            }
        };
    };
    connect(txtDataA_, &QPlainTextEdit::textChanged, this,
            onChange(txtDataA_, pointReplot_, [this] { replotPointData(); }));
    connect(txtDataB_, &QPlainTextEdit::textChanged, this,
            onChange(txtDataB_, programReplot_, [this] { replotCuttingPath(); }));
}

void MainWindow::runWaitingReplots() {
    if (pointReplot_->isActive()) {
        pointReplot_->stop();
        plotPointData();
    }
    if (programReplot_->isActive()) {
        programReplot_->stop();
        plotCuttingPath();
    }
}

void MainWindow::replotPointData() {
    runWaitingReplots();
    plotPointData();
}

void MainWindow::replotCuttingPath() {
    runWaitingReplots();
    plotCuttingPath();
}

void MainWindow::plotPointData() {
    const std::string_view text = ToProgramText(*txtDataA_->document(), plotText_);
    // The point graphic draws Z from the start point; its texts give Z itself.
    adoptPlot(Picture1_, PlotPointData(text, generator_.Shape, scan_, Picture1_->takeSpareDrawing()),
              generator_.Shape.StartPointZ);
}

void MainWindow::plotCuttingPath() {
    // Before the first Program Output there is no extent to draw to: the picture stays.
    const std::string_view text = ToProgramText(*txtDataB_->document(), plotText_);
    if (std::optional<Drawing> drawing = PlotCuttingPath(text, generator_, scan_, Picture2_->takeSpareDrawing())) {
        adoptPlot(Picture2_, std::move(*drawing));
    }
}

void MainWindow::adoptPlot(PlotView* view, Drawing drawing, double zOffset) {
    if (drawing.ReadoutVisible) {
        Picture3_->show();
    }
    view->showDrawing(std::move(drawing), zOffset);
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
