// The current pane: focus colours, status texts, replotting on every change, the pane menu.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/status_panels.h"
#include "core/shape/program_writers.h"
#include "window_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

namespace {

QColor PaneColour(QWidget* pane) { return pane->palette().color(QPalette::Base); }
QColor WindowBackground() { return QApplication::palette().color(QPalette::Base); }
QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }

}  // namespace

class PanesTest : public WindowFixture {
    Q_OBJECT

    QString panel1() const { return status_->panelTexts().value(0); }

    // A standard program too large to replot on every key, plotted once.
    void showVeryLargeProgram() {
        GiveShape(*window_);
        std::string program;
        while (program.size() < 2'400'000) program += "G00 X32. Z17.7\r\nG32 Z-80. F12.7\r\n";
        window_->showProgramTexts("", program);
        QTRY_VERIFY(!plot2_->drawing().Items.empty());
    }

private slots:
    void init() {
        openWindow();
        if (QTest::currentTestFailed()) return;
        QVERIFY(WindowBackground() != ButtonFace());
    }
    void cleanup() { closeWindow(); }

    void theFirstPlotHasTheFocusAtStart() {
        QVERIFY(plot1_->hasFocus());
        QCOMPARE(panel1(), QStringLiteral("Point Graphic"));
    }

    void panesStartInTheFaceColour() {
        QCOMPARE(PaneColour(a_), ButtonFace());
        QCOMPARE(PaneColour(b_), ButtonFace());
    }

    void theFocusedPaneTakesTheWindowColourAndNamesItself() {
        QTest::mouseClick(a_->viewport(), Qt::LeftButton);
        QCOMPARE(PaneColour(a_), WindowBackground());
        QCOMPARE(panel1(), QStringLiteral("Point data for Macro program"));

        QTest::mouseClick(b_->viewport(), Qt::LeftButton);
        QCOMPARE(PaneColour(a_), ButtonFace());
        QCOMPARE(PaneColour(b_), WindowBackground());
        QCOMPARE(panel1(), QStringLiteral("Standard program"));
    }

    void aClickedPlotTakesTheFocusAndNamesItself() {
        QTest::mouseClick(b_->viewport(), Qt::LeftButton);
        QTest::mouseClick(plot1_, Qt::LeftButton);
        QVERIFY(plot1_->hasFocus());
        QCOMPARE(PaneColour(b_), ButtonFace());
        QCOMPARE(panel1(), QStringLiteral("Point Graphic"));
        QTest::mouseClick(plot2_, Qt::LeftButton);
        QCOMPARE(panel1(), QStringLiteral("Cutting Graphic"));
    }

    void tabWalksPlotsThenStandardThenPointData() {
        plot1_->setFocus();
        QTest::keyClick(plot1_, Qt::Key_Tab);
        QVERIFY(plot2_->hasFocus());
        QTest::keyClick(plot2_, Qt::Key_Tab);
        QVERIFY(b_->hasFocus());
        QTest::keyClick(b_, Qt::Key_Tab);
        QVERIFY(a_->hasFocus());
    }

    void everyKeystrokeReplotsItsOwnPlot() {
        GiveShape(*window_);
        a_->setFocus();
        const int before1 = plot1_->replotCount();
        const int before2 = plot2_->replotCount();
        QTest::keyClicks(a_, "X32");
        QCOMPARE(plot1_->replotCount(), before1 + 3);
        QCOMPARE(plot2_->replotCount(), before2);

        b_->setFocus();
        QTest::keyClicks(b_, "G00 X32.");
        QCOMPARE(plot2_->replotCount(), before2 + 8);
        QCOMPARE(plot1_->replotCount(), before1 + 3);
    }

    void typedProgramLinesAreDrawn() {
        GiveShape(*window_);
        b_->setFocus();
        QTest::keyClicks(b_, "G00 X28. Z50.");
        QTest::keyClick(b_, Qt::Key_Return);
        QTest::keyClicks(b_, "G00 X32. Z17.7");
        QTest::keyClick(b_, Qt::Key_Return);
        QTest::keyClicks(b_, "G32 Z-80. F12.7");
        const auto countPath = [&] {
            int n = 0;
            for (const Primitive& item : plot2_->drawing().Items) n += item.NcLine != NoNcLine ? 1 : 0;
            return n;
        };
        // The third line has no line end yet, so it is not drawn.
        const int twoLines = countPath();
        QVERIFY(twoLines > 0);
        QTest::keyClick(b_, Qt::Key_Return);
        QVERIFY(countPath() > twoLines);
    }

