// The main window: two program panes, their plots, the menus, tool bar and status bar.
#pragma once

#include "app/program_panes.h"
#include "app/window_placement.h"
#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"
#include "core/shape/program_writers.h"
#include "qt/settings_store.h"
#include "qt/single_instance.h"
#include "qt/system_info.h"

#include <QMainWindow>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace quillane {

class ClientArea;
class KeyboardLocks;
class PlotView;
class ProgramPane;
class ShapeDialog;
class StatusPanels;

class MainWindow : public QMainWindow, public ProgramPanes {
    Q_OBJECT
public:
    // `guard` keeps other copies of the program out for as long as the window lives.
    explicit MainWindow(std::unique_ptr<SingleInstanceGuard> guard = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The state "Program Output" works on: the shape record, CutSpanZ and PassCounter.
    GeneratorState& generatorState() override { return generator_; }
    // Pane texts with CR LF line ends, as the generator and the plots use them.
    std::string pointDataText() const override;
    std::string standardProgramText() const override;
    // Replaces the pane texts with the result of a "Program Output"; each pane that changes
    // is replotted.
    void showProgramTexts(const std::string& pointText, const std::string& programText) override;
    // Replots each pane that holds text (after the shape record changed).
    void replotNonEmptyPanes() override;
    // Folder the Save dialog starts in.
    QString rememberedFolder() const { return rememberedFolder_; }

public slots:
    void newProgram();
    void save();
    void exitProgram();
    void undo();
    void cut();
    void copy();
    void copyAll();
    void paste();
    void loadTrvMacroExample();
    void loadTrvStandardExample();
    void loadFanucExample();
    // "Data Input": the shape dialog, created on first use and kept hidden between openings.
    void openShapeDialog();
    // "About": the About box, modal.
    void openAboutBox();
    // A tool-bar button, by its key; a key that names no command does nothing.
    void runToolBarKey(const QString& key);

signals:
    // "Data Input" and "About" are answered by the shape dialog and the About box.
    void dataInputRequested();
    void aboutRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void createPanes();
    void createPlots();
    void createActions();
    void createMenus();
    void createToolBar();
    void createReadout();
    void createStatusBar();
    void connectPaneEvents();
    void connectDialogs();
    void readSettings();
    void writeSettings();
    void closeOtherForms();
    void applyPlacement();
    void finishPlacement();
    void layoutClientArea();

    void connectReplots();
    void replotPointData();
    void replotCuttingPath();
    void runWaitingReplots();
    void plotPointData();
    void plotCuttingPath();
    void showReadout(const QPointF& drawingPosition);
    void adoptPlot(PlotView* view, Drawing drawing, double zOffset = 0);

    void createMeasureButton();
    void connectLinks();
    void followCaret(ProgramPane* pane);
    void putCaretOn(ProgramPane* pane, int line);
    void stepPass(ProgramPane* pane, PlotView* plot, int step);
    PlotView* plotOf(const ProgramPane* pane) const;
    std::optional<std::size_t> currentPass() const;
    void refreshLinks();
    void revealLines(ProgramPane* pane, int first, int last);
    QString passToolTipInPane(ProgramPane* pane, const QPoint& viewportPosition) const;
    ProgramPane* currentPane() const;
    void toggleInsertMode();
    void showSaveError(const QString& text);
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    std::unique_ptr<SingleInstanceGuard> guard_;
    SettingsStore settings_;
    GeneratorState generator_;
    ScanState scan_;
    DesktopSystem system_;
    ShapeDialog* DataInput1_ = nullptr;
    std::string plotText_;  // the pane text being plotted, kept to reuse its storage
    QString rememberedFolder_;
    WindowPlacement storedPlacement_;  // as read, written back unchanged if the window was not moved
    QRect placedFrame_;                // the frame rectangle that placement was applied as
    bool placementPending_ = true;     // until the frame's size is known and allowed for
    bool insertMode_ = true;

    ClientArea* client_ = nullptr;
    ProgramPane* txtDataA_ = nullptr;
    ProgramPane* txtDataB_ = nullptr;
    PlotView* Picture1_ = nullptr;
    PlotView* Picture2_ = nullptr;
    QLabel* Picture3_ = nullptr;
    QToolBar* tbToolBar_ = nullptr;
    QFrame* Line1_ = nullptr;
    QFrame* Line2_ = nullptr;
    StatusPanels* sbStatusBar_ = nullptr;
    KeyboardLocks* keyboardLocks_ = nullptr;
    QTimer* pointReplot_ = nullptr;  // replots of a very large pane wait for a pause in typing
    QTimer* programReplot_ = nullptr;
    ProgramPane* linkPane_ = nullptr;     // whose caret line, and its pass, the views light up
    std::optional<std::size_t> litPass_;  // the pass lit up last, and from which pane
    ProgramPane* litPassPane_ = nullptr;
    QAction* measureAction_ = nullptr;

    QMenu* mnuFile_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    QMenu* mnuExample_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QAction* mnuFileNew_ = nullptr;
    QAction* mnuSquare_ = nullptr;
    QAction* mnuFileSave_ = nullptr;
    QAction* mnuFileBar2_ = nullptr;
    QAction* mnuFileExit_ = nullptr;
    QAction* mnuEditUndo_ = nullptr;
    QAction* mnuEditCut_ = nullptr;
    QAction* mnuEditCopy_ = nullptr;
    QAction* mnuEditCopyAll_ = nullptr;
    QAction* mnuEditPaste_ = nullptr;
    QAction* ExampleTrvMacro_ = nullptr;
    QAction* ExampleTrvStandard_ = nullptr;
    QAction* ExampleFanucStandard_ = nullptr;
    QAction* mnuHelpAbout_ = nullptr;
};

}  // namespace quillane
