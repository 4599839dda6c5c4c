// One program pane with the plot drawn from it: the text, when the plot follows it, and which
// line and pass of it are lit up in both.
#include "app/program_view.h"

#include "app/plot_view.h"
#include "app/program_pane.h"

#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace quillane {
namespace {

// Up to this many bytes a pane is replotted at once on every change; a larger one when
// the changes pause, so that a burst of keys on a 10 MB program costs one replot, not one each.
constexpr int kPromptReplotLimit = 2'000'000;
// From this many bytes a whole replot is drawn on a thread of its own: it costs some 6 ms of
// CPU a MB at 10 MB and more per MB beyond, so from here it would hold the window for over a
// tenth of a second on a busy machine.
constexpr std::size_t kBackgroundReplotSize = 5'000'000;

}  // namespace

ProgramView::ProgramView(ProgramPane* pane, PlotView* plot, ScanState& scan, QObject* parent)
    : QObject(parent),
      pane_(pane),
      plot_(plot),
      scan_(scan),
      waitingReplot_(new QTimer(this)),
      plotter_(std::make_unique<IncrementalPlot>(plot->kind())) {
    waitingReplot_->setSingleShot(true);
    waitingReplot_->setInterval(0);
    connect(waitingReplot_, &QTimer::timeout, this, [this] { emit replotDue(this); });
    connect(pane_, &ProgramPane::edited, this, &ProgramView::changed);
    connect(&background_, &BackgroundPlot::landed, this, &ProgramView::land);

    connect(pane_, &ProgramPane::caretMoved, this, [this] {
        // Only the user's caret leads: a pane filled by a command moves its caret too.
        if (pane_->hasFocus()) emit caretLed(this);
    });
    connect(pane_, &ProgramPane::gotFocus, this, [this] { emit caretLed(this); });
    connect(plot_, &PlotView::lineClicked, this, &ProgramView::putCaretOn);
    connect(plot_, &PlotView::passStepRequested, this, [this](int step) { emit passStepRequested(this, step); });
    connect(plot_, &PlotView::linksChanged, this, &ProgramView::linksChanged);
    paneViewport_ = pane_->viewport();
    paneViewport_->installEventFilter(this);
}

std::string ProgramView::text() const { return std::string(pane_->programText()); }

std::string_view ProgramView::textView() const { return pane_->programText(); }

bool ProgramView::empty() const { return pane_->isEmpty(); }

void ProgramView::setText(std::string_view programText) { pane_->replaceText(programText); }

void ProgramView::changed() {
    emit textChanged();
    if (pane_->textLength() < kPromptReplotLimit) {
        waitingReplot_->stop();  // this change is plotted now
        emit replotDue(this);
    } else {
        waitingReplot_->start();
    }
}

bool ProgramView::replotWaiting() const { return waitingReplot_->isActive(); }

void ProgramView::runWaitingReplot() {
    if (takeWaitingReplot()) emit replotDue(this);
}

bool ProgramView::takeWaitingReplot() {
    if (!waitingReplot_->isActive()) return false;
    waitingReplot_->stop();
    return true;
}

bool ProgramView::drawsWhole(const ChangedLines& changed, bool inputsChanged, const GeneratorState& record) const {
    // The plot itself says when an edit is drawn whole (a paste of most of the text, a record whose
    // plot inputs changed, nothing drawn yet to splice into).
    return changed.All || inputsChanged ||
           plotter_->ReplotsWhole(LineEdit{changed.First, changed.Before, changed.After}, record);
}

void ProgramView::replot(const GeneratorState& record) {
    // The lines changed since the last replot are redrawn; a replaced text is drawn whole.
    // Edits made while a plot is drawn on its own thread gather here for the replot after it,
    // counted from the text it was given.
    const ChangedLines changed = pane_->takeChangedLines();
    const bool inputsChanged = std::exchange(wholeReplotDue_, false);
    if (pane_->textLength() >= kBackgroundReplotSize && drawsWhole(changed, inputsChanged, record)) {
        // The thread cannot read the pane's buffer, which the next edit changes.
        background_.start(plot_->kind(), std::string(pane_->programText()), record, scan_);
        return;
    }
    // The pane's own buffer: nothing is copied on a keystroke, and an edit reads it from where
    // its plot starts reading.
    const PlotUpdate* update = nullptr;
    if (changed.All || inputsChanged) {
        update = &plotter_->Replot(pane_->programText(), record, scan_);
    } else {
        const LineEdit edit{changed.First, changed.Before, changed.After};
        // The first key after a replot: what the scanner brings is taken up from the lines before
        // the edit, which lie before the buffer's split.
        plotter_->TakeCarry(pane_->programTextTo(plotter_->CarryReach(edit, record, scan_)), edit, record, scan_);
        const std::size_t from = plotter_->ReadsFrom(edit, record, scan_);
        update = &plotter_->Update(pane_->programTextFrom(from), edit, record, scan_, from);
        if (update->NeedsWholeText) update = &plotter_->Update(pane_->programText(), edit, record, scan_);
    }
    // Before the first Program Output the cutting graphic has no extent to draw to: the
    // picture stays.
    if (update->Drawn) show(record);
}