    void cutPasteAndUndoReplot() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001 X32 Z17.7");
        int count = plot1_->replotCount();
        a_->selectAll();
        QTest::keyClick(a_, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(plot1_->replotCount() > count);
        QCOMPARE(PaneText(a_), QString());

        count = plot1_->replotCount();
        QTest::keyClick(a_, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(plot1_->replotCount() > count);
        QCOMPARE(PaneText(a_), QStringLiteral("N001 X32 Z17.7"));

        count = plot1_->replotCount();
        QTest::keyClick(a_, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(plot1_->replotCount() > count);
        QCOMPARE(PaneText(a_), QString());
    }

    void newAndProgramOutputReplot() {
        GiveShape(*window_);
        const int count1 = plot1_->replotCount();
        const int count2 = plot2_->replotCount();
        window_->showProgramTexts("N001 X32 Z17.7\r\n", "G00 X32. Z17.7\r\n");
        QCOMPARE(plot1_->replotCount(), count1 + 1);
        QCOMPARE(plot2_->replotCount(), count2 + 1);
        QCOMPARE(window_->pointDataText(), std::string("N001 X32 Z17.7\r\n"));
        window_->newProgram();
        QVERIFY(plot1_->replotCount() > count1 + 1);
        QVERIFY(plot2_->replotCount() > count2 + 1);
    }

    void aVeryLargePaneIsReplottedOnceTheKeysPause() {
        showVeryLargeProgram();
        const int count = plot2_->replotCount();
        // Three keys that arrived together, before the window got round to anything else.
        for (const char* key : {"(", "A", ")"}) b_->replaceSelection(QString::fromLatin1(key));
        QCOMPARE(plot2_->replotCount(), count);  // not yet: more keys may follow
        QTRY_COMPARE(plot2_->replotCount(), count + 1);
        QCoreApplication::processEvents();  // nothing more is waiting
        QCOMPARE(plot2_->replotCount(), count + 1);
    }

    void aWaitingReplotRunsBeforeTheNextOne() {
        // The plots share their scan state: a change to the small pane must not overtake the
        // waiting replot of the large one, nor leave it to run a second time.
        showVeryLargeProgram();
        const int programCount = plot2_->replotCount();
        const int pointCount = plot1_->replotCount();
        b_->replaceSelection(QStringLiteral("("));
        a_->replaceSelection(QStringLiteral("N001 X32 Z1\n"));
        QCOMPARE(plot2_->replotCount(), programCount + 1);
        QCOMPARE(plot1_->replotCount(), pointCount + 1);
        QCoreApplication::processEvents();  // the waiting replot ran already: it does not run again
        QCOMPARE(plot2_->replotCount(), programCount + 1);
    }

    void settingTheSameTextDoesNotReplot() {
        window_->showProgramTexts("N001 X32\r\n", "");
        const int count1 = plot1_->replotCount();
        const int count2 = plot2_->replotCount();
        window_->showProgramTexts("N001 X32\r\n", "");
        QCOMPARE(plot1_->replotCount(), count1);
        QCOMPARE(plot2_->replotCount(), count2);
    }

    void rightClickOpensTheEditMenuForThatPane() {
        window_->showProgramTexts("point data\r\n", "standard program\r\n");
        a_->setFocus();
        auto* menu = Find<QMenu>(window_.get(), "mnuEdit");
        QVERIFY(menu);
        // The context menu opens on the press of the right button.
        const QPoint at(20, 10);
        QTest::mousePress(b_->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, b_->viewport()->mapToGlobal(at));
        QApplication::sendEvent(b_->viewport(), &event);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(b_->hasFocus() || QApplication::focusWidget() == menu || window_->focusWidget() == b_);
        menu->hide();
        QTRY_VERIFY(!menu->isVisible());
        Find<QAction>(window_.get(), "mnuEditCopyAll")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("standard program\n"));
    }

    void insertKeySwitchesOverwriteInBothPanes() {
        QCOMPARE(status_->panelTexts().value(1), QStringLiteral("INS"));
        a_->setFocus();
        QTest::keyClicks(a_, "abc");
        a_->setCursorPosition(0, 0);
        QTest::keyClick(a_, Qt::Key_Insert);
        QCOMPARE(status_->panelTexts().value(1), QString());
        QVERIFY(b_->overwriteMode());
        QTest::keyClicks(a_, "X");
        QCOMPARE(PaneText(a_), QStringLiteral("Xbc"));
        QTest::keyClick(a_, Qt::Key_Insert);
        QCOMPARE(status_->panelTexts().value(1), QStringLiteral("INS"));
        QTest::keyClicks(a_, "Y");
        QCOMPARE(PaneText(a_), QStringLiteral("XYbc"));
    }

    void insertFromAPlotTogglesThePanel() {
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_Insert);
        QCOMPARE(status_->panelTexts().value(1), QString());
        QVERIFY(a_->overwriteMode() && b_->overwriteMode());
        QTest::keyClick(plot1_, Qt::Key_Insert);
        QCOMPARE(status_->panelTexts().value(1), QStringLiteral("INS"));
        QVERIFY(!a_->overwriteMode());
    }

