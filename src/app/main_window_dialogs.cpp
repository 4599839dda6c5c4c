// The main window's two dialogs: the shape dialog behind "Data Input" and the About box.
#include "app/about_box.h"
#include "app/main_window.h"
#include "app/shape_dialog.h"

namespace quillane {

void MainWindow::connectDialogs() {
    connect(this, &MainWindow::dataInputRequested, this, &MainWindow::openShapeDialog);
    connect(this, &MainWindow::aboutRequested, this, &MainWindow::openAboutBox);
}

void MainWindow::openShapeDialog() {
    if (!DataInput1_) DataInput1_ = new ShapeDialog(*this, this);
    DataInput1_->openModal();
}

void MainWindow::openAboutBox() { ShowAboutBox(this, *this, system_); }

}  // namespace quillane
