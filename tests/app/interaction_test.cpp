// Working with the plots: zoom and pan, the line and pass that light up in all four views,
// picking a move, stepping through passes, measuring.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/ncplot/plot_readout.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

using namespace quillane;
using namespace quillane::testing;

namespace {

void Wheel(QWidget* widget, const QPointF& at, int notches) {
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// Index of the first line of `pane` from `from` on that starts with `start`.
int LineStarting(const ProgramPane* pane, const QString& start, int from = 0) {
    for (int line = from; line < pane->lines(); ++line) {
        if (pane->text(line).startsWith(start)) return line;
    }
    return -1;
}

// The middle of a line's (first) move, where a click picks it.
QPoint MiddleOfMove(const PlotView* plot, int line) {
    const std::vector<ItemRange> ranges = plot->links().ItemsOfLine(line);
    if (ranges.empty()) return {};
    for (std::size_t i = ranges[0].First; i < ranges[0].End; ++i) {
        const Primitive& p = plot->drawing().Items[i];
        if (p.Kind != PrimitiveKind::Line) continue;
        const DrawPoint mid((static_cast<double>(p.At.X) + static_cast<double>(p.To.X)) / 2,
                            (static_cast<double>(p.At.Y) + static_cast<double>(p.To.Y)) / 2);
        return plot->widgetPositionOf(mid).value_or(QPointF()).toPoint();
    }
    return {};
}

// The lines of `pane` that are shown as the current pass.
QPair<int, int> PassLinesShown(const ProgramPane* pane) { return pane->litLines(); }
const QPair<int, int> NoneLit(-1, -1);

}  // namespace

class InteractionTest : public WindowFixture {
    Q_OBJECT

    // Both panes as one "Program Output" of the worked example in the FANUC dialect leaves them.
    void generate() {
        GeneratorState state;
        state.Shape = testing_shapes::WorkedExample();
        OutputOptions options;
        options.Trv = false;
        options.Fanuc = true;
        const RunResult r = RunGenerator(state, options, "", "");
        QVERIFY(r.Succeeded);
        window_->generatorState() = r.State;
        window_->generatorState().Shape = r.ShapeAtPointData;
        window_->showProgramTexts(r.PointText, "");
        window_->generatorState() = r.State;
        window_->showProgramTexts(r.PointText, r.ProgramText);
        QCOMPARE(plot1_->links().Passes().size(), std::size_t{28});
        QCOMPARE(plot2_->links().Passes().size(), std::size_t{28});
    }

    // The line of pass n's cut ("G32 ...") in the standard program.
    int cutLine(int n) const {
        int line = -1;
        for (int i = 0; i < n; ++i) line = LineStarting(b_, QStringLiteral("G32 "), line + 1);
        return line;
    }

    void putCaret(ProgramPane* pane, int line) {
        pane->setFocus();
        pane->putCaretOn(line);
    }

private slots:

    void wheelZoomKeepsThePointUnderTheCursor() {
        generate();
        const UserScale own = *plot2_->drawing().Scale;
        const QPointF at = plot2_->contentsRect().topLeft() + QPointF(137, 61);
        const QPointF before = plot2_->drawingPositionAt(at);
        Wheel(plot2_, at, 2);
        QVERIFY(plot2_->zoomed());
        QCOMPARE(plot2_->shownScale()->Width, static_cast<float>(static_cast<double>(own.Width) / 1.5625));
        const QPointF after = plot2_->drawingPositionAt(at);
        // Within what a single-precision scale can hold.
        QVERIFY2(std::fabs(after.x() - before.x()) < 1e-5 * std::fabs(static_cast<double>(own.Width)),
                 qPrintable(QString::number(after.x())));
        QVERIFY(std::fabs(after.y() - before.y()) < 1e-5 * std::fabs(static_cast<double>(own.Height)));
        Wheel(plot2_, at, -1);
        QVERIFY(std::fabs(plot2_->drawingPositionAt(at).x() - before.x()) <
                1e-5 * std::fabs(static_cast<double>(own.Width)));
    }