    void numLockFollowsTheKeys() {
        QWindow* handle = window_->windowHandle();
        a_->setFocus();
        QTest::keyClick(handle, Qt::Key_NumLock);
        const bool afterToggle = status_->panelTexts().value(2) == QLatin1String("NUM");
        QTest::keyClick(handle, Qt::Key_NumLock);
        QCOMPARE(status_->panelTexts().value(2) == QLatin1String("NUM"), !afterToggle);
        // A keypad digit can only come with num lock on.
        QTest::keyClick(handle, Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(status_->panelTexts().value(2), QStringLiteral("NUM"));
        QTest::keyClick(handle, Qt::Key_Home, Qt::KeypadModifier);
        QCOMPARE(status_->panelTexts().value(2), QString());
    }

    void statusBarShowsDateAndTime() {
        const QStringList panels = status_->panelTexts();
        QCOMPARE(panels.size(), 5);
        QCOMPARE(panels.value(3), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!panels.value(4).isEmpty());
    }

    void programTextsComeBackAsTheyWent() {
        // CR LF line ends, an empty last line, and text beyond ASCII (a comment in Japanese).
        const std::string program = "( \xE6\xA7\x8B\xE9\x80\xA0 )\r\nG00 X28.\r\n\r\n";
        window_->showProgramTexts("", program);
        QCOMPARE(PaneText(b_), QString::fromUtf8(program.c_str()));
        QCOMPARE(window_->standardProgramText(), program);
        // A lone CR or LF can only be a line break in a pane; it comes back as CR LF.
        window_->showProgramTexts("N1\rN2\nN3", "");
        QCOMPARE(window_->pointDataText(), std::string("N1\r\nN2\r\nN3"));
    }

    void everyLineBreakInAPaneIsCrLf_data() {
        // How a break gets into the pane, and what the pane then holds: the plots count lines
        // by CR LF, so a lone CR or LF or a separator would put them apart from the pane's.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("Enter") << "Enter" << QString();
        QTest::newRow("Shift+Enter") << "Shift+Enter" << QString();
        QTest::newRow("Ctrl+V of LF") << "Ctrl+V"
                                      << "A\nB";
        QTest::newRow("Ctrl+V of CR") << "Ctrl+V"
                                      << "A\rB";
        QTest::newRow("Ctrl+V of a line separator") << "Ctrl+V" << QStringLiteral("A") + QChar::LineSeparator + "B";
        QTest::newRow("Paste of LF") << "Paste"
                                     << "A\nB";
        QTest::newRow("Paste of CR LF") << "Paste"
                                        << "A\r\nB";
        QTest::newRow("Paste of a paragraph separator")
            << "Paste" << QStringLiteral("A") + QChar::ParagraphSeparator + "B";
    }
    void everyLineBreakInAPaneIsCrLf() {
        QFETCH(QString, how);
        QFETCH(QString, clipboard);
        a_->setFocus();
        if (clipboard.isEmpty()) {
            QTest::keyClicks(a_, "A");
            QTest::keyClick(a_, Qt::Key_Return,
                            how == QLatin1String("Shift+Enter") ? Qt::ShiftModifier : Qt::NoModifier);
            QTest::keyClicks(a_, "B");
        } else {
            QGuiApplication::clipboard()->setText(clipboard);
            if (how == QLatin1String("Ctrl+V")) {
                QTest::keyClick(a_, Qt::Key_V, Qt::ControlModifier);
            } else {
                Find<QAction>(window_.get(), "mnuEditPaste")->trigger();
            }
        }
        QCOMPARE(window_->pointDataText(), std::string("A\r\nB"));
        QCOMPARE(a_->lines(), 2);
    }

    void givenTextsGetCrLfAndAreReadInPlace() {
        window_->showProgramTexts(std::string("N1\nN2\rN3") + "\xE2\x80\xA8" + "N4\r\n", "");
        QCOMPARE(window_->pointDataText(), std::string("N1\r\nN2\r\nN3\r\nN4\r\n"));
        // The plots read the pane's own buffer: the same bytes, no copy.
        QCOMPARE(a_->programText(), std::string_view("N1\r\nN2\r\nN3\r\nN4\r\n"));
        QCOMPARE(a_->programText().data(), a_->programText().data());
    }

    void changedLinesGatherTheEditsUntilTaken() {
        // A pane of its own: in the window its view takes the lines at every replot.
        ProgramPane pane(QStringLiteral("txtLines"), QStringLiteral("Lines"));
        pane.show();
        pane.replaceText("L0\r\nL1\r\nL2\r\nL3\r\n");
        QVERIFY(pane.takeChangedLines().All);
        QVERIFY(pane.takeChangedLines().none());
        pane.setFocus();
        pane.setCursorPosition(2, 2);
        QTest::keyClicks(&pane, "X");  // line 2 stays one line
        pane.setCursorPosition(0, 0);
        QTest::keyClick(&pane, Qt::Key_Return);  // line 0 becomes two
        ChangedLines changed = pane.takeChangedLines();
        QVERIFY(!changed.All);
        // Lines 0 to 2 of the text last taken are now lines 0 to 3.
        QCOMPARE(changed.First, 0);
        QCOMPARE(changed.Before, 3);
        QCOMPARE(changed.After, 4);
        // Two whole lines deleted: lines 3 and 4 (of five and the empty last) become one.
        pane.setSelection(3, 0, 5, 0);
        QTest::keyClick(&pane, Qt::Key_Delete);
        changed = pane.takeChangedLines();
        QCOMPARE(changed.First, 3);
        QCOMPARE(changed.Before, 3);
        QCOMPARE(changed.After, 1);
        QCOMPARE(std::string(pane.programText()), std::string("\r\nL0\r\nL1\r\n"));
    }

    void passMarkersFollowEdits_data() {
        // An edit, as the selection it replaces (from line/index to line/index) and the text typed
        // over it; lines 4 to 6 are lit before it.
        QTest::addColumn<QList<int>>("range");
        QTest::addColumn<QString>("typed");
        QTest::newRow("character in a lit line") << QList<int>{5, 1, 5, 1} << "X";
        QTest::newRow("line break before") << QList<int>{1, 0, 1, 0} << "\r\n";
        QTest::newRow("two lines deleted before") << QList<int>{0, 0, 2, 0} << "";
        QTest::newRow("line break after") << QList<int>{9, 1, 9, 1} << "\r\n";
        QTest::newRow("line break in a lit line") << QList<int>{5, 1, 5, 1} << "\r\n";
        QTest::newRow("lines pasted at the first lit line") << QList<int>{4, 0, 4, 0} << "A\r\nB\r\n";
        QTest::newRow("deleted into the lit lines") << QList<int>{3, 1, 5, 1} << "";
        QTest::newRow("two lit lines joined") << QList<int>{4, 2, 5, 0} << "";
        QTest::newRow("deleted from the last lit line on") << QList<int>{6, 1, 8, 0} << "";
        QTest::newRow("lines replaced before") << QList<int>{1, 0, 3, 0} << "A\r\n";
    }

    void passMarkersFollowEdits() {
        QFETCH(QList<int>, range);
        QFETCH(QString, typed);
        ProgramPane pane(QStringLiteral("txtMarks"), QStringLiteral("Marks"));
        pane.show();
        std::string text;
        for (int line = 0; line < 12; ++line) text += "L" + std::to_string(line) + "\r\n";
        pane.replaceText(text);
        pane.lightLines(4, 6);
        pane.setSelection(range[0], range[1], range[2], range[3]);
        pane.replaceSelection(typed);
        // Lit again, the pass's lines alone carry the marker: none is left where the edit moved it.
        for (const QPair<int, int>& lit : {QPair<int, int>{4, 6}, QPair<int, int>{8, 9}}) {
            pane.lightLines(lit.first, lit.second);
            QCOMPARE(pane.litLines(), lit);
        }
        pane.undo();
        pane.lightLines(4, 6);
        QCOMPARE(pane.litLines(), (QPair<int, int>{4, 6}));
    }

    void anEmptyPaneNamesItself() {
        // The name is painted where the first line would be; with text in the pane (blanks here,
        // which leave no ink) it is gone.
        const auto inkPixels = [&] {
            const QImage image = a_->viewport()->grab().toImage();
            const QColor paper = PaneColour(a_);
            int left = 1;
            for (int margin = 0; margin < 5; ++margin) left += a_->marginWidth(margin);
            int n = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = left; x < image.width(); ++x) n += image.pixelColor(x, y) != paper ? 1 : 0;
            }
            return n;
        };
        QVERIFY(inkPixels() > 0);
        window_->showProgramTexts("   ", "");
        QCOMPARE(inkPixels(), 0);
        window_->showProgramTexts("", "");
        QVERIFY(inkPixels() > 0);
    }

    void panesUseAFixedPitchTwelvePointFont() {
        const QFontMetrics metrics(a_->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")), metrics.horizontalAdvance(QStringLiteral("WWWW")));
        QCOMPARE(a_->font().pointSizeF(), 12.0);
        QCOMPARE(b_->font(), a_->font());
    }
};

QTEST_MAIN(PanesTest)
#include "panes_test.moc"
