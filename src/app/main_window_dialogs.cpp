// The main window's two dialogs: the shape dialog behind "Data Input", whose "Program Output"
// the window runs and applies here, and the About box.
#include "app/about_box.h"
#include "app/check_report.h"
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/program_view.h"
#include "app/shape_dialog.h"
#include "app/status_panels.h"
#include "core/check/section_check.h"
#include "qt/system_info.h"

#include <QAction>

#include <string>
#include <utility>

namespace quillane {

void MainWindow::openShapeDialog() {
    ensureShapeDialog();
    shapeDialog_->openModal(generator_.Shape);
}

void MainWindow::ensureShapeDialog() {
    if (!shapeDialog_) {
        shapeDialog_ = new ShapeDialog(this);
        connect(shapeDialog_, &ShapeDialog::programOutputRequested, this, &MainWindow::runProgramOutput);
        connect(shapeDialog_, &ShapeDialog::closed, this, &MainWindow::replotNonEmptyPanes);
    }
}

void MainWindow::runProgramOutput(const ShapeBoxTexts& boxes, const OutputOptions& options) {
    std::string pointText = points_->text();
    std::string programText = program_->text();
    const RunResult r = ProgramOutput(generator_, boxes, options, pointText, programText);
    WindowSnapshot before = snapshot(UndoableCommand::ProgramOutput, std::move(pointText), std::move(programText));
    // The point data is in its pane before the standard program is written, and each pane is
    // replotted with the record as it stood when its text arrived: the standard program may
    // floor the lead further.
    const float counterBefore = generator_.PassCounter;
    generator_ = r.State;
    generator_.Shape = r.ShapeAtPointData;
    generator_.PassCounter = counterBefore;
    points_->setText(r.PointText);
    generator_ = r.State;
    program_->setText(r.ProgramText);
    // Also a failed run may have appended the point data and read part of the record.
    rememberForUndo(std::move(before));
    if (!shapeDialog_) return;
    if (r.Succeeded) {
        shapeDialog_->hide();
    } else {
        shapeDialog_->showDataError(r.ErrorDetail);
    }
}

void MainWindow::runCheck() {
    PlotView* plot = points_->plot();
    if (!actions_.Check->isChecked()) {
        plot->setCheckOverlay(std::nullopt);
        statusBar_->setCheckSummary({});
        return;
    }
    const SectionCheck check =
        CheckSection(generator_.Shape, points_->text(), checkReport_->toolAngle(), checkReport_->target());
    checkReport_->showCheck(check);
    statusBar_->setCheckSummary(QString::fromStdString(CheckSummaryText(check)));
    if (!check.Problem.empty()) {
        plot->setCheckOverlay(std::nullopt);
        return;
    }
    CheckOverlay overlay;
    overlay.Outline = check.Outline;
    overlay.FinishedOutline = check.FinishedOutline;
    overlay.UncutRegions = check.UncutRegions;
    overlay.Tools.reserve(check.Passes.size());
    for (const CheckPass& pass : check.Passes) overlay.Tools.push_back(pass.Tool);
    for (const CheckGouge& spot : check.GougeSpots) overlay.GougeSpots.push_back(spot.At);
    plot->setCheckOverlay(std::move(overlay));
}

void MainWindow::openShapeDialogWithFeeds(const std::array<std::optional<double>, 8>& feeds) {
    ensureShapeDialog();
    ShapeData shape = generator_.Shape;
    for (std::size_t k = 0; k < feeds.size(); ++k) {
        if (feeds[k]) shape.Feed[k] = static_cast<float>(*feeds[k]);
    }
    // Only the boxes are filled: nothing is generated until Program Output.
    shapeDialog_->openModal(shape);
}

void MainWindow::openAboutBox() {
    const DesktopSystem system;
    // Closed with its OK button the box also redraws the plots of the panes that hold text.
    if (ShowAboutBox(this, system)) replotNonEmptyPanes();
}

}  // namespace quillane