    void homeAndDoubleClickRestoreThePicturesOwnScale() {
        generate();
        const UserScale own = *plot2_->drawing().Scale;
        plot2_->setFocus();
        Wheel(plot2_, QPointF(50, 50), 3);
        plot2_->panBy(QPointF(30, -12));
        QVERIFY(plot2_->shownScale() != own);
        QTest::keyClick(plot2_, Qt::Key_Home);
        QVERIFY(!plot2_->zoomed());
        QVERIFY(plot2_->shownScale() == own);
        Wheel(plot2_, QPointF(50, 50), 1);
        QTest::mouseDClick(plot2_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
        QVERIFY(plot2_->shownScale() == own);
        // An edit replots without losing the view; a new extent starts at its own scale.
        Wheel(plot2_, QPointF(50, 50), 1);
        b_->append(QStringLiteral("(END)\r\n"));
        QVERIFY(plot2_->zoomed());
        generate();
        QVERIFY(plot2_->zoomed());  // the same extent again
        window_->generatorState().CutSpanZ += 10;
        b_->append(QStringLiteral("(END)\r\n"));
        QVERIFY(!plot2_->zoomed());
    }

    void middleButtonAndSpaceDragPan() {
        generate();
        const QPointF start = plot2_->drawingPositionAt(QPointF(100, 80));
        QTest::mousePress(plot2_, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 80));
        QMouseEvent move(QEvent::MouseMove, QPointF(120, 80), plot2_->mapToGlobal(QPointF(120, 80)), Qt::NoButton,
                         Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(plot2_, &move);
        QTest::mouseRelease(plot2_, Qt::MiddleButton, Qt::NoModifier, QPoint(120, 80));
        // What was under the mouse moved with it.
        const QPointF moved = plot2_->drawingPositionAt(QPointF(120, 80));
        QVERIFY(std::fabs(moved.x() - start.x()) <
                1e-4 * std::fabs(static_cast<double>(plot2_->drawing().Scale->Width)));
        QVERIFY(plot2_->zoomed());
    }

    void readoutIsRightAtAZoomedScale() {
        // A picture at one unit a pixel, diameter 31 at its middle.
        const QRect picture = plot2_->contentsRect();
        const int px = picture.width() / 2, py = picture.height() / 2;
        Drawing drawing;
        drawing.Scale = UserScale{static_cast<float>(-px), static_cast<float>(-15.5 - py),
                                  static_cast<float>(picture.width()), static_cast<float>(picture.height())};
        drawing.ReadoutVisible = true;
        plot2_->showDrawing(drawing);
        plot2_->zoomAt(picture.topLeft() + QPoint(px, py), 2);
        auto* readout = Find<QLabel>(window_.get(), "Picture3");
        const auto moveTo = [this](const QPoint& at) {
            QMouseEvent move(QEvent::MouseMove, at, plot2_->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(plot2_, &move);
        };
        // 16 pixels down at half a unit a pixel: y = -15.5 + 8, diameter 15.
        moveTo(picture.topLeft() + QPoint(px, py + 16));
        QCOMPARE(readout->text(), QStringLiteral("  X15.000  Z0.000"));
        moveTo(picture.topLeft() + QPoint(px + 20, py));
        QCOMPARE(readout->text(), QStringLiteral("  X31.000  Z10.000"));
    }

    void caretOnALineLightsUpExactlyItsItemsAndItsPass() {
        generate();
        const int line = cutLine(2);
        putCaret(b_, line);
        const std::vector<ItemRange> lit = plot2_->highlightedLine();
        QCOMPARE(lit, plot2_->links().ItemsOfLine(line));
        QCOMPARE(lit.size(), std::size_t{1});
        const Drawing& drawing = plot2_->drawing();
        for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
            QCOMPARE(drawing.LineOf(i) == line, i >= lit[0].First && i < lit[0].End);
        }
        // The whole pass in both plots and both panes: in the point data its one line, N002.
        QCOMPARE(plot2_->highlightedPass(), plot2_->links().Passes()[1].Items);
        QCOMPARE(plot1_->highlightedPass(), plot1_->links().Passes()[1].Items);
        QVERIFY(plot1_->highlightedLine().empty());
        const int pointLine = LineStarting(a_, QStringLiteral("N002 "));
        QCOMPARE(PassLinesShown(a_), qMakePair(pointLine, pointLine));
        QCOMPARE(PassLinesShown(b_), qMakePair(LineStarting(b_, QStringLiteral("N2")), line + 2));
        // And the other way round: the caret in the point data lights up the program's pass.
        putCaret(a_, LineStarting(a_, QStringLiteral("N005 ")));
        QCOMPARE(plot2_->highlightedPass(), plot2_->links().Passes()[4].Items);
        QVERIFY(plot2_->highlightedLine().empty());
        QCOMPARE(PassLinesShown(b_).second, cutLine(5) + 2);
        // The other pane scrolls to show the pass; its caret stays.
        const int caret = b_->caretLine();
        putCaret(a_, LineStarting(a_, QStringLiteral("N027 ")));
        const int top = b_->firstVisibleLine();
        QVERIFY2(top <= cutLine(27) && cutLine(27) < top + b_->linesShown(), qPrintable(QString::number(top)));
        QCOMPARE(b_->caretLine(), caret);
        // Scrolled away by hand, it stays away while the user types on the same line.
        b_->setFirstVisibleLine(0);
        QTest::keyClick(a_, Qt::Key_End);
        QTest::keyClicks(a_, QStringLiteral(" "));
        QCOMPARE(b_->firstVisibleLine(), 0);
        // A line of no pass lights up nothing.
        putCaret(b_, 0);
        QCOMPARE(plot1_->highlightedPass(), ItemRange{});
        QCOMPARE(PassLinesShown(a_), NoneLit);
    }

    void hoveringAPassLineInAPaneShowsThePass() {
        generate();
        const int line = cutLine(3);
        putCaret(b_, line);
        const long start = b_->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const QPoint at(b_->marginWidth(0) + 20,
                        static_cast<int>(b_->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, start)) + 3);
        QHelpEvent hover(QEvent::ToolTip, at, b_->viewport()->mapToGlobal(at));
        QApplication::sendEvent(b_->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("pass 3, X31.664, Z16.700"));
    }

