// The main window: two program panes, their plots, the menus, tool bar and status bar.
#include "app/main_window.h"

#include "app/check_report.h"
#include "app/client_area.h"
#include "app/file_drop_filter.h"
#include "app/keyboard_locks.h"
#include "app/main_layout.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "app/replot_queue.h"
#include "app/status_panels.h"
#include "app/tool_icons.h"
#include "app/twips.h"
#include "core/ncplot/plot_readout.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolBar>

#include <cmath>
#include <utility>

namespace quillane {
namespace {

// Twips to pixels on one axis, rounding both edges so that neighbours meet without gaps.
QRect ToPixels(const TwipRect& r, double twipsPerPixelX, double twipsPerPixelY) {
    const auto px = [](float twips, double perPixel) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / perPixel));
    };
    const int left = px(r.Left, twipsPerPixelX);
    const int top = px(r.Top, twipsPerPixelY);
    return {left, top, px(r.Left + r.Width, twipsPerPixelX) - left, px(r.Top + r.Height, twipsPerPixelY) - top};
}

void Place(QWidget* widget, const TwipRect& r, double twipsPerPixelX, double twipsPerPixelY) {
    if (IsPlaceable(r)) {
        widget->setGeometry(ToPixels(r, twipsPerPixelX, twipsPerPixelY));
    }
}

