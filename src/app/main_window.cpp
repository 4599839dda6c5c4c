// The main window: two program panes, their plots, the menus, tool bar and status bar.
#include "app/main_window.h"

#include "app/client_area.h"
#include "app/keyboard_locks.h"
#include "app/main_layout.h"
#include "app/pane_text.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/status_panels.h"
#include "app/tool_icons.h"
#include "app/twips.h"
#include "qt/single_instance.h"

#include <QCloseEvent>
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

    createPlots();
    createPanes();
    createActions();
    createMenus();
    createToolBar();
    createMeasureButton();
    createReadout();
    createStatusBar();
    connectPaneEvents();
    connectLinks();
    connectDialogs();
    readSettings();
    generator_.PassCounter = 1;

    client_->onResize([this] { layoutClientArea(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::createPanes() {
    txtDataA_ = new ProgramPane(QStringLiteral("txtDataA"), QStringLiteral("Point data for Macro program"), client_);
    txtDataB_ = new ProgramPane(QStringLiteral("txtDataB"), QStringLiteral("Standard program"), client_);
    // Tab order, which also gives the first focus: the plots, the standard program, the point data.
    setTabOrder(Picture1_, Picture2_);
    setTabOrder(Picture2_, txtDataB_);
    setTabOrder(txtDataB_, txtDataA_);
}

void MainWindow::createPlots() {
    Picture1_ = new PlotView(QStringLiteral("Picture1"), QStringLiteral("Point Graphic"), PlotKind::PointData, client_);
    Picture2_ =
        new PlotView(QStringLiteral("Picture2"), QStringLiteral("Cutting Graphic"), PlotKind::CuttingPath, client_);
    Line1_ = EtchedLine(client_, QStringLiteral("Line1"), QPalette::Dark);
    Line2_ = EtchedLine(client_, QStringLiteral("Line2"), QPalette::Light);
}

void MainWindow::createReadout() {
    Picture3_ = new QLabel(tbToolBar_);
    Picture3_->setObjectName(QStringLiteral("Picture3"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    Picture3_->setFont(font);
    Picture3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture3_->setAutoFillBackground(true);
    Picture3_->hide();
}

void MainWindow::createStatusBar() {
    sbStatusBar_ = new StatusPanels(client_);
    keyboardLocks_ = new KeyboardLocks(this);
    sbStatusBar_->setNumLock(keyboardLocks_->numLock());
    connect(keyboardLocks_, &KeyboardLocks::numLockChanged, sbStatusBar_, &StatusPanels::setNumLock);
}

void MainWindow::connectPaneEvents() {
    for (ProgramPane* pane : {txtDataA_, txtDataB_}) {
        connect(pane, &ProgramPane::gotFocus, this, [this, pane] { sbStatusBar_->setCurrentName(pane->caption()); });
        connect(pane, &ProgramPane::insertKeyPressed, this, &MainWindow::toggleInsertMode);
        connect(pane, &QWidget::customContextMenuRequested, this,
                [this, pane](const QPoint& at) { mnuEdit_->popup(pane->viewport()->mapToGlobal(at)); });
    }
    connectReplots();
    for (PlotView* plot : {Picture1_, Picture2_}) {
        connect(plot, &PlotView::gotFocus, this, [this, plot] { sbStatusBar_->setCurrentName(plot->caption()); });
        connect(plot, &PlotView::mouseMovedTo, this, &MainWindow::showReadout);
    }
}

void MainWindow::toggleInsertMode() {
    insertMode_ = !insertMode_;
    txtDataA_->setOverwriteMode(!insertMode_);
    txtDataB_->setOverwriteMode(!insertMode_);
    sbStatusBar_->setInsertMode(insertMode_);
}

double MainWindow::twipsPerPixelX() const { return TwipsPerPixelX(this); }
double MainWindow::twipsPerPixelY() const { return TwipsPerPixelY(this); }

void MainWindow::layoutClientArea() {
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const auto scaleWidth = static_cast<float>(client_->width() * tx);
    const auto scaleHeight = static_cast<float>(client_->height() * ty);
    const auto outerWidth = static_cast<float>(frameGeometry().width() * tx);
    const MainLayout layout = LayoutMainWindow(scaleWidth, scaleHeight, outerWidth);

    // The tool bar and status bar are docked strips of the client area: the tool bar above the
    // etched line, the status bar below the lower row.
    Place(tbToolBar_, {0, 0, scaleWidth, kToolBarHeight}, tx, ty);
    Place(sbStatusBar_, {0, scaleHeight - kStatusBarHeight, scaleWidth, kStatusBarHeight}, tx, ty);

    Place(txtDataA_, layout.txtDataA, tx, ty);
    Place(txtDataB_, layout.txtDataB, tx, ty);
    Place(Picture1_, layout.Picture1, tx, ty);
    Place(Picture2_, layout.Picture2, tx, ty);
    Place(Picture3_, layout.Picture3, tx, ty);
    Picture3_->raise();
    const int lineRight = static_cast<int>(std::lround(static_cast<double>(layout.LineX2) / tx));
    Line1_->setGeometry(0, static_cast<int>(std::lround(static_cast<double>(kLine1Y) / ty)), lineRight, 1);
    Line2_->setGeometry(0, static_cast<int>(std::lround(static_cast<double>(kLine2Y) / ty)), lineRight, 1);
}

std::string MainWindow::pointDataText() const { return ToProgramText(txtDataA_->toPlainText()); }

std::string MainWindow::standardProgramText() const { return ToProgramText(txtDataB_->toPlainText()); }

void MainWindow::showProgramTexts(const std::string& pointText, const std::string& programText) {
    txtDataA_->replaceText(ToPaneText(pointText));
    txtDataB_->replaceText(ToPaneText(programText));
}

void MainWindow::closeEvent(QCloseEvent* e) {
    closeOtherForms();
    writeSettings();
    e->accept();
}

void MainWindow::closeOtherForms() {
    // Dialogs are closed newest first, as they were opened on top of one another.
    const QList<QDialog*> dialogs = findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly);
    for (auto it = dialogs.crbegin(); it != dialogs.crend(); ++it) {
        (*it)->close();
    }
}

}  // namespace quillane
