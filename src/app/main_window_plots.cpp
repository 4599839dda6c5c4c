// The plots' view commands: fit to the path, the own scale, equal scales, and the export of
// what a plot shows.
#include "app/main_window.h"

#include "app/plot_export.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>

namespace quillane {
namespace {

const QString EqualScalesKey = QStringLiteral("EqualScales");

QAction* PlotAction(QObject* parent, const QString& objectName, const QString& caption) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(objectName);
    return action;
}

}  // namespace

void MainWindow::createPlotActions() {
    Actions& a = actions_;
    // The keys are the plots' own (F, Home, A on a plot); given as a shortcut they would be
    // taken from the panes, where they are letters to type. The menu shows them after a tab.
    a.FitPlot = PlotAction(this, QStringLiteral("mnuViewFit"), QStringLiteral("Fit to Path\tF"));
    a.OwnScale = PlotAction(this, QStringLiteral("mnuViewOwnScale"), QStringLiteral("Own Scale\tHome"));
    a.EqualScales = PlotAction(this, QStringLiteral("mnuViewEqualScales"), QStringLiteral("Equal Scales\tA"));
    a.EqualScales->setCheckable(true);
    a.ExportPlot = PlotAction(this, QStringLiteral("mnuFileExportPlot"), QStringLiteral("Export Plot..."));

    connect(a.FitPlot, &QAction::triggered, this, [this] {
        for (PlotView* plot : plotsToView()) plot->fitToPath();
    });
    connect(a.OwnScale, &QAction::triggered, this, [this] {
        for (PlotView* plot : plotsToView()) plot->resetView();
    });
    connect(a.EqualScales, &QAction::toggled, this, [this](bool on) {
        points_->plot()->setEqualScales(on);
        program_->plot()->setEqualScales(on);
    });
    connect(a.ExportPlot, &QAction::triggered, this, &MainWindow::exportPlot);
    for (ProgramView* view : {points_, program_}) {
        connect(view->plot(), &PlotView::equalScalesKeyPressed, a.EqualScales, &QAction::toggle);
    }
    a.EqualScales->setChecked(settings_.get(EqualScalesKey, QStringLiteral("0")) == QLatin1String("1"));
}

void MainWindow::addViewMenu() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("View(&V)"));
    view->setObjectName(QStringLiteral("mnuView"));
    view->addActions({actions_.FitPlot, actions_.OwnScale, actions_.EqualScales});
}

void MainWindow::writePlotSettings() {
    settings_.save(EqualScalesKey, actions_.EqualScales->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

PlotView* MainWindow::currentPlot() const {
    const QWidget* focused = focusWidget();
    for (ProgramView* view : {points_, program_}) {
        if (focused == view->plot() || focused == view->pane()) return view->plot();
    }
    return nullptr;
}

std::vector<PlotView*> MainWindow::plotsToView() const {
    if (PlotView* plot = currentPlot()) return {plot};
    return {points_->plot(), program_->plot()};
}

void MainWindow::exportPlot() {
    PlotView* plot = currentPlot();
    if (plot == nullptr) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Export Plot"),
                        QStringLiteral("Click the plot to export first."), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    ExportSizeDialog sizeDialog(plot->contentsRect().size(), this);
    if (sizeDialog.exec() != QDialog::Accepted) return;
    QFileDialog dialog(this, QStringLiteral("Export Plot"), QDir::homePath());
    dialog.setObjectName(QStringLiteral("ExportPlotFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("PNG picture (*.png)"), QStringLiteral("SVG picture (*.svg)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    const SaveResult result = ExportPlot(*plot, path, sizeDialog.chosenSize());
    if (!result.Ok) {
        showSaveError(QStringLiteral("Could not save \"%1\":\n%2").arg(QDir::toNativeSeparators(path), result.Error));
    }
}

}  // namespace quillane
