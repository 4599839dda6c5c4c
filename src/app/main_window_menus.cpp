// The main window's menu bar, pane context menu and tool bar: one action per command, shared by
// the menu and the tool bar.
#include "app/client_area.h"
#include "app/main_window.h"
#include "app/tool_icons.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace quillane {
namespace {

QAction* MakeAction(QObject* parent, const QString& objectName, const QString& caption,
                    const QKeySequence& shortcut = {}) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

void MainWindow::createActions() {
    Actions& a = actions_;
    a.New =
        MakeAction(this, QStringLiteral("mnuFileNew"), QStringLiteral("New(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    a.DataInput = MakeAction(this, QStringLiteral("mnuSquare"), QStringLiteral("Data Input"));
    a.Save = MakeAction(this, QStringLiteral("mnuFileSave"), QStringLiteral("Save"));
    a.Exit = MakeAction(this, QStringLiteral("mnuFileExit"), QStringLiteral("Exit(&X)"));
    a.Undo = MakeAction(this, QStringLiteral("mnuEditUndo"), QStringLiteral("Undo"));
    a.Cut = MakeAction(this, QStringLiteral("mnuEditCut"), QStringLiteral("Cut"));
    a.Copy = MakeAction(this, QStringLiteral("mnuEditCopy"), QStringLiteral("Copy"));
    a.CopyAll = MakeAction(this, QStringLiteral("mnuEditCopyAll"), QStringLiteral("CopyAll"),
                           QKeySequence(Qt::CTRL | Qt::Key_A));
    a.Paste = MakeAction(this, QStringLiteral("mnuEditPaste"), QStringLiteral("Paste"));
    a.TrvMacro = MakeAction(this, QStringLiteral("ExampleTrvMacro"), QStringLiteral("TRV Macro"));
    a.TrvStandard = MakeAction(this, QStringLiteral("ExampleTrvStandard"), QStringLiteral("TRV Standard"));
    a.Fanuc = MakeAction(this, QStringLiteral("ExampleFanucStandard"), QStringLiteral("FANUC"));
    a.About = MakeAction(this, QStringLiteral("mnuHelpAbout"), QStringLiteral("About Quillane(&A)"));
    a.Measure = MakeAction(this, QStringLiteral("tbButtonMeasure"), QStringLiteral("Measure"));
    a.Measure->setCheckable(true);
    a.Check = MakeAction(this, QStringLiteral("mnuCheck"), QStringLiteral("Cross-section Check"));
    a.Check->setCheckable(true);
    a.CheckReport = MakeAction(this, QStringLiteral("mnuCheckReport"), QStringLiteral("Check Report..."));

    createPlotActions();
    createFileActions();

    // The shortcuts work wherever the focus is in the window, menu open or not.
    addActions({a.New, a.CopyAll, a.Open, a.UndoKey});

    connect(a.New, &QAction::triggered, this, &MainWindow::newProgram);
    connect(a.DataInput, &QAction::triggered, this, &MainWindow::openShapeDialog);
    connect(a.Save, &QAction::triggered, this, &MainWindow::save);
    connect(a.Exit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(a.Undo, &QAction::triggered, this, &MainWindow::undo);
    connect(a.Cut, &QAction::triggered, this, &MainWindow::cut);
    connect(a.Copy, &QAction::triggered, this, &MainWindow::copy);
    connect(a.CopyAll, &QAction::triggered, this, &MainWindow::copyAll);
    connect(a.Paste, &QAction::triggered, this, &MainWindow::paste);
    connect(a.TrvMacro, &QAction::triggered, this, &MainWindow::loadTrvMacroExample);
    connect(a.TrvStandard, &QAction::triggered, this, &MainWindow::loadTrvStandardExample);
    connect(a.Fanuc, &QAction::triggered, this, &MainWindow::loadFanucExample);
    connect(a.About, &QAction::triggered, this, &MainWindow::openAboutBox);
}

// Added to the specified commands: program and shape files, recent files, the window's undo.
void MainWindow::createFileActions() {
    Actions& a = actions_;
    a.Open =
        MakeAction(this, QStringLiteral("mnuFileOpen"), QStringLiteral("Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    a.OpenShape = MakeAction(this, QStringLiteral("mnuFileOpenShape"), QStringLiteral("Open Shape..."));
    a.SaveShapeAs = MakeAction(this, QStringLiteral("mnuFileSaveShapeAs"), QStringLiteral("Save Shape As..."));
    a.UndoOutput = MakeAction(this, QStringLiteral("mnuEditUndoOutput"), QStringLiteral("Undo Program Output"));
    a.UndoNew = MakeAction(this, QStringLiteral("mnuEditUndoNew"), QStringLiteral("Undo New"));
    a.UndoKey = MakeAction(this, QStringLiteral("UndoKey"), QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    a.UndoOutput->setEnabled(false);
    a.UndoNew->setEnabled(false);
    a.RecentPrograms = new QMenu(QStringLiteral("Recent Programs"), this);
    a.RecentPrograms->setObjectName(QStringLiteral("mnuFileRecentPrograms"));
    a.RecentShapes = new QMenu(QStringLiteral("Recent Shapes"), this);
    a.RecentShapes->setObjectName(QStringLiteral("mnuFileRecentShapes"));
    connect(a.Open, &QAction::triggered, this, &MainWindow::openProgram);
    connect(a.OpenShape, &QAction::triggered, this, &MainWindow::openShape);
    connect(a.SaveShapeAs, &QAction::triggered, this, &MainWindow::saveShapeAs);
    connect(a.UndoOutput, &QAction::triggered, this, &MainWindow::undoProgramOutput);
    connect(a.UndoNew, &QAction::triggered, this, &MainWindow::undoNew);
    connect(a.UndoKey, &QAction::triggered, this, &MainWindow::undoKey);
}

void MainWindow::createMenus() {
    const Actions& a = actions_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addActions({a.New, a.DataInput, a.Save});
    // Added: files and recent files, before the separator above Exit.
    file->addSeparator();
    file->addActions({a.Open, a.OpenShape, a.SaveShapeAs, a.ExportPlot});
    file->addSeparator();
    file->addMenu(a.RecentPrograms);
    file->addMenu(a.RecentShapes);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    file->addAction(a.Exit);

    actions_.EditMenu = menuBar()->addMenu(QStringLiteral("Edit(&E)"));
    actions_.EditMenu->setObjectName(QStringLiteral("mnuEdit"));
    actions_.EditMenu->addActions({a.Undo, a.Cut, a.Copy, a.CopyAll, a.Paste});
    // Added: the window's undo of its last Program Output or New.
    actions_.EditMenu->addSeparator();
    actions_.EditMenu->addActions({a.UndoOutput, a.UndoNew});

    QMenu* example = menuBar()->addMenu(QStringLiteral("Example"));
    example->setObjectName(QStringLiteral("mnuExample"));
    example->addActions({a.TrvMacro, a.TrvStandard, a.Fanuc});

    addViewMenu();

    // What the passes will cut: an addition of this program's, before Help.
    QMenu* check = menuBar()->addMenu(QStringLiteral("Check(&C)"));
    check->setObjectName(QStringLiteral("mnuCheckMenu"));
    check->addActions({a.Check, a.CheckReport});

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(a.About);
}

void MainWindow::createToolBar() {
    struct Button {
        QAction* action;
        const char* key;
        const char* toolTip;
        bool separatorAfter;
    };
    const Actions& a = actions_;
    // clang-format off
    const Button buttons[] = {
        {a.New, "New", "All Data Clear", false}, {a.DataInput, "Square", "Data Input", false},
        {a.Save, "Save", "File Save", false},
        // Added after Save: open a program file.
        {a.Open, "Open", "Open a program file", true},
        {a.Undo, "Undo", "Undo", false},
        {a.Cut, "Cut", "Cut", false},            {a.Copy, "Copy", "Copy", false},
        {a.CopyAll, "CopyAll", "Copy All", false}, {a.Paste, "Paste", "Paste", true},
        {a.Exit, "Exit", "Exit", true},
        // After the nine commands, the plots' measure toggle.
        {a.Measure, "Measure", "Measure on the plots (M)", false},
        {a.Check, "Check", "Cross-section check on the point graphic (C)", false},
    };
    // clang-format on
    toolBar_ = new QToolBar(client_);
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(24, 24));
    for (const Button& b : buttons) {
        const QString key = QLatin1String(b.key);
        b.action->setData(key);
        b.action->setIcon(ToolIcon(key));
        // The menus show no icons: the tool bar is where they belong.
        b.action->setIconVisibleInMenu(false);
        b.action->setToolTip(QLatin1String(b.toolTip));
        toolBar_->addAction(b.action);
        // A button never takes the focus, so its command acts on the pane the user was in.
        toolBar_->widgetForAction(b.action)->setFocusPolicy(Qt::NoFocus);
        if (b.separatorAfter) toolBar_->addSeparator();
    }
}

void MainWindow::runToolBarKey(const QString& key) {
    // Keys compare exactly, case included; the first button with the key runs. The measure and
    // check toggles are buttons of the plots, not of the window's commands.
    for (QAction* button : toolBar_->actions()) {
        if (button != actions_.Measure && button != actions_.Check && !button->isSeparator() &&
            button->data().toString() == key) {
            button->trigger();
            return;
        }
    }
}

}  // namespace quillane
