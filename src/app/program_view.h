// One program pane with the plot drawn from it: the text, when the plot follows it, and which
// line and pass of it are lit up in both.
#pragma once

#include "app/background_plot.h"
#include "app/changed_lines.h"
#include "core/ncplot/incremental_plot.h"
#include "core/ncplot/nc_scanner.h"
#include "core/ncplot/plot_links.h"
#include "core/shape/program_writers.h"

#include <QObject>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QTimer;
class QWidget;

namespace quillane {

class PlotView;
class ProgramPane;

class ProgramView : public QObject {
    Q_OBJECT
public:
    // The pane and the plot are the window's widgets (it places them); the view ties them
    // together. `scan` belongs to the window: both plots carry the one scan state from plot to
    // plot.
    ProgramView(ProgramPane* pane, PlotView* plot, ScanState& scan, QObject* parent = nullptr);

    ProgramPane* pane() const { return pane_; }
    PlotView* plot() const { return plot_; }

    // The pane's text with CR LF line ends, as the generator and the plots use it.
    std::string text() const;
    // The same read in place, valid until the pane's text changes.
    std::string_view textView() const;
    bool empty() const;
    // Replaces the pane's text; when it really changes, the change replots as typing does.
    void setText(std::string_view programText);
    // Clears the plot to the button face (the pane keeps its text), after the replots already
    // asked for.
    void clearPlot() { emit clearDue(this); }

    // A very large pane replots once the keys pause; the replot then waits here.
    bool replotWaiting() const;
    // Asks for the waiting replot, if any, now.
    void runWaitingReplot();
    // Drops the waiting replot; true when there was one (the caller runs it in its place).
    bool takeWaitingReplot();
    // Draws the pane's text into the plot with `record`: what changed since the last replot.
    // A whole replot of a very large text is drawn on a thread of its own and shown when it
    // lands (backgroundPlotLanded); until then this view must not be replotted again.
    void replot(const GeneratorState& record);
    // A replot is being drawn on its own thread.
    bool drawingInBackground() const { return background_.running(); }
    // How the plot shown was last drawn: whole, or spliced from the one before.
    const PlotUpdate& lastUpdate() const { return plotter_->LastUpdate(); }
    // The record or the shape the plot reads changed: the next replot draws the whole text.
    void plotInputsChanged() { wholeReplotDue_ = true; }

    // The 0-based line of the pane's caret.
    int caretLine() const;
    // The pass (0-based) of the caret's line in this view's plot.
    std::optional<std::size_t> passAtCaret() const;
    // Puts the caret at the start of a line and brings it into view.
    void putCaretOn(int line);
    // The line of the next (+1) or previous (-1) pass after `current` (which may come from the
    // other view), none when the plot has no passes.
    std::optional<int> stepPassLine(std::optional<std::size_t> current, int step) const;
    // Lights up `pass` in the plot and behind its lines in the pane; the view the caret leads in
    // (`leads`) also lights the caret's own line in its plot. `reveal` scrolls the pass's lines
    // into view.
    void light(std::optional<std::size_t> pass, bool leads, bool reveal);

signals:
    // The pane's text changed: typed, pasted, undone, or set by a command (`setText`).
    void textChanged();
    // The pane's text changed and the plot should follow now; the window runs other views'
    // waiting replots first, as the plots share their scan state.
    void replotDue(ProgramView* view);
    // The plot should be cleared to the button face once the replots before have run.
    void clearDue(ProgramView* view);
    // A plot ran to its end (the window then shows the X/Z read-out).
    void plotCompleted();
    // The replot drawn on its own thread is shown: the next may run.
    void backgroundPlotLanded();
    // The user moved the caret, gave the pane the focus, or picked a line in the plot.
    void caretLed(ProgramView* view);
    // The plot has new links: what is lit up has to be found in it again.
    void linksChanged();
    // The user asked for the next (+1) or previous (-1) pass on the plot.
    void passStepRequested(ProgramView* view, int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    // Whether this replot draws the whole text, as a replaced text, a changed record or a
    // paste of most of the text do.
    bool drawsWhole(const ChangedLines& changed, bool inputsChanged, const GeneratorState& record) const;
    void land();
    void show(const GeneratorState& record);
    void revealLines(int first, int last);
    QString passToolTipAtLine(int line) const;

    ProgramPane* pane_;
    QWidget* paneViewport_ = nullptr;  // where the pass tool tips are asked for
    PlotView* plot_;
    ScanState& scan_;
    QTimer* waitingReplot_;
    // The plot's picture and links, kept edit by edit; the plot view shows them as they are.
    // A plot drawn on its own thread takes its place once shown.
    std::unique_ptr<IncrementalPlot> plotter_;
    bool wholeReplotDue_ = false;
    // Destroyed first: it waits for a plot still being drawn, whose result goes unshown.
    BackgroundPlot background_;
};

}  // namespace quillane