    void aClickOnAMovePutsTheCaretOnItsLine() {
        generate();
        const int line = cutLine(3);  // X31.664, a diameter no other pass cuts at
        QTest::mouseClick(plot2_, Qt::LeftButton, Qt::NoModifier, MiddleOfMove(plot2_, line));
        QCOMPARE(b_->caretLine(), line);
        QCOMPARE(plot2_->highlightedLine(), plot2_->links().ItemsOfLine(line));
        QCOMPARE(plot1_->highlightedPass(), plot1_->links().Passes()[2].Items);
        QVERIFY(plot2_->hasFocus());
        QCOMPARE(plot2_->passToolTipAt(MiddleOfMove(plot2_, line)), QStringLiteral("pass 3, X31.664, Z16.700"));
        // In the point graphic a point is picked where it is drawn.
        const PlotPass& point = plot1_->links().Passes()[3];
        QTest::mouseClick(plot1_, Qt::LeftButton, Qt::NoModifier, plot1_->widgetPositionOf(point.Start)->toPoint());
        QCOMPARE(a_->caretLine(), point.MoveLine);
        QCOMPARE(plot1_->passToolTipAt(*plot1_->widgetPositionOf(point.Start)),
                 QStringLiteral("pass 4, X33.396, Z16.200"));
        // Far from every move: nothing is picked.
        QTest::mouseClick(plot2_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(b_->caretLine(), line);
    }

    void highlightingSurvivesLinesInsertedAbove() {
        generate();
        putCaret(b_, cutLine(5));
        b_->insertAt(QStringLiteral("(FIRST)\r\n(SECOND)\r\n"), 0, 0);
        QCOMPARE(b_->caretLine(), cutLine(5));
        QCOMPARE(plot2_->highlightedPass(), plot2_->links().Passes()[4].Items);
        QCOMPARE(plot2_->highlightedLine(), plot2_->links().ItemsOfLine(cutLine(5)));
        QCOMPARE(plot1_->highlightedPass(), plot1_->links().Passes()[4].Items);
        QCOMPARE(PassLinesShown(b_).second, cutLine(5) + 2);
    }

    void arrowKeysStepThroughThePasses() {
        generate();
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_Right);
        QCOMPARE(b_->caretLine(), cutLine(1));
        QTest::keyClick(plot2_, Qt::Key_Right);
        QTest::keyClick(plot2_, Qt::Key_Right);
        QCOMPARE(b_->caretLine(), cutLine(3));
        QCOMPARE(plot2_->highlightedPass(), plot2_->links().Passes()[2].Items);
        QTest::keyClick(plot2_, Qt::Key_Left);
        QCOMPARE(b_->caretLine(), cutLine(2));
        QVERIFY(plot2_->hasFocus());
        // In the point graphic the same passes, by their points.
        plot1_->setFocus();
        QTest::keyClick(plot1_, Qt::Key_Right);
        QCOMPARE(a_->caretLine(), LineStarting(a_, QStringLiteral("N003 ")));
    }

