// The main window's two dialogs: the shape dialog behind "Data Input", whose "Program Output"
// the window runs and applies here, and the About box.
#include "app/about_box.h"
#include "app/main_window.h"
#include "app/program_view.h"
#include "app/shape_dialog.h"
#include "qt/system_info.h"

namespace quillane {

void MainWindow::openShapeDialog() {
    if (!shapeDialog_) {
        shapeDialog_ = new ShapeDialog(this);
        connect(shapeDialog_, &ShapeDialog::programOutputRequested, this, &MainWindow::runProgramOutput);
        connect(shapeDialog_, &ShapeDialog::closed, this, &MainWindow::replotNonEmptyPanes);
    }
    shapeDialog_->openModal(generator_.Shape);
}

void MainWindow::runProgramOutput(const ShapeBoxTexts& boxes, const OutputOptions& options) {
    const RunResult r = ProgramOutput(generator_, boxes, options, points_->text(), program_->text());
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
    if (!shapeDialog_) return;
    if (r.Succeeded) {
        shapeDialog_->hide();
    } else {
        shapeDialog_->showDataError(r.ErrorDetail);
    }
}

void MainWindow::openAboutBox() {
    const DesktopSystem system;
    // Closed with its OK button the box also redraws the plots of the panes that hold text.
    if (ShowAboutBox(this, system)) replotNonEmptyPanes();
}

}  // namespace quillane
