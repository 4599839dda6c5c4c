// A very large text is plotted on a thread of its own: the window answers input meanwhile, and
// once the plots land they are what a whole replot of the final texts draws, whatever was
// typed, set or cleared while they were drawn.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/incremental_plot.h"
#include "core/shape/shape_data.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <string>

using namespace quillane;
using namespace quillane::testing;

namespace {

// Large enough to be plotted on its own thread, small enough to be plotted in a moment.
constexpr std::size_t kLargeText = 8'000'000;

// No plot of the window is being drawn on its own thread, and no replot waits.
bool Settled(const MainWindow& window) {
    for (const ProgramView* view : window.findChildren<ProgramView*>()) {
        if (view->drawingInBackground() || view->replotWaiting()) return false;
    }
    return true;
}

ProgramView* ViewOf(const ProgramPane* pane) {
    for (ProgramView* view : pane->window()->findChildren<ProgramView*>()) {
        if (view->pane() == pane) return view;
    }
    return nullptr;
}

bool SameLinks(const PlotLinks& a, const PlotLinks& b) {
    if (a.Passes().size() != b.Passes().size()) return false;
    for (std::size_t k = 0; k < a.Passes().size(); ++k) {
        const PlotPass& p = a.Passes()[k];
        const PlotPass& q = b.Passes()[k];
        if (p.FirstLine != q.FirstLine || p.LastLine != q.LastLine || p.MoveLine != q.MoveLine ||
            !(p.Items == q.Items) || !(p.Start == q.Start)) {
            return false;
        }
    }
    const bool sameExtents =
        a.Extents().has_value() == b.Extents().has_value() &&
        (!a.Extents() || (a.Extents()->Left == b.Extents()->Left && a.Extents()->Right == b.Extents()->Right &&
                          a.Extents()->Top == b.Extents()->Top && a.Extents()->Bottom == b.Extents()->Bottom));
    return sameExtents && a.ItemsOfLine(7) == b.ItemsOfLine(7) && a.ItemsOfLine(100'000) == b.ItemsOfLine(100'000);
}

// What the window does when the user types, in either pane, while a large text is plotted.
enum class During { Nothing, TypeInLarge, TypeInOther, TypeInBoth, ReplaceLarge };

}  // namespace

class LargeReplotTest : public WindowFixture {
    Q_OBJECT

    RunResult run_;

    // Gives the window the worked example's record and point data, plotted at once.
    void startFromWorkedExample() {
        run_ = testing_shapes::WorkedExampleRun(false);
        window_->generatorState() = run_.State;
        window_->showProgramTexts(run_.PointText, "");
        QVERIFY(Settled(*window_));
    }