    void steppingAPlotWithFewerPassesThanTheOtherPane() {
        generate();
        // The program cut down to its first eight passes; the point data keeps all 28.
        const int last = b_->lines() - 1;
        b_->setSelection(cutLine(9) - 2, 0, last, b_->lineLength(last));
        b_->removeSelectedText();
        QCOMPARE(plot2_->links().Passes().size(), std::size_t{8});
        putCaret(a_, LineStarting(a_, QStringLiteral("N025 ")));
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_Left);
        QCOMPARE(b_->caretLine(), cutLine(7));
        putCaret(a_, LineStarting(a_, QStringLiteral("N025 ")));
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_Right);
        QCOMPARE(b_->caretLine(), cutLine(8));
    }

    void aClearedPlotLeavesNothingLit() {
        generate();
        putCaret(a_, LineStarting(a_, QStringLiteral("N005 ")));
        QVERIFY(PassLinesShown(b_) != NoneLit);
        plot1_->clearToButtonFace();
        QCOMPARE(PassLinesShown(a_), NoneLit);
        QCOMPARE(PassLinesShown(b_), NoneLit);
        QCOMPARE(plot2_->highlightedPass(), ItemRange{});
    }

    void shiftEnterBreaksTheLineAsEnterDoes() {
        // A break inside the editor's own line would put the pane's line numbers and the
        // plot's apart; every break is a line of its own.
        generate();
        putCaret(b_, 0);
        QTest::keyClick(b_, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(!PaneText(b_).contains(QChar::LineSeparator));
        QCOMPARE(b_->text(0), QStringLiteral("\r\n"));
        putCaret(b_, cutLine(2));
        QCOMPARE(plot2_->highlightedLine(), plot2_->links().ItemsOfLine(cutLine(2)));
        QCOMPARE(plot2_->links().Passes()[1].MoveLine, cutLine(2));
        // Pasted separators too.
        QApplication::clipboard()->setText(QStringLiteral("(A)") + QChar::LineSeparator + QStringLiteral("(B)\n"));
        putCaret(b_, 0);
        b_->paste();
        QCOMPARE(b_->text(1), QStringLiteral("(B)\r\n"));
        QCOMPARE(plot2_->links().Passes()[1].MoveLine, cutLine(2));
    }

    void deepZoomStopsWhereAPixelIsStillAStep() {
        generate();
        const QPointF at = plot2_->contentsRect().center();
        for (int i = 0; i < 120; ++i) Wheel(plot2_, at, 1);
        const double width = std::fabs(plot2_->shownScale()->Width);
        QVERIFY(width < std::fabs(static_cast<double>(plot2_->drawing().Scale->Width)) / 100);
        // One pixel of pan moves the picture by one pixel.
        const QPointF before = plot2_->drawingPositionAt(at);
        plot2_->panBy(QPointF(1, 1));
        const QPointF after = plot2_->drawingPositionAt(at + QPointF(1, 1));
        const double unitsPerPixel = width / plot2_->contentsRect().width();
        QVERIFY2(std::fabs(after.x() - before.x()) < 0.25 * unitsPerPixel,
                 qPrintable(QString::number(after.x() - before.x())));
        QVERIFY(std::fabs(after.y() - before.y()) <
                0.25 * std::fabs(static_cast<double>(plot2_->shownScale()->Height)) / plot2_->contentsRect().height());
    }

    void measuringSnapsToEndPointsAndGivesTheExactDifferences() {
        generate();
        auto* measure = Find<QAction>(window_.get(), "tbButtonMeasure");
        QVERIFY(measure && measure->isCheckable());
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_M);
        QVERIFY(measure->isChecked() && plot1_->measuring() && plot2_->measuring());
        // The cut of pass 3, from X31.664 Z16.7 to Z-80, clicked a few pixels off each end.
        const std::vector<ItemRange> cut = plot2_->links().ItemsOfLine(cutLine(3));
        const Primitive& move = plot2_->drawing().Items[cut[0].First];
        QTest::mouseClick(plot2_, Qt::LeftButton, Qt::NoModifier,
                          (*plot2_->widgetPositionOf(move.At) + QPointF(3, 2)).toPoint());
        QVERIFY(plot2_->measurementText().isEmpty());
        QTest::mouseClick(plot2_, Qt::LeftButton, Qt::NoModifier,
                          (*plot2_->widgetPositionOf(move.To) + QPointF(-2, -3)).toPoint());
        QCOMPARE(plot2_->measurementText(), QString::fromStdString(MeasurementText(Measure(move.At, move.To))));
        QCOMPARE(plot2_->measurementText(), QStringLiteral("dZ-96.700  dX0.000  dR0.000  L96.700"));
        // A measuring click picks no line; the toggle off ends it.
        QCOMPARE(b_->caretLine(), 0);
        measure->trigger();
        QVERIFY(!plot2_->measuring());
        QVERIFY(plot2_->measurementText().isEmpty());
    }

    void extentsOfThePlottedPath() {
        generate();
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_E);
        QVERIFY(plot2_->showsExtents());
        // From the first pass's start at Z17.7 to the cuts' end at Z-80, retract X28 to floor X36.
        QCOMPARE(plot2_->extentsText(), QStringLiteral("Z-80.000 .. 17.700  X28.000 .. 36.000"));
    }
};

QTEST_MAIN(InteractionTest)
#include "interaction_test.moc"
