// The edit commands, New and Exit, from the menus, the tool bar and the keyboard.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "window_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace quillane;
using namespace quillane::testing;

class CommandsTest : public WindowFixture {
    Q_OBJECT

    QAction* menuItem(const char* name) const { return Find<QAction>(window_.get(), name); }
    QString clipboard() const { return QGuiApplication::clipboard()->text(); }
    void clickToolButton(const QString& key) {
        QAction* button = nullptr;
        for (QAction* a : toolBar_->actions()) {
            if (a->data().toString() == key) button = a;
        }
        QVERIFY(button);
        QTest::mouseClick(toolBar_->widgetForAction(button), Qt::LeftButton);
    }

private slots:
    void init() {
        openWindow();
        if (QTest::currentTestFailed()) return;
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    }
    void cleanup() { closeWindow(); }

    void menuTreeAsTheUserSeesIt() {
        QStringList seen;
        for (QAction* top : window_->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : top->menu()->actions()) {
                items << (item->isSeparator() ? QStringLiteral("-") : item->text() + item->shortcut().toString());
            }
            seen << top->text() + QLatin1Char(':') + items.join(QLatin1Char('|'));
        }
        QCOMPARE(seen,
                 QStringList({// after Save: the files and the plot export, then the recent files
                              "File(&F):New(&N)Ctrl+N|Data Input|Save|-|Open...Ctrl+O|Open Shape...|Save Shape As...|"
                              "Export Plot...|-|Recent Programs|Recent Shapes|-|Exit(&X)",
                              // after Paste: the window's undo of its last command
                              "Edit(&E):Undo|Cut|Copy|CopyAllCtrl+A|Paste|-|Undo Program Output|Undo New",
                              "Example:TRV Macro|TRV Standard|FANUC",
                              // the plots' views, their keys shown but left to the plots
                              "View(&V):Fit to Path\tF|Own Scale\tHome|Equal Scales\tA",
                              // the cross-section check, added before Help
                              "Check(&C):Cross-section Check|Check Report...", "Help(&H):About Quillane(&A)"}));
    }

    void toolBarButtonsInOrderWithTipsAndIcons() {
        QStringList seen;
        for (QAction* button : toolBar_->actions()) {
            if (button->isSeparator()) {
                seen << QStringLiteral("|");
                continue;
            }
            QVERIFY2(!button->icon().isNull(), qPrintable(button->data().toString()));
            seen << button->data().toString() + QLatin1Char('=') + button->toolTip();
        }
        QCOMPARE(seen, QStringList({"New=All Data Clear", "Square=Data Input", "Save=File Save",
                                    // added after Save
                                    "Open=Open a program file", "|", "Undo=Undo", "Cut=Cut", "Copy=Copy",
                                    "CopyAll=Copy All", "Paste=Paste", "|", "Exit=Exit",
                                    // and after the nine, the plots' measure toggle
                                    "|", "Measure=Measure on the plots (M)",
                                    "Check=Cross-section check on the point graphic (C)"}));
    }

    void copyTakesTheSelection() {
        b_->setFocus();
        QTest::keyClicks(b_, "G00 X28.");
        QTest::keyClick(b_, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(b_, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(b_, Qt::Key_Left, Qt::ShiftModifier);
        menuItem("mnuEditCopy")->trigger();
        QCOMPARE(clipboard(), QStringLiteral("28."));
        QCOMPARE(PaneText(b_), QStringLiteral("G00 X28."));
    }

    void cutOrCopyOfNothingEmptiesTheClipboard_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Cut") << "mnuEditCut";
        QTest::newRow("Copy") << "mnuEditCopy";
    }
    void cutOrCopyOfNothingEmptiesTheClipboard() {
        QFETCH(QString, command);
        a_->setFocus();
        QTest::keyClicks(a_, "N001");
        Find<QAction>(window_.get(), command)->trigger();
        QCOMPARE(clipboard(), QString());
        QCOMPARE(PaneText(a_), QStringLiteral("N001"));
    }

    void cutRemovesTheSelection() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001 X32");
        QTest::keyClick(a_, Qt::Key_Home, Qt::ShiftModifier);
        clickToolButton("Cut");
        QCOMPARE(clipboard(), QStringLiteral("N001 X32"));
        QCOMPARE(PaneText(a_), QString());
    }

    void pasteWithAnEmptyClipboardDeletesTheSelection() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001 X32");
        QTest::keyClick(a_, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(a_, Qt::Key_Left, Qt::ShiftModifier);
        QGuiApplication::clipboard()->clear();
        menuItem("mnuEditPaste")->trigger();
        QCOMPARE(PaneText(a_), QStringLiteral("N001 X"));
    }

    void pasteReplacesTheSelectionWithLines() {
        b_->setFocus();
        QTest::keyClicks(b_, "M30");
        QTest::keyClick(b_, Qt::Key_Home, Qt::ShiftModifier);
        QGuiApplication::clipboard()->setText(QStringLiteral("G28 U0 W0\r\nM30"));
        clickToolButton("Paste");
        QCOMPARE(window_->standardProgramText(), std::string("G28 U0 W0\r\nM30"));
    }

    void ctrlACopiesAllAndKeepsItSelected() {
        b_->setFocus();
        QTest::keyClicks(b_, "G00 X28.");
        QTest::keyClick(b_, Qt::Key_Return);
        QTest::keyClicks(b_, "M30");
        QTest::keyClick(b_, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(clipboard(), QStringLiteral("G00 X28.\nM30"));
        QCOMPARE(b_->selectedText(), PaneText(b_));
        // The editor's own copy key gives the same text.
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(b_, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard(), QStringLiteral("G00 X28.\nM30"));
    }

    void undoReversesTheLastEdit() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001");
        a_->selectAll();
        QTest::keyClick(a_, Qt::Key_Delete);
        QCOMPARE(PaneText(a_), QString());
        clickToolButton("Undo");
        QCOMPARE(PaneText(a_), QStringLiteral("N001"));
    }

    void editsDoNothingWhenAPlotHasTheFocus() {
        window_->showProgramTexts("N001\r\n", "M30\r\n");
        Find<QWidget>(window_.get(), "Picture2")->setFocus();
        for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuEditCopyAll", "mnuEditPaste", "mnuEditUndo"}) {
            menuItem(name)->trigger();
        }
        QCOMPARE(clipboard(), QStringLiteral("earlier"));
        QCOMPARE(window_->pointDataText(), std::string("N001\r\n"));
        QCOMPARE(window_->standardProgramText(), std::string("M30\r\n"));
    }

    void toolBarClickLeavesTheFocusInThePane() {
        b_->setFocus();
        QTest::keyClicks(b_, "M30");
        clickToolButton("CopyAll");
        QVERIFY(b_->hasFocus());
        QCOMPARE(clipboard(), QStringLiteral("M30"));
    }

    void toolBarKeysMatchExactly() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001");
        window_->runToolBarKey(QStringLiteral("copyall"));
        window_->runToolBarKey(QStringLiteral("CopyAll "));
        QCOMPARE(clipboard(), QStringLiteral("earlier"));
        window_->runToolBarKey(QStringLiteral("CopyAll"));
        QCOMPARE(clipboard(), QStringLiteral("N001"));
    }

    void newClearsPanesPlotsAndTheCounter() {
        GiveShape(*window_);
        window_->generatorState().PassCounter = 37;
        window_->loadTrvMacroExample();
        a_->setFocus();
        QTest::keyClick(a_, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(PaneText(a_), QString());
        QCOMPARE(PaneText(b_), QString());
        QCOMPARE(window_->generatorState().PassCounter, 1.0F);
        QCOMPARE(window_->generatorState().Shape.Pitch, 12.7);  // the shape stays
        for (const char* name : {"Picture1", "Picture2"}) {
            const Drawing& drawing = Find<PlotView>(window_.get(), name)->drawing();
            QVERIFY(drawing.Items.empty());
            QVERIFY(drawing.Background == Color::System(ColorRole::ButtonFace));
        }
    }

    void newFromTheToolBarToo() {
        window_->showProgramTexts("N001\r\n", "M30\r\n");
        clickToolButton("New");
        QCOMPARE(window_->pointDataText(), std::string());
        QCOMPARE(window_->standardProgramText(), std::string());
    }

    void dataInputAndAboutAreOfferedToTheirDialogs() {
        QStringList opened;
        // Only which dialog opens is of interest here: the modal dialogs have tests of their own.
        const auto closeNextDialog = [&opened] {
            WhenModal([&opened](QWidget* dialog) {
                opened << dialog->objectName();
                dialog->close();
            });
        };
        closeNextDialog();
        menuItem("mnuSquare")->trigger();
        closeNextDialog();
        clickToolButton("Square");
        closeNextDialog();
        menuItem("mnuHelpAbout")->trigger();
        QCOMPARE(opened.count(QStringLiteral("DataInput1")), 2);
        QCOMPARE(opened.count(QStringLiteral("frmAbout")), 1);
    }

    void exitClosesAndWritesTheSettings() {
        QVERIFY(StoredSetting("OpenPathName").isNull());
        clickToolButton("Exit");
        QVERIFY(!window_->isVisible());
        QCOMPARE(StoredSetting("OpenPathName"), QStringLiteral("\\"));
        QCOMPARE(StoredSetting("MainWidth"), QStringLiteral("12000"));
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