    // Both plots are what a whole replot of the panes' texts, the point data first, draws (and
    // the point data again after the standard program, as typing in it after the standard
    // program was set does: the scan state that plot left carries over).
    void verifyPlotsOfFinalTexts(bool pointsAgain = false) {
        QTRY_VERIFY_WITH_TIMEOUT(Settled(*window_), 30'000);
        ScanState scan;
        IncrementalPlot points(PlotKind::PointData);
        IncrementalPlot program(PlotKind::CuttingPath);
        points.Replot(window_->pointDataText(), window_->generatorState(), scan);
        program.Replot(window_->standardProgramText(), window_->generatorState(), scan);
        if (pointsAgain) points.Replot(window_->pointDataText(), window_->generatorState(), scan);
        QVERIFY(!program.Picture().Items.empty());
        QVERIFY(plot1_->drawing() == points.Picture());
        QVERIFY(plot2_->drawing() == program.Picture());
        QVERIFY(SameLinks(plot1_->links(), points.Links()));
        QVERIFY(SameLinks(plot2_->links(), program.Links()));
    }

    void typeInto(ProgramPane* pane, int line, const char* text) {
        pane->setFocus();
        pane->setCursorPosition(line, 0);
        QTest::keyClick(pane, Qt::Key_End);
        QTest::keyClicks(pane, QString::fromLatin1(text));
    }

private slots:
    void theWindowAnswersWhileALargeTextIsPlotted_data() {
        QTest::addColumn<During>("during");
        QTest::newRow("nothing") << During::Nothing;
        QTest::newRow("typing in the large pane") << During::TypeInLarge;
        QTest::newRow("typing in the other pane") << During::TypeInOther;
        QTest::newRow("typing in both panes") << During::TypeInBoth;
        QTest::newRow("the large text set again") << During::ReplaceLarge;
    }
    void theWindowAnswersWhileALargeTextIsPlotted() {
        QFETCH(During, during);
        startFromWorkedExample();
        const std::string large = testing_shapes::Repeated(run_.ProgramText, kLargeText);
        const int shown1 = plot1_->replotCount();
        const int shown2 = plot2_->replotCount();
        window_->showProgramTexts(run_.PointText, large);
        QCOMPARE(plot2_->replotCount(), shown2);  // not drawn yet
        QTRY_VERIFY(ViewOf(b_)->drawingInBackground());

        // The event loop runs before the plot lands: a timer set now fires first.
        bool answered = false;
        bool landedBefore = false;
        QTimer::singleShot(0, window_.get(), [&] {
            answered = true;
            landedBefore = plot2_->replotCount() != shown2;
        });
        QTRY_VERIFY(answered);
        QVERIFY(!landedBefore);

        if (during == During::TypeInLarge || during == During::TypeInBoth) typeInto(b_, 5003, " X31.");
        if (during == During::TypeInOther || during == During::TypeInBoth) {
            typeInto(a_, 2, "5");
            // It waits for the large plot, whose scan state it reads.
            QCOMPARE(plot1_->replotCount(), shown1);
        }
        if (during == During::ReplaceLarge) {
            window_->showProgramTexts(run_.PointText,
                                      testing_shapes::Repeated(run_.ProgramText, kLargeText + 1'000'000));
        }
        QVERIFY(ViewOf(b_)->drawingInBackground());  // all that happened while it was drawn
        verifyPlotsOfFinalTexts(during == During::TypeInOther || during == During::TypeInBoth);
        // What was typed meanwhile is spliced into the plot that landed, not drawn whole again.
        if (during == During::TypeInLarge || during == During::TypeInBoth) QVERIFY(ViewOf(b_)->lastUpdate().Spliced);
    }

    void theNextPlotStartsWhereTheLargePlotLeftTheScan() {
        startFromWorkedExample();
        // A comment opened at the end of the point data runs on into the standard program, which
        // waits for the point data's plot.
        window_->showProgramTexts(testing_shapes::Repeated(run_.PointText, kLargeText) + "(\r\n",
                                  "G01 X31. Z-5.\r\nG00 X40. Z-10.\r\n");
        QVERIFY(!Settled(*window_));
        verifyPlotsOfFinalTexts();
        ScanState fresh;
        QVERIFY(plot2_->drawing() != PlotCuttingPath(window_->standardProgramText(), window_->generatorState(), fresh));
    }

    void aLargePasteIsPlottedOnItsOwnThread() {
        startFromWorkedExample();
        const std::string large = testing_shapes::Repeated(run_.ProgramText, kLargeText);
        QGuiApplication::clipboard()->setText(QString::fromStdString(large));
        b_->setFocus();
        window_->paste();
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(ViewOf(b_)->drawingInBackground());
        verifyPlotsOfFinalTexts();
    }

    void aRecordChangedMeanwhileIsDrawnAfterThePlotLands() {
        startFromWorkedExample();
        window_->showProgramTexts(run_.PointText, testing_shapes::Repeated(run_.ProgramText, kLargeText));
        QVERIFY(!Settled(*window_));
        // Another Program Output while the large text is plotted appends to both panes.
        window_->runProgramOutput(ShapeToBoxes(testing_shapes::WorkedExample()), OutputOptions{});
        verifyPlotsOfFinalTexts();
    }

    void newWhileALargeTextIsPlottedClearsBothPlots() {
        startFromWorkedExample();
        window_->showProgramTexts(run_.PointText, testing_shapes::Repeated(run_.ProgramText, kLargeText));
        QVERIFY(!Settled(*window_));
        window_->newProgram();
        QTRY_VERIFY_WITH_TIMEOUT(Settled(*window_), 30'000);
        QVERIFY(plot1_->drawing().Items.empty());
        QVERIFY(plot2_->drawing().Items.empty());
        // The plots follow the panes again from there.
        window_->generatorState() = run_.State;
        window_->showProgramTexts(run_.PointText, run_.ProgramText);
        verifyPlotsOfFinalTexts();
    }

    void closingTheWindowWhileALargeTextIsPlottedIsSafe() {
        startFromWorkedExample();
        window_->showProgramTexts(run_.PointText, testing_shapes::Repeated(run_.ProgramText, kLargeText));
        typeInto(a_, 2, "5");  // waits for the large plot
        QVERIFY(!Settled(*window_));
        closeWindow();
        QTest::qWait(20);  // whatever the thread would have handed over is gone with the window
        openWindow();
        startFromWorkedExample();
        window_->showProgramTexts(run_.PointText, run_.ProgramText);
        verifyPlotsOfFinalTexts();
    }
};

QTEST_MAIN(LargeReplotTest)
#include "large_replot_test.moc"
