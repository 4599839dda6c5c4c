// The main window's menu bar, pane context menu and tool bar, and what each item runs.
#include "app/main_window.h"

#include "app/client_area.h"
#include "app/tool_icons.h"

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

struct ToolButtonEntry {
    const char* key;
    const char* toolTip;
    bool separatorAfter;
};

constexpr ToolButtonEntry kToolButtons[] = {
    {"New", "All Data Clear", false}, {"Square", "Data Input", false}, {"Save", "File Save", true},
    {"Undo", "Undo", false},          {"Cut", "Cut", false},           {"Copy", "Copy", false},
    {"CopyAll", "Copy All", false},   {"Paste", "Paste", true},        {"Exit", "Exit", false},
};

}  // namespace

void MainWindow::createActions() {
    mnuFileNew_ =
        MakeAction(this, QStringLiteral("mnuFileNew"), QStringLiteral("New(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuSquare_ = MakeAction(this, QStringLiteral("mnuSquare"), QStringLiteral("Data Input"));
    mnuFileSave_ = MakeAction(this, QStringLiteral("mnuFileSave"), QStringLiteral("Save"));
    mnuFileBar2_ = new QAction(this);
    mnuFileBar2_->setObjectName(QStringLiteral("mnuFileBar2"));
    mnuFileBar2_->setSeparator(true);
    mnuFileExit_ = MakeAction(this, QStringLiteral("mnuFileExit"), QStringLiteral("Exit(&X)"));
    mnuEditUndo_ = MakeAction(this, QStringLiteral("mnuEditUndo"), QStringLiteral("Undo"));
    mnuEditCut_ = MakeAction(this, QStringLiteral("mnuEditCut"), QStringLiteral("Cut"));
    mnuEditCopy_ = MakeAction(this, QStringLiteral("mnuEditCopy"), QStringLiteral("Copy"));
    mnuEditCopyAll_ = MakeAction(this, QStringLiteral("mnuEditCopyAll"), QStringLiteral("CopyAll"),
                                 QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuEditPaste_ = MakeAction(this, QStringLiteral("mnuEditPaste"), QStringLiteral("Paste"));
    ExampleTrvMacro_ = MakeAction(this, QStringLiteral("ExampleTrvMacro"), QStringLiteral("TRV Macro"));
    ExampleTrvStandard_ = MakeAction(this, QStringLiteral("ExampleTrvStandard"), QStringLiteral("TRV Standard"));
    ExampleFanucStandard_ = MakeAction(this, QStringLiteral("ExampleFanucStandard"), QStringLiteral("FANUC"));
    mnuHelpAbout_ = MakeAction(this, QStringLiteral("mnuHelpAbout"), QStringLiteral("About Quillane(&A)"));

    // The shortcuts work wherever the focus is in the window, menu open or not.
    addActions({mnuFileNew_, mnuEditCopyAll_});

    connect(mnuFileNew_, &QAction::triggered, this, &MainWindow::newProgram);
    connect(mnuSquare_, &QAction::triggered, this, &MainWindow::dataInputRequested);
    connect(mnuFileSave_, &QAction::triggered, this, &MainWindow::save);
    connect(mnuFileExit_, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(mnuEditUndo_, &QAction::triggered, this, &MainWindow::undo);
    connect(mnuEditCut_, &QAction::triggered, this, &MainWindow::cut);
    connect(mnuEditCopy_, &QAction::triggered, this, &MainWindow::copy);
    connect(mnuEditCopyAll_, &QAction::triggered, this, &MainWindow::copyAll);
    connect(mnuEditPaste_, &QAction::triggered, this, &MainWindow::paste);
    connect(ExampleTrvMacro_, &QAction::triggered, this, &MainWindow::loadTrvMacroExample);
    connect(ExampleTrvStandard_, &QAction::triggered, this, &MainWindow::loadTrvStandardExample);
    connect(ExampleFanucStandard_, &QAction::triggered, this, &MainWindow::loadFanucExample);
    connect(mnuHelpAbout_, &QAction::triggered, this, &MainWindow::aboutRequested);
}

void MainWindow::createMenus() {
    mnuFile_ = menuBar()->addMenu(QStringLiteral("File(&F)"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuFile_->addActions({mnuFileNew_, mnuSquare_, mnuFileSave_, mnuFileBar2_, mnuFileExit_});

    // Also the pop-up menu of both panes.
    mnuEdit_ = menuBar()->addMenu(QStringLiteral("Edit(&E)"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit_->addActions({mnuEditUndo_, mnuEditCut_, mnuEditCopy_, mnuEditCopyAll_, mnuEditPaste_});

    mnuExample_ = menuBar()->addMenu(QStringLiteral("Example"));
    mnuExample_->setObjectName(QStringLiteral("mnuExample"));
    mnuExample_->addActions({ExampleTrvMacro_, ExampleTrvStandard_, ExampleFanucStandard_});

    mnuHelp_ = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp_->addAction(mnuHelpAbout_);
}

void MainWindow::createToolBar() {
    tbToolBar_ = new QToolBar(client_);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    tbToolBar_->setFloatable(false);
    tbToolBar_->setIconSize(QSize(24, 24));
    for (const ToolButtonEntry& entry : kToolButtons) {
        const QString key = QLatin1String(entry.key);
        QAction* button = tbToolBar_->addAction(ToolIcon(key), key);
        button->setObjectName(QStringLiteral("tbButton") + key);
        button->setData(key);
        button->setToolTip(QLatin1String(entry.toolTip));
        // A button never takes the focus, so its command acts on the pane the user was in.
        tbToolBar_->widgetForAction(button)->setFocusPolicy(Qt::NoFocus);
        if (entry.separatorAfter) {
            tbToolBar_->addSeparator();
        }
    }
    connect(tbToolBar_, &QToolBar::actionTriggered, this,
            [this](QAction* button) { runToolBarKey(button->data().toString()); });
}

void MainWindow::runToolBarKey(const QString& key) {
    // Keys compare exactly, case included; the first match runs.
    if (key == QLatin1String("New")) {
        newProgram();
    } else if (key == QLatin1String("Square")) {
        emit dataInputRequested();
    } else if (key == QLatin1String("Save")) {
        save();
    } else if (key == QLatin1String("Undo")) {
        undo();
    } else if (key == QLatin1String("Cut")) {
        cut();
    } else if (key == QLatin1String("Copy")) {
        copy();
    } else if (key == QLatin1String("CopyAll")) {
        copyAll();
    } else if (key == QLatin1String("Paste")) {
        paste();
    } else if (key == QLatin1String("Exit")) {
        exitProgram();
    }
}

}  // namespace quillane
