// Ties the panes and the plots together: the line under the caret and its pass light up in all
// four views, a click on a plotted move puts the caret on its line, the passes can be stepped
// through, and both plots measure. Everything comes from the line indices the plots recorded.
#include "app/main_window.h"

#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/tool_icons.h"

#include <QAction>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolTip>

#include <algorithm>

namespace quillane {
namespace {

// The lines of the current pass in a pane, behind the text.
const QColor PassLinesColour(255, 222, 173);

}  // namespace

void MainWindow::createMeasureButton() {
    tbToolBar_->addSeparator();
    measureAction_ = tbToolBar_->addAction(ToolIcon(QStringLiteral("Measure")), QStringLiteral("Measure"));
    measureAction_->setObjectName(QStringLiteral("tbButtonMeasure"));
    measureAction_->setData(QStringLiteral("Measure"));  // names no command of the nine
    measureAction_->setCheckable(true);
    measureAction_->setToolTip(QStringLiteral("Measure on the plots (M)"));
    tbToolBar_->widgetForAction(measureAction_)->setFocusPolicy(Qt::NoFocus);
    connect(measureAction_, &QAction::toggled, this, [this](bool on) {
        Picture1_->setMeasuring(on);
        Picture2_->setMeasuring(on);
    });
}

void MainWindow::connectLinks() {
    const auto pairs = {std::pair{txtDataA_, Picture1_}, std::pair{txtDataB_, Picture2_}};
    for (const auto& [pane, plot] : pairs) {
        connect(pane, &QPlainTextEdit::cursorPositionChanged, this, [this, pane = pane] {
            // Only the user's caret leads: a pane filled by a command moves its caret too.
            if (pane->hasFocus()) followCaret(pane);
        });
        connect(pane, &ProgramPane::gotFocus, this, [this, pane = pane] { followCaret(pane); });
        connect(plot, &PlotView::lineClicked, this, [this, pane = pane](int line) { putCaretOn(pane, line); });
        connect(plot, &PlotView::passStepRequested, this,
                [this, pane = pane, plot = plot](int step) { stepPass(pane, plot, step); });
        connect(plot, &PlotView::measureKeyPressed, measureAction_, &QAction::toggle);
        // A new picture's links: the caret's line and pass are found in it again.
        connect(plot, &PlotView::linksChanged, this, &MainWindow::refreshLinks);
        pane->viewport()->installEventFilter(this);
    }
}

void MainWindow::followCaret(ProgramPane* pane) {
    linkPane_ = pane;
    refreshLinks();
}

void MainWindow::putCaretOn(ProgramPane* pane, int line) {
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    if (!block.isValid()) return;
    linkPane_ = pane;
    pane->setTextCursor(QTextCursor(block));
    pane->ensureCursorVisible();
    refreshLinks();
}

void MainWindow::stepPass(ProgramPane* pane, PlotView* plot, int step) {
    const std::vector<PlotPass>& passes = plot->links().Passes();
    if (passes.empty()) return;
    const std::optional<std::size_t> current = currentPass();
    std::size_t next = 0;
    if (current) {
        // The current pass may come from the other pane, which can hold more passes.
        const std::size_t from = std::min(*current, passes.size() - 1);
        next = step < 0 ? (from == 0 ? 0 : from - 1) : std::min(from + 1, passes.size() - 1);
    } else if (step < 0) {
        next = passes.size() - 1;
    }
    putCaretOn(pane, passes[next].MoveLine);
}

PlotView* MainWindow::plotOf(const ProgramPane* pane) const { return pane == txtDataA_ ? Picture1_ : Picture2_; }

std::optional<std::size_t> MainWindow::currentPass() const {
    if (linkPane_ == nullptr) return std::nullopt;
    return plotOf(linkPane_)->links().PassOfLine(linkPane_->textCursor().blockNumber());
}

void MainWindow::refreshLinks() {
    const std::optional<std::size_t> pass = currentPass();
    const int line = linkPane_ != nullptr ? linkPane_->textCursor().blockNumber() : -1;
    // The other pane is brought to a pass when the user comes to it, not on every replot:
    // a pane scrolled away by hand stays where it is while the user types in the other.
    const bool cameToPass = pass != litPass_ || linkPane_ != litPassPane_;
    litPass_ = pass;
    litPassPane_ = linkPane_;
    for (ProgramPane* pane : {txtDataA_, txtDataB_}) {
        PlotView* plot = plotOf(pane);
        const std::vector<PlotPass>& passes = plot->links().Passes();
        std::vector<ItemRange> lineItems;
        if (pane == linkPane_) lineItems = plot->links().ItemsOfLine(line);
        QList<QTextEdit::ExtraSelection> passLines;
        if (pass && *pass < passes.size()) {
            const PlotPass& p = passes[*pass];
            plot->setHighlight(std::move(lineItems), p.Items,
                               QStringLiteral("pass %1 / %2").arg(*pass + 1).arg(passes.size()), p.Start);
            const QTextBlock first = pane->document()->findBlockByNumber(p.FirstLine);
            const QTextBlock last = pane->document()->findBlockByNumber(p.LastLine);
            // The other pane shows the pass too; the caret's own pane keeps the caret in view.
            if (pane != linkPane_ && cameToPass) revealLines(pane, p.FirstLine, p.LastLine);
            if (first.isValid() && last.isValid()) {
                QTextEdit::ExtraSelection lines;
                // Up to the start of the next line, so that the last line is lit across too.
                const QTextBlock after = last.next();
                lines.cursor = QTextCursor(first);
                lines.cursor.setPosition(after.isValid() ? after.position() : last.position() + last.length() - 1,
                                         QTextCursor::KeepAnchor);
                lines.format.setBackground(PassLinesColour);
                lines.format.setProperty(QTextFormat::FullWidthSelection, true);
                passLines.push_back(lines);
            }
        } else {
            plot->setHighlight(std::move(lineItems), {}, {}, std::nullopt);
        }
        pane->setExtraSelections(passLines);
    }
}

void MainWindow::revealLines(ProgramPane* pane, int first, int last) {
    // Without line wrapping a pane scrolls by whole lines: the scroll value is the top line.
    QScrollBar* scroll = pane->verticalScrollBar();
    const int top = scroll->value();
    const int rows = std::max(1, pane->viewport()->height() / std::max(1, pane->fontMetrics().lineSpacing()));
    if (first >= top && last < top + rows) return;
    scroll->setValue(std::max(0, first - rows / 3));
}

QString MainWindow::passToolTipInPane(ProgramPane* pane, const QPoint& viewportPosition) const {
    const int line = pane->cursorForPosition(viewportPosition).blockNumber();
    const PlotView* plot = plotOf(pane);
    const std::optional<std::size_t> pass = plot->links().PassOfLine(line);
    return pass ? plot->passToolTip(*pass) : QString();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        for (ProgramPane* pane : {txtDataA_, txtDataB_}) {
            if (watched != pane->viewport()) continue;
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString text = passToolTipInPane(pane, help->pos());
            if (text.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), text, pane->viewport());
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace quillane