void ProgramView::land() {
    BackgroundPlot::Result drawn = background_.take();
    scan_ = drawn.Scan;
    if (drawn.Plot && drawn.Plot->LastUpdate().Drawn) {
        // The plot view shows the old picture by reference until it is handed the new one.
        const std::unique_ptr<IncrementalPlot> shown = std::exchange(plotter_, std::move(drawn.Plot));
        show(drawn.Record);
    } else {
        // The picture stays, as it does when the cutting graphic has no extent; the plot kept
        // for it describes an older text, so the next replot draws the whole text.
        wholeReplotDue_ = true;
    }
    emit backgroundPlotLanded();
}

void ProgramView::show(const GeneratorState& record) {
    const Drawing& picture = plotter_->Picture();
    // The point graphic draws Z from the start point; its texts give Z itself.
    const double zOffset = plot_->kind() == PlotKind::PointData ? record.Shape.StartPointZ : 0;
    // A splice tells the view which items changed, so it re-thins only those; a plot drawn
    // whole (also one landed from its own thread) is thinned whole.
    const PlotUpdate& update = plotter_->LastUpdate();
    plot_->showPicture(picture, plotter_->Links(), zOffset,
                       update.Spliced ? std::optional(update.Items) : std::nullopt);
    if (picture.ReadoutVisible) emit plotCompleted();
}

int ProgramView::caretLine() const { return pane_->caretLine(); }

std::optional<std::size_t> ProgramView::passAtCaret() const { return plot_->links().PassOfLine(caretLine()); }

void ProgramView::putCaretOn(int line) {
    if (line < 0 || line >= pane_->lines()) return;
    pane_->putCaretOn(line);
    emit caretLed(this);
}

std::optional<int> ProgramView::stepPassLine(std::optional<std::size_t> current, int step) const {
    const ShiftedList<PlotPass>& passes = plot_->links().Passes();
    if (passes.empty()) return std::nullopt;
    std::size_t next = 0;
    if (current) {
        // The current pass may come from the other view, which can hold more passes.
        const std::size_t from = std::min(*current, passes.size() - 1);
        next = step < 0 ? (from == 0 ? 0 : from - 1) : std::min(from + 1, passes.size() - 1);
    } else if (step < 0) {
        next = passes.size() - 1;
    }
    return passes[next].MoveLine;
}

void ProgramView::light(std::optional<std::size_t> pass, bool leads, bool reveal) {
    const PlotLinks& links = plot_->links();
    const ShiftedList<PlotPass>& passes = links.Passes();
    std::vector<ItemRange> lineItems;
    if (leads) lineItems = links.ItemsOfLine(caretLine());
    if (pass && *pass < passes.size()) {
        const PlotPass& p = passes[*pass];
        plot_->setHighlight(std::move(lineItems), p.Items,
                            QStringLiteral("pass %1 / %2").arg(*pass + 1).arg(passes.size()), p.Start);
        if (reveal) revealLines(p.FirstLine, p.LastLine);
        if (p.FirstLine >= 0 && p.FirstLine <= p.LastLine && p.LastLine < pane_->lines()) {
            pane_->lightLines(p.FirstLine, p.LastLine);
        } else {
            pane_->clearLitLines();
        }
    } else {
        plot_->setHighlight(std::move(lineItems), {}, {}, std::nullopt);
        pane_->clearLitLines();
    }
    plot_->setLitPass(pass && *pass < passes.size() ? pass : std::nullopt);
}

void ProgramView::revealLines(int first, int last) {
    // Without line wrapping a pane scrolls by whole lines.
    const int top = pane_->firstVisibleLine();
    const int rows = std::max(1, pane_->linesShown());
    if (first >= top && last < top + rows) return;
    pane_->setFirstVisibleLine(std::max(0, first - rows / 3));
}

QString ProgramView::passToolTipAtLine(int line) const {
    const std::optional<std::size_t> pass = plot_->links().PassOfLine(line);
    return pass ? plot_->passToolTip(*pass) : QString();
}

bool ProgramView::eventFilter(QObject* watched, QEvent* event) {
    // Compared by the pointer kept: the viewport's last events come while the pane is being
    // destroyed, when it is no longer a scroll area to ask.
    if (watched == paneViewport_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = passToolTipAtLine(pane_->lineNearest(help->pos()));
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, pane_->viewport());
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillane
