// The main window: two program views (a pane and its plot each), the menus, tool bar and
// status bar. It owns the session's state and applies every result in one place.
#pragma once

#include "app/recent_files.h"
#include "app/window_placement.h"
#include "app/window_snapshot.h"
#include "core/ncplot/nc_scanner.h"
#include "core/shape/program_writers.h"
#include "qt/settings_store.h"
#include "qt/single_instance.h"

#include <QMainWindow>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;

namespace quillane {

class CheckReport;
class ClientArea;
class KeyboardLocks;
class PlotView;
class ProgramView;
class ReplotQueue;
class ShapeDialog;
class StatusPanels;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `guard` keeps other copies of the program out for as long as the window lives.
    explicit MainWindow(std::unique_ptr<SingleInstanceGuard> guard = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The state "Program Output" works on: the shape record, CutSpanZ and PassCounter.
    GeneratorState& generatorState() { return generator_; }
    // Pane texts with CR LF line ends, as the generator and the plots use them.
    std::string pointDataText() const;
    std::string standardProgramText() const;
    // Replaces the pane texts; each pane whose text changes is replotted.
    void showProgramTexts(const std::string& pointText, const std::string& programText);
    // Replots each pane that holds text (after the shape record changed).
    void replotNonEmptyPanes();
    // Folder the Save dialog starts in.
    QString rememberedFolder() const { return rememberedFolder_; }

    // Program files: opens a file into the pane that has the focus (the point data when neither
    // has it); false when it was not opened (the user has been told why, or declined).
    bool openProgramFile(const QString& path);
    // The files named on the command line: the first into the point data, the second into the
    // standard program.
    void openCommandLineFiles(const QStringList& paths);
    // Shape files: opening one fills the record as if its boxes had been typed (nothing is
    // generated); saving writes the record as the next Data Input shows it.
    bool openShapeFile(const QString& path);
    bool saveShapeFile(const QString& path);
    const RecentFiles& recentPrograms() const { return recentPrograms_; }
    const RecentFiles& recentShapes() const { return recentShapes_; }
    // Whether a pane (0 the point data, 1 the standard program) holds text not saved since it
    // last changed.
    bool unsaved(int pane) const;
    TextEncoding encoding(int pane) const;

public slots:
    void newProgram();
    void save();
    void exitProgram();
    void undo();
    void undoKey();
    void cut();
    void copy();
    void copyAll();
    void paste();
    void loadTrvMacroExample();
    void loadTrvStandardExample();
    void loadFanucExample();
    void openProgram();
    void openShape();
    void saveShapeAs();
    // The window's own undo of its last Program Output or New: both panes, the pass counter and
    // (for Program Output) the record as they were before it.
    void undoProgramOutput();
    void undoNew();
    // "Data Input": the shape dialog, created on first use and kept hidden between openings.
    void openShapeDialog();
    // "About": the About box, modal.
    void openAboutBox();
    // A tool-bar button, by its key; a key that names no button does nothing.
    void runToolBarKey(const QString& key);
    // "Program Output": runs the generator on the record the boxes give and applies the result.
    void runProgramOutput(const ShapeBoxTexts& boxes, const OutputOptions& options);
    // File > Export Plot...: the focused plot (or the one beside the focused pane) as it is
    // seen, at a size the user chooses, to a PNG or SVG file.
    void exportPlot();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Menu items and tool-bar buttons: one action each, shared by the menu and the tool bar.
    struct Actions {
        QAction* New = nullptr;
        QAction* DataInput = nullptr;
        QAction* Save = nullptr;
        QAction* Exit = nullptr;
        QAction* Undo = nullptr;
        QAction* Cut = nullptr;
        QAction* Copy = nullptr;
        QAction* CopyAll = nullptr;
        QAction* Paste = nullptr;
        QAction* TrvMacro = nullptr;
        QAction* TrvStandard = nullptr;
        QAction* Fanuc = nullptr;
        QAction* About = nullptr;
        QAction* Measure = nullptr;  // the plots' measure mode, a tool-bar toggle
        QAction* Check = nullptr;    // the cross-section check over the point graphic, a toggle
        QAction* CheckReport = nullptr;
        // The plots' views: fitted to the path, back to the own scale, equal scales (a toggle
        // kept in the settings), and the export of what a plot shows.
        QAction* FitPlot = nullptr;
        QAction* OwnScale = nullptr;
        QAction* EqualScales = nullptr;
        QAction* ExportPlot = nullptr;
        QMenu* EditMenu = nullptr;  // also the pop-up menu of both panes
        // File and undo commands added to the specified ones.
        QAction* Open = nullptr;
        QAction* OpenShape = nullptr;
        QAction* SaveShapeAs = nullptr;
        QAction* UndoOutput = nullptr;
        QAction* UndoNew = nullptr;
        QAction* UndoKey = nullptr;  // Ctrl+Z: the pane's undo in a pane, else the window's
        QMenu* RecentPrograms = nullptr;
        QMenu* RecentShapes = nullptr;
    };
    // Where the window was placed from the stored rectangle.
    struct Placement {
        WindowPlacement Stored;  // as read, written back unchanged if the window was not moved
        QRect Frame;             // the frame rectangle that placement was applied as
        bool Pending = true;     // until the frame's size is known and allowed for
    };
    // The view whose caret leads the lighting, and what was lit last.
    struct Lighting {
        ProgramView* Lead = nullptr;
        ProgramView* LitFrom = nullptr;
        std::optional<std::size_t> Pass;
    };
    // The etched rule under the tool bar: a dark line and a light one below it.
    struct EtchedRule {
        QFrame* Dark = nullptr;
        QFrame* Light = nullptr;
    };

    void createViews();
    void createActions();
    void createPlotActions();
    void createFileActions();
    void createMenus();
    void addViewMenu();
    void createToolBar();
    void createReadout();
    void createStatusBar();
    void connectViews();
    void readSettings();
    void writeSettings();
    void writePlotSettings();
    void closeOtherForms();
    void applyPlacement();
    void finishPlacement();
    void layoutClientArea();

    void replot(ProgramView* view);
    void runCheck();
    void connectCheck();
    void ensureShapeDialog();
    void openShapeDialogWithFeeds(const std::array<std::optional<double>, 8>& feeds);
    void refreshLighting();
    void stepPass(ProgramView* view, int step);
    ProgramView* currentView() const;
    // The plot a plot command acts on: the focused plot, else the one beside the focused pane.
    PlotView* currentPlot() const;
    // The plots a view command acts on: the current plot, or both when there is none.
    std::vector<PlotView*> plotsToView() const;
    void toggleInsertMode();
    void showSaveError(const QString& text);
    // How long a status-bar message stays.
    static constexpr int kStatusMessageMs = 15000;

    // Files (main_window_files.cpp).
    bool openProgramFileInto(ProgramView* view, const QString& path);
    bool savePane(ProgramView* view);
    void fillRecentMenus();
    void readFileSettings();
    void writeFileSettings();
    // Unsaved text (main_window_unsaved.cpp).
    PaneFile& fileOf(const ProgramView* view);
    const PaneFile& fileOf(const ProgramView* view) const;
    void paneTextChanged(ProgramView* view);
    void showUnsavedMarks();
    QString paneCaption(const ProgramView* view) const;
    // Asks Save / Discard / Cancel for a pane with unsaved text; true when its text may go.
    bool mayDiscard(ProgramView* view, const QString& beforeWhat);
    // The one-step undo (main_window_undo.cpp).
    WindowSnapshot snapshot(UndoableCommand command, std::string pointText, std::string programText) const;
    void rememberForUndo(WindowSnapshot before);
    void forgetUndo();
    void undoCommand(UndoableCommand command);
    void restorePane(ProgramView* view, PaneSnapshot pane);

    std::unique_ptr<SingleInstanceGuard> guard_;
    SettingsStore settings_;
    GeneratorState generator_;
    ScanState scan_;  // carried from plot to plot, as both plots read the scanner's state
    QString rememberedFolder_;
    QString shapeFolder_;  // where the shape dialogs start: the folder of the last shape file
    PaneFile pointsFile_;
    PaneFile programFile_;
    std::optional<WindowSnapshot> undoable_;  // before the last Program Output or New
    RecentFiles recentPrograms_{QStringLiteral("RecentProgram")};
    RecentFiles recentShapes_{QStringLiteral("RecentShape")};
    Placement placement_;
    Lighting lighting_;

    ClientArea* client_ = nullptr;
    ProgramView* points_ = nullptr;   // the point data pane and the point graphic
    ProgramView* program_ = nullptr;  // the standard program pane and the cutting graphic
    ReplotQueue* replots_ = nullptr;  // both views' replots, in the order they were asked for
    QLabel* readout_ = nullptr;       // X/Z under the mouse, in the tool bar
    QToolBar* toolBar_ = nullptr;
    EtchedRule rule_;
    StatusPanels* statusBar_ = nullptr;
    KeyboardLocks* keyboardLocks_ = nullptr;
    Actions actions_;
    ShapeDialog* shapeDialog_ = nullptr;
    CheckReport* checkReport_ = nullptr;  // the check's inputs and figures, kept between showings
};

}  // namespace quillane