QFrame* EtchedLine(QWidget* parent, const QString& name, QPalette::ColorRole role) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    line->setBackgroundRole(role);
    return line;
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<SingleInstanceGuard> guard, QWidget* parent)
    : QMainWindow(parent), guard_(std::move(guard)), settings_(QStringLiteral("Quillane"), QStringLiteral("Settings")) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillane  Ver. 1.10"));
    setWindowIcon(QuillaneWindowIcon());
    client_ = new ClientArea(this);
    setCentralWidget(client_);

    createViews();
    createActions();
    createMenus();
    createToolBar();
    createReadout();
    createStatusBar();
    connectViews();
    connectCheck();
    readSettings();
    generator_.PassCounter = 1;

    client_->onResize([this] { layoutClientArea(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::createViews() {
    // The plots come first: with the tab order below, the first focus goes to the point graphic.
    auto* Picture1 =
        new PlotView(QStringLiteral("Picture1"), QStringLiteral("Point Graphic"), PlotKind::PointData, client_);
    auto* Picture2 =
        new PlotView(QStringLiteral("Picture2"), QStringLiteral("Cutting Graphic"), PlotKind::CuttingPath, client_);
    rule_.Dark = EtchedLine(client_, QStringLiteral("Line1"), QPalette::Dark);
    rule_.Light = EtchedLine(client_, QStringLiteral("Line2"), QPalette::Light);
    auto* txtDataA =
        new ProgramPane(QStringLiteral("txtDataA"), QStringLiteral("Point data for Macro program"), client_);
    auto* txtDataB = new ProgramPane(QStringLiteral("txtDataB"), QStringLiteral("Standard program"), client_);
    // Tab order: the plots, the standard program, the point data.
    setTabOrder(Picture1, Picture2);
    setTabOrder(Picture2, txtDataB);
    setTabOrder(txtDataB, txtDataA);
    points_ = new ProgramView(txtDataA, Picture1, scan_, this);
    program_ = new ProgramView(txtDataB, Picture2, scan_, this);
    replots_ = new ReplotQueue(points_, program_, this);
}

void MainWindow::createReadout() {
    readout_ = new QLabel(toolBar_);
    readout_->setObjectName(QStringLiteral("Picture3"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    readout_->setFont(font);
    readout_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    readout_->setAutoFillBackground(true);
    readout_->hide();
}

void MainWindow::createStatusBar() {
    statusBar_ = new StatusPanels(client_);
    keyboardLocks_ = new KeyboardLocks(SystemLockState(), this);
    statusBar_->setNumLock(keyboardLocks_->numLock());
    connect(keyboardLocks_, &KeyboardLocks::numLockChanged, statusBar_, &StatusPanels::setNumLock);
}

void MainWindow::connectViews() {
    for (ProgramView* view : {points_, program_}) {
        ProgramPane* pane = view->pane();
        PlotView* plot = view->plot();
        connect(pane, &ProgramPane::gotFocus, this, [this, view] { statusBar_->setCurrentName(paneCaption(view)); });
        connect(view, &ProgramView::textChanged, this, [this, view] { paneTextChanged(view); });
        // A file dropped on a pane opens there.
        auto* drop = new FileDropFilter(view);
        pane->installEventFilter(drop);
        pane->viewport()->installEventFilter(drop);
        connect(drop, &FileDropFilter::fileDropped, this,
                [this, view](const QString& path) { openProgramFileInto(view, path); });
        connect(pane, &ProgramPane::insertKeyPressed, this, &MainWindow::toggleInsertMode);
        connect(pane, &QWidget::customContextMenuRequested, this,
                [this, pane](const QPoint& at) { actions_.EditMenu->popup(pane->viewport()->mapToGlobal(at)); });
        connect(plot, &PlotView::gotFocus, this, [this, plot] { statusBar_->setCurrentName(plot->caption()); });
        connect(plot, &PlotView::mouseMovedTo, this, [this](const QPointF& at) {
            readout_->setText(
                QString::fromStdString(ReadoutText(static_cast<float>(at.x()), static_cast<float>(at.y()))));
        });
        connect(plot, &PlotView::measureKeyPressed, actions_.Measure, &QAction::toggle);
        connect(plot, &PlotView::insertKeyPressed, this, &MainWindow::toggleInsertMode);
        connect(view, &ProgramView::replotDue, this, &MainWindow::replot);
        connect(view, &ProgramView::clearDue, replots_, &ReplotQueue::clear);
        connect(view, &ProgramView::plotCompleted, readout_, &QWidget::show);
        connect(view, &ProgramView::caretLed, this, [this](ProgramView* leader) {
            lighting_.Lead = leader;
            refreshLighting();
        });
        // A new picture's links: the caret's line and pass are found in it again.
        connect(view, &ProgramView::linksChanged, this, &MainWindow::refreshLighting);
        connect(view, &ProgramView::passStepRequested, this, &MainWindow::stepPass);
    }
    connect(actions_.Measure, &QAction::toggled, this, [this](bool on) {
        points_->plot()->setMeasuring(on);
        program_->plot()->setMeasuring(on);
    });
}

void MainWindow::connectCheck() {
    checkReport_ = new CheckReport(this);
    PlotView* plot = points_->plot();
    connect(actions_.Check, &QAction::toggled, this, &MainWindow::runCheck);
    connect(plot, &PlotView::checkKeyPressed, actions_.Check, &QAction::toggle);
    // Every new picture of the point data (an edit, a Program Output, New) is checked again.
    connect(plot, &PlotView::linksChanged, this, &MainWindow::runCheck);
    const auto showReport = [this] {
        actions_.Check->setChecked(true);
        checkReport_->show();
        checkReport_->raise();
    };
    connect(actions_.CheckReport, &QAction::triggered, this, showReport);
    connect(statusBar_, &StatusPanels::checkReportRequested, this, showReport);
    connect(checkReport_, &CheckReport::inputsChanged, this, &MainWindow::runCheck);
    connect(checkReport_, &CheckReport::suggestedFeedsRequested, this, &MainWindow::openShapeDialogWithFeeds);
    connect(checkReport_, &CheckReport::lineChosen, points_, &ProgramView::putCaretOn);
}

void MainWindow::replot(ProgramView* view) {
    // The plots share one scan state that carries over from plot to plot, so they run in the
    // order of the changes, each with the record as it stands now.
    replots_->replot(view, generator_);
}

void MainWindow::replotNonEmptyPanes() {
    // What the plots read from the record may have changed: each draws its whole text again.
    for (ProgramView* view : {points_, program_}) view->plotInputsChanged();
    for (ProgramView* view : {points_, program_}) {
        if (!view->empty()) replot(view);
    }
}

void MainWindow::refreshLighting() {
    ProgramView* lead = lighting_.Lead;
    const std::optional<std::size_t> pass = lead != nullptr ? lead->passAtCaret() : std::nullopt;
    // The other pane is brought to a pass when the user comes to it, not on every replot:
    // a pane scrolled away by hand stays where it is while the user types in the other.
    const bool cameToPass = pass != lighting_.Pass || lead != lighting_.LitFrom;
    lighting_.Pass = pass;
    lighting_.LitFrom = lead;
    for (ProgramView* view : {points_, program_}) view->light(pass, view == lead, view != lead && cameToPass);
}

void MainWindow::stepPass(ProgramView* view, int step) {
    const ProgramView* lead = lighting_.Lead;
    const std::optional<std::size_t> current = lead != nullptr ? lead->passAtCaret() : std::nullopt;
    if (const std::optional<int> line = view->stepPassLine(current, step)) view->putCaretOn(*line);
}

void MainWindow::toggleInsertMode() {
    const bool insert = points_->pane()->overwriteMode();  // it was overwriting: back to inserting
    for (ProgramView* view : {points_, program_}) view->pane()->setOverwriteMode(!insert);
    statusBar_->setInsertMode(insert);
}

void MainWindow::layoutClientArea() {
    const double tx = TwipsPerPixelX(this);
    const double ty = TwipsPerPixelY(this);
    const auto scaleWidth = static_cast<float>(client_->width() * tx);
    const auto scaleHeight = static_cast<float>(client_->height() * ty);
    const auto outerWidth = static_cast<float>(frameGeometry().width() * tx);
    const MainLayout layout = LayoutMainWindow(scaleWidth, scaleHeight, outerWidth);

    // The tool bar and status bar are docked strips of the client area: the tool bar above the
    // etched line, the status bar below the lower row.
    Place(toolBar_, {0, 0, scaleWidth, kToolBarHeight}, tx, ty);
    Place(statusBar_, {0, scaleHeight - kStatusBarHeight, scaleWidth, kStatusBarHeight}, tx, ty);

    Place(points_->pane(), layout.txtDataA, tx, ty);
    Place(program_->pane(), layout.txtDataB, tx, ty);
    Place(points_->plot(), layout.Picture1, tx, ty);
    Place(program_->plot(), layout.Picture2, tx, ty);
    Place(readout_, layout.Picture3, tx, ty);
    readout_->raise();
    const int lineRight = static_cast<int>(std::lround(static_cast<double>(layout.LineX2) / tx));
    rule_.Dark->setGeometry(0, static_cast<int>(std::lround(static_cast<double>(kLine1Y) / ty)), lineRight, 1);
    rule_.Light->setGeometry(0, static_cast<int>(std::lround(static_cast<double>(kLine2Y) / ty)), lineRight, 1);
}

std::string MainWindow::pointDataText() const { return points_->text(); }

std::string MainWindow::standardProgramText() const { return program_->text(); }

void MainWindow::showProgramTexts(const std::string& pointText, const std::string& programText) {
    points_->setText(pointText);
    program_->setText(programText);
}

void MainWindow::closeOtherForms() {
    // Dialogs are closed newest first, as they were opened on top of one another.
    const QList<QDialog*> dialogs = findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly);
    for (auto it = dialogs.crbegin(); it != dialogs.crend(); ++it) {
        (*it)->close();
    }
}

}  // namespace quillane
